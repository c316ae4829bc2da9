#include "uploader/port.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tolvane {

namespace {

class DevicePort final : public Port {
public:
    DevicePort(std::string name, int fd) : name_(std::move(name)), fd_(fd) {}
    ~DevicePort() override {
        if (fd_ >= 0) ::close(fd_);
    }
    DevicePort(const DevicePort&) = delete;
    DevicePort& operator=(const DevicePort&) = delete;

    // One write() per byte: nothing waits in a buffer of ours.
    void WriteByte(char c) override {
        for (;;) {
            const ssize_t written = ::write(fd_, &c, 1);
            if (written == 1) return;
            if (written < 0 && errno == EINTR) continue;
            Fail("cannot write to ");
        }
    }

    bool IsTerminal() const override { return ::isatty(fd_) == 1; }

    void Close() override {
        const int fd = fd_;
        fd_ = -1;
        if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) Fail("cannot close ");
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        const int error = errno != 0 ? errno : EIO;
        throw std::system_error(error, std::generic_category(), what + name_);
    }

    std::string name_;
    int fd_;
};

// A serial line without carrier would hold a blocking open() until the
// modem raises DCD, so the device is opened without waiting and then put
// back into blocking mode for the writes. A FIFO without a reader refuses
// such an open; it gets the plain one.
int OpenForWriting(const std::string& nomport) {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(nomport.c_str(), flags | O_NONBLOCK, 0666);
    if (fd < 0 && errno == ENXIO) return ::open(nomport.c_str(), flags, 0666);
    if (fd < 0) return fd;
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<Port> OpenDevicePort(const std::string& nomport) {
    const int fd = OpenForWriting(nomport);
    if (fd < 0) return nullptr;
    return std::make_unique<DevicePort>(nomport, fd);
}

}  // namespace tolvane
