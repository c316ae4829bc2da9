#pragma once
// The one error type of file-system failures: the window shows it in a
// message box, the console prints it and exits non-zero.

#include <stdexcept>
#include <string>

namespace z51 {

class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string reason)
        : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

}  // namespace z51
