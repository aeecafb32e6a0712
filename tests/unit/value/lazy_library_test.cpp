// Libraries opened on first use: a routine is found in a library that is
// there, and a library or routine that is missing stops the run with a
// message naming it instead of calling through a null address.
#include "test_support.h"

#include "value/lazy_library.h"

#include <cmath>
#include <string>

namespace {

using zu_test::RunError;
using zu_test::runMessages;
using zu_test::ValueTest;

bool someMessageHas(const std::string& text) {
    for (const std::string& m : runMessages)
        if (m.find(text) != std::string::npos) return true;
    return false;
}

TEST_F(ValueTest, LazyLibraryFindsARoutine) {
    void* libm = zu::value::OpenLibraryOrFail("libm.so.6");
    ASSERT_NE(libm, nullptr);
    using Cosine = double (*)(double);
    auto cosine = reinterpret_cast<Cosine>(zu::value::RoutineOrFail(libm, "libm.so.6", "cos"));
    EXPECT_DOUBLE_EQ(cosine(0.5), std::cos(0.5));
    EXPECT_TRUE(runMessages.empty());
}

TEST_F(ValueTest, MissingLibraryOrRoutineIsARunTimeError) {
    EXPECT_THROW(zu::value::OpenLibraryOrFail("libzu-not-installed.so.7"), RunError);
    EXPECT_TRUE(someMessageHas("error in library function")) << FirstRunMessage();
    EXPECT_TRUE(someMessageHas("cannot load libzu-not-installed.so.7")) << FirstRunMessage();

    runMessages.clear();
    void* libm = zu::value::OpenLibraryOrFail("libm.so.6");
    EXPECT_THROW(zu::value::RoutineOrFail(libm, "libm.so.6", "zu_no_such_routine"), RunError);
    EXPECT_TRUE(someMessageHas("cannot load zu_no_such_routine from libm.so.6")) << FirstRunMessage();
}

}  // namespace
