// The probability functions against values computed at 40 digits with
// mpmath (accuracy/make_reference.py writes accuracy/reference.txt): far
// into both tails, each to 1e-13 relative or the tolerance its line gives.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

#include "numerics/prob_routines.h"

namespace {

using zu::test::Args;
using zu::test::Routines;

std::string Folder() {
    const std::string here = __FILE__;
    return here.substr(0, here.find_last_of('/'));
}

// Checks every line of a reference table; the count of lines per routine.
std::map<std::string, int> CheckTable(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::map<std::string, int> perRoutine;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, expectedText;
        double tol = 0;
        fields >> name >> expectedText >> tol;
        const long double expected = std::strtold(expectedText.c_str(), nullptr);
        Args args;
        for (double v; fields >> v;) args.push_back(v);
        const auto found = Routines().find(name);
        if (found == Routines().end()) {
            ADD_FAILURE() << "no routine " << name;
            continue;
        }
        const double got = found->second(args);
        const long double error = expected == 0 ? std::fabs(got) : std::fabs(got - expected) / std::fabs(expected);
        EXPECT_LE(error, tol) << line << "\n  got " << std::setprecision(17) << got << ", relative error "
                              << static_cast<double>(error);
        ++perRoutine[name];
    }
    return perRoutine;
}

TEST(ProbabilityAccuracy, EveryValueToItsToleranceInBothTails) {
    const auto perRoutine = CheckTable(Folder() + "/accuracy/reference.txt");
    int lines = 0;
    for (const auto& [name, count] : perRoutine) lines += count;
    EXPECT_GT(lines, 1500);
}

// Between the 40-digit table and the independent one of oracle/, every
// routine has reference values.
TEST(ProbabilityAccuracy, EveryRoutineHasReferenceValues) {
    std::map<std::string, int> seen;
    for (const char* table : {"/accuracy/reference.txt", "/oracle/tables.txt"}) {
        std::ifstream in(Folder() + table);
        std::string line, name;
        while (std::getline(in, line)) {
            std::istringstream(line) >> name;
            ++seen[name];
        }
    }
    for (const auto& [name, routine] : Routines()) EXPECT_GT(seen[name], 0) << name;
}

}  // namespace
