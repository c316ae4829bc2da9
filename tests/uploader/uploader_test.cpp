#include "uploader/uploader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "entry_lines.h"
#include "uploader/phonebook.h"

namespace tolvane {
namespace {

using std::chrono::milliseconds;
using testing::EntryCommand;
using testing::EntryLine;
using testing::LineOf;

const std::string kBanner = "Program for copy data from file to COM port.\n";
const std::string kUsage = "..\\tolvane COMi Namefile\n";

// One trace of everything that reaches the port: the bytes as they are and
// every pause as <ms>, in the order they happen.
struct Trace {
    std::string events;
    bool closed = false;
};

class FakePort final : public Port {
public:
    FakePort(Trace& trace, bool terminal, long failAfterBytes)
        : trace_(trace), terminal_(terminal), bytesLeft_(failAfterBytes) {}
    void WriteByte(char c) override {
        if (bytesLeft_-- == 0)
            throw std::system_error(EIO, std::generic_category(), "cannot write to COM9");
        trace_.events += c;
    }
    bool IsTerminal() const override { return terminal_; }
    void Close() override { trace_.closed = true; }

private:
    Trace& trace_;
    bool terminal_;
    long bytesLeft_;
};

class FakeSleeper final : public Sleeper {
public:
    explicit FakeSleeper(Trace& trace) : trace_(trace) {}
    void Pause(milliseconds duration) override {
        trace_.events += "<" + std::to_string(duration.count()) + ">";
    }

private:
    Trace& trace_;
};

std::string Without(std::string text, const std::string& part) {
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
    return text;
}

class UploaderTest : public ::testing::Test {
protected:
    std::string InputPath() const {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        return ::testing::TempDir() + "tolvane_" + name + ".txt";
    }

    void WriteInput(const std::string& bytes) const {
        std::ofstream(InputPath(), std::ios::binary) << bytes;
    }

    void WriteInputLines(const std::vector<std::string>& lines) const {
        std::string bytes;
        for (const auto& line : lines) bytes += line + "\r\n";
        WriteInput(bytes);
    }

    int Run(const std::vector<std::string>& args) {
        const PortOpener openPort = [this](const std::string& nomport) -> std::unique_ptr<Port> {
            openedPort = nomport;
            if (portMissing) return nullptr;
            return std::make_unique<FakePort>(trace, terminal, failAfterBytes);
        };
        FakeSleeper sleeper(trace);
        return RunTolvane(args, {out, err}, openPort, sleeper);
    }

    int Upload(const std::string& nomport = "dry-run.txt") { return Run({nomport, InputPath()}); }

    // What reached the port, without the 10 ms pause after every byte.
    std::string Sent() const { return Without(trace.events, "<10>"); }

    Trace trace;
    std::ostringstream out;
    std::ostringstream err;
    std::string openedPort;
    bool portMissing = false;
    bool terminal = false;
    long failAfterBytes = -1;
};

// ---- Pauses ------------------------------------------------------------------

TEST_F(UploaderTest, EveryByteIsFollowedByTenMilliseconds) {
    WriteInputLines({EntryLine("Petrov")});
    EXPECT_EQ(Upload(), kCompleted);
    const std::string& events = trace.events;
    ASSERT_EQ(events.size() % 5, 0u);
    for (std::size_t at = 0; at < events.size(); at += 5)
        EXPECT_EQ(events.substr(at + 1, 4), "<10>") << at;
}

struct PauseCase {
    const char* nomport;
    bool terminal;
    bool longPauses;
};

void PrintTo(const PauseCase& c, std::ostream* os) {
    *os << c.nomport << (c.terminal ? " (terminal)" : "");
}

class LongPauseTest : public UploaderTest, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(LongPauseTest, FollowResetAndEveryEntryOnlyForComPortsAndTerminals) {
    terminal = GetParam().terminal;
    WriteInputLines({EntryLine("Petrov"), EntryLine("Sidorov")});
    EXPECT_EQ(Upload(GetParam().nomport), kCompleted);

    std::string expected = "ATZ\r<4000>ATE0\r<2000>" + EntryCommand("2", "002", "Petrov") +
                           "<2000>" + EntryCommand("3", "003", "Sidorov") + "<2000>";
    if (!GetParam().longPauses) expected = Without(Without(expected, "<4000>"), "<2000>");
    EXPECT_EQ(Sent(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    PortNames, LongPauseTest,
    ::testing::Values(PauseCase{"COM2", false, true}, PauseCase{"com2", false, true},
                      PauseCase{"COM", false, true}, PauseCase{"Com2", false, false},
                      PauseCase{"cOM2", false, false}, PauseCase{"CO", false, false},
                      PauseCase{"dry-run.txt", false, false},
                      PauseCase{"/dev/ttyUSB0", true, true}));

// ---- Which lines are sent ---------------------------------------------------

TEST_F(UploaderTest, SkippedLinesTakeNoIndex) {
    WriteInputLines({
        "",
        LineOf(94, {{1, "1"}}),
        EntryLine("First"),
        EntryLine("Zero", "0"),
        LineOf(103, {{1, "1"}}),
        EntryLine("Letter", "A"),
        EntryLine("Blank", " "),
    });
    EXPECT_EQ(Upload(), kCompleted);
    EXPECT_EQ(Sent(), "ATZ\rATE0\r" + EntryCommand("2", "002", "First") +
                          EntryCommand("3", "003", "Blank"));
}

TEST_F(UploaderTest, CarriageReturnOfTheLineEndIsNotColumn104) {
    WriteInput(LineOf(103, {{1, "1"}}) + "\r\n");
    EXPECT_EQ(Upload(), kCompleted);
    EXPECT_EQ(Sent(), "ATZ\rATE0\r");
}

TEST_F(UploaderTest, LinesEndAtLfCrLfOrLoneCrAndTheLastNeedsNoEnd) {
    WriteInput(EntryLine("A") + "\n" + EntryLine("B") + "\r" + EntryLine("C") + "\r\n" +
               EntryLine("D"));
    EXPECT_EQ(Upload(), kCompleted);
    EXPECT_EQ(Sent(), "ATZ\rATE0\r" + EntryCommand("2", "002", "A") +
                          EntryCommand("3", "003", "B") + EntryCommand("4", "004", "C") +
                          EntryCommand("5", "005", "D"));
}

TEST_F(UploaderTest, LongLineIsCutAndItsRestIsNoLineOfItsOwn) {
    // Past column 255 stands what would be an entry line by itself.
    const std::string longLine = LineOf(255, {{1, "1"}, {104, "Long"}}) + EntryLine("Rest");
    WriteInputLines({longLine, EntryLine("Next")});
    EXPECT_EQ(Upload(), kCompleted);
    const std::string longName = "Long" + std::string(20, ' ');
    const std::string longCommand = "AT+CPBW=2,\"0000\",129,\"002 " + longName + " /     \"\r";
    EXPECT_EQ(Sent(), "ATZ\rATE0\r" + longCommand + EntryCommand("3", "003", "Next"));
}

// ---- The three-digit index --------------------------------------------------

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::vector<std::string> Entries(int count) {
    return std::vector<std::string>(count, EntryLine("N"));
}

TEST_F(UploaderTest, NineHundredNinetyEightEntriesFitUpToIndex999) {
    WriteInputLines(Entries(998));
    EXPECT_EQ(Upload(), kCompleted);
    const std::string sent = Sent();
    EXPECT_TRUE(sent.ends_with(EntryCommand("999", "999", "N"))) << sent.substr(sent.size() - 60);
    EXPECT_TRUE(out.str().ends_with("The End.\n"));
}

TEST_F(UploaderTest, EntryBeyondIndex999StopsTheUploadWithAnError) {
    WriteInputLines(Entries(1000));
    EXPECT_EQ(Upload(), kRefused);
    const std::string sent = Sent();
    EXPECT_TRUE(sent.ends_with(EntryCommand("999", "999", "N")));
    EXPECT_EQ(Count(sent, "AT+CPBW="), 998u);
    EXPECT_TRUE(trace.closed);
    EXPECT_TRUE(
        out.str().ends_with(EntryCommand("999", "999", "N") +
                            "\nToo many entries: the phone book index is limited to 999.\n"));
}

// ---- Refusals and failures --------------------------------------------------

TEST_F(UploaderTest, MissingArgumentsPrintTheUsage) {
    EXPECT_EQ(Run({}), kRefused);
    EXPECT_EQ(out.str(), kBanner + "Parametrs not found...\n" + kUsage);

    out.str("");
    EXPECT_EQ(Run({"", "phones.txt"}), kRefused);
    EXPECT_EQ(out.str(), kBanner + "Parametrs not found...\n" + kUsage);

    out.str("");
    EXPECT_EQ(Run({"COM1"}), kRefused);
    EXPECT_EQ(out.str(), kBanner + "Name of file not found...\n" + kUsage);
    EXPECT_EQ(openedPort, "");
}

TEST_F(UploaderTest, MissingInputFileIsReportedBeforeThePortIsTouched) {
    const std::string missing = ::testing::TempDir() + "tolvane_no_such_file.txt";
    EXPECT_EQ(Run({"COM1", missing}), kRefused);
    EXPECT_EQ(out.str(), kBanner + "File " + missing + " not found...\n" + kUsage);
    EXPECT_EQ(openedPort, "");  // a dry-run file named as the port is not truncated

    out.str("");
    EXPECT_EQ(Run({"COM1", ::testing::TempDir()}), kRefused);  // a folder is no input file
}

TEST_F(UploaderTest, PortThatCannotBeOpenedIsNamedInTheMessage) {
    WriteInputLines({EntryLine("Petrov")});
    portMissing = true;
    EXPECT_EQ(Upload("/dev/ttyS7"), kRefused);
    EXPECT_EQ(out.str(), kBanner + "/dev/ttyS7 not found...\n" + kUsage);
}

TEST_F(UploaderTest, WriteFailureIsReportedAndNotTakenForSuccess) {
    WriteInputLines({EntryLine("Petrov"), EntryLine("Sidorov")});
    failAfterBytes = 22;
    EXPECT_EQ(Upload("COM9"), kIoFailure);
    EXPECT_EQ(Sent(), "ATZ\r<4000>ATE0\r<2000>AT+CPBW=2,\"12");
    EXPECT_EQ(out.str(), kBanner + "Start!\nATZ\r\nATE0\r\n");
    EXPECT_NE(err.str().find("cannot write to COM9"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tolvane
