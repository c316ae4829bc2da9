#include "uploader/answer.h"

namespace tolvane {

std::optional<FinalResult> FindFinalResult(std::string_view received) {
    std::size_t start = 0;
    for (std::size_t end; (end = received.find_first_of("\r\n", start)) != std::string_view::npos;
         start = end + 1) {
        const std::string_view line = received.substr(start, end - start);
        if (line == "OK") return FinalResult{true, std::string(line)};
        if (line == "ERROR" || line.starts_with("+CME ERROR") || line.starts_with("+CMS ERROR"))
            return FinalResult{false, std::string(line)};
    }
    return std::nullopt;
}

}  // namespace tolvane
