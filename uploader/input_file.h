#pragma once
// The input file F: 8-bit text (code page 1251) read line by line, byte
// for byte, without any conversion.

#include <cstdio>
#include <memory>
#include <string>

namespace tolvane {

class InputFile {
public:
    // Nothing when the file cannot be opened for reading (or is a folder).
    static std::unique_ptr<InputFile> Open(const std::string& namefile);

    // Reads the next line into strln; false at the end of the file. A line
    // ends at LF, CR LF or a lone CR, and only its first 255 characters
    // are kept. Throws std::system_error when reading fails.
    bool ReadLine(std::string& strln);

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
