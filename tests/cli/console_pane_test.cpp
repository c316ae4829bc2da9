#include "cli/console_pane.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/cp1251.h"

using namespace z51;

namespace {

// Everything a ConsolePane printed, read back from a temporary stream.
template <typename Body>
std::string Printed(bool colour, Body body) {
    std::FILE* f = std::tmpfile();
    {
        ConsolePane pane(f, colour);
        body(pane);
    }
    std::rewind(f);
    std::string out;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

std::string RunCli(const std::string& args) {
    std::string out;
    std::FILE* p = ::popen((std::string(ZANVEK_CLI) + " " + args + " 2>&1").c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = ::pclose(p);
    return std::to_string(WEXITSTATUS(status)) + ":" + out;
}

}  // namespace

TEST(ConsolePane, PlainTextIsUtf8WithLinesAsInThePane) {
    std::string out = Printed(false, [](ConsolePane& p) {
        p.SetColor(clr::Red);
        p.Append(cp("Выявлено "));
        p.Append("3");
        p.AddLine(cp("строка"));
        p.Append(std::string_view("\0x", 2));  // a NUL shows nothing
    });
    EXPECT_EQ(out, "Выявлено 3\nстрока" "x\n");
}

TEST(ConsolePane, ColoursAreTrueColourEscapesAndBlackIsTheTerminalsOwn) {
    std::string out = Printed(true, [](ConsolePane& p) {
        p.SetColor(clr::Navy);  // blue-green-red 800000H is navy: red 0, green 0, blue 128
        p.Append("a");
        p.SetColor(clr::Navy);
        p.Append("b");
        p.SetColor(clr::Black);
        p.Append("c");
    });
    EXPECT_EQ(out, "\x1b[38;2;0;0;128mab\x1b[39mc\x1b[0m\n");
}

TEST(ZanvekCli, UsageErrorsExitTwoAndHelpListsEveryCommand) {
    std::string help = RunCli("--help");
    ASSERT_EQ(help.substr(0, 2), "0:");
    for (const char* cmd : {"asm", "trim", "disasm", "bin2hex", "hex2bin", "compare", "isa", "emu"})
        EXPECT_NE(help.find(std::string("  ") + cmd + " "), std::string::npos) << cmd;
    EXPECT_EQ(RunCli("").substr(0, 2), "2:");
    EXPECT_EQ(RunCli("frobnicate").substr(0, 2), "2:");
    EXPECT_EQ(RunCli("--bogus isa").substr(0, 2), "2:");
    EXPECT_EQ(RunCli("asm /nonexistent/x.a51").substr(0, 2), "2:");
}
