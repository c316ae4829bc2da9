// tolvane PORT FILE: writes the lines of FILE into the phone book of the
// phone or modem on PORT.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "uploader/pause.h"
#include "uploader/port.h"
#include "uploader/uploader.h"

int main(int argc, char* argv[]) {
    // A port that goes away (a pipe without its reader) must end the run
    // with an error status, not kill it silently.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> args;
    for (int n = 1; n < argc; ++n) args.emplace_back(argv[n]);
    tolvane::ThreadSleeper sleeper;
    return tolvane::RunTolvane(args, {std::cout, std::cerr}, tolvane::OpenDevicePort, sleeper);
}
