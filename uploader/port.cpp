#include "uploader/port.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tolvane {

namespace {

constexpr std::array<std::pair<int, speed_t>, 8> kLineSpeeds = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

// The termios speed of a baud rate, or nothing for a rate not listed.
const speed_t* LineSpeed(int baud) {
    for (const auto& [rate, speed] : kLineSpeeds)
        if (rate == baud) return &speed;
    return nullptr;
}

class DevicePort final : public Port {
public:
    DevicePort(std::string name, int fd, bool readable)
        : name_(std::move(name)), fd_(fd), readable_(readable) {}
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

    std::string Read(std::chrono::milliseconds within) override {
        if (!readable_) return {};
        pollfd waiting{fd_, POLLIN, 0};
        int ready;
        while ((ready = ::poll(&waiting, 1, static_cast<int>(within.count()))) < 0 &&
               errno == EINTR) {
        }
        if (ready < 0) Fail("cannot read from ");
        if (ready == 0) return {};
        char chunk[256];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n < 0 && errno != EINTR && errno != EAGAIN) Fail("cannot read from ");
        return n > 0 ? std::string(chunk, static_cast<std::size_t>(n)) : std::string();
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
    const bool readable_;
};

bool UnderDev(const std::string& nomport) {
    std::filesystem::path folder = std::filesystem::path(nomport).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code failed;
    const std::string real = std::filesystem::canonical(folder, failed).string();
    return !failed && (real == "/dev" || real.starts_with("/dev/"));
}

// A freshly opened serial device echoes what arrives, edits lines and turns
// CR into LF on input and LF into CR LF on output; with a phone that echoes
// (E1, its default) the driver would echo the echo back into the commands.
// Raw mode switches all of that off. Speed, character size, parity and
// handshake (IXON, IXOFF, CRTSCTS) stay untouched unless baud asks.
bool MakeRaw(int fd, int baud) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return false;
    line.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag |= CREAD;
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    if (const speed_t* speed = LineSpeed(baud)) {
        line.c_cflag = (line.c_cflag & ~(CSIZE | PARENB | CSTOPB)) | CS8;
        if (::cfsetispeed(&line, *speed) != 0 || ::cfsetospeed(&line, *speed) != 0) return false;
    }
    return ::tcsetattr(fd, TCSANOW, &line) == 0 && ::tcflush(fd, TCIFLUSH) == 0;
}

std::string GroupOf(const struct stat& info) {
    const group* owner = ::getgrgid(info.st_gid);
    return owner != nullptr ? owner->gr_name : "";
}

}  // namespace

bool IsLineSpeed(int baud) {
    return LineSpeed(baud) != nullptr;
}

bool LooksLikeASerialPort(std::string_view nomport) {
    const std::string_view name = nomport.substr(nomport.rfind('/') + 1);
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // A device name, then its number: COM1 (in any case), ttyS0, ttyUSB0, ttyACM0.
    const auto numbered = [&](std::string_view text, std::string_view prefix) {
        return text.size() > prefix.size() && text.starts_with(prefix) &&
               std::all_of(text.begin() + prefix.size(), text.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    };
    return numbered(upper, "COM") || numbered(name, "ttyS") || numbered(name, "ttyUSB") ||
           numbered(name, "ttyACM");
}

std::string PortFailureReason(std::string_view nomport, int error, bool serialDevice,
                              std::string_view deviceGroup) {
    std::string reason = std::strerror(error);
    if (error == ENOENT && serialDevice) {
        const std::string_view name = nomport.substr(nomport.rfind('/') + 1);
        if (LooksLikeASerialPort(name) && !name.starts_with("tty"))
            reason += "\nhint: " + std::string(name) +
                      " is what Windows calls a serial port; here " +
                      "the ports are /dev/ttyS0 (COM1), /dev/ttyS1 (COM2), ...";
        reason +=
            "\nhint: is the phone connected and switched on? "
            "ls /dev/ttyUSB* /dev/ttyACM* /dev/rfcomm* lists the serial devices";
    }
    if ((error == EACCES || error == EPERM) && serialDevice) {
        // A device of the group root is open to no group a user may join.
        const std::string group = deviceGroup.empty() || deviceGroup == "root"
                                      ? "dialout"
                                      : std::string(deviceGroup);
        reason += "\nhint: " + std::string(nomport) + " is open to the group " + group +
                  "; add yourself with: sudo usermod -aG " + group +
                  " \"$USER\", then log in again";
    }
    return reason;
}

std::unique_ptr<Port> OpenDevicePort(const std::string& nomport, const PortSettings& settings,
                                     std::string& reason) {
    struct stat info {};
    const bool exists = ::stat(nomport.c_str(), &info) == 0;
    const int missing = exists ? 0 : errno;
    const bool serialDevice = exists ? S_ISCHR(info.st_mode) : LooksLikeASerialPort(nomport);
    const auto fail = [&](int error) -> std::unique_ptr<Port> {
        reason = PortFailureReason(nomport, error, serialDevice || UnderDev(nomport),
                                   exists ? GroupOf(info) : "");
        return nullptr;
    };
    // A device that is not there must not become an ordinary file: under
    // /dev it would hide the device node that appears later.
    if (!exists && (missing != ENOENT || serialDevice || UnderDev(nomport))) return fail(missing);

    const bool readable = exists && S_ISCHR(info.st_mode) && settings.readAnswers;
    int flags = (readable ? O_RDWR : O_WRONLY) | O_NOCTTY | O_CLOEXEC;
    if (!exists) flags |= O_CREAT | O_EXCL;
    // A serial line without carrier would hold a blocking open() until the
    // modem raises DCD, so the device is opened without waiting and then
    // put back into blocking mode. A FIFO without a reader refuses such an
    // open; it gets the plain one.
    int fd = ::open(nomport.c_str(), flags | O_NONBLOCK, 0666);
    if (fd < 0 && errno == ENXIO) fd = ::open(nomport.c_str(), flags, 0666);
    if (fd < 0) return fail(errno);
    auto port = std::make_unique<DevicePort>(nomport, fd, readable);

    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) return fail(errno);
    if (::fstat(fd, &info) != 0) return fail(errno);
    // The dry run starts an ordinary file afresh.
    if (S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) return fail(errno);
    if (::isatty(fd) == 1 && !MakeRaw(fd, settings.baud)) return fail(errno);
    return port;
}

}  // namespace tolvane
