// Kernel replacements loaded from a library by ZuLoadKernel.  The test
// build makes kernel_library/replacement.c into "zukerneltest.so" in the
// tests' working directory and defines ZU_TEST_KERNEL_LIBRARY; the suffix
// "test" then names it.
#include <gtest/gtest.h>

#include "numerics/matrix_fixture.h"

#ifdef ZU_TEST_KERNEL_LIBRARY

namespace {

TEST(KernelLoading, ReplacementsFromALibraryAreUsed) {
    zu::test::Matrix a = zu::test::WellConditioned(3, 1), r(3, 3);
    ZuLoadKernel("test", 0);
    MatAtB(r.m(), a.m(), 3, 3, a.m(), 3);
    EXPECT_EQ(r[0][0], 4252);
    EXPECT_EQ(IInvert(a.m(), 3), 42);
    // Slots the library leaves out keep the built-in routine.
    zu::test::Matrix l = zu::test::PositiveDefinite(3, 2);
    EXPECT_TRUE(FPPtDec(l.m(), 3));
    SetKnlMatMul(nullptr);
    SetKnlInvert(nullptr);
    EXPECT_EQ(IInvert(a.m(), 3), 0);
}

}  // namespace

#endif
