#pragma once
// Which file and line the line being assembled comes from. The source is
// read line by line; an include file's text is read from one buffer in
// which a nested include splices the new file in front of the rest of the
// outer one, so each include opened marks where its text ends by the bytes
// that follow it. Lines replayed from a macro body keep the place of the
// line that called the macro.

#include <cstddef>
#include <string>
#include <vector>

#include "core/source_map.h"

namespace z51 {

class SourceOrigin {
public:
    // A pass starts reading `sourceName` from its first line.
    void Start(const std::string& sourceName);
    // The next line of the source was read.
    void SourceLineRead();
    // An include file was opened; its text is followed by `suffix` bytes
    // of the include text read before (0 when it is no nested include).
    void IncludeOpened(const std::string& path, std::size_t suffix);
    // The next line of the include text is about to be read; `rest` bytes
    // of it are not read yet.
    void IncludeLineRead(std::size_t rest);

    SourceLine Current() const { return current_; }
    const std::vector<std::string>& Files() const { return files_; }

private:
    struct Segment {
        std::uint16_t file;
        std::uint32_t line;
        std::size_t suffix;
    };
    std::vector<std::string> files_;
    std::vector<Segment> includes_;
    std::uint32_t sourceLine_ = 0;
    SourceLine current_;
};

}  // namespace z51
