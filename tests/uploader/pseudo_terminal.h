#pragma once
// A pseudo-terminal standing in for a phone on a serial line: the program
// writes to the slave by its name, the test reads what arrives at the
// master.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace tolvane::testing {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slaveName_ = ::ptsname(master_);
        // Holding the slave open keeps what arrived readable after the
        // program has closed its side; raw mode passes every byte unchanged.
        slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
        termios raw{};
        if (slave_ >= 0 && ::tcgetattr(slave_, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(slave_, TCSANOW, &raw);
        }
    }
    ~PseudoTerminal() {
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ready() const { return slave_ >= 0; }
    const std::string& SlaveName() const { return slaveName_; }

    // Everything that has arrived so far.
    std::string Arrived() const {
        std::string bytes;
        pollfd waiting{master_, POLLIN, 0};
        char chunk[256];
        while (::poll(&waiting, 1, 100) == 1 && (waiting.revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        return bytes;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

}  // namespace tolvane::testing
