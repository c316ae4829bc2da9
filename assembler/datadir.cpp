#include "assembler/datadir.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <utility>

#include "assembler/asm_state.h"
#include "assembler/directives_ext.h"
#include "assembler/evaluator.h"
#include "assembler/floatconst.h"
#include "assembler/parser.h"
#include "assembler/winlcd.h"
#include "core/cp1251.h"

namespace z51 {
namespace {

constexpr std::array<std::pair<std::string_view, DataDirective>, 16> kDataWords = {{
    {"DBZ", DataDirective::DBZ},   {"DBE", DataDirective::DBE},   {"DB", DataDirective::DB},
    {"STR", DataDirective::STR},   {"STRW", DataDirective::STRW}, {"LCD", DataDirective::LCD},
    {"STRCR", DataDirective::STRCR}, {"STRWCR", DataDirective::STRWCR}, {"DEF8", DataDirective::DEF8},
    {"LINT", DataDirective::LINT}, {"FLT2", DataDirective::FLT2}, {"FLT3", DataDirective::FLT3},
    {"DEFL", DataDirective::DEFL}, {"DW", DataDirective::DW},     {"REL", DataDirective::REL},
    {"DS", DataDirective::DS},
}};

}  // namespace

std::optional<DataDirective> FindDataDirective(std::string_view mnemonic) {
    for (const auto& [word, d] : kDataWords)
        if (mnemonic == word) return d;
    return std::nullopt;
}

bool IsStringDirective(DataDirective d, std::string_view operand1) {
    switch (d) {
        case DataDirective::DB: return operand1.starts_with('\'');
        case DataDirective::DBZ:
        case DataDirective::DBE:
        case DataDirective::STR:
        case DataDirective::STRW:
        case DataDirective::LCD:
        case DataDirective::STRCR:
        case DataDirective::STRWCR: return true;
        default: return false;
    }
}

QuotedText ScanQuoted(std::string_view line, std::size_t open) {
    QuotedText q;
    if (open >= line.size()) return q;
    const std::size_t from = open + 1;
    q.close = line.find('\'', from);
    q.text = line.substr(from, (q.close == std::string_view::npos ? line.size() : q.close) - from);
    return q;
}

void StringBytes(DataDirective d, std::string_view text, LineData& out) {
    for (char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        out.Add(d == DataDirective::LCD ? WinLCD[b] : b);
    }
    switch (d) {
        case DataDirective::STRCR:
        case DataDirective::STRWCR: out.Add(0x0D); break;
        case DataDirective::DBZ: out.Add(0x00); break;
        case DataDirective::DBE:
            // The end of the string is marked by bit 7 of its last byte.
            if (!out.Bytes().empty()) out.Bytes().back() ^= 0x80;
            break;
        default: break;
    }
}

ByteListScan ByteListBytes(std::string_view line, std::size_t start, const EvalFn& eval, LineData& out,
                           bool quotedCharAsText, bool words) {
    ByteListScan scan;
    std::string item;
    bool text = false;  // the item was quoted text, stored already
    auto take = [&] {
        if (!text) {
            const EvalResult r = eval(item);
            if (words) WordBytes(r.value, out);
            else out.Add(static_cast<std::uint8_t>(r.value));
            if (!r.valid) scan.allValid = false;
        }
        item.clear();
        text = false;
    };
    std::size_t i = start, itemStart = start;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        const QuotedText q = c == '\'' && item.empty() && !text && !words ? ScanQuoted(line, i) : QuotedText{};
        if (q.close != std::string_view::npos) {
            // A quoted character alone is text when asked; with an operator
            // after it, it is a character constant.
            std::size_t after = q.close + 1;
            while (after < line.size() && IsBlank(line[after])) ++after;
            const bool alone = after >= line.size() || line[after] == ',' || line[after] == ';';
            if (q.text.size() != 1 || (quotedCharAsText && alone)) {
                // Text in quotes: its characters as written.
                for (char t : q.text) out.Add(static_cast<std::uint8_t>(t));
                text = true;
            } else {
                // A character constant, also of a blank, a comma or a ";".
                for (std::size_t k = i; k <= q.close; ++k) item += UpperAscii(line[k]);
            }
            i = q.close;
            continue;
        }
        if (IsBlank(c)) {
            const std::size_t next = SkipOperandBlanks(line, i, itemStart);
            if (next == i) break;
            if (!item.empty() && next < line.size() && line[next] != ',') item += ' ';
            i = next - 1;
            continue;
        }
        if (c == ';') break;
        if (c == ',') {
            take();
            itemStart = i + 1;
        } else if (text) {
            scan.allValid = false;  // more after the closing quote
        } else {
            item += UpperAscii(c);
        }
    }
    if (!item.empty()) take();
    scan.stop = i;
    return scan;
}

std::optional<std::int32_t> ParseLint(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    // Magnitude in 64 bits so that -2147483648 is accepted.
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void LintBytes(std::int32_t value, LineData& out) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.Add(static_cast<std::uint8_t>(u >> (8 * i)));
}

void WordBytes(std::int32_t value, LineData& out) {
    const auto u = static_cast<std::uint32_t>(value);
    out.Add(static_cast<std::uint8_t>(u >> 8));
    out.Add(static_cast<std::uint8_t>(u));
}

void RelByte(std::int32_t target, std::int32_t lineAddr, LineData& out) {
    const std::uint32_t d = static_cast<std::uint32_t>(target) - (static_cast<std::uint32_t>(lineAddr) + 1u);
    out.Add(static_cast<std::uint8_t>(d));
}

void DsBytes(std::int32_t value, LineData& out) { out.Add(0x00, static_cast<std::uint32_t>(value) & 0xFFu); }

}  // namespace z51

// --- The parser hooks --------------------------------------------------

namespace z51 {
namespace {

EvalResult EvaluateText(AsmState& st, std::string_view text) {
    Evaluate(st, text);
    return {st.ExprValue, st.ExprValid};
}

// A value that does not evaluate would be stored as whatever the evaluator
// left; in the final pass, where every symbol is known, that is reported
// instead of being assembled silently.
void RequireValue(AsmState& st, bool valid) {
    if (valid || st.PassNo <= 1 || !st.LineError.empty()) return;
    static const std::string kNeedsNumber = cp("Аргумент должен иметь числовое значение!");
    st.LineError = kNeedsNumber;
}

void StoreLine(AsmState& st, const LineData& data) {
    const auto& bytes = data.Bytes();
    std::copy(bytes.begin(), bytes.end(), st.LineBytes.begin());
    st.LineByteCount = static_cast<std::uint16_t>(bytes.size());
    st.NextAddr = AddrSum(st.LineAddr, st.LineByteCount);
    if (data.Overflowed()) {
        static const std::string kTooLong = cp("Данные строки превышают 256 байт!");
        st.LineError = kTooLong;
    }
}

std::uint16_t Col(std::size_t index0) { return static_cast<std::uint16_t>(index0 + 1); }

// After a string or a byte list the rest of the line, from `after` (the
// index of the first character behind it), is a comment: blanks first go
// to TrailGap.
void SetCommentAfter(AsmState& st, std::size_t after) {
    FieldSpanSet& f = st.FieldSpans;
    f.Separator1 = f.Operand2Span = f.Separator2 = f.Operand3Span = f.TrailGap = Span{};
    f.CommentStart = 0;
    const std::string& line = st.AsmLine;
    if (after >= line.size()) return;
    std::size_t i = after;
    if (IsBlank(line[i])) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        f.TrailGap = {Col(after), static_cast<std::uint16_t>(i)};
    }
    f.CommentStart = Col(i);
}

// A DB list from index `from` of the line on: numbers, expressions and
// texts in quotes (a single quoted character counts as a character
// constant unless `quotedCharAsText`).
void ListOfDB(AsmState& st, std::size_t from, bool quotedCharAsText, LineData& data) {
    const ByteListScan scan = ByteListBytes(
        st.AsmLine, from, [&](const std::string& t) { return EvaluateText(st, t); }, data, quotedCharAsText);
    // An item without a value makes the line unrecognised; in the first
    // pass it may be a forward reference, which is no error yet.
    if (!scan.allValid && st.PassNo > 1) st.LineHandled = false;
    st.FieldSpans.Operand1Span.end = static_cast<std::uint16_t>(scan.stop);
    SetCommentAfter(st, scan.stop);
}

void QuotedString(AsmState& st, DataDirective d, LineData& data) {
    FieldSpanSet& f = st.FieldSpans;
    if (f.Operand1Span.start == 0) {  // no operand: the empty string
        StringBytes(d, {}, data);
        return;
    }
    const QuotedText q = ScanQuoted(st.AsmLine, f.Operand1Span.start - 1u);
    StringBytes(d, q.text, data);
    st.Operand1 = "'" + std::string(q.text) + "'";
    const std::size_t end = q.close == std::string_view::npos ? st.AsmLine.size() : q.close + 1;
    // DB 'text',0DH,0: a comma after the string, perhaps after blanks,
    // goes on with the list; the items after it are stored too.
    if (d == DataDirective::DB && end < st.AsmLine.size()) {
        std::size_t comma = end;
        while (comma < st.AsmLine.size() && IsBlank(st.AsmLine[comma])) ++comma;
        if (comma < st.AsmLine.size() && st.AsmLine[comma] == ',') {
            ListOfDB(st, comma + 1, true, data);
            return;
        }
    }
    f.Operand1Span.end = static_cast<std::uint16_t>(end);
    SetCommentAfter(st, end);
}

void PackedFloat(AsmState& st, DataDirective d, LineData& data) {
    // PackedValue holds the last converted value in memory order (least
    // significant byte first); a failed conversion keeps it.
    if (d == DataDirective::FLT2) {
        if (const auto v = ValFloat2(st.Operand1)) {
            const auto bits = std::bit_cast<std::uint32_t>(*v);
            for (int i = 0; i < 4; ++i) st.PackedValue[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
        for (int i = 3; i >= 0; --i) data.Add(st.PackedValue[i]);
    } else {
        if (const auto v = ValFloat3(st.Operand1)) {
            const auto bits = std::bit_cast<std::uint64_t>(*v);
            for (int i = 0; i < 8; ++i) st.PackedValue[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
        for (int i = 7; i >= 2; --i) data.Add(st.PackedValue[i]);
    }
}

}  // namespace

bool HandleDataDirective(AsmState& st, Pane&) {
    const std::optional<DataDirective> d = FindDataDirective(st.Mnemonic);
    if (!d) return false;
    st.LineHandled = true;
    LineData data;
    if (IsStringDirective(*d, st.Operand1)) {
        QuotedString(st, *d, data);
    } else {
        switch (*d) {
            case DataDirective::DB:
                if (st.FieldSpans.Operand1Span.start != 0) ListOfDB(st, st.FieldSpans.Operand1Span.start - 1u, false, data);
                break;
            case DataDirective::LINT:
                if (const auto v = ParseLint(st.Operand1)) st.LintValue = *v;
                LintBytes(st.LintValue, data);
                break;
            case DataDirective::FLT2:
            case DataDirective::FLT3: PackedFloat(st, *d, data); break;
            case DataDirective::DW:
            case DataDirective::DEFL:
                // DW 1,2,TABLE: every word of the list (only the first was
                // stored, the others dropped without a word).
                if (st.FieldSpans.Separator1.start != 0) {
                    const ByteListScan scan = ByteListBytes(
                        st.AsmLine, st.FieldSpans.Operand1Span.start - 1u,
                        [&](const std::string& t) { return EvaluateText(st, t); }, data, false, true);
                    RequireValue(st, scan.allValid);
                    st.FieldSpans.Operand1Span.end = static_cast<std::uint16_t>(scan.stop);
                    SetCommentAfter(st, scan.stop);
                    break;
                }
                [[fallthrough]];
            default: {
                const EvalResult r = EvaluateText(st, st.Operand1);
                RequireValue(st, r.valid);
                if (*d == DataDirective::DEF8) data.Add(static_cast<std::uint8_t>(r.value));
                else if (*d == DataDirective::REL) RelByte(r.value, st.LineAddr, data);
                else if (*d == DataDirective::DS) DsBytes(r.value, data);
                else WordBytes(r.value, data);  // DW, DEFL
                break;
            }
        }
    }
    StoreLine(st, data);
    return true;
}

bool HandleByteList(AsmState& st, Pane&) {
    if (st.FieldSpans.MnemonicSpan.start == 0) return false;
    st.LineHandled = true;
    LineData data;
    const ByteListScan scan = ByteListBytes(st.AsmLine, st.FieldSpans.MnemonicSpan.start - 1u,
                                            [&](const std::string& t) { return EvaluateText(st, t); }, data);
    st.ExprValid = scan.allValid ? 1 : 0;
    RequireValue(st, scan.allValid);
    StoreLine(st, data);
    return true;
}

}  // namespace z51
