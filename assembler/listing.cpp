#include "assembler/listing.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "assembler/asm_state.h"
#include "assembler/parser.h"
#include "core/cp1251.h"
#include "core/fileio.h"
#include "core/pane.h"
#include "isa/hex.h"
#include "isa/intel_hex.h"

namespace z51 {
namespace {

void AppendAddress(std::string& out, std::int32_t addr) {
    AppendHex4(out, static_cast<std::uint16_t>(addr & 0xFFFF));
}

bool ReadNumber(std::string_view& s, int minDigits, int maxDigits, int& out) {
    int n = 0, v = 0;
    while (n < maxDigits && n < static_cast<int>(s.size()) && s[static_cast<std::size_t>(n)] >= '0' &&
           s[static_cast<std::size_t>(n)] <= '9') {
        v = v * 10 + (s[static_cast<std::size_t>(n)] - '0');
        ++n;
    }
    if (n < minDigits) return false;
    s.remove_prefix(static_cast<std::size_t>(n));
    out = v;
    return true;
}

bool Expect(std::string_view& s, char c) {
    if (s.empty() || s[0] != c) return false;
    s.remove_prefix(1);
    return true;
}

}  // namespace

std::string OutputName(std::string_view sourceName, std::string_view ext) {
    std::size_t slash = sourceName.find_last_of("/\\");
    std::size_t dot = sourceName.rfind('.');
    std::string name(sourceName);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        name += '.';
    } else {
        name.resize(dot + 1);
    }
    name += ext;
    // A source whose extension already is Bin or Hex is never overwritten
    // by its own output.
    if (name == sourceName) name = std::string(sourceName) + "." + std::string(ext);
    return name;
}

std::optional<std::time_t> ParseIdentDate(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    std::string_view y = s;
    if (!ReadNumber(s, 1, 2, day) || !Expect(s, '.') || !ReadNumber(s, 1, 2, month) || !Expect(s, '.')) return {};
    y = s;
    if (!ReadNumber(s, 2, 4, year)) return {};
    std::size_t yearDigits = y.size() - s.size();
    if (yearDigits == 3) return {};
    if (yearDigits == 2) year += year < 50 ? 2000 : 1900;
    s = TrimBlanks(s);
    if (!s.empty()) {
        if (!ReadNumber(s, 1, 2, hour) || !Expect(s, ':') || !ReadNumber(s, 2, 2, minute)) return {};
        if (!s.empty() && (!Expect(s, ':') || !ReadNumber(s, 2, 2, second))) return {};
        if (!s.empty()) return {};
    }
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return {};
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    std::tm check = tm;
    std::time_t t = std::mktime(&check);
    if (t == static_cast<std::time_t>(-1) || check.tm_mday != day || check.tm_mon != month - 1) return {};
    return t;
}

void PrintNumCodeStr(const AsmState& st, Pane& pane) {
    if (st.PageLength != 0 && st.LineNo % st.PageLength == 0 && !st.TitleText.empty()) {
        pane.SetColor(clr::Navy);
        pane.AddLine("\t" + st.TitleText);
        pane.SetColor(clr::Black);
        pane.AddLine(std::string(8 + st.TitleText.size() / 2, ' ') + "- " +
                     std::to_string(st.LineNo / st.PageLength + 1) + " -");
    }
    // Five columns, right-aligned, and a blank; a longer number in full.
    char digits[16];
    std::size_t from = sizeof digits;
    digits[--from] = ' ';
    std::uint32_t n = st.LineNo;
    do {
        digits[--from] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (sizeof digits - from < 6) digits[--from] = ' ';
    const std::string_view number(digits + from, sizeof digits - from);
    pane.SetColor(clr::Maroon);
    if (st.LineNo == 1) pane.Append(number);
    else pane.AddLine(number);

    std::string text;
    AppendAddress(text, st.LineAddr);
    text += ' ';
    pane.SetColor(clr::Teal);
    pane.Append(text);

    text.clear();
    if (st.LineHandled && st.LineByteCount > 0) {
        for (std::size_t i = 0; i < std::min<std::size_t>(st.LineByteCount, 3); ++i) {
            AppendHex2(text, st.LineBytes[i]);
            text += ' ';
        }
    }
    while (text.size() < 9) text += "   ";
    pane.SetColor(clr::Black);
    pane.Append(text);
}

void SymbolListing(const AsmState& st, Pane& pane) {
    static const std::string kTitle = cp("Таблица меток и приравниваний [");
    static const std::string kRegisters = cp("Объявления регистров R0..R7:");
    const SymbolTable& t = st.Symbols;
    pane.SetColor(clr::Navy);
    pane.AddLine(kTitle + std::to_string(t.LabelCount) + "]:");
    pane.SetColor(clr::Black);
    const std::size_t width = std::size_t{t.MaxLabelLen} + 1;
    const unsigned perLine = 80u / (t.MaxLabelLen + 8u);
    unsigned c = 0;
    std::string entry;
    for (std::int32_t i = 0; i < t.Occupied(); ++i) {
        entry.assign(t.Name(i));
        if (entry.size() < width) entry.resize(width, ' ');
        entry += ' ';
        AppendAddress(entry, t.LabelValues[static_cast<std::size_t>(i)]);
        if (c == 0) pane.AddLine(entry);
        else pane.Append(" | " + entry);
        ++c;
        if (perLine < c) c = 0;
    }
    pane.SetColor(clr::Navy);
    if (std::any_of(st.RegAlias.begin(), st.RegAlias.end(), [](const std::string& a) { return !a.empty(); }))
        pane.AddLine(kRegisters);
    pane.SetColor(clr::Black);
    for (int n = 0; n < 8; ++n) {
        const std::string& alias = st.RegAlias[static_cast<std::size_t>(n)];
        if (!alias.empty()) pane.AddLine("R" + std::to_string(n) + " : " + alias);
    }
}

void WriteBinFile(AsmState& st, Pane& pane) {
    static const std::string kSize = cp("Объём Bin-файла (FileSize): ");
    static const std::string kClamped = cp("Диапазон Bin-файла ограничен памятью программ 0000..FFFF");
    static const std::string kEmpty = cp("Адрес ORG_MAX меньше ORG_MIN: Bin-файл пуст");
    static const std::string kEprom = cp("Размер .27xxx вне пределов 0..65536 байт: Bin-файл ограничен");
    static const std::string kCut = cp("Код выше адреса ORG_MAX не вошёл в Bin-файл: ");
    static const std::string kBadIdent = cp("Некорректно расписана дата и время для команды .IDENT [");
    static const std::string kIdentTemplate =
        cp("Шаблон задания даты и времени файла .IDENT /dd.mm.ГГГГ hh:mm[:ss]/");

    const std::string path = OutputName(st.SourceName, "Bin");
    std::int64_t from = 0, count = 0;
    std::string notice;
    if (st.BinFrom != 0) {
        if (st.BinTo == 0 && st.HighAddr > st.BinFrom) st.BinTo = st.HighAddr;
        std::int64_t lo = st.BinFrom, hi = st.BinTo;
        if (lo < 0 || lo > 0xFFFF || hi > 0xFFFF) notice = kClamped;
        lo = std::clamp<std::int64_t>(lo, 0, 0xFFFF);
        hi = std::min<std::int64_t>(hi, 0xFFFF);
        if (hi < lo) notice = kEmpty;
        from = lo;
        count = std::max<std::int64_t>(hi - lo + 1, 0);
        // Without ORG_MAX the range ends at 0800H; say so when code lies beyond.
        if (notice.empty() && hi >= lo && st.HighAddr > hi) {
            std::string last;
            AppendAddress(last, static_cast<std::int32_t>(hi));
            notice = kCut + last + "H";
        }
    } else if (st.EpromSize != 0) {
        count = st.EpromSize;
        if (count < 0 || count > 0x10000) notice = kEprom;
        count = std::clamp<std::int64_t>(count, 0, 0x10000);
    } else if (st.LowAddr <= st.HighAddr && st.HighAddr >= 0) {
        // A plain image of code memory from address 0, as the HEX
        // conversion also assumes.
        std::int64_t hi = st.HighAddr;
        if (hi > 0xFFFF) notice = kClamped;
        count = std::min<std::int64_t>(hi, 0xFFFF) + 1;
    }
    std::copy_n(st.CodeImage.begin() + from, count, st.BinBuffer.begin());

    pane.SetColor(clr::Blue);
    AtomicFile file(path);
    file.Write(std::span<const std::uint8_t>(st.BinBuffer.data(), static_cast<std::size_t>(count)));
    file.Commit();
    if (!notice.empty()) {
        pane.SetColor(clr::Red);
        pane.AddLine(notice);
        pane.SetColor(clr::Blue);
    }
    pane.AddLine(kSize + std::to_string(count));

    if (!st.IdentText.empty()) {
        std::string_view inner = st.IdentText.size() >= 2
                                     ? std::string_view(st.IdentText).substr(1, st.IdentText.size() - 2)
                                     : std::string_view();
        if (auto t = ParseIdentDate(inner)) {
            SetFileTime(path, static_cast<std::int64_t>(*t));
        } else {
            pane.SetColor(clr::Red);
            pane.AddLine(kBadIdent + st.IdentText + "]!");
            pane.SetColor(clr::Navy);
            pane.AddLine(kIdentTemplate);
        }
    }
}

void WriteHexFile(AsmState& st, Pane&) {
    const std::string path = OutputName(st.SourceName, "Hex");
    AtomicFile file(path);
    file.Write(HexFileText(st.CodeImage, st.LowAddr, st.HighAddr, st.HexWidth, st.HexCR != 0));
    file.Commit();
}

}  // namespace z51
