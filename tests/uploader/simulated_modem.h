#pragma once
// A phone on a serial line: a pseudo-terminal left at the settings a fresh
// one has (echo, line editing, CR/LF translation all on), and a thread that
// plays the phone on its master side. Like a GSM modem it echoes what
// arrives while echo is on (ATZ turns it on, ATE0 off) and answers every
// command with OK, or with ERROR for the one phone-book write chosen.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace tolvane::testing {

class SimulatedModem {
public:
    // failingWrite counts the AT+CPBW commands from 1; 0 fails none.
    explicit SimulatedModem(int failingWrite = 0) : failingWrite_(failingWrite) {
        // Never blocked by a program that does not read: like a UART, the
        // phone's bytes are lost when nobody takes them.
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slaveName_ = ::ptsname(master_);
        // Held open so that the line and what the program sent outlive the
        // program's own open; its settings are not touched here.
        slave_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY);
        if (slave_ >= 0) phone_ = std::thread([this] { Serve(); });
    }
    ~SimulatedModem() {
        Hangup();
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    SimulatedModem(const SimulatedModem&) = delete;
    SimulatedModem& operator=(const SimulatedModem&) = delete;

    bool Ready() const { return slave_ >= 0; }
    const std::string& SlaveName() const { return slaveName_; }

    // The line settings as the program left them.
    termios Line() const {
        termios line{};
        ::tcgetattr(slave_, &line);
        return line;
    }

    // Silences the phone, waits until the line is quiet and returns every
    // byte it received. A line that echoes the echo back would ping-pong
    // for ever; a silent phone ends that.
    std::string Hangup() {
        stopping_ = true;
        if (phone_.joinable()) phone_.join();
        return received_;
    }

private:
    void Serve() {
        bool echo = true;
        int writes = 0;
        std::string command;
        char chunk[256];
        for (;;) {
            pollfd waiting{master_, POLLIN, 0};
            const ssize_t n =
                ::poll(&waiting, 1, 100) == 1 ? ::read(master_, chunk, sizeof chunk) : 0;
            if (n <= 0 && stopping_) return;
            for (ssize_t i = 0; i < n; ++i) {
                const char c = chunk[i];
                if (received_.size() < kMostKept) received_ += c;
                if (echo) Answer(std::string(1, c));
                if (c != '\r') {
                    command += c;
                    continue;
                }
                if (command == "ATZ") echo = true;
                if (command == "ATE0") echo = false;
                const bool fails = command.starts_with("AT+CPBW=") && ++writes == failingWrite_;
                Answer(fails ? "\r\nERROR\r\n" : "\r\nOK\r\n");
                command.clear();
            }
        }
    }

    void Answer(const std::string& bytes) const {
        if (stopping_ || ::write(master_, bytes.data(), bytes.size()) < 0) return;
    }

    static constexpr std::size_t kMostKept = 4096;
    const int failingWrite_;
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
    std::string received_;
    std::atomic<bool> stopping_{false};
    std::thread phone_;
};

}  // namespace tolvane::testing
