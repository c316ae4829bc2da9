#include "uploader/uploader.h"

#include <cstdio>
#include <ostream>
#include <string_view>
#include <system_error>

#include "uploader/answer.h"
#include "uploader/codepage.h"
#include "uploader/input_file.h"
#include "uploader/options.h"
#include "uploader/phonebook.h"

namespace tolvane {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds kAfterEveryByte{10};
constexpr milliseconds kAfterAtz{4000};
constexpr milliseconds kAfterCommand{2000};

constexpr std::string_view kBanner = "Program for copy data from file to COM port.";
constexpr std::string_view kUsage = "..\\tolvane COMi Namefile";
constexpr std::string_view kTooManyEntries =
    "Too many entries: the phone book index is limited to 999.";

// The --check report, in code page 1251 like the names it stands beside.
constexpr std::string_view kEntryWord = "\xC7\xE0\xEF\xE8\xF1\xFC";              // Запись
constexpr std::string_view kLineWord = "\xF1\xF2\xF0\xEE\xEA\xE0";               // строка
constexpr std::string_view kNoAnswer = "\xED\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0";  // нет ответа
constexpr std::string_view kWritten = "\xE7\xE0\xEF\xE8\xF1\xE0\xED\xEE";        // записано
constexpr std::string_view kFailed = "\xF1 \xEE\xF8\xE8\xE1\xEA\xEE\xE9";  // с ошибкой

// An entry and the line of the input file it was read from.
struct Entry {
    PhoneBookEntry fields;
    int line = 0;
};

// Reads every entry before anything is sent, so that a file the index
// cannot number is refused whole. False when it holds more than index 999
// reaches; entries then holds as many as fit.
bool ReadEntries(InputFile& f, std::vector<Entry>& entries) {
    int line = 0;
    std::string strln;
    while (f.ReadLine(strln)) {
        ++line;
        auto fields = ParseEntry(strln);
        if (!fields) continue;
        if (kFirstIndex + static_cast<int>(entries.size()) > kLastIndex) return false;
        entries.push_back({std::move(*fields), line});
    }
    return true;
}

std::string Seconds(std::chrono::seconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(time.count() / 60),
                  static_cast<long long>(time.count() % 60));
    return text;
}

// Sends the commands to the opened port, echoing each one to the console.
class Upload {
public:
    Upload(Port& cm, Sleeper& sleeper, Console console, const Options& options, bool longPauses)
        : cm_(cm),
          sleeper_(sleeper),
          console_(console),
          options_(options),
          longPauses_(longPauses && !options.check) {}

    int Run(const std::vector<Entry>& entries) {
        const auto started = steady_clock::now();
        if (!SetUp("ATZ\r", kAfterAtz) || !SetUp("ATE0\r", kAfterCommand) ||
            (options_.ucs2 && !SetUp("AT+CSCS=\"UCS2\"\r", kAfterCommand))) {
            cm_.Close();
            return kEntriesFailed;
        }
        const TextCoding coding = options_.ucs2 ? TextCoding::kUcs2Hex : TextCoding::kAsInFile;
        const auto firstEntry = steady_clock::now();
        int failed = 0;
        for (std::size_t n = 0; n < entries.size(); ++n) {
            ShowProgress(n + 1, entries.size(), started, firstEntry);
            const int index = kFirstIndex + static_cast<int>(n);
            const FinalResult result =
                Send(CpbwCommand(index, entries[n].fields, coding), kAfterCommand);
            if (result.ok) continue;
            ++failed;
            Line(std::string(kEntryWord) + " " + std::to_string(index) + " (" +
                 std::string(kLineWord) + " " + std::to_string(entries[n].line) +
                 "): " + result.text);
        }
        HideProgress();
        cm_.Close();
        if (options_.check)
            Line(std::to_string(entries.size() - static_cast<std::size_t>(failed)) + " " +
                 std::string(kWritten) + ", " + std::to_string(failed) + " " +
                 std::string(kFailed));
        Line("The End.");
        return failed > 0 ? kEntriesFailed : kCompleted;
    }

private:
    // ATZ, ATE0 and AT+CSCS: with --check an entry must not go to a phone
    // that did not take them (UCS-2 names to a phone that did not switch
    // would be stored as hexadecimal digits).
    bool SetUp(std::string_view command, milliseconds longPause) {
        const FinalResult result = Send(command, longPause);
        if (!result.ok)
            Line(std::string(command.substr(0, command.size() - 1)) + ": " + result.text);
        return result.ok;
    }

    FinalResult Send(std::string_view strout, milliseconds longPause) {
        // Whatever came after an earlier answer is no answer to this command.
        if (options_.check)
            for (int chunks = 0; chunks < 64 && !cm_.Read(milliseconds(0)).empty(); ++chunks) {
            }
        WriteString(strout);
        Line(strout);
        if (options_.check) return AwaitAnswer();
        if (longPauses_) sleeper_.Pause(longPause);
        return {true, "OK"};
    }

    FinalResult AwaitAnswer() {
        std::string received;
        const auto deadline = steady_clock::now() + options_.timeout;
        for (milliseconds left = options_.timeout; left > milliseconds(0);
             left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now())) {
            const std::string chunk = cm_.Read(left);
            if (chunk.empty()) break;
            received += chunk;
            if (auto result = FindFinalResult(received)) return *result;
        }
        return {false, std::string(kNoAnswer)};
    }

    void WriteString(std::string_view text) {
        for (const char c : text) WriteByte(c);
    }

    void WriteByte(char c) {
        cm_.WriteByte(c);
        sleeper_.Pause(kAfterEveryByte);
    }

    // A console line; the progress line, if one is drawn, steps aside for
    // it and comes back below it.
    void Line(std::string_view text) {
        DrawProgress(std::string(progress_.size(), ' '));
        console_.out << (console_.utf8 ? Cp1251ToUtf8(text) : std::string(text)) << std::endl;
        DrawProgress(progress_);
    }

    // The time left is guessed from the entries sent so far; ATZ and ATE0
    // take longer than an entry and are left out of the guess.
    void ShowProgress(std::size_t entry, std::size_t total, steady_clock::time_point started,
                      steady_clock::time_point firstEntry) {
        if (console_.progress == nullptr) return;
        using std::chrono::seconds;
        const auto now = steady_clock::now();
        std::optional<seconds> left;
        const auto done = static_cast<long long>(entry - 1);
        if (done > 0)
            left = std::chrono::duration_cast<seconds>(
                (now - firstEntry) * static_cast<long long>(total - entry + 1) / done);
        HideProgress();
        progress_ =
            ProgressLine(entry, total, std::chrono::duration_cast<seconds>(now - started), left);
        DrawProgress(progress_);
    }

    void HideProgress() {
        DrawProgress(std::string(progress_.size(), ' '));
        progress_.clear();
    }

    void DrawProgress(const std::string& text) {
        if (console_.progress != nullptr && !text.empty())
            *console_.progress << '\r' << text << '\r' << std::flush;
    }

    Port& cm_;
    Sleeper& sleeper_;
    Console console_;
    const Options& options_;
    const bool longPauses_;
    std::string progress_;
};

int Refuse(std::ostream& out, std::string_view message) {
    out << message << '\n' << kUsage << std::endl;
    return kRefused;
}

void Explain(std::ostream& err, const std::string& name, const std::string& reason) {
    err << "tolvane: " << name << ": " << reason << std::endl;
}

}  // namespace

bool WantsLongPauses(const std::string& nomport, const Port& cm) {
    const std::string s3 = nomport.substr(0, 3);
    return s3 == "COM" || s3 == "com" || cm.IsTerminal();
}

std::string ProgressLine(std::size_t entry, std::size_t total, std::chrono::seconds elapsed,
                         std::optional<std::chrono::seconds> left) {
    std::string line = "entry " + std::to_string(entry) + " of " + std::to_string(total) + ", " +
                       Seconds(elapsed) + " elapsed";
    if (left) line += ", about " + Seconds(*left) + " left";
    return line;
}

int RunTolvane(const std::vector<std::string>& args, Console console, const PortOpener& openPort,
               Sleeper& sleeper, std::string_view version) {
    std::ostream& out = console.out;
    Options options;
    const std::string wrongOption = ParseCommandLine(args, options);
    if (wrongOption.empty() && options.help) {
        out << kBanner << '\n' << kHelp << std::flush;
        return kCompleted;
    }
    if (wrongOption.empty() && options.version) {
        out << "tolvane " << version << std::endl;
        return kCompleted;
    }

    out << kBanner << std::endl;
    if (!wrongOption.empty()) return Refuse(out, wrongOption);
    const std::string& nomport = options.nomport;
    if (nomport.empty()) return Refuse(out, "Parametrs not found...");
    const std::string& namefile = options.namefile;
    if (namefile.empty()) return Refuse(out, "Name of file not found...");

    // Nothing is opened for writing before the input is known to be a
    // phone-book file other than the port.
    std::string reason;
    const std::unique_ptr<InputFile> f = InputFile::Open(namefile, reason);
    if (!f) {
        Explain(console.err, namefile, reason);
        return Refuse(out, "File " + namefile + " not found...");
    }
    if (f->IsSameFileAs(nomport))
        return Refuse(out, "Port " + nomport + " and file " + namefile + " are one file...");
    std::vector<Entry> entries;
    try {
        if (!ReadEntries(*f, entries)) {
            out << kTooManyEntries << std::endl;
            return kRefused;
        }
    } catch (const std::system_error& failure) {
        console.err << failure.what() << std::endl;
        return kIoFailure;
    }

    const std::unique_ptr<Port> cm = openPort(nomport, options.port, reason);
    if (!cm) {
        Explain(console.err, nomport, reason);
        return Refuse(out, nomport + " not found...");
    }

    out << "Start!" << std::endl;
    try {
        return Upload(*cm, sleeper, console, options, WantsLongPauses(nomport, *cm)).Run(entries);
    } catch (const std::system_error& failure) {
        console.err << failure.what() << std::endl;
        return kIoFailure;
    }
}

}  // namespace tolvane
