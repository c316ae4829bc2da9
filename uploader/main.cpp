// tolvane PORT FILE: writes the lines of FILE into the phone book of the
// phone or modem on PORT.

#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstring>
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

    // Only a terminal is shown converted text: output that goes to a file
    // or a pipe keeps the bytes of the input file.
    std::setlocale(LC_CTYPE, "");
    const bool utf8 =
        ::isatty(STDOUT_FILENO) == 1 && std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
    std::ostream* progress = ::isatty(STDERR_FILENO) == 1 ? &std::cerr : nullptr;

    std::vector<std::string> args;
    for (int n = 1; n < argc; ++n) args.emplace_back(argv[n]);
    tolvane::ThreadSleeper sleeper;
    return tolvane::RunTolvane(args, {std::cout, std::cerr, utf8, progress},
                               tolvane::OpenDevicePort, sleeper, ZANVEK_VERSION);
}
