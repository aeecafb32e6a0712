// Compares the numbers that two program outputs print: every word between
// blanks that is a number (a "," or ";" after it allowed), in order, equal
// within 1e-6 relative (or 2e-6 absolute, for numbers printed with six
// decimals).  Text between them does not matter, so a Gauss program, its
// conversion and a Zu program written by hand can print with layouts of
// their own.
//   zu_compare_numbers FIRST SECOND   exit status 0 when they agree
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<double> numbersOf(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    static const std::regex number(R"([-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?)");
    std::vector<double> out;
    std::string word;
    while (text >> word) {
        while (!word.empty() && (word.back() == ',' || word.back() == ';')) word.pop_back();
        if (std::regex_match(word, number)) out.push_back(std::stod(word));
    }
    return out;
}

bool close(double a, double b) { return std::fabs(a - b) <= 2e-6 + 1e-6 * std::fmax(std::fabs(a), std::fabs(b)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zu_compare_numbers FIRST SECOND\n";
        return 2;
    }
    const std::vector<double> a = numbersOf(argv[1]), b = numbersOf(argv[2]);
    if (a.size() != b.size()) {
        std::cerr << argv[1] << " prints " << a.size() << " numbers, " << argv[2] << " prints " << b.size() << "\n";
        return 1;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!close(a[i], b[i])) {
            std::cerr << "number " << i + 1 << ": " << a[i] << " against " << b[i] << "\n";
            return 1;
        }
    }
    return 0;
}
