// The probability functions against reference values computed once with
// an independent implementation (oracle/make_tables.R writes
// oracle/tables.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/prob_routines.h"

namespace {

using zu::test::Args;
using zu::test::Routines;

std::string TablePath() {
    const std::string here = __FILE__;
    return here.substr(0, here.find_last_of('/')) + "/oracle/tables.txt";
}

TEST(Oracle, EveryReferenceValueAgrees) {
    std::ifstream in(TablePath());
    ASSERT_TRUE(in) << TablePath();
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        double expected = 0, tol = 0;
        fields >> name >> expected >> tol;
        Args args;
        for (double v; fields >> v;) args.push_back(v);
        const auto found = Routines().find(name);
        ASSERT_NE(found, Routines().end()) << "no routine " << name;
        const double got = found->second(args);
        const double err = expected == 0 ? std::fabs(got) : std::fabs(got - expected) / std::fabs(expected);
        EXPECT_LE(err, tol) << line << "\n  got " << std::setprecision(17) << got;
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

}  // namespace
