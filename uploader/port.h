#pragma once
// The port that the commands go to: a serial device such as /dev/ttyUSB0,
// or an ordinary file for a dry run.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace tolvane {

class Port {
public:
    virtual ~Port() = default;
    // Hands one byte to the device at once; throws std::system_error when
    // the device refuses it.
    virtual void WriteByte(char c) = 0;
    // The bytes that arrive within the given time; empty when none came.
    // A port that is not read (a dry-run file, a device opened only for
    // writing) never answers. Throws std::system_error when reading fails.
    virtual std::string Read(std::chrono::milliseconds within) = 0;
    // A terminal device is a phone or modem on a serial line.
    virtual bool IsTerminal() const = 0;
    // Throws std::system_error when the last bytes cannot be delivered.
    virtual void Close() = 0;
};

struct PortSettings {
    int baud = 0;              // 0: the speed the system holds for the line
    bool readAnswers = false;  // open a serial device for reading too
};

// The line speeds --baud takes.
bool IsLineSpeed(int baud);

// COMn, ttyS..., ttyUSB..., ttyACM...: a name that stands for a serial
// port wherever it is written, so no file is ever created under it.
bool LooksLikeASerialPort(std::string_view nomport);

// Opens the port by its name for writing. An existing ordinary file is
// truncated and a new one created for a dry run, but never under /dev or
// under a name that looks like a serial port. A terminal device is put into
// raw mode (no echo, no line editing, no CR/LF translation, no output
// processing) and its pending input is dropped; speed, parity and
// handshake stay as the system holds them unless settings.baud asks for a
// speed (8 data bits, no parity, one stop bit). Returns nullptr when the
// port cannot be opened; reason then says why, with a hint where one
// helps.
std::unique_ptr<Port> OpenDevicePort(const std::string& nomport, const PortSettings& settings,
                                     std::string& reason);

// The reason shown when the port cannot be opened: the system's text for
// error, and for a serial device that refuses the user, the group that
// grants access to it.
std::string PortFailureReason(std::string_view nomport, int error, bool serialDevice,
                              std::string_view deviceGroup);

}  // namespace tolvane
