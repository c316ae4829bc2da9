#include "uploader/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "uploader/phonebook.h"

namespace tolvane {

namespace {

// Why a file of this kind is no phone-book file; empty for a regular file.
std::string NotARegularFile(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return {};
    if (S_ISDIR(info.st_mode)) return "is a folder, not a phone-book file";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return "is a device, not a phone-book file (are the port and the file swapped?)";
    if (S_ISFIFO(info.st_mode)) return "is a pipe, not a phone-book file";
    return "is not a regular file";
}

}  // namespace

std::unique_ptr<InputFile> InputFile::Open(const std::string& namefile, std::string& reason) {
    // Looked at before it is opened: opening a pipe would wait for a
    // writer, opening a serial device could reset the phone on it.
    struct stat info {};
    if (::stat(namefile.c_str(), &info) != 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    reason = NotARegularFile(info);
    if (!reason.empty()) return nullptr;

    const int fd = ::open(namefile.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    // The name may have been replaced since it was looked at.
    if (::fstat(fd, &info) != 0 || !(reason = NotARegularFile(info)).empty()) {
        if (reason.empty()) reason = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        reason = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<InputFile>(new InputFile(namefile, f));
}

bool InputFile::IsSameFileAs(const std::string& path) const {
    struct stat mine {};
    struct stat other {};
    return ::fstat(::fileno(f_.get()), &mine) == 0 && ::stat(path.c_str(), &other) == 0 &&
           mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

int InputFile::NextByte() {
    const int c = std::getc(f_.get());
    if (c == EOF && std::ferror(f_.get())) {
        const int error = errno != 0 ? errno : EIO;
        throw std::system_error(error, std::generic_category(), "cannot read " + name_);
    }
    return c;
}

bool InputFile::ReadLine(std::string& strln) {
    strln.clear();
    int c = NextByte();
    if (c == EOF) return false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (strln.size() < kMaxLineLength) strln += static_cast<char>(c);
        c = NextByte();
    }
    if (c == '\r') {
        const int next = NextByte();
        if (next != '\n' && next != EOF) std::ungetc(next, f_.get());
    }
    return true;
}

}  // namespace tolvane
