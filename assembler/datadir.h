#pragma once
// Data definition directives: the bytes that strings, LCD text, byte lists,
// words, LINT, FLT2, FLT3, REL and DS place into program memory. The pieces
// here work on the line text and a value callback; the parser hook that
// uses them with the assembler state is declared with the other hooks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace z51 {

// One source line defines at most this many bytes.
inline constexpr std::size_t kLineBytesCapacity = 256;

// The bytes of one line. Bytes beyond the capacity are dropped and the
// line is marked as overflowed; nothing is ever written past the buffer.
class LineData {
public:
    void Add(std::uint8_t b) {
        if (bytes_.size() < kLineBytesCapacity) bytes_.push_back(b);
        else overflowed_ = true;
    }
    void Add(std::uint8_t b, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) Add(b);
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    bool Overflowed() const { return overflowed_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool overflowed_ = false;
};

// Value of an operand as the evaluator left it: `value` is stored even when
// `valid` is false.
struct EvalResult {
    std::int32_t value = 0;
    bool valid = false;
};
using EvalFn = std::function<EvalResult(const std::string& text)>;

// The data directives in the order the parser tests them.
enum class DataDirective { DBZ, DBE, DB, STR, STRW, LCD, STRCR, STRWCR, DEF8, LINT, FLT2, FLT3, DEFL, DW, REL, DS };

// The directive named by an upper-case mnemonic, if it is one.
std::optional<DataDirective> FindDataDirective(std::string_view mnemonic);

// Whether a directive takes a quoted string: every string directive, and DB
// when its operand begins with a quote.
bool IsStringDirective(DataDirective d, std::string_view operand1);

// The text of a quoted string: from the character after `open` (the
// opening quote's index in `line`) up to the next "'" or the end of the
// line. `close` is the index of the closing quote, or npos.
struct QuotedText {
    std::string_view text;
    std::size_t close = std::string_view::npos;
};
QuotedText ScanQuoted(std::string_view line, std::size_t open);

// A string's bytes: one per character (through WinLCD for LCD), then 0DH
// for STRCR/STRWCR, 00H for DBZ, or bit 7 of the last byte inverted for DBE.
void StringBytes(DataDirective d, std::string_view text, LineData& out);

// A byte list read from `line` at index `start` up to a blank, a tab, a
// ";" or the end of the line; blanks beside a comma or inside an
// expression do not end it. Items are separated by commas: text in quotes
// gives its characters as written, any other item is evaluated
// upper-cased and gives its low byte, valid or not. A single quoted
// character is a character constant (upper-cased like any operand) unless
// `quotedCharAsText`. With `words` every item is a value of two bytes,
// high byte first (DW), and quotes are no text.
struct ByteListScan {
    std::size_t stop = 0;  // index of the character that ended the list
    bool allValid = true;
};
ByteListScan ByteListBytes(std::string_view line, std::size_t start, const EvalFn& eval, LineData& out,
                           bool quotedCharAsText = false, bool words = false);

// LINT's operand: a plain signed 32-bit decimal (optional sign, digits).
std::optional<std::int32_t> ParseLint(std::string_view text);

// Single-value layouts.
void LintBytes(std::int32_t value, LineData& out);  // low byte first
void WordBytes(std::int32_t value, LineData& out);  // DW, DEFL: high byte first
// REL: the displacement from the address after the byte, low 8 bits.
void RelByte(std::int32_t target, std::int32_t lineAddr, LineData& out);
// DS: (value AND FFH) zero bytes.
void DsBytes(std::int32_t value, LineData& out);

}  // namespace z51
