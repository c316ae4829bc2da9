#include "core/fileio.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_error.h"

using namespace z51;
namespace fs = std::filesystem;

namespace {
struct TempDir {
    fs::path dir = fs::temp_directory_path() / ("z51core_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() { fs::create_directories(dir); }
    ~TempDir() { fs::remove_all(dir); }
    std::string operator/(const char* name) const { return (dir / name).string(); }
};
}  // namespace

TEST(FileIo, MissingFileRaisesFileErrorWithPath) {
    TempDir t;
    try {
        ReadBinaryFile(t / "nope.bin");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), t / "nope.bin");
        EXPECT_FALSE(e.Reason().empty());
    }
    EXPECT_THROW(ReadBinaryFile(""), FileError);
}

TEST(FileIo, AtomicWriteReplacesOnlyWhenComplete) {
    TempDir t;
    std::string target = t / "out.bin";
    WriteFileAtomic(target, std::string_view("good"));
    {
        AtomicFile::failAfterBytesForTest = 3;
        EXPECT_THROW(WriteFileAtomic(target, std::string_view("longer text")), FileError);
        AtomicFile::failAfterBytesForTest = -1;
    }
    EXPECT_EQ(ReadTextFile(target), "good");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), fs::directory_iterator{}), 1) << "no temporary left";
    {
        AtomicFile f(target);
        f.Write(std::string_view("abandoned"));
    }
    EXPECT_EQ(ReadTextFile(target), "good");
}

TEST(FileIo, TextReaderSplitsEveryLineEnd) {
    TextReader r;
    r.OpenText("a\r\nb\nc\rd\n\ne");
    std::vector<std::string> lines;
    while (!r.AtEnd()) lines.push_back(r.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(r.ReadLine(), "");
}

// The in-memory seam behaves as the disk does for the paths inside its
// folder, and leaves every other path to the disk.
TEST(FileIo, MemoryFilesStandInForTheDiskInsideTheirFolder) {
    TempDir t;
    WriteFileAtomic(t / "outside.txt", std::string_view("disk"));
    MemoryFiles memory(t / "mem");
    const std::string a = t / "mem/a.txt", sub = t / "mem/sub/b.txt";
    WriteFileAtomic(a, std::string_view("one"));
    EXPECT_FALSE(fs::exists(a));  // nothing on the disk
    EXPECT_TRUE(FileExists(t / "mem/./sub/../a.txt"));
    EXPECT_EQ(ReadTextFile(a), "one");
    EXPECT_EQ(FileSize(a), 3u);
    EXPECT_EQ(ReadTextFile(t / "outside.txt"), "disk");
    EXPECT_THROW(WriteFileAtomic(sub, std::string_view("x")), FileError);  // no such folder yet
    memory.files[*memory.KeyOf(sub)] = "two";
    EXPECT_THROW(ReadTextFile(t / "mem/sub"), FileError);  // a folder
    EXPECT_THROW(ReadTextFile(t / "mem/none.txt"), FileError);
    AtomicFile::failAfterBytesForTest = 2;
    EXPECT_THROW(WriteFileAtomic(a, std::string_view("three")), FileError);
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_EQ(ReadTextFile(a), "one");  // the failed write left the file and no temporary
    EXPECT_EQ(memory.files.size(), 2u);
}
