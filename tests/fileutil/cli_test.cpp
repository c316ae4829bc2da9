// zanvek-cli bin2hex, hex2bin, compare and disasm: exit status and files.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "tests/support/test_files.h"

using namespace z51::test;

namespace {

struct Cli {
    TempDir dir;
    // Exit status of zanvek-cli with `args` (run in the temporary folder).
    int Run(const std::string& args) {
        const std::string command =
            "cd '" + dir.dir.string() + "' && '" + ZANVEK_CLI + "' " + args + " > out.txt 2> err.txt";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Read(const std::string& name) { return ReadAll(dir / name); }
};

}  // namespace

TEST(Cli, Bin2HexAndBack) {
    Cli c;
    WriteBytes(c.dir / "a.bin", {0x02, 0x00, 0x30});
    EXPECT_EQ(c.Run("bin2hex a.bin a"), 0);
    EXPECT_EQ(c.Read("a.Hex"), ":03000000020030CB\r\n:00000001FF\r\n");  // console default: CR LF
    EXPECT_EQ(c.Run("bin2hex --width 2 --lf a.bin b.hex"), 0);
    EXPECT_EQ(c.Read("b.hex"), ":020000000200FC\n:0100020030CD\n:00000001FF");
    EXPECT_EQ(c.Run("hex2bin b.hex back.bin"), 0);
    EXPECT_EQ(c.Read("back.bin"), std::string("\x02\x00\x30", 3));
    EXPECT_EQ(c.Run("bin2hex --width 0 a.bin x.hex"), 2);
    EXPECT_EQ(c.Run("bin2hex a.bin"), 2);
    EXPECT_EQ(c.Run("bin2hex none.bin x.hex"), 2);
    EXPECT_NE(c.Read("err.txt").find("none.bin"), std::string::npos);
}

TEST(Cli, Hex2BinReportsWhatItCouldNotTake) {
    Cli c;
    std::ofstream(c.dir / "empty.hex") << ":00000001FF\n";
    EXPECT_EQ(c.Run("hex2bin empty.hex e.bin"), 1);
    EXPECT_FALSE(fs::exists(c.dir / "e.bin"));
    std::ofstream(c.dir / "bad.hex") << "zz\n:0300000002003099\n";
    EXPECT_EQ(c.Run("hex2bin bad.hex f.bin"), 1);  // written, but with damage reported
    EXPECT_EQ(c.Read("f.bin"), std::string("\x02\x00\x30", 3));
    EXPECT_NE(c.Read("out.txt").find("Пропущены строки: 1"), std::string::npos);
    // Files of srec_cat: an ignored start address is no fault; dropped data
    // and a missing end record are.
    for (const auto& [file, status] : {std::pair{"start_linear.hex", 0}, {"start_i8hex.hex", 0},
                                       {"above_linear.hex", 1}, {"cut_short.hex", 1}}) {
        EXPECT_EQ(c.Run("hex2bin '" + std::string(FILEUTIL_FIXTURES_DIR) + "/" + file + "' g.bin"), status) << file;
        EXPECT_TRUE(fs::exists(c.dir / "g.bin")) << file;
    }
}

TEST(Cli, CompareExitStatus) {
    Cli c;
    WriteBytes(c.dir / "a.bin", {1, 2, 3});
    WriteBytes(c.dir / "b.bin", {1, 2, 3});
    WriteBytes(c.dir / "c.bin", {1, 2, 3, 4});
    WriteBytes(c.dir / "d.bin", {1, 9, 3});
    EXPECT_EQ(c.Run("compare a.bin b.bin"), 0);
    EXPECT_NE(c.Read("out.txt").find("полностью идентичны!"), std::string::npos);
    EXPECT_EQ(c.Run("compare a.bin c.bin"), 1);
    EXPECT_EQ(c.Run("compare a.bin d.bin"), 1);
    EXPECT_NE(c.Read("out.txt").find("0000 | 01 02 03    0000 | 01 09 03 "), std::string::npos) << c.Read("out.txt");
    EXPECT_EQ(c.Run("compare a.bin none.bin"), 2);
}

TEST(Cli, DisasmBothWays) {
    Cli c;
    WriteBytes(c.dir / "p.bin", {0x80, 0xFE});
    EXPECT_EQ(c.Run("disasm p.bin"), 0);
    EXPECT_NE(c.Read("p.D51").find("\tSJMP\t00000H"), std::string::npos);
    EXPECT_NE(c.Read("out.txt").find("Создан файл p.D51"), std::string::npos);
    EXPECT_EQ(c.Run("disasm --labels p.bin"), 0);
    EXPECT_NE(c.Read("p.D51").find("LBL0000: SJMP\tLBL0000"), std::string::npos);
    EXPECT_NE(c.Read("out.txt").find("    1 0000 80 FE    LBL0000: SJMP\tLBL0000"), std::string::npos);
    EXPECT_EQ(c.Run("disasm"), 2);
    EXPECT_EQ(c.Run("disasm --bogus p.bin"), 2);
}
