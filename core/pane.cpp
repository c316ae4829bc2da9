#include "core/pane.h"

namespace z51 {

void RecordingPane::AddRun(std::string_view text) {
    if (text.empty()) return;
    Line& line = lines_.back();
    if (!line.empty() && line.back().color == color_)
        line.back().text.append(text);
    else
        line.push_back({color_, std::string(text)});
}

void RecordingPane::AddLine(std::string_view text) {
    lines_.emplace_back();
    AddRun(text);
}

void RecordingPane::Append(std::string_view text) {
    if (lines_.empty()) lines_.emplace_back();
    AddRun(text);
}

std::string RecordingPane::LineText(std::size_t i) const {
    std::string s;
    for (const Run& r : lines_.at(i)) s += r.text;
    return s;
}

std::string RecordingPane::Text() const {
    std::string s;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i) s += '\n';
        s += LineText(i);
    }
    return s;
}

}  // namespace z51
