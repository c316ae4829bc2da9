#pragma once
// The port that the commands go to: a serial device such as /dev/ttyUSB0,
// or an ordinary file for a dry run.

#include <memory>
#include <string>

namespace tolvane {

class Port {
public:
    virtual ~Port() = default;
    // Hands one byte to the device at once; throws std::system_error when
    // the device refuses it.
    virtual void WriteByte(char c) = 0;
    // A terminal device is a phone or modem on a serial line.
    virtual bool IsTerminal() const = 0;
    // Throws std::system_error when the last bytes cannot be delivered.
    virtual void Close() = 0;
};

// Opens the port by its name for writing, creating or truncating it when
// it names an ordinary file. No line parameters are set: the device keeps
// whatever settings the system holds for it. Returns nullptr when the name
// cannot be opened.
std::unique_ptr<Port> OpenDevicePort(const std::string& nomport);

}  // namespace tolvane
