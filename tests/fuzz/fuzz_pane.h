#pragma once
// A pane for the fuzz entries: keeps nothing, counts what it is given and
// treats output that keeps growing as a fault (a listing never needs more
// than a few megabytes for inputs of a few kilobytes).

#include <cstddef>
#include <ctime>
#include <string_view>

#include "core/pane.h"
#include "fuzz_entries.h"

namespace z51::fuzz {

class CountingPane : public Pane {
public:
    void AddLine(std::string_view text) override {
        ++lines_;
        Count(text);
    }
    void Append(std::string_view text) override { Count(text); }
    void SetColor(Color) override {}
    void Clear() override {}
    std::size_t Lines() const { return lines_; }

private:
    void Count(std::string_view text) {
        bytes_ += text.size();
        FuzzCheck(bytes_ < (std::size_t{1} << 28), "more than 256 MiB of pane output");
    }
    std::size_t lines_ = 0;
    std::size_t bytes_ = 0;
};

// The clock of every entry: a fixed moment, so that runs repeat exactly.
inline std::time_t FixedClock() { return 1765189230; }

// Sets AtomicFile's failure seam for one scope.
class InjectWriteFailure {
public:
    explicit InjectWriteFailure(long long afterBytes);
    ~InjectWriteFailure();
    InjectWriteFailure(const InjectWriteFailure&) = delete;
    InjectWriteFailure& operator=(const InjectWriteFailure&) = delete;
};

// Whether a writer left a temporary file behind: in the installed
// MemoryFiles, or else in the scratch folder.
bool LeftoverTempFile();

}  // namespace z51::fuzz
