// Program, register dump and external RAM files.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "core/file_error.h"
#include "core/fileio.h"
#include "emulator/emufiles.h"
#include "tests/support/emulator.h"

namespace z51::test {
namespace {

namespace fs = std::filesystem;

class EmuFilesTest : public EmuTest {
protected:
    fs::path dir = fs::temp_directory_path() /
                   ("z51emu_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const char* name) const { return (dir / name).string(); }
    std::string File(const char* name, std::size_t size, std::uint8_t first = 1) {
        std::vector<std::uint8_t> bytes(size);
        std::iota(bytes.begin(), bytes.end(), first);
        WriteFileAtomic(Path(name), bytes);
        return Path(name);
    }
};

TEST_F(EmuFilesTest, DumpSaveChangeLoadRestoresRamRegistersAndPc) {
    for (unsigned k = 0; k < 256; ++k) c.dump[k] = static_cast<std::uint8_t>(k ^ 0x5A);
    c.R = {10, 11, 12, 13, 14, 15, 16, 17};
    c.PC = 0x1234;
    SaveRegs(c, Path("a.dmp"));

    const auto file = ReadBinaryFile(Path("a.dmp"));
    ASSERT_EQ(file.size(), 266u);
    EXPECT_EQ(file[0x81], 0x81 ^ 0x5A);
    EXPECT_EQ(file[256], 10);
    EXPECT_EQ(file[263], 17);
    EXPECT_EQ(file[264], 0x34);
    EXPECT_EQ(file[265], 0x12);

    c.dump.fill(0);
    c.R.fill(0);
    c.PC = 0;
    code[0x1234] = 0xE4;  // CLR A at the dumped PC
    LoadResult r = LoadRegs(c, ws->CodeImage, Path("a.dmp"));
    EXPECT_TRUE(r.Ok());
    for (unsigned k = 0; k < 256; ++k) ASSERT_EQ(c.dump[k], k ^ 0x5A) << k;
    EXPECT_EQ(c.R, (std::array<std::uint8_t, 8>{10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(c.PC, 0x1234);
    // The next step executes the instruction at the new PC.
    EXPECT_EQ(c.cur[0], 0xE4);
    Shag1(c, code);
    EXPECT_EQ(c.A(), 0);
    EXPECT_EQ(c.PC, 0x1235);
}

TEST_F(EmuFilesTest, DumpFileLengths) {
    // Longer than 266: the first 266 bytes count; the shared count is 266.
    LoadResult r = LoadRegs(c, ws->CodeImage, File("long.dmp", 300));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(c.dump[0], 1);
    EXPECT_EQ(c.dump[265], static_cast<std::uint8_t>(266));
    EXPECT_EQ(c.R[0], static_cast<std::uint8_t>(257));
    EXPECT_EQ(c.PC, (266 & 0xFF) << 8 | (265 & 0xFF));
    EXPECT_EQ(c.extRamCount, 266u);

    // A large file is no different (its size is not taken modulo 65,536).
    r = LoadRegs(c, ws->CodeImage, File("huge.dmp", 65536, 3));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(c.dump[0], 3);
    EXPECT_EQ(c.extRamCount, 266u);

    // 256 bytes: internal RAM only; R0..R7 and PC take the staging bytes of
    // the previous dump command (here a save).
    c.R = {1, 2, 3, 4, 5, 6, 7, 8};
    c.PC = 0x4321;
    SaveRegs(c, Path("saved.dmp"));
    c.R.fill(0xEE);
    c.PC = 0;
    r = LoadRegs(c, ws->CodeImage, File("short.dmp", 256, 0x40));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(c.dump[0], 0x40);
    EXPECT_EQ(c.dump[255], 0x3F);
    EXPECT_EQ(c.R, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(c.PC, 0x4321);
    EXPECT_EQ(c.extRamCount, 256u);
}

TEST_F(EmuFilesTest, EmptyOrMissingDumpChangesNothingButTheEmptyOneZeroesTheCount) {
    c.dump[0x30] = 0x77;
    c.R[3] = 3;
    c.PC = 0x0200;
    c.extRamCount = 100;
    LoadResult r = LoadRegs(c, ws->CodeImage, Path("missing.dmp"));
    EXPECT_EQ(r.status, LoadStatus::Failed);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(c.extRamCount, 100u);

    r = LoadRegs(c, ws->CodeImage, File("empty.dmp", 0));
    EXPECT_EQ(r.status, LoadStatus::Failed);
    EXPECT_EQ(c.extRamCount, 0u);
    EXPECT_EQ(c.dump[0x30], 0x77);
    EXPECT_EQ(c.R[3], 3);
    EXPECT_EQ(c.PC, 0x0200);

    EXPECT_EQ(LoadRegs(c, ws->CodeImage, dir.string()).status, LoadStatus::Failed);  // a directory
    EXPECT_EQ(c.PC, 0x0200);
}

TEST_F(EmuFilesTest, ProgramLoadFillsFromZeroAndKeepsTheRest) {
    code.fill(0xFF);
    c.PC = 0x0002;
    c.notice.kind = SimpleNotice::ParityRead;  // about the program before
    LoadResult r = LoadProgram(*ws, c, File("prog.bin", 4096));
    EXPECT_EQ(c.notice.kind, SimpleNotice::None);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(code[0x0000], 1);
    EXPECT_EQ(code[0x0FFF], static_cast<std::uint8_t>(4096));
    EXPECT_EQ(code[0x1000], 0xFF);
    EXPECT_EQ(c.codeLoadCount, 4096u);
    EXPECT_EQ(c.cur[0], 3);  // fetched anew at PC
    EXPECT_EQ(c.PC, 0x0002);  // the load leaves PC alone

    r = LoadProgram(*ws, c, File("empty.bin", 0));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(c.codeLoadCount, 0u);
    EXPECT_EQ(code[0], 1);
}

TEST_F(EmuFilesTest, SixtyFourKiBLoadsWholeAndLargerIsRefused) {
    LoadResult r = LoadProgram(*ws, c, File("full.bin", 65536, 7));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(code[0x0000], 7);
    EXPECT_EQ(code[0xFFFF], 6);
    EXPECT_EQ(c.codeLoadCount, 65536u);

    r = LoadProgram(*ws, c, File("big.bin", 65537, 0x20));
    EXPECT_EQ(r.status, LoadStatus::Refused);
    EXPECT_NE(r.message.find("65536"), std::string::npos);
    EXPECT_EQ(code[0x0000], 7);
    EXPECT_EQ(c.codeLoadCount, 65536u);

    r = LoadExt(c, File("fullx.bin", 65536, 9));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(c.xram[0xFFFF], 8);
    EXPECT_EQ(c.extRamCount, 65536u);
    r = LoadExt(c, File("bigx.bin", 70000, 0x20));
    EXPECT_EQ(r.status, LoadStatus::Refused);
    EXPECT_EQ(c.xram[0], 9);
    EXPECT_EQ(c.extRamCount, 65536u);

    SaveExt(c, Path("outx.bin"));
    EXPECT_EQ(fs::file_size(Path("outx.bin")), 65536u);
}

TEST_F(EmuFilesTest, MissingProgramChangesNothing) {
    code[0] = 0x12;
    LoadResult r = LoadProgram(*ws, c, Path("nope.bin"));
    EXPECT_EQ(r.status, LoadStatus::Failed);
    EXPECT_EQ(code[0], 0x12);
    EXPECT_EQ(LoadProgram(*ws, c, "").status, LoadStatus::Failed);
}

TEST_F(EmuFilesTest, ExternalRamSaveWritesTheSharedCount) {
    EXPECT_TRUE(LoadExt(c, File("x.bin", 100)).Ok());
    EXPECT_EQ(c.extRamCount, 100u);
    // MOVX @DPTR,A changes a byte inside the loaded range and one beyond it.
    c.A() = 0xAA;
    c.SetDptr(0x0005);
    Exec({0xF0});
    c.SetDptr(0x0100);
    Exec({0xF0});
    SaveExt(c, Path("x2.bin"));
    auto saved = ReadBinaryFile(Path("x2.bin"));
    ASSERT_EQ(saved.size(), 100u);
    EXPECT_EQ(saved[0], 1);
    EXPECT_EQ(saved[5], 0xAA);
    EXPECT_EQ(saved[99], 100);

    // After a 266-byte dump load, an external RAM save writes 266 bytes.
    SaveRegs(c, Path("r.dmp"));
    EXPECT_TRUE(LoadRegs(c, ws->CodeImage, Path("r.dmp")).Ok());
    SaveExt(c, Path("x3.bin"));
    EXPECT_EQ(fs::file_size(Path("x3.bin")), 266u);
    EXPECT_EQ(ReadBinaryFile(Path("x3.bin"))[0x100], 0xAA);
}

TEST_F(EmuFilesTest, ExternalRamSaveBeforeAnyLoadWritesAnEmptyFile) {
    c.xram[0] = 1;
    SaveExt(c, Path("none.bin"));
    EXPECT_EQ(fs::file_size(Path("none.bin")), 0u);
}

TEST_F(EmuFilesTest, FailedSavesRaiseAndKeepTheOldFile) {
    EXPECT_THROW(SaveRegs(c, Path("no/such/dir/r.dmp")), FileError);
    EXPECT_THROW(SaveExt(c, ""), FileError);

    SaveRegs(c, Path("keep.dmp"));
    const auto before = ReadBinaryFile(Path("keep.dmp"));
    c.dump[0] = 0x99;
    AtomicFile::failAfterBytesForTest = 100;
    EXPECT_THROW(SaveRegs(c, Path("keep.dmp")), FileError);
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_EQ(ReadBinaryFile(Path("keep.dmp")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

}  // namespace
}  // namespace z51::test
