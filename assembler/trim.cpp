#include "assembler/trim.h"

#include <array>

#include "assembler/include.h"
#include "core/fileio.h"

namespace z51 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return u;
}

// Directives that the parser recognises only when they begin the line.
constexpr std::array<std::string_view, 15> kColumnOneWords = {
    ".ENDM",   ".ENDIF",  ".IDENT", "$NOMOD5",  "$NO_LIST", ".GLOBAL",  ".ARGCHK", ".IFTRUE",
    ".IFZ",    ".IFNZ",   ".IFFALSE", ".COMMENT", "$INCLUDE", "%INCLUDE", ".INCLUDE"};

// Second words that make the first word a declared name, which the parser
// reads only from column 1.
constexpr std::array<std::string_view, 7> kDeclarationWords = {"EQU", "BIT", "SET", "DATA", "REG", "VAR", "MACRO"};

// A word ends at a blank, a tab, the comment or the end of the line.
std::string_view WordAt(std::string_view s, std::size_t from) {
    std::size_t end = from;
    while (end < s.size() && !IsBlank(s[end]) && s[end] != ';') ++end;
    return s.substr(from, end - from);
}

bool KeepsColumnOne(std::string_view l) {
    if (l.front() == ';') return true;  // a comment line
    if (IsControlLine(l)) return true;
    const std::string upper = Upper(l);
    for (std::string_view w : kColumnOneWords)
        if (upper.starts_with(w)) return true;
    const std::string_view first = WordAt(l, 0);
    // A colon in the first word ends a label (and begins an Intel HEX
    // record line); a colon further on, in a quoted character or a
    // comment, is not a label.
    if (first.find(':') != std::string_view::npos) return true;
    std::size_t i = first.size();
    if (i >= l.size() || !IsBlank(l[i])) return false;
    while (i < l.size() && IsBlank(l[i])) ++i;
    const std::string second = Upper(WordAt(l, i));
    for (std::string_view w : kDeclarationWords)
        if (second == w) return true;
    return false;
}

}  // namespace

std::string TrimLine(std::string_view line) {
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t b = 0, e = line.size();
    while (b < e && isSpace(line[b])) ++b;
    while (e > b && isSpace(line[e - 1])) --e;
    const std::string_view l = line.substr(b, e - b);
    if (l.empty()) return {};
    if (KeepsColumnOne(l)) return std::string(l);
    return "\t" + std::string(l);
}

std::string TrimFileName(const std::string& sourceName) {
    const std::size_t dot = sourceName.rfind('.');
    const std::size_t sep = sourceName.find_last_of("/\\");
    const bool hasExtension = dot != std::string::npos && (sep == std::string::npos || dot > sep + 1);
    std::string name = (hasExtension ? sourceName.substr(0, dot) : sourceName) + ".Trm";
    // A source whose extension already is Trm is never overwritten by its
    // own output (as with the assembler's .Bin and .Hex).
    if (name == sourceName) name += ".Trm";
    return name;
}

void TrimSource(Pane& pane, Workspace& ws, const std::string& sourceName) {
    ws.SourceName = sourceName;
    pane.Clear();
    TextReader in(sourceName);
    AtomicFile out(TrimFileName(sourceName));
    pane.SetColor(clr::Black);
    while (!in.AtEnd()) {
        const std::string line = TrimLine(in.ReadLine());
        pane.AddLine(line);
        out.Write(line);
        out.Write(std::string_view("\r\n"));
    }
    out.Commit();
}

}  // namespace z51
