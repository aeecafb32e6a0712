// Text markup: the command table, and the records a text becomes.
#include <random>
#include <string>

#include "draw/sheet.h"
#include "draw/text_markup.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

int Count(MarkupKind kind) {
    int n = 0;
    for (const MarkupCommand& c : MarkupCommands())
        if (c.kind == kind) ++n;
    return n;
}

TEST(Markup, CommandTable) {
    EXPECT_EQ(Count(MarkupKind::kSymbol) + Count(MarkupKind::kArrow), 122);
    EXPECT_EQ(Count(MarkupKind::kFunction), 32);
    EXPECT_EQ(Count(MarkupKind::kLatin), 10);
    EXPECT_EQ(Count(MarkupKind::kAccent), 10);
    EXPECT_EQ(Count(MarkupKind::kFont), 16);
    const std::pair<const char*, int> telling[] = {
        {"alpha", 0x61},    {"Delta", 0x44},   {"infty", 0xA5}, {"leq", 0xA3}, {"sum", 0xE5}, {"Euro", 0xA0},
        {"varsigma", 0x56}, {"Upsilon", 0xA1}, {"pounds", 163}, {"ddot", 168}, {"bi", 4}};
    for (const auto& [name, code] : telling) {
        const MarkupCommand* c = FindMarkupCommand(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->code, code) << name;
    }
    EXPECT_EQ(FindMarkupCommand("Rightarrow")->kind, MarkupKind::kArrow);
    EXPECT_EQ(FindMarkupCommand("nosuch"), nullptr);
}

// The texts and Symbol characters recorded for a text, joined.
std::string Shown(const std::string& markup) {
    ScopedSheet sheet;
    GDItextMarkup(markup, 100, 100, 0, 300, 0, 0);
    std::string out;
    ForEachRecord(*sheet, [&](const DisplayRecord& r) {
        if (r.code == kRecText || r.code == kRecTextTo) out += r.text;
        if (r.code == kRecSymbolChar) out += "[" + std::to_string(r.v.a) + "]";
        if (r.code == kRecFont) out += "{" + std::to_string(r.v.a) + "}";
    });
    return out;
}

TEST(Markup, TextsBecomeRecords) {
    EXPECT_EQ(Shown("plain"), "{0}plain");
    EXPECT_EQ(Shown("100\\% \\$ \\{x\\}"), "{0}100% $ {x}");
    EXPECT_EQ(Shown("$$5"), "{0}$5");
    EXPECT_EQ(Shown("\\alpha+\\beta"), "{0}[97]+[98]");
    EXPECT_EQ(Shown("\\bf bold\\rm{} roman"), "{2} bold{0} roman");
    EXPECT_EQ(Shown("a_b"), "{0}a_b");  // outside a formula
    EXPECT_EQ(Shown("$\\sin x$"), "{0}sin {3}x");
    EXPECT_EQ(Shown("Tr\\o{}st \\AE"), "{0}Tr\xf8st \xc6");
    EXPECT_EQ(Shown("\\nosuch"), "{0}\\nosuch");
    // A formula's letters are set in italics, and ^ raises with a
    // relative move.
    ScopedSheet sheet;
    GDItextMarkup("$x^2$", 0, 0, 0, 300, 0, 0);
    int moves = 0;
    ForEachRecord(*sheet, [&](const DisplayRecord& r) { moves += r.code == kRecRelMove; });
    EXPECT_EQ(moves, 2);  // up and back down
}

TEST(Markup, AnyTextIsSafe) {
    // Unbalanced braces, lone backslashes and deep nesting lay out without
    // running away.
    const std::string texts[] = {"{{{{",
                                 "}}}",
                                 "\\",
                                 "$",
                                 "^",
                                 "_",
                                 "\\hat",
                                 "\\\"",
                                 std::string(5000, '{'),
                                 std::string(5000, '^') + "x",
                                 "\\{\\}\\[\\]\\!\\,\\:\\;"};
    for (const std::string& t : texts) {
        ScopedSheet sheet;
        GDItextMarkup(t, 0, 0, 0, 300, 1, 45);
        EXPECT_GE(GDItextWidth(t, 0, 300), -300 * 50) << t.substr(0, 20);
    }
}

TEST(Markup, RandomMarkupLaysOut) {
    // Texts drawn from the characters the markup gives a meaning to.
    const std::string alphabet = "\\${}^_ a1\"'.=`~!,:;#%&alphbetsumrmitbf\xe9\xff\x01";
    std::mt19937 random(12345);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        ScopedSheet sheet;
        GDItextMarkup(text, 5000, 5000, static_cast<int>(random() % 16), 300, static_cast<int>(random() % 3),
                      static_cast<int>(random() % 400));
        // Everything recorded is a known record with an owned text.
        ForEachRecord(*sheet, [&](const DisplayRecord& r) {
            EXPECT_TRUE(r.code == kRecMove || r.code == kRecRelMove || r.code == kRecFont || r.code == kRecTextTo ||
                        r.code == kRecSymbolChar || r.code == kRecTextDirection)
                << r.code;
            if (r.code == kRecTextTo) {
                EXPECT_NE(r.text, nullptr);
            }
        });
    }
}

TEST(Markup, WidthsFollowTheFontMetrics) {
    // Times-Roman: "Wi" is 944 + 278 thousandths of the size.
    EXPECT_EQ(GDItextWidth("Wi", 0, 1000), 1222);
    EXPECT_EQ(GDItextWidth("Wi", 6, 1000), 1200);  // Courier
    EXPECT_GT(GDItextWidth("\\alpha\\beta", 0, 1000), 0);
    ScopedSheet sheet;
    // Right-aligned at x = 5000: starts one width to the left.
    GDItextMarkup("Wi", 5000, 100, 0, 1000, 2, 0);
    EXPECT_EQ(Records(*sheet)[0], (Rec{kRecMove, 5000 - 1222, 100}));
}

}  // namespace
}  // namespace zu::draw::test
