#include "uploader/uploader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

#include "entry_lines.h"
#include "uploader/options.h"
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

// The phone gives the answers in turn, one for each command that ends with
// its CR; "" stands for silence.
class FakePort final : public Port {
public:
    FakePort(Trace& trace, bool terminal, long failAfterBytes, std::vector<std::string> answers)
        : trace_(trace),
          terminal_(terminal),
          bytesLeft_(failAfterBytes),
          answers_(std::move(answers)) {}
    void WriteByte(char c) override {
        if (bytesLeft_-- == 0)
            throw std::system_error(EIO, std::generic_category(), "cannot write to COM9");
        trace_.events += c;
        if (c == '\r' && next_ < answers_.size()) arrived_ += answers_[next_++];
    }
    std::string Read(milliseconds) override { return std::exchange(arrived_, {}); }
    bool IsTerminal() const override { return terminal_; }
    void Close() override { trace_.closed = true; }

private:
    Trace& trace_;
    bool terminal_;
    long bytesLeft_;
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    std::string arrived_;
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
        const PortOpener openPort = [this](const std::string& nomport, const PortSettings&,
                                           std::string& reason) -> std::unique_ptr<Port> {
            openedPort = nomport;
            reason = "No such file or directory";
            if (portMissing) return nullptr;
            return std::make_unique<FakePort>(trace, terminal, failAfterBytes, answers);
        };
        FakeSleeper sleeper(trace);
        return RunTolvane(args, {out, err, utf8, progress}, openPort, sleeper);
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
    std::vector<std::string> answers;
    bool utf8 = false;
    std::ostream* progress = nullptr;
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

TEST_F(UploaderTest, FileThatNeedsIndex1000IsRefusedBeforeAnythingIsSent) {
    WriteInputLines(Entries(999));
    EXPECT_EQ(Upload(), kRefused);
    EXPECT_EQ(openedPort, "");  // a dry-run file is not even truncated
    EXPECT_EQ(trace.events, "");
    EXPECT_EQ(out.str(), kBanner + "Too many entries: the phone book index is limited to 999.\n");
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
    EXPECT_EQ(err.str(), "tolvane: " + missing + ": No such file or directory\n");
    EXPECT_EQ(openedPort, "");  // a dry-run file named as the port is not truncated

    err.str("");
    EXPECT_EQ(Run({"COM1", ::testing::TempDir()}), kRefused);  // a folder is no input file
    EXPECT_NE(err.str().find("is a folder"), std::string::npos) << err.str();
    EXPECT_EQ(openedPort, "");
}

TEST_F(UploaderTest, PortThatCannotBeOpenedIsNamedInTheMessage) {
    WriteInputLines({EntryLine("Petrov")});
    portMissing = true;
    EXPECT_EQ(Upload("/dev/ttyS7"), kRefused);
    EXPECT_EQ(out.str(), kBanner + "/dev/ttyS7 not found...\n" + kUsage);
    EXPECT_EQ(err.str(), "tolvane: /dev/ttyS7: No such file or directory\n");
}

TEST_F(UploaderTest, WriteFailureIsReportedAndNotTakenForSuccess) {
    WriteInputLines({EntryLine("Petrov"), EntryLine("Sidorov")});
    failAfterBytes = 22;
    EXPECT_EQ(Upload("COM9"), kIoFailure);
    EXPECT_EQ(Sent(), "ATZ\r<4000>ATE0\r<2000>AT+CPBW=2,\"12");
    EXPECT_EQ(out.str(), kBanner + "Start!\nATZ\r\nATE0\r\n");
    EXPECT_NE(err.str().find("cannot write to COM9"), std::string::npos) << err.str();
}

// ---- Beyond the plain upload ---------------------------------------------------

const std::string kOk = "\r\nOK\r\n";

TEST_F(UploaderTest, CheckReportsEachFailedEntryGoesOnAndWaitsForAnswersInsteadOfPausing) {
    WriteInputLines(
        {"header line", EntryLine("A"), EntryLine("B"), EntryLine("C"), EntryLine("D")});
    answers = {"ATZ\r" + kOk,   kOk, "\r\n+CPBW: 1\r\n" + kOk,
               "\r\nERROR\r\n", "",  "\r\n+CME ERROR: 20\r\n"};
    EXPECT_EQ(Run({"--check", "COM1", InputPath()}), kEntriesFailed);
    EXPECT_EQ(Sent(), "ATZ\rATE0\r" + EntryCommand("2", "002", "A") +
                          EntryCommand("3", "003", "B") + EntryCommand("4", "004", "C") +
                          EntryCommand("5", "005", "D"));
    // "Запись 3 (строка 3): ERROR" ... "1 записано, 3 с ошибкой", in code page 1251.
    const std::string entry = "\xC7\xE0\xEF\xE8\xF1\xFC ";
    const std::string line = " (\xF1\xF2\xF0\xEE\xEA\xE0 ";
    EXPECT_TRUE(out.str().ends_with(
        EntryCommand("3", "003", "B") + "\n" + entry + "3" + line + "3): ERROR\n" +
        EntryCommand("4", "004", "C") + "\n" + entry + "4" + line +
        "4): \xED\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0\n" + EntryCommand("5", "005", "D") + "\n" +
        entry + "5" + line + "5): +CME ERROR: 20\n" +
        "1 \xE7\xE0\xEF\xE8\xF1\xE0\xED\xEE, 3 \xF1 \xEE\xF8\xE8\xE1\xEA\xEE\xE9\nThe End.\n"))
        << out.str();
}

TEST_F(UploaderTest, CheckSendsNoEntryToAPhoneThatDidNotTakeTheSetUp) {
    WriteInputLines({EntryLine("A")});
    answers = {kOk, kOk, "\r\nERROR\r\n"};
    EXPECT_EQ(Run({"--check", "--ucs2", "COM1", InputPath()}), kEntriesFailed);
    EXPECT_EQ(Sent(), "ATZ\rATE0\rAT+CSCS=\"UCS2\"\r");
    EXPECT_TRUE(out.str().ends_with("AT+CSCS=\"UCS2\"\r\nAT+CSCS=\"UCS2\": ERROR\n")) << out.str();
    EXPECT_TRUE(trace.closed);
}

TEST_F(UploaderTest, Ucs2SwitchesTheCharacterSetAndSendsTheTextInHexadecimal) {
    WriteInputLines({EntryLine("\xC8\xE2")});  // "Ив"
    EXPECT_EQ(Run({"--ucs2", "COM1", InputPath()}), kCompleted);
    EXPECT_EQ(Sent(),
              "ATZ\r<4000>ATE0\r<2000>AT+CSCS=\"UCS2\"\r<2000>AT+CPBW=2,\"1230456123#4500\",129,"
              "\"0030003000320020041804320020002F004F0046004600490043\"\r<2000>");
}

TEST_F(UploaderTest, Utf8TerminalShowsNamesInUtf8WhileThePortGetsTheFileBytes) {
    WriteInputLines({EntryLine("\xC8\xE2\xE0\xED\xEE\xE2")});
    utf8 = true;
    EXPECT_EQ(Upload(), kCompleted);
    EXPECT_EQ(Sent(), "ATZ\rATE0\r" + EntryCommand("2", "002", "\xC8\xE2\xE0\xED\xEE\xE2"));
    EXPECT_NE(out.str().find(EntryCommand("2", "002", "Иванов") + "\n"), std::string::npos);
}

TEST_F(UploaderTest, ProgressLineIsDrawnApartAndLeavesTheConsoleLinesAsTheyAre) {
    WriteInputLines({EntryLine("A"), EntryLine("B")});
    EXPECT_EQ(Upload(), kCompleted);
    const std::string plain = out.str();
    out.str("");
    std::ostringstream terminal;
    progress = &terminal;
    EXPECT_EQ(Upload(), kCompleted);
    EXPECT_EQ(out.str(), plain);
    EXPECT_NE(terminal.str().find("\rentry 1 of 2, 0:00 elapsed\r"), std::string::npos);
    EXPECT_NE(terminal.str().find("\rentry 2 of 2, 0:00 elapsed, about 0:00 left\r"),
              std::string::npos);
    EXPECT_EQ(ProgressLine(3, 250, std::chrono::seconds(75), std::chrono::seconds(552)),
              "entry 3 of 250, 1:15 elapsed, about 9:12 left");
}

TEST_F(UploaderTest, ExamplePhoneBookGivesThreeEntries) {
    EXPECT_EQ(Run({"dry-run.txt", TOLVANE_EXAMPLES_DIR "/phonebook.txt"}), kCompleted);
    EXPECT_EQ(Count(Sent(), "AT+CPBW="), 3u) << Sent();
}

// ---- Options ------------------------------------------------------------------

TEST(CommandLine, OptionsStandAnywhereAndWrongOnesAreNamed) {
    Options options;
    EXPECT_EQ(ParseCommandLine({"--baud", "9600", "COM1", "--check", "f.txt", "--ucs2"}, options),
              "");
    EXPECT_EQ(options.nomport, "COM1");
    EXPECT_EQ(options.namefile, "f.txt");
    EXPECT_EQ(options.port.baud, 9600);
    EXPECT_TRUE(options.check && options.port.readAnswers && options.ucs2);

    options = {};
    EXPECT_EQ(ParseCommandLine({"--", "--port", "f.txt"}, options), "");
    EXPECT_EQ(options.nomport, "--port");

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--baud", "300"}, {"--baud"}, {"--baud=96OO"}, {"--check=yes"}, {"--frob"}})
        EXPECT_NE(ParseCommandLine(wrong, options), "") << wrong[0];
}

// Every option line of --help names an option the parser takes and the
// README's tolvane section explains.
TEST(CommandLine, HelpReadmeAndParserKnowTheSameOptions) {
    std::ifstream readmeFile(TOLVANE_SOURCE_DIR "/README.md");
    const std::string readme{std::istreambuf_iterator<char>(readmeFile), {}};
    const std::size_t section = readme.find("\n## tolvane");
    ASSERT_NE(section, std::string::npos);
    const std::string tolvaneSection =
        readme.substr(section, readme.find("\n## ", section + 1) - section);

    std::istringstream help{std::string(kHelp)};
    int options = 0;
    for (std::string line; std::getline(help, line);) {
        if (!line.starts_with("  --")) continue;
        ++options;
        std::istringstream words(line);
        std::string name, value;
        words >> name >> value;
        std::vector<std::string> args{name};
        if (value == "N") args.push_back("9600");
        Options parsed;
        EXPECT_EQ(ParseCommandLine(args, parsed), "") << line;
        EXPECT_NE(tolvaneSection.find("`" + name), std::string::npos)
            << name << " not in the README";
    }
    EXPECT_EQ(options, 5);
}

}  // namespace
}  // namespace tolvane
