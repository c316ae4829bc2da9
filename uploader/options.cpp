#include "uploader/options.h"

#include <charconv>

namespace tolvane {

const std::string_view kHelp =
    "Usage: tolvane [options] PORT FILE\n"
    "Writes every entry line of FILE into the phone book of the phone or modem on PORT,\n"
    "one AT+CPBW command per line, from index 2 on.\n"
    "PORT is a serial device (/dev/ttyUSB0, /dev/ttyACM0, /dev/rfcomm0, /dev/ttyS0),\n"
    "or an ordinary file for a dry run. FILE is a phone-book file in fixed columns,\n"
    "names in code page 1251.\n"
    "Options:\n"
    "  --baud N      set the line speed N (1200 ... 115200), 8 data bits, no parity, 1 stop bit\n"
    "  --check       read every answer (5 s at most), report failed entries, exit 1 if any\n"
    "  --ucs2        send names in UCS-2 (AT+CSCS=\"UCS2\") for phones that need it\n"
    "  --help        print this help and exit\n"
    "  --version     print the program name and version and exit\n"
    "Exit status: 0 done; 1 refused, or an entry failed (--check); 2 the port or FILE\n"
    "failed during the run.\n";

namespace {

bool ReadBaud(std::string_view text, int& baud) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), baud);
    return error == std::errc() && end == text.data() + text.size() && IsLineSpeed(baud);
}

}  // namespace

std::string ParseCommandLine(const std::vector<std::string>& args, Options& options) {
    std::vector<std::string> operands;
    bool optionsEnd = false;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& arg = args[n];
        if (optionsEnd || !arg.starts_with("--")) {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool takesValue = name == "--baud";
        std::string value;
        if (takesValue && equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (takesValue && n + 1 < args.size()) {
            value = args[++n];
        } else if (takesValue || equals != std::string::npos) {
            return "Option " + name + (takesValue ? " needs a value..." : " takes no value...");
        }

        if (name == "--baud") {
            if (!ReadBaud(value, options.port.baud))
                return "Line speed " + value +
                       " not known: 1200, 2400, 4800, 9600, 19200, 38400, 57600 or 115200...";
        } else if (name == "--check") {
            options.check = options.port.readAnswers = true;
        } else if (name == "--ucs2") {
            options.ucs2 = true;
        } else if (name == "--help") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else {
            return "Option " + name + " not known (tolvane --help lists them)...";
        }
    }
    if (!operands.empty()) options.nomport = operands[0];
    if (operands.size() > 1) options.namefile = operands[1];
    return {};
}

}  // namespace tolvane
