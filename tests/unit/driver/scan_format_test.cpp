#include "console/scan_format.h"

#include <gtest/gtest.h>

using zu::console::classifyScanFormat;
using zu::console::ScanConversion;

TEST(ScanFormat, AcceptsOneConversionOfAKnownKind) {
    EXPECT_EQ(classifyScanFormat("%d").kind, ScanConversion::Integer);
    EXPECT_EQ(classifyScanFormat(" %lld").kind, ScanConversion::Integer);
    EXPECT_EQ(classifyScanFormat("x=%lf;").kind, ScanConversion::Floating);
    EXPECT_EQ(classifyScanFormat("%Lg").kind, ScanConversion::Floating);
    EXPECT_EQ(classifyScanFormat("%% %u %%").kind, ScanConversion::Integer);
    EXPECT_EQ(classifyScanFormat("plain text").kind, ScanConversion::None);
    EXPECT_EQ(classifyScanFormat("%*d").kind, ScanConversion::Suppressed);
    EXPECT_EQ(classifyScanFormat("%*s").kind, ScanConversion::Suppressed);
}

TEST(ScanFormat, StringReadsNeedAWidth) {
    auto s = classifyScanFormat("%20s");
    EXPECT_EQ(s.kind, ScanConversion::Chars);
    EXPECT_EQ(s.width, 20);
    EXPECT_EQ(classifyScanFormat("%s").kind, ScanConversion::Invalid);
    EXPECT_EQ(classifyScanFormat("%[a-z]").kind, ScanConversion::Invalid);
    auto set = classifyScanFormat("%9[]a-z]");
    EXPECT_EQ(set.kind, ScanConversion::Chars);
    EXPECT_EQ(set.conversion, '[');
    EXPECT_EQ(classifyScanFormat("%c").width, 1);
}

TEST(ScanFormat, RefusesEverythingElse) {
    for (const char* f : {"%d%d", "%n", "%p", "%1$d", "%", "%5", "%q", "%9[abc", "%hs", "%Ld", "%hf", "%99999999999d"})
        EXPECT_EQ(classifyScanFormat(f).kind, ScanConversion::Invalid) << f;
}
