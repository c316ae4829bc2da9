#pragma once
// One run of tolvane: check the command line, open the input file and the
// port, reset the phone (ATZ, ATE0) and write every qualifying line of the
// file into its phone book, one AT+CPBW command per line.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "uploader/pause.h"
#include "uploader/port.h"

namespace tolvane {

enum ExitStatus : int {
    kCompleted = 0,
    kRefused = 1,        // usage errors, failed opens, too many entries
    kEntriesFailed = 1,  // --check: the phone refused or did not answer
    kIoFailure = 2,      // the port or the input file failed half-way
};

using PortOpener = std::function<std::unique_ptr<Port>(
    const std::string& nomport, const PortSettings& settings, std::string& reason)>;

struct Console {
    std::ostream& out;  // banner, messages and the echo of every command
    std::ostream& err;  // why something failed
    // The echo and the --check report are code page 1251 text, like the
    // input file; a UTF-8 terminal gets them converted.
    bool utf8 = false;
    // Where the progress line is drawn in place (a terminal), or nowhere.
    std::ostream* progress = nullptr;
};

// args are the command-line arguments without the program name: the port
// and the input file, and options; version is what --version tells.
// Returns the exit status.
int RunTolvane(const std::vector<std::string>& args, Console console, const PortOpener& openPort,
               Sleeper& sleeper, std::string_view version = "");

// A port named COM... or com... gets the long pauses after ATZ, ATE0 and
// every entry, and so does any terminal device, for that is what a phone
// on a serial line is here.
bool WantsLongPauses(const std::string& nomport, const Port& cm);

// "entry 3 of 250, 0:07 elapsed, about 9:12 left"; no estimate before the
// first entry has gone.
std::string ProgressLine(std::size_t entry, std::size_t total, std::chrono::seconds elapsed,
                         std::optional<std::chrono::seconds> left);

}  // namespace tolvane
