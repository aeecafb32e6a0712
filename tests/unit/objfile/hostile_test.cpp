// Headers, and files that are cut short or corrupt: each gets its message
// and leaves the program that is already loaded as it was.
#include "objfile_fixture.h"

#include <cstring>

namespace zu::test {
namespace {

constexpr const char* kSmall =
    "decl g = 2.5, s = \"text\", a = {1, <1, 2>}; f(x) { if (x) return g; return s; } main() { f(1); }";

class HostileTest : public ObjfileTest {
protected:
    struct Tables {
        int symbols, literals, code;
        bool operator==(const Tables&) const = default;
    };
    static Tables tables() {
        return {program::symbolTable().count(), program::literalTable().count(), program::codeBuffer().size()};
    }
    // The small program's bytes, with the tables holding the loaded
    // program `resident` for the hostile file to meet.
    std::vector<unsigned char> smallFile() {
        const std::vector<unsigned char> bytes = bytesOf(compileTo("small.zuo", kSmall));
        reopen();
        EXPECT_EQ(compile("decl resident = 1; r() { return resident; }"), 0);
        messages().clear();
        return bytes;
    }
    // Loads bytes; the errors, with the tables checked to be untouched.
    int loadRefused(const std::vector<unsigned char>& bytes) {
        const Tables before = tables();
        const int errors = load(writeBytes("hostile.zuo", bytes));
        EXPECT_EQ(tables(), before);
        EXPECT_EQ(value(find("resident")).w1.i, 1);
        return errors;
    }
    // Position of the first occurrence of a marker's bytes.
    static std::size_t offsetOf(const std::vector<unsigned char>& bytes, const std::string& text) {
        auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
        return static_cast<std::size_t>(at - bytes.begin());
    }
    static void putInt(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes[at + static_cast<std::size_t>(k)] = static_cast<unsigned char>(v >> (8 * k));
    }
    // The offset of the count behind a section marker.
    static std::size_t countAfter(const std::vector<unsigned char>& bytes, const std::string& marker) {
        return offsetOf(bytes, marker) + marker.size() + 1;
    }
};

TEST_F(HostileTest, HeaderChecks) {
    std::vector<unsigned char> bytes = smallFile();
    std::vector<unsigned char> other = bytes;
    other[0] = 'X';
    EXPECT_EQ(loadRefused(other), 1);
    EXPECT_EQ(messages().back(), "Link error: '" + path("hostile.zuo") + "' this is not an Zu object file");

    other = bytes;
    other[3] = '2';  // Zu0240
    EXPECT_EQ(loadRefused(other), 1);
    EXPECT_NE(messages().back().find("please recompile .zuo file to match this version of Zu"), std::string::npos);

    // The minor version is not checked.
    other = bytes;
    other[4] = '9';
    other[5] = '9';
    EXPECT_EQ(load(writeBytes("minor.zuo", other)), 0);
}

TEST_F(HostileTest, EveryTruncationIsRefused) {
    const std::vector<unsigned char> bytes = smallFile();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        messages().clear();
        const std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_GE(loadRefused(cut), 1) << "cut at " << n;
        ASSERT_EQ(messages().size(), 1u) << "cut at " << n;
        const std::string& m = messages()[0];
        const bool expected = m.find("unexpected end of file") != std::string::npos ||
                              m.find("not an Zu object file") != std::string::npos;
        EXPECT_TRUE(expected) << "cut at " << n << ": " << m;
    }
}

TEST_F(HostileTest, HugeAndNegativeCountsAreRefused) {
    const std::vector<unsigned char> bytes = smallFile();
    for (const char* marker : {"$zu$literals", "$zu$symbols", "$zu$pcode"}) {
        for (std::uint32_t count : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 100000u}) {
            std::vector<unsigned char> bad = bytes;
            putInt(bad, countAfter(bad, marker), count);
            messages().clear();
            EXPECT_EQ(loadRefused(bad), 1) << marker << " " << count;
            const bool negative = count >= 0x80000000u;
            EXPECT_TRUE(reported(negative ? "file error" : "unexpected end of file")) << marker << " " << count;
        }
    }
}

TEST_F(HostileTest, OperandsOutsideTheFileAreRefused) {
    const std::vector<unsigned char> bytes = smallFile();
    const std::size_t code = countAfter(bytes, "$zu$pcode") + 4;
    bool patched[3] = {false, false, false};
    const std::int32_t ops[3] = {program::code(program::Op::LOD), program::code(program::Op::JMF),
                                 program::code(program::Op::ELF)};
    for (std::size_t at = code; at + 5 <= bytes.size() - 12; at += 5)
        for (int k = 0; k < 3; ++k)
            if (bytes[at] == ops[k] && !patched[k]) {
                std::vector<unsigned char> bad = bytes;
                putInt(bad, at + 1, 5000);
                messages().clear();
                EXPECT_EQ(loadRefused(bad), 1) << program::mnemonic(ops[k]);
                EXPECT_TRUE(reported("file error"));
                patched[k] = true;
            }
    EXPECT_TRUE(patched[0] && patched[1] && patched[2]);

    std::vector<unsigned char> bad = bytes;
    bad[code] = 250;  // no such opcode
    EXPECT_EQ(loadRefused(bad), 1);
}

TEST_F(HostileTest, StringWithoutEndAndBadMarkers) {
    const std::vector<unsigned char> bytes = smallFile();
    std::vector<unsigned char> bad = bytes;
    bad[offsetOf(bad, "text") + 4] = 'X';  // the NUL after the string
    EXPECT_EQ(loadRefused(bad), 1);
    EXPECT_TRUE(reported("file error"));

    bad = bytes;
    bad[offsetOf(bad, "$zu$symbols") + 4] = 'S';
    messages().clear();
    EXPECT_EQ(loadRefused(bad), 1);
    EXPECT_TRUE(reported("file error"));

    bad = bytes;
    putInt(bad, offsetOf(bad, "$zu$pcode") - 4, 61);  // a marker longer than 60
    messages().clear();
    EXPECT_EQ(loadRefused(bad), 1);
    EXPECT_TRUE(reported("file error"));
}

// Values a program never stores: a library function, an address, an
// array nested without end.
TEST_F(HostileTest, ForeignKindsAndDeepNestingAreRefused) {
    smallFile();
    auto file = [](const std::vector<std::uint32_t>& literalWords) {
        std::vector<unsigned char> b(32, 0);
        b[0] = 'Z', b[1] = 'u', b[2] = '0', b[3] = '3', b[4] = '4', b[5] = '0';
        auto word = [&](std::uint32_t v) {
            for (int k = 0; k < 4; ++k) b.push_back(static_cast<unsigned char>(v >> (8 * k)));
        };
        auto text = [&](const std::string& s) {
            word(static_cast<std::uint32_t>(s.size()));
            b.insert(b.end(), s.begin(), s.end());
            b.push_back(0);
        };
        text("$zu$info"), word(0), text("$zu$end");
        text("$zu$literals");
        for (std::uint32_t w : literalWords) word(w);
        text("$zu$end");
        text("$zu$symbols"), word(0), text("$zu$end");
        text("$zu$pcode"), word(0), text("$zu$end");
        return b;
    };
    EXPECT_EQ(load(writeBytes("ok.zuo", file({1, ZU_INT, 7}))), 0);
    reopen();
    compile("decl resident = 1;");
    EXPECT_EQ(loadRefused(file({1, ZU_INTFUNC})), 1);
    EXPECT_EQ(loadRefused(file({1, ZU_ARRAY | ZU_FLAG_ADR, 0})), 1);
    std::vector<std::uint32_t> deep{1};
    for (int i = 0; i < 1000; ++i) deep.insert(deep.end(), {ZU_ARRAY, 1});
    deep.insert(deep.end(), {ZU_INT, 1});
    EXPECT_EQ(loadRefused(file(deep)), 1);
    std::vector<std::uint32_t> matrix{1, ZU_MATRIX, 0x10000, 0x10000};
    EXPECT_EQ(loadRefused(file(matrix)), 1);
    EXPECT_TRUE(reported("unexpected end of file"));
}

// A function read from a file owns the signature read for it, so that the
// end of the run frees it: one marked as a variable's copy (the value flag)
// is read as a definition, and one marked as having no value is refused.
TEST_F(HostileTest, AFunctionIsReadAsADefinitionOrRefused) {
    const char* name = "doubled_value";
    std::vector<unsigned char> bytes = bytesOf(compileTo("copy.zuo", "doubled_value(x) { return 2 * x; }"));
    const std::size_t at = offsetOf(bytes, name) + std::strlen(name) + 1;
    ASSERT_LT(at + 4, bytes.size());
    std::uint32_t flags = 0;
    for (int k = 0; k < 4; ++k) flags |= static_cast<std::uint32_t>(bytes[at + static_cast<std::size_t>(k)]) << (8 * k);
    ASSERT_EQ(flags & ZU_TYPE_MASK, static_cast<std::uint32_t>(ZU_FUNCTION));
    putInt(bytes, at, flags | ZU_FLAG_VAL);
    reopen();
    ASSERT_EQ(load(writeBytes("copy.zuo", bytes)), 0);
    const int g = find(name);
    ASSERT_GE(g, 0);
    EXPECT_EQ(value(g).t & ZU_FLAG_VAL, 0);
    EXPECT_EQ(value(g).t & ZU_TYPE_MASK, ZU_FUNCTION);

    // One marked as having no value is no definition: the file is refused.
    putInt(bytes, at, flags | ZU_FLAG_NUL);
    smallFile();
    EXPECT_EQ(loadRefused(bytes), 1);
    EXPECT_TRUE(reported("file error"));
}

// So is a class marked as having no value, whose member tables would have
// no owner.
TEST_F(HostileTest, AClassWithoutValueIsRefused) {
    const char* name = "Counted_class";
    std::vector<unsigned char> bytes =
        bytesOf(compileTo("class.zuo", "class Counted_class { decl m_n; Counted_class(); } Counted_class::Counted_class() {}"));
    const std::size_t at = offsetOf(bytes, name) + std::strlen(name) + 1;
    ASSERT_LT(at + 4, bytes.size());
    std::uint32_t flags = 0;
    for (int k = 0; k < 4; ++k) flags |= static_cast<std::uint32_t>(bytes[at + static_cast<std::size_t>(k)]) << (8 * k);
    ASSERT_EQ(flags & ZU_TYPE_MASK, static_cast<std::uint32_t>(ZU_CLASS));
    std::vector<unsigned char> marked = bytes;
    putInt(marked, at, flags | ZU_FLAG_NUL);
    smallFile();
    EXPECT_EQ(loadRefused(marked), 1);
    EXPECT_TRUE(reported("file error"));
    EXPECT_EQ(load(writeBytes("class.zuo", bytes)), 0);
}

// Any one byte changed: loaded or refused, never a crash or a read out of
// bounds (the sanitizer build checks the latter).
TEST_F(HostileTest, SingleByteCorruptionsNeverCrash) {
    const std::vector<unsigned char> bytes = smallFile();
    for (std::size_t at = 0; at < bytes.size(); ++at)
        for (unsigned char v : {0x00, 0x7F, 0xFF}) {
            std::vector<unsigned char> bad = bytes;
            bad[at] = v;
            reopen();
            load(writeBytes("flip.zuo", bad));
        }
    SUCCEED();
}

}  // namespace
}  // namespace zu::test
