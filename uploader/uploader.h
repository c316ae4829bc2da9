#pragma once
// One run of tolvane: check the command line, open the input file and the
// port, reset the phone (ATZ, ATE0) and write every qualifying line of the
// file into its phone book, one AT+CPBW command per line.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "uploader/pause.h"
#include "uploader/port.h"

namespace tolvane {

enum ExitStatus : int {
    kCompleted = 0,
    kRefused = 1,    // usage errors, failed opens, too many entries
    kIoFailure = 2,  // the port or the input file failed half-way
};

using PortOpener = std::function<std::unique_ptr<Port>(const std::string& nomport)>;

struct Console {
    std::ostream& out;  // banner, messages and the echo of every command
    std::ostream& err;  // the reason of an input/output failure
};

// args are the command-line arguments without the program name: the port
// and the input file. Returns the exit status.
int RunTolvane(const std::vector<std::string>& args, Console console, const PortOpener& openPort,
               Sleeper& sleeper);

// A port named COM... or com... gets the long pauses after ATZ, ATE0 and
// every entry, and so does any terminal device, for that is what a phone
// on a serial line is here.
bool WantsLongPauses(const std::string& nomport, const Port& cm);

}  // namespace tolvane
