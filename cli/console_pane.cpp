#include "cli/console_pane.h"

#include <string>

#include "core/cp1251.h"

namespace z51 {

void ConsolePane::Put(std::string_view text) {
    if (text.empty()) return;
    if (colour_ && !colourShown_) {
        if (color_ == clr::Black) {
            std::fputs("\x1b[39m", out_);  // the terminal's own text colour
        } else {
            std::fprintf(out_, "\x1b[38;2;%u;%u;%um", color_ & 0xFF, (color_ >> 8) & 0xFF, (color_ >> 16) & 0xFF);
        }
        colourShown_ = true;
    }
    std::string utf8 = Cp1251ToUtf8(text);
    // A NUL shows nothing in a text pane.
    std::erase(utf8, '\0');
    std::fwrite(utf8.data(), 1, utf8.size(), out_);
}

void ConsolePane::AddLine(std::string_view text) {
    if (lineOpen_) std::fputc('\n', out_);
    Put(text);
    lineOpen_ = true;
}

void ConsolePane::Append(std::string_view text) {
    Put(text);
    lineOpen_ = true;
}

void ConsolePane::SetColor(Color color) {
    if (color != color_) colourShown_ = false;
    color_ = color;
}

// A console cannot take back what it printed; a cleared pane just goes on.
void ConsolePane::Clear() {}

void ConsolePane::Finish() {
    if (colour_) std::fputs("\x1b[0m", out_);
    if (lineOpen_) std::fputc('\n', out_);
    lineOpen_ = false;
    colourShown_ = false;
    std::fflush(out_);
}

}  // namespace z51
