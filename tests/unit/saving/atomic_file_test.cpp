// The writer behind every save: the target changes only on a commit that
// found every byte written.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "console/atomic_file.h"
#include "saving/child_run.h"

namespace zu::saving::test {
namespace {

using console::AtomicFile;

class AtomicFileTest : public ScratchFolder {};

TEST_F(AtomicFileTest, CommitReplacesTheTargetAndLeavesNothingElse) {
    WriteOld({"a.txt"});
    {
        AtomicFile file(Path("a.txt"));
        ASSERT_NE(file.Stream(), nullptr);
        std::fputs("new\n", file.Stream());
        EXPECT_EQ(Read("a.txt"), OldContents("a.txt")) << "the target changes only on commit";
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(Read("a.txt"), "new\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(AtomicFileTest, FailureLeavesTheOldFileAndRemovesTheTemporary) {
    WriteOld({"a.txt", "b.txt", "c.txt"});
    {
        AtomicFile failed(Path("a.txt"));
        std::fputs("half", failed.Stream());
        failed.Fail();
        EXPECT_FALSE(failed.Commit());
        AtomicFile empty(Path("b.txt"));
        EXPECT_FALSE(empty.Commit()) << "nothing written is a failure";
        AtomicFile abandoned(Path("c.txt"));
        std::fputs("never committed", abandoned.Stream());
    }
    ExpectOld({"a.txt", "b.txt", "c.txt"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(AtomicFileTest, StreamClosedByItsWriterOrWrittenByName) {
    {
        AtomicFile released(Path("r.bin"));
        std::FILE* stream = released.ReleaseStream();
        ASSERT_NE(stream, nullptr);
        std::fputs("by the writer", stream);
        ASSERT_EQ(std::fclose(stream), 0);
        EXPECT_TRUE(released.Commit());
    }
    {
        AtomicFile byName(Path("n.bin"));
        byName.CloseStream();
        std::FILE* other = std::fopen(byName.TemporaryName().c_str(), "wb");
        ASSERT_NE(other, nullptr);
        std::fputs("by name", other);
        ASSERT_EQ(std::fclose(other), 0);
        EXPECT_TRUE(byName.Commit());
    }
    EXPECT_EQ(Read("r.bin"), "by the writer");
    EXPECT_EQ(Read("n.bin"), "by name");
}

TEST_F(AtomicFileTest, BackupOnlyWhenTheNewFileIsInPlace) {
    WriteOld({"d.dat"});
    {
        AtomicFile failed(Path("d.dat"), Path("d.bak"));
        failed.Fail();
        EXPECT_FALSE(failed.Commit());
    }
    EXPECT_FALSE(Exists("d.bak"));
    {
        AtomicFile saved(Path("d.dat"), Path("d.bak"));
        std::fputs("new", saved.Stream());
        EXPECT_TRUE(saved.Commit());
    }
    EXPECT_EQ(Read("d.dat"), "new");
    EXPECT_EQ(Read("d.bak"), OldContents("d.dat"));
}

TEST_F(AtomicFileTest, MissingFolderAndKeptPermissions) {
    AtomicFile nowhere(Path("no/such/folder/x.txt"));
    EXPECT_FALSE(nowhere.Created());
    EXPECT_EQ(nowhere.Stream(), nullptr);
    EXPECT_FALSE(nowhere.Commit());

    WriteOld({"p.txt"});
    ASSERT_EQ(::chmod(Path("p.txt").c_str(), 0640), 0);
    {
        AtomicFile file(Path("p.txt"));
        std::fputs("new", file.Stream());
        EXPECT_TRUE(file.Commit());
    }
    struct stat st {};
    ASSERT_EQ(::stat(Path("p.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640U);
}

TEST_F(AtomicFileTest, NameAsLongAsTheFolderAllows) {
    const std::string name(250, 'n');
    {
        AtomicFile file(Path(name));
        ASSERT_NE(file.Stream(), nullptr);
        std::fputs("long", file.Stream());
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_EQ(Read(name), "long");
}

TEST_F(AtomicFileTest, LinksAreFollowedAndDevicesWrittenInPlace) {
    WriteOld({"real.txt"});
    std::filesystem::create_symlink("real.txt", Dir() / "link.txt");
    {
        AtomicFile file(Path("link.txt"));
        std::fputs("through the link", file.Stream());
        EXPECT_TRUE(file.Commit());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(Dir() / "link.txt"));
    EXPECT_EQ(Read("real.txt"), "through the link");
    {
        AtomicFile sink("/dev/null");
        ASSERT_NE(sink.Stream(), nullptr);
        std::fputs("gone", sink.Stream());
        EXPECT_TRUE(sink.Commit());
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null")) << "a rename would have replaced the device";
    AtomicFile folder(Dir().string());
    EXPECT_FALSE(folder.Created());
}

TEST_F(AtomicFileTest, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "every file is writable for root";
    WriteOld({"locked.txt"});
    ASSERT_EQ(::chmod(Path("locked.txt").c_str(), 0444), 0);
    AtomicFile file(Path("locked.txt"));
    EXPECT_FALSE(file.Created());
    EXPECT_FALSE(file.Commit());
    ExpectOld({"locked.txt"});
}

TEST(PortableFileName, SlashesAndTrailingBlanks) {
    EXPECT_EQ(console::PortableFileName("a\\b\\c.dat  \t\n"), "a/b/c.dat");
    EXPECT_EQ(console::PortableFileName(" x "), " x");
    EXPECT_EQ(console::PortableFileName(""), "");
}

}  // namespace
}  // namespace zu::saving::test
