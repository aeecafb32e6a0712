// The passes over whole matrices around the LAPACK calls: the copies
// between the row-major tables of the interpreter and LAPACK's column-major
// arrays, the mirrored triangle and the row-sum norm.  Odd shapes leave
// part tiles and part register blocks, rows do not adjoin, and the largest
// cases are split between two threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <dlfcn.h>
#include <vector>

#include "numerics/dense.h"

namespace {

using zu::numerics::CopyFromColumnMajor;
using zu::numerics::CopyToColumnMajor;
using zu::numerics::MaxAbsRowSum;
using zu::numerics::MirrorLower;
using zu::numerics::SplitLUFromColumnMajor;

// An r by c table whose rows are separate vectors (so they never adjoin),
// with a guard element after each row that no copy may touch.
class Table {
public:
    static constexpr double kGuard = -12345.5;
    Table(int r, int c) : c_(c), store_(r, std::vector<double>(static_cast<std::size_t>(c) + 1, kGuard)) {
        for (auto& row : store_) rows_.push_back(row.data());
    }
    double** m() { return rows_.data(); }
    double at(int i, int j) const { return store_[i][j]; }
    bool GuardsIntact() const {
        for (const auto& row : store_)
            if (row[c_] != kGuard) return false;
        return true;
    }

private:
    int c_;
    std::vector<std::vector<double>> store_;
    std::vector<double*> rows_;
};

// A value that tells its position apart from every other.
double Mark(int i, int j) { return i * 100003.0 + j + 0.25; }

struct Shape {
    int r, c;
};
// 1200 by 1000 is past the size at which a copy takes a second thread.
const Shape kShapes[] = {{1, 1}, {1, 7}, {7, 1}, {3, 5}, {33, 65}, {64, 31}, {1200, 1000}, {1001, 1100}};

TEST(LayoutCopies, RowMajorToColumnMajorAndBackKeepEveryElementInItsPlace) {
    for (const Shape s : kShapes) {
        Table a(s.r, s.c);
        for (int i = 0; i < s.r; ++i)
            for (int j = 0; j < s.c; ++j) a.m()[i][j] = Mark(i, j);
        const std::size_t count = static_cast<std::size_t>(s.r) * s.c;
        std::vector<double> column(count + 1, Table::kGuard);
        CopyToColumnMajor(a.m(), s.r, s.c, column.data());
        std::size_t wrong = 0;
        for (int i = 0; i < s.r; ++i)
            for (int j = 0; j < s.c; ++j) wrong += column[i + static_cast<std::size_t>(j) * s.r] != Mark(i, j);
        EXPECT_EQ(wrong, 0u) << s.r << " by " << s.c;
        EXPECT_EQ(column[count], Table::kGuard) << s.r << " by " << s.c;

        Table back(s.r, s.c);
        CopyFromColumnMajor(column.data(), s.r, s.c, back.m());
        wrong = 0;
        for (int i = 0; i < s.r; ++i)
            for (int j = 0; j < s.c; ++j) wrong += back.at(i, j) != Mark(i, j);
        EXPECT_EQ(wrong, 0u) << s.r << " by " << s.c;
        EXPECT_TRUE(back.GuardsIntact()) << s.r << " by " << s.c;
    }
}

TEST(LayoutCopies, SplittingLUFactorsFillsEachTriangleAndZeroesTheRest) {
    for (const int n : {1, 2, 5, 33, 70, 1100}) {
        const std::size_t count = static_cast<std::size_t>(n) * n;
        std::vector<double> lu(count);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) lu[i + static_cast<std::size_t>(j) * n] = Mark(i, j);
        // Both factors, then each alone (the other output left out).
        for (const int wanted : {3, 1, 2}) {
            Table l(n, n), u(n, n);
            SplitLUFromColumnMajor(lu.data(), n, wanted & 1 ? l.m() : nullptr, wanted & 2 ? u.m() : nullptr);
            std::size_t wrongL = 0, wrongU = 0;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const double expectL = i == j ? 1 : i > j ? Mark(i, j) : 0;
                    const double expectU = i <= j ? Mark(i, j) : 0;
                    wrongL += l.at(i, j) != (wanted & 1 ? expectL : Table::kGuard);
                    wrongU += u.at(i, j) != (wanted & 2 ? expectU : Table::kGuard);
                }
            EXPECT_EQ(wrongL, 0u) << "order " << n << ", outputs " << wanted;
            EXPECT_EQ(wrongU, 0u) << "order " << n << ", outputs " << wanted;
            EXPECT_TRUE(l.GuardsIntact() && u.GuardsIntact()) << "order " << n;
        }
    }
}

TEST(LayoutCopies, MirroringTheLowerTriangleOverwritesTheUpperOneOnly) {
    for (const int n : {1, 2, 3, 31, 32, 33, 97, 1100}) {
        Table a(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a.m()[i][j] = j <= i ? Mark(i, j) : -1;
        MirrorLower(a.m(), n);
        std::size_t wrong = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) wrong += a.at(i, j) != (j <= i ? Mark(i, j) : Mark(j, i));
        EXPECT_EQ(wrong, 0u) << "order " << n;
        EXPECT_TRUE(a.GuardsIntact()) << "order " << n;
    }
}

TEST(RowSumNorm, IsTheLargestRowSumWhicheverHalfOfTheRowsHoldsIt) {
    const int n = 1100;
    for (const int heavy : {0, 3, 549, 550, 551, 1099}) {
        Table a(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a.m()[i][j] = (i * 7 + j * 13) % 17 / 16.0 - 0.5;
        a.m()[heavy][heavy] = -3 * n;
        double expected = 0;
        for (int i = 0; i < n; ++i) {
            double sum = 0;
            for (int j = 0; j < n; ++j) sum += std::fabs(a.at(i, j));
            expected = std::max(expected, sum);
        }
        EXPECT_EQ(MaxAbsRowSum(a.m(), n), expected) << "heavy row " << heavy;
    }
    EXPECT_EQ(MaxAbsRowSum(nullptr, 0), 0);
}

// The exact algorithms take the norm too; a program that never reaches the
// BLAS must not load it (and start its threads) just to learn how many
// threads it would use.
TEST(RowSumNorm, LargeMatricesDoNotLoadTheBlasForTheirThreadCount) {
    if (dlopen("libopenblas.so.0", RTLD_NOW | RTLD_NOLOAD) != nullptr)
        GTEST_SKIP() << "an earlier test in this process loaded the BLAS";
    Table a(1100, 1100);
    for (int i = 0; i < 1100; ++i)
        for (int j = 0; j < 1100; ++j) a.m()[i][j] = 1;
    EXPECT_EQ(MaxAbsRowSum(a.m(), 1100), 1100);
    EXPECT_EQ(dlopen("libopenblas.so.0", RTLD_NOW | RTLD_NOLOAD), nullptr);
}

}  // namespace
