#pragma once
// Pane on a console stream: code page 1251 in, UTF-8 out, ANSI colours
// when asked for. Text of one colour (of any colour when the console shows
// none) is gathered and converted once, so a listing line costs one write
// instead of one per field.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/pane.h"

namespace z51 {

class ConsolePane : public Pane {
public:
    ConsolePane(std::FILE* out, bool colour) : out_(out), colour_(colour) {}
    ~ConsolePane() override { Finish(); }

    void AddLine(std::string_view text) override;
    void Append(std::string_view text) override;
    void SetColor(Color color) override;
    void Clear() override;
    // Ends the last line; called before the program exits.
    void Finish();

private:
    static constexpr std::size_t kFlushSize = 1 << 16;
    void Put(std::string_view text);
    void FlushPending();
    // Converts and writes text, after the colour's escape if it is due.
    void Write(std::string_view text);
    std::FILE* out_;
    std::string pending_;              // text not yet written
    std::unique_ptr<char[]> utf8_;     // the UTF-8 form of one piece being written
    bool colour_;
    bool lineOpen_ = false;
    Color color_ = clr::Black;
    bool colourShown_ = false;
    bool anyColourShown_ = false;
};

}  // namespace z51
