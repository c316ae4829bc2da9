#include "uploader/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "uploader/phonebook.h"

namespace tolvane {

std::unique_ptr<InputFile> InputFile::Open(const std::string& namefile) {
    std::FILE* f = std::fopen(namefile.c_str(), "rb");
    if (f == nullptr) return nullptr;
    struct stat info {};
    if (::fstat(::fileno(f), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(f);
        return nullptr;
    }
    return std::unique_ptr<InputFile>(new InputFile(namefile, f));
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
