#pragma once
// The command line of tolvane: PORT FILE, and the options that go beyond
// the plain upload. Without options the run is the plain one.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "uploader/port.h"

namespace tolvane {

struct Options {
    std::string nomport;   // first operand: the port
    std::string namefile;  // second operand: the phone-book file
    PortSettings port;     // --baud; --check reads the answers
    bool check = false;
    std::chrono::milliseconds timeout{5000};  // --check: how long an answer may take
    bool ucs2 = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program name). Options may stand
// anywhere, as "--baud N" or "--baud=N"; "--" makes the rest operands.
// Returns the message for a wrong option, or an empty string.
std::string ParseCommandLine(const std::vector<std::string>& args, Options& options);

// The text of --help: one line per option, starting with two blanks and
// the option's name.
extern const std::string_view kHelp;

}  // namespace tolvane
