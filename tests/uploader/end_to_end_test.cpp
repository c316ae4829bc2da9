// Runs the real tolvane program against a phone simulated on a
// pseudo-terminal at its default settings. Every byte costs it 10 ms and a
// terminal port adds 8 s of pauses for one entry (--check waits for the
// answers instead), so the inputs stay tiny.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "entry_lines.h"
#include "simulated_modem.h"

extern char** environ;

namespace tolvane {
namespace {

using testing::EntryCommand;
using testing::EntryLine;
using testing::LineOf;

const std::string kBanner = "Program for copy data from file to COM port.\n";
const std::string kUsage = "..\\tolvane COMi Namefile\n";

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(int fd) {
    std::string bytes;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}

// The program's output is a few lines, well within what the pipes hold
// until it has finished.
Finished RunTolvane(const std::vector<std::string>& args) {
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);

    std::vector<char*> argv{const_cast<char*>(TOLVANE_PATH)};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, TOLVANE_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    Finished finished;
    finished.out = ReadAll(out[0]);
    finished.err = ReadAll(err[0]);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        finished.status = WEXITSTATUS(status);
    return finished;
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "tolvane_e2e_" + name;
}

std::string WriteInput(const std::string& name, const std::string& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

const std::string kCyrillicName = "\xC8\xE2\xE0\xED\xEE\xE2";  // "Иванов" in code page 1251

TEST(TolvaneProgram, DryRunIntoAnOrdinaryFile) {
    const std::string input =
        WriteInput("dry.txt", EntryLine("Petrov") + "\r\n" + LineOf(94, {{1, "1"}}) + "\r\n" +
                                  EntryLine(kCyrillicName, " ") + "\r\n");
    const std::string port = TempPath("dry_port.txt");
    std::ofstream(port)
        << "left over from an earlier run, longer than the new content by far......";

    const auto run = RunTolvane({port, input});
    const std::string first = EntryCommand("2", "002", "Petrov");
    const std::string second = EntryCommand("3", "003", kCyrillicName);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Contents(port), "ATZ\rATE0\r" + first + second);
    EXPECT_EQ(run.out,
              kBanner + "Start!\nATZ\r\nATE0\r\n" + first + "\n" + second + "\nThe End.\n");
    EXPECT_EQ(run.err, "");
}

TEST(TolvaneProgram, EchoingPhoneGetsTheExactBytesWithTheLongPauses) {
    testing::SimulatedModem phone;
    ASSERT_TRUE(phone.Ready());
    const std::string input = WriteInput("pty.txt", EntryLine("Petrov") + "\r\n");

    const auto started = std::chrono::steady_clock::now();
    const auto run = RunTolvane({phone.SlaveName(), input});
    const auto took = std::chrono::steady_clock::now() - started;

    const std::string entry = EntryCommand("2", "002", "Petrov");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(phone.Hangup(), "ATZ\rATE0\r" + entry);
    EXPECT_EQ(run.out, kBanner + "Start!\nATZ\r\nATE0\r\n" + entry + "\nThe End.\n");
    // 4000 ms after ATZ, 2000 ms after ATE0 and after the entry.
    EXPECT_GE(took, std::chrono::milliseconds(8000));
}

TEST(TolvaneProgram, CheckReportsTheEntryThePhoneRefusedAndUcs2SendsTheNameInHexadecimal) {
    testing::SimulatedModem phone(2);
    ASSERT_TRUE(phone.Ready());
    const std::string input =
        WriteInput("check.txt", EntryLine("\xDF") + "\r\n" + EntryLine("B") + "\r\n");  // "Я"
    const auto run = RunTolvane({"--check", "--ucs2", phone.SlaveName(), input});

    const std::string first =
        "AT+CPBW=2,\"1230456123#4500\",129,"
        "\"0030003000320020042F0020002F004F0046004600490043\"\r";
    const std::string second =
        "AT+CPBW=3,\"1230456123#4500\",129,"
        "\"003000300033002000420020002F004F0046004600490043\"\r";
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(phone.Hangup(), "ATZ\rATE0\rAT+CSCS=\"UCS2\"\r" + first + second);
    // "Запись 3 (строка 2): ERROR", "1 записано, 1 с ошибкой" in code page 1251.
    EXPECT_EQ(run.out,
              kBanner + "Start!\nATZ\r\nATE0\r\nAT+CSCS=\"UCS2\"\r\n" + first + "\n" + second +
                  "\n\xC7\xE0\xEF\xE8\xF1\xFC 3 (\xF1\xF2\xF0\xEE\xEA\xE0 2): ERROR\n" +
                  "1 \xE7\xE0\xEF\xE8\xF1\xE0\xED\xEE, 1 \xF1 \xEE\xF8\xE8\xE1\xEA\xEE\xE9\n" +
                  "The End.\n");
}

// Each refusal leaves every file as it was and creates none.
TEST(TolvaneProgram, RefusalsExitWithStatusOneAndTouchNoFile) {
    const std::string book = WriteInput("book.txt", EntryLine("Petrov") + "\r\n");
    const std::string big = WriteInput("big.txt", [] {
        std::string lines;
        for (int n = 0; n < 999; ++n) lines += EntryLine("N") + "\r\n";
        return lines;
    }());
    const std::string dryRun = WriteInput("earlier_dry_run.txt", "kept");
    const std::string comName = ::testing::TempDir() + "COM8";
    std::filesystem::remove(comName);
    testing::SimulatedModem phone;
    ASSERT_TRUE(phone.Ready());

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{}, "Parametrs not found..."},
             {{book, book}, "Port " + book + " and file " + book + " are one file..."},
             {{book, phone.SlaveName()}, "File " + phone.SlaveName() + " not found..."},
             {{dryRun, ::testing::TempDir()}, "File " + ::testing::TempDir() + " not found..."},
             {{"/dev/ttyUSB_tolvane_absent", book}, "/dev/ttyUSB_tolvane_absent not found..."},
             {{comName, book}, comName + " not found..."},
             {{"/no/such/folder/COM1", book}, "/no/such/folder/COM1 not found..."},
             {{"--baud", "300", dryRun, book},
              "Line speed 300 not known: 1200, 2400, 4800, 9600, "
              "19200, 38400, 57600 or 115200..."},
         }) {
        const auto run = RunTolvane(c.args);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(run.out, kBanner + c.message + "\n" + kUsage);
    }
    auto run = RunTolvane({dryRun, big});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner + "Too many entries: the phone book index is limited to 999.\n");

    EXPECT_EQ(Contents(book), EntryLine("Petrov") + "\r\n");
    EXPECT_EQ(Contents(dryRun), "kept");
    EXPECT_FALSE(std::filesystem::exists("/dev/ttyUSB_tolvane_absent"));
    EXPECT_FALSE(std::filesystem::exists(comName));
    EXPECT_EQ(phone.Hangup(), "");
}

TEST(TolvaneProgram, VersionAndHelp) {
    auto run = RunTolvane({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "tolvane " ZANVEK_VERSION "\n");
    run = RunTolvane({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\n  --baud N "), std::string::npos) << run.out;
}

TEST(TolvaneProgram, PortThatRefusesTheBytesExitsWithStatusTwo) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    const std::string input = WriteInput("full.txt", EntryLine("Petrov") + "\r\n");
    const auto run = RunTolvane({"/dev/full", input});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, kBanner + "Start!\n");
    EXPECT_NE(run.err.find("/dev/full"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tolvane
