// The file functions called as the interpreter calls them: open modes and
// their flags, the exact bytes of binary and matrix files, reading back,
// positions, untrusted headers, and file values that outlive fclose.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "stdlib/files.h"
#include "stdlib/routines.h"
#include "value/function_table.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::runMessages;
using zu_stdlib_test::StdlibTest;
using Bytes = std::vector<unsigned char>;

namespace {

class FilesTest : public StdlibTest {
protected:
    void SetUp() override {
        StdlibTest::SetUp();
        char pattern[] = "/tmp/zu_files_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        openBefore_ = OpenFileCount();
    }
    void TearDown() override {
        EXPECT_EQ(OpenFileCount(), openBefore_) << "a test left a file open";
        std::string command = "rm -rf '" + dir_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        StdlibTest::TearDown();
    }

    std::string Path(const char* name) const { return dir_ + "/" + name; }

    static Bytes Contents(const std::string& path) {
        Bytes bytes;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) return bytes;
        for (int ch = std::getc(f); ch != EOF; ch = std::getc(f)) bytes.push_back(static_cast<unsigned char>(ch));
        std::fclose(f);
        return bytes;
    }
    static void Store(const std::string& path, const Bytes& bytes) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    // fopen(path, mode); the result record (a file or an int).
    static ZuVALUE Open(const std::string& path, const char* mode) {
        ZuVALUE args[] = {String(path.c_str()), String(mode)};
        ZuVALUE rtn = Call(FnFopen, args);
        zu_stdlib_test::FreeAll(args);
        return rtn;
    }
    static int Close(ZuVALUE file) {
        ZuVALUE args[] = {file};
        return Call(FnFclose, args).w1.i;
    }
    // Frees what fwrite got (and converted) also when it raises an error.
    struct Freed {
        ZuVALUE* v;
        ~Freed() { ZuFreeValue(v); }
    };
    static int Write(ZuVALUE file, ZuVALUE x) {
        ZuVALUE args[] = {file, x};
        const Freed written{&args[1]};
        return Call(FnFwrite, args).w1.i;
    }
    // fread(file, &target, type, r, c) with the first `count` arguments.
    static int Read(ZuVALUE file, ZuVALUE* target, int count, int type = 'e', int r = 1, int c = 1) {
        ZuVALUE address{};
        address.t = ZU_ARRAY | ZU_FLAG_ADR;
        address.w1.i = 1;
        address.w2.v = target;
        ZuVALUE all[] = {file, address, Int(type), Int(r), Int(c)};
        ZuVALUE rtn{};
        ZuValSetInt(&rtn, 0);
        FnFread(&rtn, all, count);
        return rtn.w1.i;
    }
    static ZuVALUE Seek(ZuVALUE file, int count, int type = 0, int n = 1) {
        ZuVALUE all[] = {file, Int(type), Int(n)};
        ZuVALUE rtn{};
        ZuValSetInt(&rtn, 0);
        FnFseek(&rtn, all, count);
        return rtn;
    }
    static int Unary(ZuLIBFUNC routine, ZuVALUE file) {
        ZuVALUE args[] = {file};
        return Call(routine, args).w1.i;
    }

    static Bytes LittleDouble(double x) {
        Bytes b(8);
        std::uint64_t bits;
        std::memcpy(&bits, &x, 8);
        for (int k = 0; k < 8; ++k) b[k] = static_cast<unsigned char>(bits >> (8 * k));
        return b;
    }
    static Bytes Join(std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    }
    static Bytes Reversed(Bytes b) { return Bytes(b.rbegin(), b.rend()); }

    std::string dir_;
    int openBefore_ = 0;
};

// ---------------------------------------------------------------------------
// Modes
// ---------------------------------------------------------------------------

TEST_F(FilesTest, ModesGiveTheirFlags) {
    Store(Path("old"), {1, 2, 3});
    Store(Path("m.fmt"), {0xDD, 0xEE, 0x86, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    struct Case {
        const char* name;
        const char* mode;
        int flags;
    } cases[] = {
        {"old", "r", 0x80 | 0x20 | 1},
        {"new", "w", 0x80 | 0x20 | 2},
        {"old", "a", 0x80 | 0x20 | 6},
        {"old", "r+", 0x80 | 0x20 | 3},
        {"old", "rb", 0x80 | 0x20 | 1},
        {"old", "rE", 0x80 | 0x40 | 1},
        {"old", "rEe", 0x80 | 0x20 | 1},
        {"old", "a+", 0x80 | 0x20 | 7},
        {"m.fmt", "rf", 0x80 | 0x20 | 8 | 1},
        {"m.fmt", "af", 0x80 | 0x20 | 8 | 6},
        {"new.fmt", "wF", 0x80 | 0x20 | 0x100 | 8 | 2},
        {"new.fmt", "wfE", 0x80 | 0x40 | 8 | 2},
        {"set.DAT", "wf", 0x80 | 0x20 | 0x100 | 0x10 | 8 | 2},
        {"plain.dat", "w", 0x80 | 0x20 | 2},
        // Only 8 letters count: the ninth ('+') is not read.
        {"old", "rxxxxxxx+", 0x80 | 0x20 | 1},
    };
    for (const Case& c : cases) {
        ZuVALUE file = Open(Path(c.name), c.mode);
        ASSERT_EQ(ZuValType(&file), ZU_FILE) << c.mode;
        EXPECT_EQ(file.w2.i, c.flags) << c.name << " " << c.mode;
        EXPECT_EQ(Close(file), 0);
    }
}

TEST_F(FilesTest, FilesThatCannotBeOpenedGiveTheIntZero) {
    for (const char* mode : {"r", "r+", "rf", "af", "xyz", "+", "b"}) {
        ZuVALUE v = Open(Path("missing"), mode);
        EXPECT_EQ(v.t, ZU_INT) << mode;
        EXPECT_EQ(v.w1.i, 0) << mode;
    }
}

TEST_F(FilesTest, TheDelModeAndFremoveRemoveFiles) {
    Store(Path("a"), {1});
    Store(Path("b"), {1});
    EXPECT_EQ(Open(Path("a"), "del").w1.i, 0);
    EXPECT_EQ(Open(Path("a"), "del").w1.i, -1);
    ZuVALUE name[] = {String(Path("b  ").c_str())};  // trailing blanks are trimmed
    EXPECT_EQ(Call(FnFremove, name).w1.i, 1);
    EXPECT_EQ(Call(FnFremove, name).w1.i, 0);
    zu_stdlib_test::FreeAll(name);
    EXPECT_TRUE(Contents(Path("b")).empty());
}

TEST_F(FilesTest, TheLogReceivesConsolePrints) {
    EXPECT_EQ(Open(Path("log"), "l").w1.i, 1);
    ZuVALUE text[] = {String("one\n")};
    Call(FnPrint, text);
    ZuVALUE l[] = {String("l")};
    EXPECT_EQ(Call(FnFclose, l).w1.i, 0);
    EXPECT_EQ(Open(Path("log"), "la").w1.i, 1);
    Call(FnPrint, text);
    Call(FnFclose, l);
    zu_stdlib_test::FreeAll(text);
    zu_stdlib_test::FreeAll(l);
    const Bytes log = Contents(Path("log"));
    EXPECT_EQ(std::string(log.begin(), log.end()), "one\none\n");
}

// ---------------------------------------------------------------------------
// Binary writes and reads
// ---------------------------------------------------------------------------

TEST_F(FilesTest, WritesGiveTheExactBytes) {
    ZuVALUE file = Open(Path("bin"), "wb");
    EXPECT_EQ(Write(file, Int(-2)), 1);
    EXPECT_EQ(Write(file, Double(1.5)), 1);
    EXPECT_EQ(Write(file, String("ab")), 2);
    EXPECT_EQ(Write(file, Matrix(2, 2, {1, 2, 3, 4})), 4);
    EXPECT_EQ(Write(file, Matrix(0, 0)), 0);
    EXPECT_EQ(Close(file), 0);
    const Bytes expected = Join({{0xFE, 0xFF, 0xFF, 0xFF},
                                 {0, 0, 0, 0, 0, 0, 0xF8, 0x3F},
                                 {'a', 'b'},
                                 {0, 0, 0, 0, 0, 0, 0xF0, 0x3F},
                                 {0, 0, 0, 0, 0, 0, 0x00, 0x40},
                                 {0, 0, 0, 0, 0, 0, 0x08, 0x40},
                                 {0, 0, 0, 0, 0, 0, 0x10, 0x40}});
    EXPECT_EQ(Contents(Path("bin")), expected);

    ZuVALUE big = Open(Path("big"), "wE");
    Write(big, Int(1));
    Write(big, Double(1.5));
    Close(big);
    EXPECT_EQ(Contents(Path("big")), Join({{0, 0, 0, 1}, {0x3F, 0xF8, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(FilesTest, ReadsTakeEachType) {
    Store(Path("in"), Join({{0xFF, 'x', 'y', 'z'},
                            {7, 0, 0, 0},
                            LittleDouble(2.5),
                            {0, 0, 0xC0, 0x3F},  // the float 1.5
                            {'h', 'i', 0, 'n'},
                            LittleDouble(1),
                            LittleDouble(2),
                            LittleDouble(3),
                            LittleDouble(4)}));
    ZuVALUE file = Open(Path("in"), "rb");
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_EQ(Read(file, &x, 3, 'c'), 1);
    EXPECT_EQ(x.t, ZU_INT);
    EXPECT_EQ(x.w1.i, -1);  // a signed byte
    EXPECT_EQ(Read(file, &x, 4, 'c', 3), 3);
    EXPECT_EQ(std::string(ZuValGetString(&x)), "xyz");
    EXPECT_EQ(Read(file, &x, 3, 'i'), 1);
    EXPECT_EQ(x.w1.i, 7);
    EXPECT_EQ(Read(file, &x, 2), 1);
    EXPECT_EQ(x.t, ZU_DOUBLE);
    EXPECT_EQ(x.w1.d, 2.5);
    EXPECT_EQ(Read(file, &x, 3, '4'), 1);
    EXPECT_EQ(x.w1.d, 1.5);
    EXPECT_EQ(Read(file, &x, 3, 's'), 2);
    EXPECT_EQ(std::string(ZuValGetString(&x)), "hi");
    EXPECT_EQ(Read(file, &x, 3, 'c'), 1);
    EXPECT_EQ(x.w1.i, 'n');
    EXPECT_EQ(Read(file, &x, 5, 'e', 2, 2), 4);
    ASSERT_EQ(ZuValType(&x), ZU_MATRIX);
    EXPECT_EQ(x.w3.m[0][1], 2);
    EXPECT_EQ(x.w3.m[1][0], 3);
    EXPECT_EQ(Unary(FnFeof, file), 1);
    // At the end a scalar read stores nothing and counts 0.
    EXPECT_EQ(Read(file, &x, 3, 'd'), 0);
    EXPECT_EQ(ZuValSizerc(&x), 0);
    EXPECT_EQ(Close(file), 0);
}

TEST_F(FilesTest, BigEndianNumbersReadBack) {
    Store(Path("be"), Join({{0, 0, 1, 2}, Reversed(LittleDouble(-0.25)), {0x3F, 0xC0, 0, 0}}));
    ZuVALUE file = Open(Path("be"), "rbE");
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    Read(file, &x, 3, 'd');
    EXPECT_EQ(x.w1.i, 258);
    Read(file, &x, 2);
    EXPECT_EQ(x.w1.d, -0.25);
    Read(file, &x, 3, '4');
    EXPECT_EQ(x.w1.d, 1.5);
    Close(file);
}

TEST_F(FilesTest, ReadsAreAsLargeAsWhatTheFileHolds) {
    Store(Path("short"), Join({LittleDouble(1), LittleDouble(2), LittleDouble(3)}));
    ZuVALUE file = Open(Path("short"), "r");
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    // Two whole rows of 2 arrive; the third element is no whole row.
    EXPECT_EQ(Read(file, &x, 5, 'e', INT_MAX, 2), 2);
    EXPECT_EQ(ZuValGetMatr(&x), 1);
    EXPECT_EQ(ZuValGetMatc(&x), 2);
    EXPECT_EQ(Seek(file, 3, 'c', 0).w1.i, 0);
    EXPECT_EQ(Read(file, &x, 5, 'e', 1 << 30, 1 << 30), 0);
    EXPECT_EQ(ZuValSizerc(&x), 0);
    EXPECT_EQ(Seek(file, 3, 'c', 0).w1.i, 0);
    EXPECT_EQ(Read(file, &x, 4, 'c', INT_MAX), 24);
    EXPECT_EQ(ZuValGetStringLen(&x), 24);
    Close(file);
}

TEST_F(FilesTest, BadArgumentsAreRefused) {
    Store(Path("f"), {1, 2, 3, 4});
    ZuVALUE file = Open(Path("f"), "r+");
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_RUN_ERROR(Read(file, &x, 3, 'x'), 37);
    EXPECT_RUN_ERROR(Read(file, &x, 4, 'c', -1), 37);
    ZuVALUE notAddress[] = {file, Int(0)};
    EXPECT_RUN_ERROR(Call(FnFread, notAddress), 37);
    ZuVALUE list = Keep(Strings({"a"}));
    ZuVALUE writeList[] = {file, list};
    EXPECT_RUN_ERROR(Call(FnFwrite, writeList), 37);
    ZuVALUE notFile[] = {Int(3)};
    EXPECT_RUN_ERROR(Call(FnFclose, notFile), 37);
    EXPECT_RUN_ERROR(Call(FnFflush, notFile), 37);
    EXPECT_EQ(Contents(Path("f")), (Bytes{1, 2, 3, 4}));
    Close(file);
}

// ---------------------------------------------------------------------------
// Matrix files
// ---------------------------------------------------------------------------

TEST_F(FilesTest, AnOldMatrixFileCarriesItsShape) {
    ZuVALUE file = Open(Path("m.fmt"), "wf");
    EXPECT_EQ(Contents(Path("m.fmt")).size(), 16u);  // the header for 0 by 0 is written at once
    EXPECT_EQ(Write(file, Matrix(1, 3, {1, 2, 3})), 1);
    EXPECT_EQ(Write(file, Matrix(1, 3, {4, 5, 6})), 1);
    EXPECT_EQ(ZuValRows(&file), 2);
    EXPECT_EQ(Write(file, Matrix(1, 2, {7, 8})), 0);
    EXPECT_EQ(FirstRunMessage(), "Columns don't match: file: 3, matrix: 2");
    EXPECT_EQ(ZuValRows(&file), 2);
    EXPECT_EQ(Close(file), 0);
    const Bytes bytes = Contents(Path("m.fmt"));
    ASSERT_EQ(bytes.size(), 16u + 48u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16),
              (Bytes{0xDD, 0xEE, 0x86, 0, 2, 0, 0, 0, 3, 0, 0, 0, 48, 0, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 56, bytes.end()), LittleDouble(6));

    ZuVALUE in = Open(Path("m.fmt"), "rf");
    EXPECT_EQ(ZuValRows(&in), 2);
    EXPECT_EQ(ZuValColumns(&in), 3);
    EXPECT_EQ(Unary(FnFsize, in), 64);
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_EQ(Read(in, &x, 2), 2);  // rows read
    ASSERT_EQ(ZuValGetMatr(&x), 2);
    EXPECT_EQ(x.w3.m[1][2], 6);
    EXPECT_EQ(Seek(in, 3, 'e', 1).w1.i, 0);
    EXPECT_EQ(Seek(in, 1).w1.i, 16 + 24);
    Close(in);
}

TEST_F(FilesTest, ScalarsInAMatrixFileAreOneByOneRows) {
    ZuVALUE file = Open(Path("col.fmt"), "wf");
    EXPECT_EQ(Write(file, Double(2)), 1);
    EXPECT_EQ(Write(file, Int(3)), 1);
    EXPECT_RUN_ERROR(Write(file, String("ab")), 37);
    Close(file);
    EXPECT_EQ(Contents(Path("col.fmt")),
              Join({{0xDD, 0xEE, 0x86, 0, 2, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0}, LittleDouble(2), LittleDouble(3)}));
}

TEST_F(FilesTest, AppendingAndUpdatingKeepTheRowCount) {
    ZuVALUE file = Open(Path("a.fmt"), "wf");
    Write(file, Matrix(2, 2, {1, 2, 3, 4}));
    Close(file);
    ZuVALUE more = Open(Path("a.fmt"), "af");
    EXPECT_EQ(ZuValRows(&more), 2);
    EXPECT_EQ(Write(more, Matrix(1, 2, {5, 6})), 1);
    EXPECT_EQ(ZuValRows(&more), 3);
    Close(more);
    // Reading and writing: the row count is what the file holds afterwards,
    // also when a row is overwritten.
    ZuVALUE both = Open(Path("a.fmt"), "r+f");
    EXPECT_EQ(Seek(both, 3, 'e', 2).w1.i, 0);
    EXPECT_EQ(Write(both, Matrix(2, 2, {7, 8, 9, 10})), 2);
    EXPECT_EQ(ZuValRows(&both), 4);
    Close(both);
    const Bytes bytes = Contents(Path("a.fmt"));
    ASSERT_EQ(bytes.size(), 16u + 64u);
    EXPECT_EQ(bytes[4], 4);
    EXPECT_EQ(Bytes(bytes.begin() + 16 + 32, bytes.begin() + 16 + 40), LittleDouble(7));
}

TEST_F(FilesTest, TheNewHeaderFixesTheByteOrder) {
    ZuVALUE file = Open(Path("n.fmt"), "wFE");
    Write(file, Matrix(1, 2, {1, 2}));
    Close(file);
    const Bytes bytes = Contents(Path("n.fmt"));
    ASSERT_EQ(bytes.size(), 136u + 16u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20),
              (Bytes{0xAB, 0xCD, 0xEF, 0x01, 0, 0, 0, 136, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 8}));
    EXPECT_EQ(Bytes(bytes.begin() + 136, bytes.begin() + 144), Reversed(LittleDouble(1)));
    // Opened without 'E', the header says big-endian.
    ZuVALUE in = Open(Path("n.fmt"), "rf");
    EXPECT_EQ(in.w2.i, 0x80 | 0x40 | 0x100 | 8 | 1);
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_EQ(Read(in, &x, 2), 1);
    ASSERT_EQ(ZuValGetMatc(&x), 2);
    EXPECT_EQ(x.w3.m[0][1], 2);
    EXPECT_EQ(Seek(in, 3, 'f', 1).w1.i, 0);
    EXPECT_EQ(Seek(in, 1).w1.i, 152);
    Close(in);
}

TEST_F(FilesTest, ADataSetWritesItsNamesFirst) {
    ZuVALUE file = Open(Path("d.dat"), "wf");
    EXPECT_EQ(Write(file, Matrix(1, 2, {1, 2})), 0);
    EXPECT_EQ(FirstRunMessage(), "Must first write variable names as array of strings");
    EXPECT_EQ(Write(file, Strings({"a", "a name longer than thirty-two characters"})), 2);
    EXPECT_EQ(Write(file, Matrix(1, 2, {1, 2})), 1);
    EXPECT_RUN_ERROR(Write(file, Strings({"late"})), 37);
    Close(file);
    // 128 bytes, two names of 32 and a zero byte each, 6 bytes to reach a
    // multiple of 8, one row.
    const Bytes bytes = Contents(Path("d.dat"));
    ASSERT_EQ(bytes.size(), 128u + 66u + 6u + 16u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20),
              (Bytes{0x02, 0xEF, 0xCD, 0xAB, 200, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0}));
    EXPECT_EQ(bytes[128], 'a');
    EXPECT_EQ(bytes[129], 0);
    EXPECT_EQ(bytes[160 + 31], 'h');  // the 32nd character of the long name

    ZuVALUE in = Open(Path("d.dat"), "rf");
    EXPECT_EQ(in.w2.i & 0x110, 0x110);
    ZuVALUE names = Int(0);
    const Freed free_names{&names};
    EXPECT_EQ(Read(in, &names, 3, 's'), 2);
    ASSERT_EQ(ZuValGetArrayLen(&names), 2);
    EXPECT_EQ(std::string(ZuValGetString(ZuValGetArrayVal(&names, 1))), "a name longer than thirty-two ch");
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_EQ(Read(in, &x, 2), 1);
    EXPECT_EQ(x.w3.m[0][1], 2);
    EXPECT_EQ(Seek(in, 3, 'e', 0).w1.i, 0);
    EXPECT_EQ(Seek(in, 1).w1.i, 200);
    Close(in);
}

TEST_F(FilesTest, InvalidHeadersAreRefused) {
    const Bytes oldShort = {0xDD, 0xEE, 0x86, 0, 1, 0};
    Bytes huge = {0xDD, 0xEE, 0x86, 0, 0, 0, 0, 0x40, 0, 0, 0, 0x40, 0, 0, 0, 0};  // 2^30 by 2^30
    Bytes negative = {0xDD, 0xEE, 0x86, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0};
    Bytes newHuge(136, 0);
    const Bytes lead = {0x01, 0xEF, 0xCD, 0xAB, 136, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0x40, 8, 0, 0, 0};
    std::copy(lead.begin(), lead.end(), newHuge.begin());
    struct Case {
        Bytes bytes;
        const char* message;
    } cases[] = {
        {{0xDA, 0, 0}, "Please convert old .DHT/.DAT to new .DAT file"},
        {{0xDD, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "Invalid .FMT file"},
        {oldShort, "Invalid .FMT file"},
        {negative, "Invalid .FMT file"},
        {{}, "Invalid .FMT or .DAT file"},
        {Bytes(200, 7), "Invalid .FMT or .DAT file"},
        {huge, "Matrix file too short: its header gives 1073741824 by 1073741824"},
        {newHuge, "Matrix file too short: its header gives 1073741824 by 1073741824"},
    };
    for (const Case& c : cases) {
        Store(Path("bad.fmt"), c.bytes);
        for (const char* mode : {"rf", "af"}) {
            runMessages.clear();
            ZuVALUE v = Open(Path("bad.fmt"), mode);
            EXPECT_EQ(v.t, ZU_INT) << c.message;
            EXPECT_EQ(v.w1.i, 0);
            EXPECT_EQ(FirstRunMessage(), c.message);
        }
        EXPECT_EQ(Contents(Path("bad.fmt")), c.bytes) << "appending must not change a refused file";
    }
    // The older form with 16-bit rows and columns.
    Store(Path("dd.fmt"),
          Join({{0xDD, 0xDD, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, LittleDouble(5), LittleDouble(6)}));
    ZuVALUE ok = Open(Path("dd.fmt"), "rf");
    EXPECT_EQ(ZuValColumns(&ok), 2);
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_EQ(Read(ok, &x, 2), 1);
    EXPECT_EQ(x.w3.m[0][1], 6);
    Close(ok);
}

// ---------------------------------------------------------------------------
// Positions
// ---------------------------------------------------------------------------

TEST_F(FilesTest, SeekSizeAndEnd) {
    Store(Path("p"), Bytes(40, 1));
    ZuVALUE file = Open(Path("p"), "r");
    EXPECT_EQ(Unary(FnFeof, file), 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 0);  // feof put its character back
    EXPECT_EQ(Seek(file, 2, 'e').w1.i, 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 8);
    EXPECT_EQ(Seek(file, 3, 'd', 3).w1.i, 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 12);
    EXPECT_EQ(Seek(file, 3, 'c', 5).w1.i, 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 5);
    EXPECT_EQ(Seek(file, 3, 'q', 9).w1.i, 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 5);
    EXPECT_NE(Seek(file, 3, 'c', -5).w1.i, 0);
    EXPECT_EQ(Seek(file, 3, 'c', -1).w1.i, 0);
    EXPECT_EQ(Seek(file, 1).w1.i, 40);
    EXPECT_EQ(Unary(FnFeof, file), 1);
    EXPECT_EQ(Unary(FnFsize, file), 40);
    EXPECT_EQ(Unary(FnFflush, file), 0);
    ZuVALUE zero[] = {Int(0)};
    EXPECT_EQ(Call(FnFflush, zero).w1.i, 0);
    Close(file);
}

// ---------------------------------------------------------------------------
// Closing
// ---------------------------------------------------------------------------

TEST_F(FilesTest, AFileIsClosedOnceAndItsCopiesGoStale) {
    ZuVALUE first = Open(Path("one"), "w");
    ZuVALUE copy = first;
    EXPECT_EQ(Close(first), 0);
    zu::value::SetRunningFunction("fclose");
    EXPECT_RUN_ERROR(Close(copy), 37);
    EXPECT_EQ(FirstRunMessage(), "fclose(): file not open in argument 1");
    // The next file takes the same slot; the stale copy still cannot reach it.
    ZuVALUE second = Open(Path("two"), "w");
    EXPECT_RUN_ERROR(Write(copy, Int(1)), 37);
    ZuVALUE text = Keep(String("x"));
    ZuVALUE print[] = {copy, text};
    EXPECT_RUN_ERROR(Call(FnFprint, print), 37);
    ZuVALUE x = Int(0);
    const Freed free_x{&x};
    EXPECT_RUN_ERROR(Read(copy, &x, 2), 37);
    EXPECT_RUN_ERROR(Unary(FnFseek, copy), 37);
    EXPECT_EQ(Write(second, Int(1)), 1);
    Close(second);
    EXPECT_EQ(Contents(Path("two")).size(), 4u);
    EXPECT_TRUE(Contents(Path("one")).empty());
}

// ---------------------------------------------------------------------------
// Working directory
// ---------------------------------------------------------------------------

TEST_F(FilesTest, ChdirAndGetcwd) {
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ZuVALUE to[] = {String(dir_.c_str())};
    EXPECT_EQ(Call(FnChdir, to).w1.i, 1);
    ZuVALUE none[1] = {};
    ZuVALUE here = Keep(Call(FnGetcwd, none));
    char* real = realpath(dir_.c_str(), nullptr);
    EXPECT_EQ(std::string(ZuValGetString(&here)), std::string(real));
    std::free(real);
    ZuVALUE missing[] = {String("no such folder")};
    EXPECT_EQ(Call(FnChdir, missing).w1.i, 0);
    ZuVALUE back[] = {String(before)};
    EXPECT_EQ(Call(FnChdir, back).w1.i, 1);
    zu_stdlib_test::FreeAll(to);
    zu_stdlib_test::FreeAll(missing);
    zu_stdlib_test::FreeAll(back);
}

}  // namespace
