#include "assembler/include.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "assembler/asm_state.h"
#include "assembler/directives_ext.h"
#include "assembler/evaluator.h"
#include "assembler/name_hash.h"
#include "assembler/parser.h"
#include "core/cp1251.h"
#include "core/file_error.h"
#include "core/fileio.h"
#include "core/pane.h"

namespace z51 {
namespace {

std::string Normalised(std::string_view name) {
    std::string s(name);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

// The folder above `folder` ("" is the root and stays the root).
std::string ParentFolder(const std::string& folder) {
    if (folder.empty()) return folder;
    if (folder == ".") return "..";
    const std::size_t slash = folder.rfind('/');
    const std::string_view last = slash == std::string::npos ? std::string_view(folder)
                                                             : std::string_view(folder).substr(slash + 1);
    if (last == "..") return folder + "/..";
    if (slash == std::string::npos) return ".";
    return folder.substr(0, slash);
}

char FoldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    return c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

}  // namespace

std::string SourceFolder(std::string_view sourceName) {
    const std::size_t sep = sourceName.find_last_of("/\\");
    if (sep == std::string_view::npos) return ".";
    return Normalised(sourceName.substr(0, sep));
}

std::string SetPath(std::string_view folder, std::string_view name) {
    std::string n = Normalised(name);
    std::string dir = Normalised(folder);
    if (n.empty()) return {};
    if (n.front() == '/') return dir + n;
    if (n.front() != '.') return n;
    for (;;) {
        if (n.starts_with("./")) {
            n.erase(0, 2);
        } else if (n.starts_with("../")) {
            n.erase(0, 3);
            dir = ParentFolder(dir);
        } else {
            break;
        }
    }
    if (n.empty() || n.front() == '.') return {};
    return dir + "/" + n;
}

std::string FindIncludeFile(const std::string& path) {
    if (path.empty() || FileExists(path)) return path;
    namespace fs = std::filesystem;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string_view leaf = slash == std::string::npos ? std::string_view(path)
                                                             : std::string_view(path).substr(slash + 1);
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return path;
    // The first match in name order, so that the choice does not depend on
    // the order in which the file system lists the folder.
    std::string best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::string entry = it->path().filename().string();
        if (!SameIgnoringCase(entry, leaf)) continue;
        const std::string candidate = slash == std::string::npos ? entry : path.substr(0, slash + 1) + entry;
        if (!FileExists(candidate)) continue;
        if (best.empty() || candidate < best) best = candidate;
    }
    return best.empty() ? path : best;
}

namespace {

std::uint16_t Col(std::size_t index0) { return static_cast<std::uint16_t>(index0 + 1); }

// Display fields of a column-1 directive: the word as mnemonic, then the
// blanks, the operand up to `end` (the comment or the end of the line)
// and the blanks before the comment. Returns the operand's index range.
std::pair<std::size_t, std::size_t> ShowDirective(AsmState& st, std::size_t wordLength, std::size_t end) {
    FieldSpanSet& f = st.FieldSpans;
    const std::string& line = st.AsmLine;
    st.Mnemonic = UpperCopy(line.substr(0, wordLength));
    f.MnemonicSpan = {1, static_cast<std::uint16_t>(wordLength)};
    std::size_t b = wordLength, e = end;
    while (b < e && IsBlank(line[b])) ++b;
    while (e > b && IsBlank(line[e - 1])) --e;
    if (b > wordLength) f.MnemonicGap = {Col(wordLength), static_cast<std::uint16_t>(b)};
    if (e > b) f.Operand1Span = {Col(b), static_cast<std::uint16_t>(e)};
    if (end > e && e > b) f.TrailGap = {Col(e), static_cast<std::uint16_t>(end)};
    return {b, e};
}

// End of the code part: the comment's ";" or the end of the line.
std::size_t CodeEnd(const AsmState& st) {
    const std::size_t c = st.FieldSpans.CommentStart;
    return c ? std::min<std::size_t>(c - 1u, st.AsmLine.size()) : st.AsmLine.size();
}

// Include files open inside one another at most, and include files
// opened in one pass at most (sources that include the same files over
// and over in a tree would otherwise take time without end).
constexpr std::size_t kMaxIncludeDepth = 16;
constexpr std::uint32_t kMaxIncludeOpens = 4096;

enum class Opened { Yes, Circular, TooDeep, TooMany };

// Opens `path` as the include file. An include directive inside an include
// file reads the new file and then goes on with the lines after the
// directive. Raises FileError when the file cannot be read.
Opened OpenInclude(AsmState& st, const std::string& path) {
    // The file of the directive stays open until the new one ends, also
    // when the directive is its last line.
    const std::size_t depth = st.IncludePaths.size();
    // A file that is open already (the source among them) would include
    // itself again and again.
    auto same = [&](const std::string& other) {
        std::error_code ec;
        return std::filesystem::equivalent(path, other, ec);
    };
    if (same(st.SourceName) || std::any_of(st.IncludePaths.begin(), st.IncludePaths.end(), same))
        return Opened::Circular;
    if (depth >= kMaxIncludeDepth) return Opened::TooDeep;
    if (st.IncludeOpens >= kMaxIncludeOpens) return Opened::TooMany;
    std::string text = ReadTextFile(path);
    // The place of the lines read from now on: their file, and the bytes
    // still unread around it (none when it is no nested include).
    st.Origin.IncludeOpened(path, depth > 0 ? st.IncludeUnread() : 0);
    ++st.IncludeOpens;
    if (depth == 0) {
        st.CloseIncludes();
    } else {
        st.IncludeOuter.push_back(std::move(st.IncludeFile));
        st.IncludeFile = TextReader();
    }
    // An empty file gives no line: FetchLine goes on at once with what
    // follows the directive.
    st.IncludeFile.OpenText(std::move(text));
    st.IncludePaths.push_back(path);
    st.IncludeActive = true;
    return Opened::Yes;
}

// Opens the include file `name` (as written after the directive) or sets
// the line's error. A name in the parentheses of $INCLUDE(name) is looked
// for beside the source unless it is an absolute path.
void IncludeByName(AsmState& st, const std::string& name, bool besideSource) {
    // The name is code page 1251 text; the file system takes UTF-8.
    std::string written = Cp1251ToUtf8(name);
    if (besideSource && !written.empty() && written.front() != '/' && written.front() != '.' &&
        written.front() != '\\')
        written = "./" + written;
    const std::string path = SetPath(SourceFolder(st.SourceName), written);
    bool opened = false;
    if (!path.empty()) {
        try {
            const std::string found = FindIncludeFile(path);
            switch (OpenInclude(st, found)) {
                case Opened::Yes: opened = true; break;
                case Opened::Circular:
                    st.LineError = cp("$INCLUDE по кругу: файл ") + Utf8To1251(found) + cp(" уже открыт!");
                    break;
                case Opened::TooDeep:
                    st.LineError = cp("Слишком много вложенных $INCLUDE: не более ") +
                                   std::to_string(kMaxIncludeDepth) + cp(" уровней!");
                    break;
                case Opened::TooMany:
                    st.LineError = cp("Слишком много $INCLUDE за проход: не более ") +
                                   std::to_string(kMaxIncludeOpens) + cp(" файлов!");
                    break;
            }
        } catch (const FileError&) {
        }
    }
    st.ExprValid = opened;
    if (!opened && st.LineError.empty())
        st.LineError = cp("Ошибка открытия файла ") + Utf8To1251(path) + cp(" . Неправильно указан путь?");
}

}  // namespace

bool HandleInclude(AsmState& st, Pane&) {
    FieldSpanSet& f = st.FieldSpans;
    st.LineHandled = true;
    if (st.SkipLines) {
        f.CommentStart = 1;
        st.ExprValid = true;
        return true;
    }
    // The name runs from column 10 to the last ";" (or the end of the line).
    const std::string& line = st.AsmLine;
    const std::size_t semi = line.rfind(';');
    const bool comment = semi != std::string::npos && semi >= 8;
    f.CommentStart = comment ? Col(semi) : 0;
    const auto [b, e] = ShowDirective(st, 8, comment ? semi : line.size());
    IncludeByName(st, line.substr(b, e - b), false);
    return true;
}

// --- Controls ($ lines of Intel's assembler) ------------------------------

namespace {

enum class Control : std::uint8_t { Ignored, List, NoList, Title, PageLength, Include };

// The controls by their names and short forms. Those that only shape
// Intel's listing and object files have no effect here.
const NameTable<Control>& Controls() {
    static const auto* table = [] {
        const std::pair<std::string_view, Control> list[] = {
            {"LIST", Control::List},         {"LI", Control::List},         {"NOLIST", Control::NoList},
            {"NOLI", Control::NoList},       {"TITLE", Control::Title},
            {"PAGELENGTH", Control::PageLength}, {"PL", Control::PageLength}, {"INCLUDE", Control::Include},
            {"IC", Control::Include},
        };
        const std::string_view ignored[] = {
            "MOD51",   "MOD52",    "NOMOD51", "NOMO",     "MOD_CONT", "MOD_MX51", "PAGEWIDTH", "PW",
            "PAGING",  "PI",       "NOPAGING", "NOPI",    "EJECT",    "EJ",       "DEBUG",     "DB",
            "NODEBUG", "NODB",     "OBJECT",  "OJ",       "NOOBJECT", "NOOJ",     "PRINT",     "PR",
            "NOPRINT", "NOPR",     "SYMBOLS", "SB",       "NOSYMBOLS", "NOSB",    "XREF",      "XR",
            "NOXREF",  "NOXR",     "GEN",     "GE",       "GENONLY",  "GO",       "NOGEN",     "NOGE",
            "COND",    "CO",       "NOCOND",  "NOCO",     "SAVE",     "SA",       "RESTORE",   "RS",
            "REGISTERBANK", "RB",  "NOREGISTERBANK", "NORB", "ERRORPRINT", "EP",  "NOERRORPRINT", "NOEP",
            "DATE",    "DA",       "MACRO",   "MR",       "NOMACRO",  "NOMR",     "WORKFILES", "WF",
            "NOAMAKE", "NOLINES",  "LINES",   "CASE",     "NOCASE",   "SYMLIST",  "NOSYMLIST",
        };
        auto* t = new NameTable<Control>();
        for (const auto& [name, control] : list) t->Add(name, control);
        for (std::string_view name : ignored) t->Add(name, Control::Ignored);
        t->Build();
        return t;
    }();
    return *table;
}

// One control of a "$" line: its name and the text in its parentheses.
struct ControlItem {
    std::string name;  // upper case
    std::string_view argument;
    bool parenthesised = false;
};

// The controls of a "$" line up to `end`; empty when the first is no
// control that is known.
std::vector<ControlItem> ReadControls(std::string_view line, std::size_t end) {
    std::vector<ControlItem> items;
    std::size_t i = 1;
    while (i < end) {
        while (i < end && IsBlank(line[i])) ++i;
        if (i >= end) break;
        ControlItem item;
        while (i < end && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_'))
            item.name += UpperAscii(line[i++]);
        if (items.empty() && (item.name.empty() || !Controls().Find(item.name))) return {};
        if (item.name.empty()) {  // a stray character between the controls
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < end && IsBlank(line[j])) ++j;
        if (j < end && line[j] == '(') {
            // The argument runs to the matching ")", quotes kept together.
            std::size_t k = j + 1;
            int depth = 1;
            bool quoted = false;
            for (; k < end; ++k) {
                if (line[k] == '\'') quoted = !quoted;
                if (quoted) continue;
                if (line[k] == '(') ++depth;
                if (line[k] == ')' && --depth == 0) break;
            }
            item.argument = TrimBlanks(line.substr(j + 1, k - j - 1));
            item.parenthesised = true;
            i = k < end ? k + 1 : end;
        }
        items.push_back(std::move(item));
    }
    return items;
}

// "$INCLUDE name" without parentheses is the include directive of its own.
bool IsControlItems(const std::vector<ControlItem>& items) {
    if (items.empty()) return false;
    const Control* c = Controls().Find(items.front().name);
    return !(c && *c == Control::Include && !items.front().parenthesised);
}

std::string_view Unquoted(std::string_view s) {
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') return s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

bool IsControlLine(std::string_view line) {
    if (line.empty() || line.front() != '$') return false;
    const std::size_t semi = line.find(';');
    return IsControlItems(ReadControls(line, semi == std::string_view::npos ? line.size() : semi));
}

bool HandleControlLine(AsmState& st, Pane&) {
    const std::string& line = st.AsmLine;
    const std::vector<ControlItem> items = ReadControls(line, CodeEnd(st));
    if (!IsControlItems(items)) return false;
    st.LineHandled = true;
    std::size_t word = 1;
    while (word < line.size() && !IsBlank(line[word]) && line[word] != '(' && line[word] != ';') ++word;
    ShowDirective(st, word, CodeEnd(st));
    // Controls belong to the lines that are assembled: not to a skipped
    // block, a macro body being recorded or the text after END.
    if (st.SkipLines || st.InMacroDefinition() || st.EndSeen) return true;
    std::string ignored;
    for (const ControlItem& item : items) {
        const Control* c = Controls().Find(item.name);
        switch (c ? *c : Control::Ignored) {
            case Control::List: st.ListingOn = true; break;
            case Control::NoList: st.ListingOn = false; break;
            case Control::Title: st.TitleText = std::string(Unquoted(item.argument)); break;
            case Control::PageLength:
                Evaluate(st, UpperCopy(item.argument));
                if (st.ExprValid) st.PageLength = static_cast<std::uint8_t>(std::min<std::int32_t>(st.ExprValue, 112));
                else st.LineError = CpMessage("Аргумент должен иметь числовое значение!");
                break;
            case Control::Include: IncludeByName(st, std::string(Unquoted(item.argument)), true); break;
            case Control::Ignored: ignored += (ignored.empty() ? "$" : " ") + item.name; break;
        }
    }
    if (!ignored.empty()) st.LineNotice = cp("Управление ") + ignored + cp(" в строке выше не влияет на код и пропущено.");
    return true;
}

// --- Conditional assembly ------------------------------------------------

bool HandleConditional(AsmState& st, Pane&, Conditional which) {
    st.LineHandled = true;
    std::size_t wordLength = 0;
    switch (which) {
        case Conditional::EndIf: wordLength = 6; break;
        case Conditional::IfTrue: wordLength = 7; break;
        case Conditional::IfZ: wordLength = 4; break;
        case Conditional::IfNZ: wordLength = 5; break;
        case Conditional::IfFalse: wordLength = 8; break;
    }
    // The expression follows the directive word and ends at the comment.
    const auto [b, e] = ShowDirective(st, wordLength, CodeEnd(st));
    if (which == Conditional::EndIf) {
        st.DotIfSkip = false;
        st.UpdateSkip();
        return true;
    }
    Evaluate(st, UpperCopy(std::string_view(st.AsmLine).substr(b, e - b)));
    const bool valid = st.ExprValid;
    const std::int32_t v = st.ExprValue;
    bool skip = false;
    switch (which) {
        case Conditional::IfTrue:
        case Conditional::IfNZ: skip = !valid || v == 0; break;
        case Conditional::IfZ: skip = !valid || v != 0; break;
        case Conditional::IfFalse: skip = !valid || v == 1; break;
        case Conditional::EndIf: break;
    }
    st.DotIfSkip = skip;
    st.UpdateSkip();
    return true;
}

bool HandleIfBlock(AsmState& st, Pane&, IfWord word) {
    const std::string& kNeedNumber = CpMessage("Аргумент должен иметь числовое значение!");
    st.LineHandled = true;
    st.BlockLine = true;
    // The condition runs from the operand to the comment.
    FieldSpanSet& f = st.FieldSpans;
    std::string condition;
    if (f.Operand1Span.start != 0) {
        const std::size_t end = CodeEnd(st);
        const std::size_t b = f.Operand1Span.start - 1u;
        std::size_t e = end;
        while (e > b && IsBlank(st.AsmLine[e - 1])) --e;
        f.Separator1 = f.Operand2Span = f.Separator2 = f.Operand3Span = f.TrailGap = Span{};
        f.Operand1Span = {Col(b), static_cast<std::uint16_t>(e)};
        if (end > e) f.TrailGap = {Col(e), static_cast<std::uint16_t>(end)};
        condition = UpperCopy(std::string_view(st.AsmLine).substr(b, e - b));
    }
    // A block inside a macro body belongs to the body; after END nothing
    // is assembled any more.
    if (st.InMacroDefinition() || st.EndSeen) return true;
    std::vector<AsmState::IfBlock>& blocks = st.IfBlocks;
    switch (word) {
        case IfWord::If:
        case IfWord::IfDef:
        case IfWord::IfNDef: {
            AsmState::IfBlock block;
            block.outer = !st.SkipLines;
            block.lineNo = st.LineNo;
            bool holds = false;
            if (block.outer && word == IfWord::If) {
                Evaluate(st, condition);
                holds = st.ExprValid && st.ExprValue != 0;
                if (!st.ExprValid && st.PassNo > 1 && st.LineError.empty()) st.LineError = kNeedNumber;
            } else if (block.outer) {
                if (condition.empty()) st.LineError = kNeedNumber;
                holds = st.DefinedNames.contains(condition);
                if (word == IfWord::IfNDef) holds = !holds;
            }
            block.active = block.outer && holds;
            block.taken = !block.outer || holds;
            blocks.push_back(block);
            break;
        }
        case IfWord::Else:
            if (blocks.empty()) {
                st.LineError = CpMessage("Директива ELSE без IF!");
            } else if (blocks.back().elseSeen) {
                st.LineError = CpMessage("Второй ELSE в одном блоке IF!");
            } else {
                AsmState::IfBlock& b = blocks.back();
                b.active = b.outer && !b.taken;
                b.taken = true;
                b.elseSeen = true;
            }
            break;
        case IfWord::EndIf:
            if (blocks.empty()) st.LineError = CpMessage("Директива ENDIF без IF!");
            else blocks.pop_back();
            break;
    }
    st.UpdateSkip();
    return true;
}

}  // namespace z51
