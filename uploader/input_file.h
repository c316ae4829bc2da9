#pragma once
// The input file F: 8-bit text (code page 1251) read line by line, byte
// for byte, without any conversion.

#include <cstdio>
#include <memory>
#include <string>

namespace tolvane {

class InputFile {
public:
    // Only a regular file is a phone-book file: a serial device named here
    // by a slip of the arguments would be read as input, and a pipe could
    // not be read twice. Nothing when the name is not a readable regular
    // file; reason then says why.
    static std::unique_ptr<InputFile> Open(const std::string& namefile, std::string& reason);

    // Reads the next line into strln; false at the end of the file. A line
    // ends at LF, CR LF or a lone CR, and only its first 255 characters
    // are kept. Throws std::system_error when reading fails.
    bool ReadLine(std::string& strln);

    // True when path names this very file, under whatever name or link.
    bool IsSameFileAs(const std::string& path) const;

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    InputFile(std::string name, std::FILE* f) : name_(std::move(name)), f_(f) {}
    int NextByte();

    std::string name_;
    std::unique_ptr<std::FILE, Closer> f_;
};

}  // namespace tolvane
