#include "cli/console_pane.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/cp1251.h"

namespace z51 {

void ConsolePane::Write(std::string_view text) {
    if (text.empty()) return;
    if (colour_ && !colourShown_) {
        if (color_ == clr::Black) {
            std::fputs("\x1b[39m", out_);  // the terminal's own text colour
        } else {
            std::fprintf(out_, "\x1b[38;2;%u;%u;%um", color_ & 0xFF, (color_ >> 8) & 0xFF, (color_ >> 16) & 0xFF);
        }
        colourShown_ = true;
        anyColourShown_ = true;
    }
    if (!utf8_) utf8_ = std::make_unique<char[]>(3 * kFlushSize + 8);
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, kFlushSize);
        text.remove_prefix(piece.size());
        char* const begin = utf8_.get();
        char* end = PutCp1251AsUtf8(begin, piece);
        // A NUL shows nothing in a text pane.
        if (std::memchr(begin, '\0', static_cast<std::size_t>(end - begin))) end = std::remove(begin, end, '\0');
        std::fwrite(begin, 1, static_cast<std::size_t>(end - begin), out_);
    }
}

void ConsolePane::FlushPending() {
    Write(pending_);
    pending_.clear();
}

// Long output (the listing of 64 KiB of code) goes out in pieces of about
// kFlushSize bytes, so memory stays small whatever its length; a piece of
// some kilobytes (a block of lines) goes out at once.
void ConsolePane::Put(std::string_view text) {
    if (pending_.empty() && text.size() >= kFlushSize / 4) {
        Write(text);
        return;
    }
    pending_.append(text);
    if (pending_.size() >= kFlushSize) FlushPending();
}

void ConsolePane::AddLine(std::string_view text) {
    if (lineOpen_) pending_ += '\n';
    Put(text);
    lineOpen_ = true;
}

void ConsolePane::Append(std::string_view text) {
    Put(text);
    lineOpen_ = true;
}

void ConsolePane::SetColor(Color color) {
    if (color == color_) return;
    if (colour_) {
        FlushPending();
        colourShown_ = false;
    }
    color_ = color;
}

// A console cannot take back what it printed; a cleared pane just goes on.
void ConsolePane::Clear() {}

void ConsolePane::Finish() {
    FlushPending();
    if (colour_ && anyColourShown_) std::fputs("\x1b[0m", out_);
    anyColourShown_ = false;
    if (lineOpen_) std::fputc('\n', out_);
    lineOpen_ = false;
    colourShown_ = false;
    std::fflush(out_);
}

}  // namespace z51
