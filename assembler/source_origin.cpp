#include "assembler/source_origin.h"

#include <algorithm>

namespace z51 {

void SourceOrigin::Start(const std::string& sourceName) {
    files_.assign(1, sourceName);
    includes_.clear();
    sourceLine_ = 0;
    current_ = {};
}

void SourceOrigin::SourceLineRead() {
    includes_.clear();
    current_ = {++sourceLine_, 0};
}

void SourceOrigin::IncludeOpened(const std::string& path, std::size_t suffix) {
    if (suffix == 0) includes_.clear();
    auto it = std::find(files_.begin(), files_.end(), path);
    if (it == files_.end()) it = files_.insert(files_.end(), path);
    includes_.push_back({static_cast<std::uint16_t>(it - files_.begin()), 0, suffix});
}

void SourceOrigin::IncludeLineRead(std::size_t rest) {
    // A file whose text ends where the unread rest begins is finished.
    while (!includes_.empty() && includes_.back().suffix >= rest) includes_.pop_back();
    if (includes_.empty()) {
        current_ = {};
        return;
    }
    Segment& s = includes_.back();
    current_ = {++s.line, s.file};
}

}  // namespace z51
