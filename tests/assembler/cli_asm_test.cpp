// zanvek-cli asm: what the console shows and the exit status.

#include <sys/wait.h>

#include <cstdio>

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun Cli(const std::string& args) {
    CliRun r;
    std::string cmd = std::string(ZANVEK_CLI) + " " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

TEST(CliAsm, CommentsAndLabelsAssembleAndShowTheFinalListingOnly) {
    TempDir dir;
    std::string src = dir.File("only.a51");
    WriteFileAtomic(src, cp("; Только комментарии и метки\nSTART:\nEND_:\n"));
    CliRun r = Cli("asm " + src);
    EXPECT_EQ(r.status, 0);
    // Cyrillic letters that look like Latin ones are read as Latin, in
    // comments too: Т, о, е, а, р become T, o, e, a, p.
    EXPECT_EQ(r.out,
              "    1 0000          ; Toлькo кoммeнтapии и мeтки\n"
              "    2 0000          START:\n"
              "    3 0000          END_:\n"
              "Таблица меток и приравниваний [2]:\n"
              "START  0000 | END_   0000\n"
              "Объём Bin-файла (FileSize): 0\n");
    EXPECT_TRUE(FileExists(dir.File("only.Bin")));
    EXPECT_EQ(ReadTextFile(dir.File("only.Hex")), ":00000001FF\r\n");
}

TEST(CliAsm, ExitStatusForErrorsUsageAndFiles) {
    TempDir dir;
    std::string src = dir.File("bad.a51");
    WriteFileAtomic(src, "\tFROB\n");
    CliRun bad = Cli("asm " + src);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("Выявлены ошибки [1] в строках:"), std::string::npos);
    EXPECT_EQ(bad.out.find("Компиляция завершена"), std::string::npos);  // no first-pass text

    // A macro definition never closed has taken in the rest of the program.
    WriteFileAtomic(dir.File("open.a51"), "\tNOP\nM1 MACRO\n\tNOP\n");
    CliRun open = Cli("asm " + dir.File("open.a51"));
    EXPECT_EQ(open.status, 1);
    EXPECT_NE(open.out.find("Макроопределение M1 не закрыто директивой ENDM!"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.File("open.Bin")));

    EXPECT_EQ(Cli("asm").status, 2);
    EXPECT_EQ(Cli("asm a b").status, 2);
    CliRun missing = Cli("asm " + dir.File("missing.a51"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("missing.a51"), std::string::npos);
}

TEST(CliAsm, OutputThatCannotBeWrittenIsExitTwo) {
    TempDir dir;
    std::string src = dir.File("p.a51");
    WriteFileAtomic(src, "\tNOP\n");
    std::filesystem::create_directory(dir.File("p.Bin"));  // a folder where the file should go
    CliRun r = Cli("asm " + src);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("p.Bin"), std::string::npos);
}

}  // namespace
}  // namespace z51::test
