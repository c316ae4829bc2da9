#include "uploader/uploader.h"

#include <ostream>
#include <string_view>
#include <system_error>

#include "uploader/input_file.h"
#include "uploader/phonebook.h"

namespace tolvane {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kAfterEveryByte{10};
constexpr milliseconds kAfterAtz{4000};
constexpr milliseconds kAfterCommand{2000};

constexpr std::string_view kBanner = "Program for copy data from file to COM port.";
constexpr std::string_view kUsage = "..\\tolvane COMi Namefile";
constexpr std::string_view kTooManyEntries =
    "Too many entries: the phone book index is limited to 999.";

// Sends the commands to the opened port, echoing each one to the console.
class Upload {
public:
    Upload(Port& cm, Sleeper& sleeper, std::ostream& out, bool longPauses)
        : cm_(cm), sleeper_(sleeper), out_(out), longPauses_(longPauses) {}

    int Run(InputFile& f) {
        SendCommand("ATZ\r", kAfterAtz);
        SendCommand("ATE0\r", kAfterCommand);
        if (!SendEntries(f)) {
            out_ << kTooManyEntries << std::endl;
            cm_.Close();
            return kRefused;
        }
        cm_.Close();
        out_ << "The End." << std::endl;
        return kCompleted;
    }

private:
    // False when the file holds more entries than the phone-book index
    // can number; nothing is sent for them.
    bool SendEntries(InputFile& f) {
        int nn = 0;
        std::string strln;
        while (f.ReadLine(strln)) {
            const auto entry = ParseEntry(strln);
            if (!entry) continue;
            const int index = kFirstIndex + nn;
            if (index > kLastIndex) return false;
            ++nn;
            SendCommand(CpbwCommand(index, *entry), kAfterCommand);
        }
        return true;
    }

    void SendCommand(std::string_view strout, milliseconds longPause) {
        WriteString(strout);
        out_ << strout << std::endl;
        if (longPauses_) sleeper_.Pause(longPause);
    }

    void WriteString(std::string_view text) {
        for (const char c : text) WriteByte(c);
    }

    void WriteByte(char c) {
        cm_.WriteByte(c);
        sleeper_.Pause(kAfterEveryByte);
    }

    Port& cm_;
    Sleeper& sleeper_;
    std::ostream& out_;
    const bool longPauses_;
};

std::string Argument(const std::vector<std::string>& args, std::size_t n) {
    return n < args.size() ? args[n] : std::string();
}

int Refuse(std::ostream& out, std::string_view message) {
    out << message << '\n' << kUsage << std::endl;
    return kRefused;
}

}  // namespace

bool WantsLongPauses(const std::string& nomport, const Port& cm) {
    const std::string s3 = nomport.substr(0, 3);
    return s3 == "COM" || s3 == "com" || cm.IsTerminal();
}

int RunTolvane(const std::vector<std::string>& args, Console console, const PortOpener& openPort,
               Sleeper& sleeper) {
    std::ostream& out = console.out;
    out << kBanner << std::endl;

    const std::string nomport = Argument(args, 0);
    if (nomport.empty()) return Refuse(out, "Parametrs not found...");
    const std::string namefile = Argument(args, 1);
    if (namefile.empty()) return Refuse(out, "Name of file not found...");

    const std::unique_ptr<InputFile> f = InputFile::Open(namefile);
    if (!f) return Refuse(out, "File " + namefile + " not found...");
    const std::unique_ptr<Port> cm = openPort(nomport);
    if (!cm) return Refuse(out, nomport + " not found...");

    out << "Start!" << std::endl;
    try {
        return Upload(*cm, sleeper, out, WantsLongPauses(nomport, *cm)).Run(*f);
    } catch (const std::system_error& failure) {
        console.err << failure.what() << std::endl;
        return kIoFailure;
    }
}

}  // namespace tolvane
