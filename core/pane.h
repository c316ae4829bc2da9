#pragma once
// The one output seam of the core: every command writes its report through
// a Pane. The main window, the console front end and the tests each bring
// their own. Text is code page 1251; colours are 24-bit blue-green-red.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace z51 {

using Color = std::uint32_t;  // 0x00BBGGRR

namespace clr {
inline constexpr Color Black = 0x000000;
inline constexpr Color Red = 0x0000FF;
inline constexpr Color Blue = 0xFF0000;
inline constexpr Color Navy = 0x800000;
inline constexpr Color Green = 0x008000;
inline constexpr Color Maroon = 0x000080;
inline constexpr Color Purple = 0x800080;
inline constexpr Color Fuchsia = 0xFF00FF;
inline constexpr Color Teal = 0x808000;
}  // namespace clr

// A pane is a list of lines; the last one is open for appending.
// A cleared pane has no lines: the first Append opens line 1, the first
// AddLine makes line 1.
class Pane {
public:
    virtual ~Pane() = default;
    // Adds `text` as a new line after everything in the pane.
    virtual void AddLine(std::string_view text) = 0;
    // Appends `text` to the last line (opens line 1 in an empty pane).
    virtual void Append(std::string_view text) = 0;
    // Colour of the text added from now on.
    virtual void SetColor(Color color) = 0;
    virtual void Clear() = 0;
};

// Keeps what was written as (colour, text) runs per line; used by tests,
// fuzzers and benchmarks.
class RecordingPane : public Pane {
public:
    struct Run {
        Color color;
        std::string text;
        bool operator==(const Run&) const = default;
    };
    using Line = std::vector<Run>;

    void AddLine(std::string_view text) override;
    void Append(std::string_view text) override;
    void SetColor(Color color) override { color_ = color; }
    void Clear() override { lines_.clear(); }

    const std::vector<Line>& Lines() const { return lines_; }
    Color CurrentColor() const { return color_; }
    // Plain text of line i, or of the whole pane joined by "\n".
    std::string LineText(std::size_t i) const;
    std::string Text() const;

private:
    void AddRun(std::string_view text);
    std::vector<Line> lines_;
    Color color_ = clr::Black;
};

// Swallows everything; for timing runs.
class NullPane : public Pane {
public:
    void AddLine(std::string_view) override {}
    void Append(std::string_view) override {}
    void SetColor(Color) override {}
    void Clear() override {}
};

}  // namespace z51
