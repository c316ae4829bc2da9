#include "assembler/parser.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "assembler/asm_state.h"
#include "assembler/assembler.h"
#include "assembler/directives_ext.h"
#include "assembler/encoder.h"
#include "assembler/evaluator.h"
#include "assembler/name_hash.h"
#include "core/cp1251.h"
#include "core/pane.h"
#include "isa/hex.h"
#include "isa/intel_hex.h"
#include "isa/tables.h"

namespace z51 {

std::string UpperCopy(std::string_view s) {
    std::string r;
    AssignUpper(r, s);
    return r;
}

void AssignUpper(std::string& to, std::string_view s) {
    to.assign(s);
    for (char& c : to) c = UpperAscii(c);
}

std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string_view Columns(std::string_view s, std::size_t first, std::size_t last) {
    if (first == 0) first = 1;
    if (last > s.size()) last = s.size();
    if (last < first) return {};
    return s.substr(first - 1, last - first + 1);
}

std::size_t SkipBlanksBesideComma(std::string_view s, std::size_t i, char previous) {
    std::size_t j = i;
    while (j < s.size() && IsBlank(s[j])) ++j;
    return previous == ',' || (j < s.size() && s[j] == ',') ? j : i;
}

std::size_t SkipBlanksInExpression(std::string_view s, std::size_t i, std::size_t itemStart) {
    std::size_t j = i;
    while (j < s.size() && IsBlank(s[j])) ++j;
    if (j >= s.size() || s[j] == ',' || s[j] == ';') return i;
    // The operand as it would read: up to the next comma or ";" outside a
    // character constant, without the "#" of immediate data or the "/" of
    // a complemented bit.
    std::size_t end = j;
    while (end < s.size() && s[end] != ',' && s[end] != ';')
        end += s[end] == '\'' && end + 2 < s.size() && s[end + 2] == '\'' ? 3 : 1;
    std::string_view operand = s.substr(itemStart, std::min(end, s.size()) - itemStart);
    while (!operand.empty() && IsBlank(operand.front())) operand.remove_prefix(1);
    if (!operand.empty() && (operand.front() == '#' || operand.front() == '/')) operand.remove_prefix(1);
    return IsExpression(operand) ? j : i;
}

std::size_t SkipOperandBlanks(std::string_view s, std::size_t i, std::size_t itemStart) {
    const std::size_t next = SkipBlanksBesideComma(s, i, i > 0 ? s[i - 1] : '\0');
    return next != i ? next : SkipBlanksInExpression(s, i, itemStart);
}

namespace {

using Col = std::uint16_t;

constexpr const char* kNeedNumber = "Аргумент должен иметь числовое значение!";
constexpr const char* kBadSegment = "Недопустивое задание адреса DSEG,CSEG";
constexpr const char* kBadEprom = "Псевдо команда .27xxx не распознана";
constexpr const char* kLabelOverflow = "Переполнение массива меток для строки ниже:";
constexpr const char* kHexRecordSkipped = "Запись HEX неизвестного типа или длины пропущена!";
constexpr const char* kLineTooLong = "Строка длиннее 65000 символов обрезана!";
constexpr const char* kBeyondMemory = "Код выходит за пределы памяти программ 0000..FFFFH!";
constexpr const char* kDbitOutsideBseg = "Директива DBIT допустима только в сегменте BSEG!";
constexpr const char* kBeyondSegment = "Выход за пределы сегмента!";
constexpr const char* kNoCodeHere = "В сегментах ISEG, BSEG и XSEG нет кода: там только DS и DBIT!";

// Upper-cased prefix test on the raw line.
bool StartsUpper(std::string_view line, std::string_view word) {
    if (line.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (UpperAscii(line[i]) != word[i]) return false;
    return true;
}

class LineParser {
public:
    LineParser(AsmState& st, Pane& pane) : st_(st), pane_(pane), f_(st.FieldSpans) {}

    void Run() {
        Start();
        if (!st_.AsmLine.empty()) Parse();
        // Records followed by any other statement are a part of the source,
        // not a HEX file cut short.
        if (!hexRecord_ && !st_.Mnemonic.empty()) st_.HexRecordsOpen = false;
        Closing();
        if (tooLong_) st_.LineError = CpMessage(kLineTooLong);
    }

private:
    std::size_t Len() const { return st_.AsmLine.size(); }
    char At(std::size_t col) const { return st_.AsmLine[col - 1]; }  // 1-based

    void Start() {
        if (st_.ListingOn) ++st_.LineNo;
        st_.LineHandled = false;
        st_.LineByteCount = 0;
        st_.FieldSpans = FieldSpanSet{};
        st_.LabelText.clear();
        st_.Mnemonic.clear();
        st_.Operand1.clear();
        st_.Operand2.clear();
        st_.Operand3.clear();
        st_.LineError.clear();
        st_.LineNotice.clear();
        st_.BlockLine = false;
        st_.DupCheck = false;
        st_.LineListed = st_.ListingOn;
        if (st_.AsmLine.size() > kMaxLineLength || st_.ExpansionCut) {
            if (st_.AsmLine.size() > kMaxLineLength) st_.AsmLine.resize(kMaxLineLength);
            tooLong_ = true;
            st_.ExpansionCut = false;
        }
    }

    void Parse() {
        // Cyrillic look-alikes become the Latin letters they look like.
        for (char& c : st_.AsmLine) c = static_cast<char>(CyrToLat[static_cast<std::uint8_t>(c)]);

        if (st_.CommentBlock) {
            std::string_view t = TrimBlanks(st_.AsmLine);
            if (t.empty() || t.back() != '%' || t.size() > 2) {
                f_.CommentStart = 1;
                st_.LineHandled = true;
                return;
            }
            // The end of the block; the line itself is parsed as usual.
            st_.CommentBlock = false;
        }

        if (st_.AsmLine[0] == ':' && (hexRecord_ = HexRecord())) return;

        // The comment starts at the first ";", wherever it stands.
        std::size_t semi = st_.AsmLine.find(';');
        codeEnd_ = semi == std::string::npos ? Len() : semi;  // last column of the code part
        if (semi != std::string::npos) f_.CommentStart = static_cast<Col>(semi + 1);
        std::size_t lead = 0;
        while (lead < codeEnd_ && IsBlank(At(lead + 1))) ++lead;
        if (lead > 0) f_.LeadBlank = {1, static_cast<Col>(lead)};

        if (IsBlank(At(1)) || f_.CommentStart == 1) {
            IndentedLabel(lead + 1);
        } else {
            if (ColumnOneDirective()) return;
            if (!BlockWordInColumnOne()) {
                std::size_t c = 1;
                while (c <= codeEnd_ && !IsBlank(At(c))) ++c;
                f_.LabelSpan = {1, static_cast<Col>(c - 1)};
            }
        }

        if (f_.LabelSpan.start != 0 && Label()) return;
        Fields();
        if (st_.Mnemonic.empty()) return;
        for (std::size_t c = f_.MnemonicSpan.start; c <= f_.MnemonicSpan.end; ++c)
            st_.AsmLine[c - 1] = UpperAscii(st_.AsmLine[c - 1]);
        Directive();
    }

    // An Intel HEX record written as a source line.
    bool HexRecord() {
        const std::string& s = st_.AsmLine;
        f_.LabelSpan = {1, 1};
        f_.MnemonicSpan = {2, 9};
        f_.Operand1Span.start = 10;
        st_.LineHandled = true;
        if (s == kHexEndRecord) {
            st_.Mnemonic = "00000001";
            f_.Operand1Span.end = 11;
            TakeEndRecord();
            return true;
        }
        const int n = Hex2ToByte(std::string_view(s).substr(1));
        const std::optional<HexRecordLine> record = n > 255 ? std::nullopt : DecodeHexRecord(s);
        if (n == 0) {
            f_.LabelSpan.end = static_cast<Col>(Len());
            if (record) TakeRecord(*record);
            return true;
        }
        if (!record) {
            f_ = FieldSpanSet{};  // an ordinary line after all
            st_.LineHandled = false;
            return false;
        }
        st_.Mnemonic = s.substr(1, 8);
        f_.Operand1Span.end = static_cast<Col>(Len() - 2);
        f_.Operand2Span = {static_cast<Col>(2 * n + 10), static_cast<Col>(2 * n + 11)};
        TakeRecord(*record);
        return true;
    }

    // A record line of a part of the source that produces code (not a
    // macro body being recorded, not skipped, not after END).
    bool Producing() const {
        return !st_.InMacroDefinition() && !st_.EndSeen && !st_.SkipLines;
    }

    void TakeEndRecord() {
        st_.EndSeen = true;
        st_.HexRecordsOpen = false;
    }

    // The checksum is not checked: the record is the source as written.
    void TakeRecord(const HexRecordLine& record) {
        if (record.Kind() == HexKind::End) {
            TakeEndRecord();
            return;
        }
        if (!Producing()) return;
        st_.HexRecordsOpen = true;
        const HexPlacement place = PlaceHexRecord(record, st_.HexUpperAddress);
        switch (place.kind) {
            case HexKind::Data:
                if (record.count == 0) break;
                // Data that an extended address puts wholly above FFFFH
                // belong to memory the 8051's code space does not have:
                // dropped, and the location counter stays at 10000H. A
                // record that starts in program memory and runs past its
                // top is code past FFFFH, which the closing step reports.
                st_.LineAddr = static_cast<std::int32_t>(place.address);
                if (place.kept == 0) {
                    Notice(HexDroppedNotice());
                    break;
                }
                std::copy_n(record.data.begin(), record.count, st_.LineBytes.begin());
                st_.LineByteCount = record.count;
                st_.NextAddr = AddrSum(st_.LineAddr, record.count);
                break;
            case HexKind::StartAddress: Notice(HexStartIgnoredNotice()); break;
            case HexKind::Other: st_.LineError = CpMessage(kHexRecordSkipped); break;
            case HexKind::UpperAddress:
            case HexKind::End: break;
        }
    }

    void Notice(const std::string& text) {
        pane_.SetColor(clr::Purple);
        pane_.AddLine(text);
    }

    // A label written after blanks: the first word, ending in ":".
    void IndentedLabel(std::size_t from) {
        int changes = 0;
        for (std::size_t c = from; c <= codeEnd_; ++c) {
            char ch = At(c);
            if (ch == ':') {
                if (changes < 2) f_.LabelSpan = {static_cast<Col>(from), static_cast<Col>(c)};
                return;
            }
            bool blank = IsBlank(ch);
            if (blank ? (changes % 2 == 1) : (changes % 2 == 0)) ++changes;
        }
    }

    // Directives recognised by their place in column 1. Returns true when
    // the line is done.
    bool ColumnOneDirective() {
        const std::string& s = st_.AsmLine;
        const std::size_t len = Len();
        if (len > 4 && StartsUpper(s, ".ENDM") && HandleMacroLine(st_, pane_, MacroSite::EndmColumn1)) return true;
        // Published sources often end a definition with ENDM in column 1,
        // where it would otherwise be a label and the definition would
        // swallow the rest of the program.
        if (st_.InMacroDefinition()) {
            const Word* w = Words().Find(FirstWord());
            if (w && *w == Word::EndMacro && HandleMacroLine(st_, pane_, MacroSite::EndmColumn1)) return true;
        }
        if (len > 5 && StartsUpper(s, ".ENDIF") && HandleConditional(st_, pane_, Conditional::EndIf)) return true;
        if (len > 5 && StartsUpper(s, ".IDENT")) {
            IdentText();
            return true;
        }
        if (len > 7 && (StartsUpper(s, "$NOMOD5") || StartsUpper(s, "$NO_LIST"))) {
            st_.ListingOn = false;
            st_.Mnemonic = s.substr(0, 8);
            f_.MnemonicSpan = {1, 8};
            if (f_.CommentStart == 0 && len > 8) f_.TrailGap = {9, static_cast<Col>(codeEnd_)};
            st_.LineHandled = true;
            return true;
        }
        if (len > 10 && (StartsUpper(s, ".GLOBAL") || StartsUpper(s, ".ARGCHK"))) {
            f_ = FieldSpanSet{};
            f_.CommentStart = 1;
            st_.LineHandled = true;
            return true;
        }
        if (len > 10) {
            Conditional which = Conditional::EndIf;
            bool cond = true;
            if (StartsUpper(s, ".IFTRUE")) which = Conditional::IfTrue;
            else if (StartsUpper(s, ".IFZ")) which = Conditional::IfZ;
            else if (StartsUpper(s, ".IFNZ")) which = Conditional::IfNZ;
            else cond = false;
            if (cond && HandleConditional(st_, pane_, which)) return true;
        }
        if (len > 11 && StartsUpper(s, ".IFFALSE") && HandleConditional(st_, pane_, Conditional::IfFalse))
            return true;
        if (len > 9 && StartsUpper(s, ".COMMENT")) {
            std::string_view rest = TrimBlanks(std::string_view(s).substr(8));
            if (!rest.empty() && rest.back() == '%') {
                st_.CommentBlock = true;
                st_.Mnemonic = ".COMMENT";
                f_ = FieldSpanSet{};
                f_.MnemonicSpan = {1, 8};
                f_.CommentStart = 9;
                st_.LineHandled = true;
                return true;
            }
        }
        if (s[0] == '$' && HandleControlLine(st_, pane_)) return true;
        if (len > 13 && (StartsUpper(s, "$INCLUDE") || StartsUpper(s, "%INCLUDE") || StartsUpper(s, ".INCLUDE")) &&
            HandleInclude(st_, pane_))
            return true;
        return false;
    }

    // IF, IFDEF and IFNDEF with a condition, and ELSE and ENDIF of an open
    // block, are often written in column 1, where they would be labels.
    bool BlockWordInColumnOne() const {
        if (UpperAscii(At(1)) != 'I' && UpperAscii(At(1)) != 'E') return false;
        const std::string word = FirstWord();
        const Word* w = Words().Find(word);
        if (!w) return false;
        if (*w == Word::If || *w == Word::IfDef || *w == Word::IfNDef) {
            std::size_t c = word.size() + 1;
            while (c <= codeEnd_ && IsBlank(At(c))) ++c;
            return c > word.size() + 1 && c <= codeEnd_;
        }
        return (*w == Word::Else || *w == Word::EndIf) && (!st_.IfBlocks.empty() || st_.InMacroDefinition());
    }

    // The first word of the code part, upper-cased.
    std::string FirstWord() const {
        std::size_t c = 1;
        while (c <= codeEnd_ && !IsBlank(At(c))) ++c;
        return UpperCopy(Columns(st_.AsmLine, 1, c - 1));
    }

    // ".IDENT /dd.mm.yyyy hh:mm/": the date that the binary file receives.
    void IdentText() {
        const std::string& s = st_.AsmLine;
        st_.Mnemonic = ".IDENT";
        st_.LabelText.clear();
        f_.LabelSpan = {};
        f_.LeadBlank = {};
        st_.LineHandled = true;
        std::size_t first = s.find('/');
        if (first == std::string::npos) {
            // No delimiters: no date.
            st_.IdentText.clear();
            f_.MnemonicSpan = {1, 6};
            return;
        }
        std::size_t last = s.rfind('/');
        st_.IdentText = s.substr(first, last - first + 1);
        // The word, then the blanks and the first "/" (column 7 at the
        // earliest: the word itself holds no "/"), the text, the last "/".
        const auto a = static_cast<Col>(first + 1), b = static_cast<Col>(last + 1);  // columns of the slashes
        f_.MnemonicSpan = {1, 6};
        f_.MnemonicGap = {7, a};
        if (b > a) {
            f_.Operand1Span = {static_cast<Col>(a + 1), static_cast<Col>(b - 1)};
            f_.Separator1 = {b, b};
        }
        if (b < Len()) {
            if (f_.CommentStart == 0 || f_.CommentStart <= b) f_.CommentStart = static_cast<Col>(b + 1);
            else f_.TrailGap = {static_cast<Col>(b + 1), static_cast<Col>(f_.CommentStart - 1)};
        } else {
            f_.CommentStart = 0;
        }
    }

    // Label definition. Returns true when the line is done (macro header,
    // identification text).
    bool Label() {
        AssignUpper(st_.LabelText, Columns(st_.AsmLine, f_.LabelSpan.start, f_.LabelSpan.end));
        if (st_.LabelText.starts_with(".IDENT")) {
            IdentText();
            return true;
        }
        const bool colon = !st_.LabelText.empty() && st_.LabelText.back() == ':';
        if (f_.LabelSpan.start != 1 && !colon) return false;
        st_.DupCheck = true;
        std::string_view name = st_.LabelText;
        if (colon) name.remove_suffix(1);

        // "name MACRO": the first M from the column numbered with the
        // length of the label on decides. MACRO must be a word of its own,
        // the first after the label: "L1: LCALL MACROS" calls MACROS.
        const std::size_t L = st_.LabelText.size();
        if (Len() > L + 5) {
            for (std::size_t c = std::max<std::size_t>(L, 1); c + 4 <= Len(); ++c) {
                if (UpperAscii(At(c)) != 'M') continue;
                if (StartsUpper(std::string_view(st_.AsmLine).substr(c - 1), "MACRO") && KeywordAfterLabel(c, 5) &&
                    HandleMacroLine(st_, pane_, MacroSite::HeaderAfterLabel))
                    return true;
                break;
            }
        }
        if (name.empty()) return false;
        // A LOCAL label of the body being recorded names nothing yet: each
        // expansion defines a label of its own.
        const std::vector<std::string>& locals = st_.MacroNamesRead.locals;
        if (st_.InMacroDefinition() && std::find(locals.begin(), locals.end(), name) != locals.end())
            return false;
        GetIndex_LBLEQU(st_, name);
        if (st_.FoundIndex < LabelCapacity) {
            SaveIndex_LBLEQU(st_, st_.LineAddr);
        } else {
            Notice(CpMessage(kLabelOverflow));
        }
        return false;
    }

    // Whether the `length` characters from column `col` are the first word
    // after the label: only blanks before them, a blank, a comment or the
    // end of the line after them.
    bool KeywordAfterLabel(std::size_t col, std::size_t length) const {
        if (col <= f_.LabelSpan.end) return false;
        for (std::size_t c = f_.LabelSpan.end + 1u; c < col; ++c)
            if (!IsBlank(At(c))) return false;
        const std::size_t after = col + length;
        return after > Len() || IsBlank(At(after)) || At(after) == ';';
    }

    // Cuts the code part into gap, mnemonic, gap and up to three operands.
    void Fields() {
        std::size_t pos = std::max<std::size_t>(f_.LeadBlank.end, f_.LabelSpan.end) + 1;
        const std::size_t end = codeEnd_;
        auto blanks = [&](Span& span) {
            std::size_t b = pos;
            while (pos <= end && IsBlank(At(pos))) ++pos;
            if (pos > b) span = {static_cast<Col>(b), static_cast<Col>(pos - 1)};
        };
        // Characters up to a stop character. The first two operands
        // (`commaStops`) return whether a comma follows, perhaps after
        // blanks; the third takes further commas in.
        const std::string_view code(st_.AsmLine.data(), end);
        enum class Field { Mnemonic, Operand, LastOperand };
        auto word = [&](Span& span, std::string& text, Field field) {
            const bool commaStops = field == Field::Operand;
            std::size_t b = pos;
            for (;;) {
                while (pos <= end && !IsBlank(At(pos)) && !(commaStops && At(pos) == ',')) ++pos;
                if (pos > end || field == Field::Mnemonic || !IsBlank(At(pos))) break;
                // An operand goes on over blanks inside an expression.
                const std::size_t next = SkipBlanksInExpression(code, pos - 1, b - 1);
                if (next == pos - 1) break;
                pos = next + 1;
            }
            if (pos > b) {
                span = {static_cast<Col>(b), static_cast<Col>(pos - 1)};
                AssignUpper(text, Columns(st_.AsmLine, b, pos - 1));
            }
            if (!commaStops || pos > end) return false;
            return At(pos) == ',' || SkipBlanksBesideComma(code, pos - 1, 0) != pos - 1;
        };
        blanks(f_.LabelGap);
        word(f_.MnemonicSpan, st_.Mnemonic, Field::Mnemonic);
        blanks(f_.MnemonicGap);
        if (word(f_.Operand1Span, st_.Operand1, Field::Operand)) {
            std::size_t b = pos;
            while (pos <= end && (IsBlank(At(pos)) || At(pos) == ',')) ++pos;
            f_.Separator1 = {static_cast<Col>(b), static_cast<Col>(pos - 1)};
            if (word(f_.Operand2Span, st_.Operand2, Field::Operand)) {
                // One comma, with the blanks beside it.
                b = pos;
                while (pos <= end && IsBlank(At(pos))) ++pos;
                ++pos;
                while (pos <= end && IsBlank(At(pos))) ++pos;
                f_.Separator2 = {static_cast<Col>(b), static_cast<Col>(pos - 1)};
                word(f_.Operand3Span, st_.Operand3, Field::LastOperand);
            }
        }
        // The gap after the last field. Text that no field took (after a
        // blank in the operand list) stays visible in the listing here.
        if (pos <= end) f_.TrailGap = {static_cast<Col>(pos), static_cast<Col>(end)};
    }

    void ClearOperandSpans() {
        f_.Operand1Span = f_.Separator1 = f_.Operand2Span = f_.Separator2 = f_.Operand3Span = f_.TrailGap = {};
    }

    // Evaluates `text` as an operand.
    bool Eval(std::string_view text) {
        Evaluate(st_, text);
        return st_.ExprValid;
    }

    // HEXCR, HEXWIDTH, PAGEWIDTH: the low byte of the value, at most `limit`.
    void Setting(std::uint8_t& target, std::int32_t limit) {
        Handled();
        Eval(st_.Operand1);
        std::int32_t v = st_.ExprValue > limit ? limit : st_.ExprValue;
        target = static_cast<std::uint8_t>(v & 0xFF);
        if (!st_.ExprValid) st_.LineError = CpMessage(kNeedNumber);
    }

    void Handled() { st_.LineHandled = true; }

    // The directive words. Each word is tested at its place in the list;
    // words are distinct, so one lookup finds the only candidate, and a
    // word whose condition fails goes on to the tail of the list (.27xxx,
    // byte lists, instructions, macro calls), exactly as the scan would.
    enum class Word : std::uint8_t {
        Macro, EndMacro, Title, HexCR, HexWidth, PageWidth, Org, DSeg, CSeg, OrgMin, OrgMax, Ident, AutoOrg,
        Data, Ignored, Equ, IncludeEquate, Var, Bit, End, Comment, Percent, Using,
        If, IfDef, IfNDef, Else, EndIf, Local, ISeg, BSeg, XSeg, DBit,
    };
    static const NameTable<Word>& Words() {
        static const auto* words = [] {
            const std::pair<std::string_view, Word> list[] = {
            {"MACRO", Word::Macro},       {"%ENDM", Word::EndMacro},    {"ENDM", Word::EndMacro},
            {"ENDMAC", Word::EndMacro},   {"TITLE", Word::Title},       {"$TT", Word::Title},
            {"NAME", Word::Title},        {"HEXCR", Word::HexCR},       {"HEXWIDTH", Word::HexWidth},
            {"PAGEWIDTH", Word::PageWidth}, {"ORG", Word::Org},         {"DSEG", Word::DSeg},
            {"CSEG", Word::CSeg},         {"ORG_MIN", Word::OrgMin},    {"ORG_MAX", Word::OrgMax},
            {"IDENT", Word::Ident},       {"AUTOORG", Word::AutoOrg},   {"DBZ", Word::Data},
            {"DBE", Word::Data},          {"DB", Word::Data},           {"STR", Word::Data},
            {"STRW", Word::Data},         {"LCD", Word::Data},          {"STRCR", Word::Data},
            {"STRWCR", Word::Data},       {"DEF8", Word::Data},         {"LINT", Word::Data},
            {"FLT2", Word::Data},         {"FLT3", Word::Data},         {"DEFL", Word::Data},
            {"DW", Word::Data},           {"REL", Word::Data},          {"DS", Word::Data},
            {"EXTRN", Word::Ignored},     {"PUBLIC", Word::Ignored},    {"SEGMENT", Word::Ignored},
            {"RSEG", Word::Ignored},      {"INDEX_LINT", Word::Ignored}, {"INDEX_LADDR", Word::Ignored},
            {"EQU", Word::Equ},           {"REG", Word::IncludeEquate}, {"DATA", Word::IncludeEquate},
            {"SET", Word::IncludeEquate}, {"VAR", Word::Var},           {"BIT", Word::Bit},
            {"END", Word::End},           {"COMMENT", Word::Comment},   {"%", Word::Percent},
            {"USING", Word::Using},       {"IF", Word::If},             {"IFDEF", Word::IfDef},
            {"IFNDEF", Word::IfNDef},     {"ELSE", Word::Else},         {"ENDIF", Word::EndIf},
            {"LOCAL", Word::Local},       {"ISEG", Word::ISeg},         {"BSEG", Word::BSeg},
            {"XSEG", Word::XSeg},         {"DBIT", Word::DBit},
            };
            auto* t = new NameTable<Word>();
            for (const auto& [name, word] : list) t->Add(name, word);
            t->Build();
            return t;
        }();
        return *words;
    }

    // True when the word handled the line.
    bool WordDirective(Word w) {
        switch (w) {
            case Word::Macro: return HandleMacroLine(st_, pane_, MacroSite::HeaderMnemonic);
            case Word::EndMacro: return HandleMacroLine(st_, pane_, MacroSite::EndmMnemonic);
            case Word::Title: Title(); return true;
            case Word::HexCR: Setting(st_.HexCR, 255); return true;
            case Word::HexWidth: Setting(st_.HexWidth, 112); return true;
            case Word::PageWidth: Setting(st_.PageLength, 112); return true;
            case Word::Org:
                Handled();
                st_.AfterOrg = true;
                if (Eval(st_.Operand1)) st_.NextAddr = st_.ExprValue;
                NeedValueAfterFirstPass();
                return true;
            case Word::DSeg: return Segment(AsmState::Segment::Data);
            case Word::CSeg: return Segment(AsmState::Segment::Code);
            case Word::ISeg: return Segment(AsmState::Segment::Idata);
            case Word::BSeg: return Segment(AsmState::Segment::Bit);
            case Word::XSeg: return Segment(AsmState::Segment::Xdata);
            case Word::DBit: Reserve(AsmState::Segment::Bit); return true;
            case Word::OrgMin:
                Handled();
                if (Eval(st_.Operand1)) st_.BinFrom = st_.LowAddr = st_.ExprValue;
                return true;
            case Word::OrgMax:
                Handled();
                if (Eval(st_.Operand1)) st_.BinTo = st_.HighAddr = st_.ExprValue;
                return true;
            case Word::Ident: TimeStamp(); return true;
            case Word::AutoOrg:
                Handled();
                if (Eval(st_.Operand1)) {
                    st_.AutoOrgStep = static_cast<std::uint16_t>(st_.ExprValue & 0xFFFF);
                    st_.NextAddr = static_cast<std::int32_t>(std::uint32_t{st_.AutoOrgStep} * st_.AutoOrgCount);
                    ++st_.AutoOrgCount;
                }
                return true;
            case Word::Data:
                // DS in a data segment reserves addresses there.
                if (st_.Mnemonic == "DS" && st_.CurrentSegment != AsmState::Segment::Code) {
                    Reserve(st_.CurrentSegment);
                    return true;
                }
                return HandleDataDirective(st_, pane_);
            case Word::Ignored: Handled(); return true;
            case Word::Equ: Equate(); return true;
            // REG, DATA and SET are equates only inside an include file, VAR
            // also inside a macro; elsewhere they are no directive at all.
            case Word::IncludeEquate:
                if (!st_.IncludeActive) return false;
                Equate();
                return true;
            case Word::Var:
                if (st_.MacroState == MacroMode::None && !st_.IncludeActive) return false;
                Equate();
                return true;
            case Word::Bit: BitEquate(); return true;
            case Word::End:
                Handled();
                if (!st_.SkipLines && !st_.IncludeActive) st_.EndSeen = true;
                if (st_.SkipLines) f_.CommentStart = 1;
                return true;
            case Word::Comment:
                if (st_.Operand1 != "%") return false;
                st_.CommentBlock = true;
                Handled();
                return true;
            case Word::Percent:
                st_.CommentBlock = false;
                Handled();
                return true;
            case Word::Using:
                // The register bank of AR0..AR7; no code.
                Handled();
                if (Eval(st_.Operand1) && st_.ExprValue >= 0 && st_.ExprValue <= 3 && Assembling())
                    st_.RegisterBank = static_cast<std::uint8_t>(st_.ExprValue);
                return true;
            case Word::If: return HandleIfBlock(st_, pane_, IfWord::If);
            case Word::IfDef: return HandleIfBlock(st_, pane_, IfWord::IfDef);
            case Word::IfNDef: return HandleIfBlock(st_, pane_, IfWord::IfNDef);
            case Word::Else: return HandleIfBlock(st_, pane_, IfWord::Else);
            case Word::EndIf: return HandleIfBlock(st_, pane_, IfWord::EndIf);
            case Word::Local: return HandleMacroLine(st_, pane_, MacroSite::Local);
        }
        return false;
    }

    void Directive() {
        const std::string& m = st_.Mnemonic;
        if (const Word* w = Words().Find(m); w && WordDirective(*w)) return;
        if (m.size() >= 3 && m.compare(0, 3, ".27") == 0) {
            Handled();
            if (Eval(std::string_view(m).substr(3)))
                st_.EpromSize = static_cast<std::int32_t>(
                    std::clamp<std::int64_t>(std::int64_t{st_.ExprValue} * 128, INT32_MIN, INT32_MAX));
            else
                st_.LineError = CpMessage(kBadEprom);
            return;
        }
        if (m.size() > 4 && m.find(',') != std::string::npos && HandleByteList(st_, pane_)) return;
        if (EncodeInstruction(st_)) return;
        if (st_.MacroState == MacroMode::None) HandleMacroLine(st_, pane_, MacroSite::Call);
    }

    void Title() {
        Handled();
        if (f_.Operand1Span.start == 0) {
            st_.TitleText.clear();
            return;
        }
        const Col start = f_.Operand1Span.start;
        st_.TitleText = st_.AsmLine.substr(start - 1);
        ClearOperandSpans();
        f_.Operand1Span = {start, static_cast<Col>(Len())};
        f_.CommentStart = 0;  // the comment is part of the title and shown with it
        st_.Operand1.clear();
        st_.Operand2.clear();
        st_.Operand3.clear();
    }

    // "DSEG AT addr" / "CSEG AT addr": AT, exactly one blank or tab, the
    // address. Each segment (CSEG, DSEG, ISEG, BSEG, XSEG) counts on its
    // own; without AT a segment goes on where it stopped.
    bool Segment(AsmState::Segment segment) {
        using Seg = AsmState::Segment;
        if (segment == Seg::Code && !st_.Operand1.empty() && st_.Operand1 != "AT") return false;
        Handled();
        if (segment == Seg::Code || segment == Seg::Data) st_.AfterOrg = true;
        if (st_.Operand1 != "AT") {
            if (!st_.Operand1.empty()) st_.LineError = CpMessage(kBadSegment);
            else if (Assembling()) st_.SwitchSegment(segment);
            return true;
        }
        const std::size_t from = static_cast<std::size_t>(f_.Operand1Span.end) + 2;
        std::size_t c = from;
        while (c <= codeEnd_ && !IsBlank(At(c))) ++c;
        std::string addr = UpperCopy(Columns(st_.AsmLine, from, c - 1));
        f_.Separator1 = f_.Operand2Span = f_.Separator2 = f_.Operand3Span = f_.TrailGap = {};
        if (from - 1 <= Len()) f_.Separator1 = {static_cast<Col>(from - 1), static_cast<Col>(from - 1)};
        if (c > from) f_.Operand2Span = {static_cast<Col>(from), static_cast<Col>(c - 1)};
        if (c <= Len()) f_.CommentStart = static_cast<Col>(c);
        else f_.CommentStart = 0;
        st_.Operand2 = addr;
        if (Eval(addr)) {
            if (Assembling()) st_.SwitchSegment(segment);
            st_.NextAddr = st_.ExprValue;
        } else {
            st_.LineError = CpMessage(kBadSegment);
        }
        return true;
    }

    // Lines that take effect: not skipped, not a macro body being read,
    // not after END (the closing step undoes their addresses and bytes).
    bool Assembling() const { return !st_.SkipLines && !st_.InMacroDefinition() && !st_.EndSeen; }

    // DS outside the code segment and DBIT (only in BSEG): names for
    // addresses of their segment, without bytes.
    void Reserve(AsmState::Segment only) {
        using Seg = AsmState::Segment;
        Handled();
        if (only == Seg::Bit && st_.CurrentSegment != Seg::Bit) {
            st_.LineError = CpMessage(kDbitOutsideBseg);
            return;
        }
        const bool valid = Eval(st_.Operand1);
        NeedValueAfterFirstPass();
        if (!valid) return;
        st_.NextAddr = AddrSum(st_.LineAddr, st_.ExprValue);
        std::int64_t top = 0xFFFF;
        if (st_.CurrentSegment == Seg::Idata) top = 0xFF;
        if (st_.CurrentSegment == Seg::Bit) top = 0x7F;
        const std::int64_t last = std::int64_t{st_.LineAddr} + st_.ExprValue - 1;
        if ((st_.ExprValue < 0 || last > top) && st_.LineError.empty()) st_.LineError = CpMessage(kBeyondSegment);
    }

    // "IDENT": the date and time of the assembly as bytes (without seconds).
    void TimeStamp() {
        Handled();
        if (f_.Operand1Span.start != 0) {
            f_.CommentStart = f_.Operand1Span.start;
            ClearOperandSpans();
        }
        std::time_t now = st_.Clock();
        std::string text = FormatDate(now) + " " + FormatTime(now);
        std::size_t cut = text.find_last_of(": ");
        std::string stamp = cut == std::string::npos ? text
                            : text[cut] == ':'       ? text.substr(0, cut)
                                                     : text.substr(0, cut + 1);
        std::size_t n = std::min<std::size_t>(stamp.size(), st_.LineBytes.size() - 1);
        for (std::size_t i = 0; i < n; ++i) st_.LineBytes[i] = static_cast<std::uint8_t>(stamp[i]);
        st_.LineBytes[n] = 0;
        st_.LineByteCount = static_cast<std::uint16_t>(n + 1);
        // The stamp is shown at the end of the line.
        if (f_.CommentStart == 0) f_.CommentStart = static_cast<Col>(Len() + 1);
        st_.AsmLine += ' ';
        st_.AsmLine += stamp;
        st_.NextAddr = AddrSum(st_.LineAddr, st_.LineByteCount);
    }

    void Equate() {
        Handled();
        st_.LineError.clear();
        if (st_.SkipLines) {
            f_.CommentStart = 1;
            f_.MnemonicSpan = {};
            f_.Operand1Span = {};
            st_.ExprValid = true;
            return;
        }
        const std::string& op = st_.Operand1;
        if (op.size() == 2 && op[0] == 'R' && op[1] >= '0' && op[1] <= '7') {
            std::string alias = st_.LabelText;
            for (char& c : alias) c = static_cast<char>(CyrToLat[static_cast<std::uint8_t>(c)]);
            st_.RegAlias[static_cast<std::size_t>(op[1] - '0')] = alias;
            st_.DefinedNames.insert(alias);
            st_.ExprValid = true;
            return;
        }
        st_.DupCheck = false;
        GetIndex_LBLEQU(st_, st_.LabelText);
        std::int32_t index = st_.FoundIndex;
        Eval(op);
        st_.FoundIndex = index;
        if (st_.ExprValid && st_.FoundIndex < LabelCapacity) SaveIndex_LBLEQU(st_, st_.ExprValue);
        if (st_.Mnemonic == "VAR") st_.LineError.clear();
        else NeedValueAfterFirstPass();
    }

    // An equate or origin whose operand has no value would silently keep
    // the line's address; once forward references had their chance (the
    // first pass), that is an error.
    void NeedValueAfterFirstPass() {
        if (!st_.ExprValid && st_.PassNo > 1 && st_.LineError.empty()) st_.LineError = CpMessage(kNeedNumber);
    }

    // "name BIT PSW.3": a bit address, also written as register.bit.
    void BitEquate() {
        Handled();
        if (st_.SkipLines) {
            st_.ExprValid = true;
            return;
        }
        st_.DupCheck = false;
        st_.LineError.clear();
        GetIndex_LBLEQU(st_, st_.LabelText);
        std::int32_t index = st_.FoundIndex;
        const std::string& op = st_.Operand1;
        if (op.size() >= 2 && op[op.size() - 2] == '.') {
            bool valid = false;
            if (Eval(std::string_view(op).substr(0, op.size() - 2))) {
                std::string text = "0" + ByteToHex2(static_cast<std::uint8_t>(st_.ExprValue & 0xFF)) + "H" +
                                   op.substr(op.size() - 2);
                ValBit(st_, text);
                if (!st_.BitValid) ValBit(st_, std::string_view(text).substr(1));
                valid = st_.BitValid;
            }
            // The numeric form does not take register 80H (P0.1 would be
            // 080H.1); the bit's own name in the bit table does, as in SETB P0.1.
            if (!valid) {
                ValBit(st_, op);
                valid = st_.BitValid;
            }
            st_.ExprValid = valid;
        } else {
            Eval(op);
        }
        st_.FoundIndex = index;
        if (st_.ExprValid && st_.FoundIndex < LabelCapacity) SaveIndex_LBLEQU(st_, st_.ExprValue);
        NeedValueAfterFirstPass();
    }

    // Every line ends here, whatever branch it took.
    void Closing() {
        auto produceNothing = [&] {
            st_.LineError.clear();
            st_.LineByteCount = 0;
            st_.NextAddr = st_.LineAddr;
            st_.LineHandled = true;
            st_.ExprValid = true;
        };
        if (st_.InMacroDefinition()) {
            if (st_.MacroState == MacroMode::Recording) {
                st_.MacroText += '\n';
                st_.MacroText += st_.AsmLine;
            }
            produceNothing();
        } else if (st_.EndSeen || (st_.SkipLines && !st_.BlockLine)) {
            produceNothing();
        } else if (st_.LineByteCount != 0 && st_.CurrentSegment != AsmState::Segment::Code &&
                   st_.CurrentSegment != AsmState::Segment::Data) {
            // Internal RAM, bits and external RAM hold no code.
            st_.LineError = CpMessage(kNoCodeHere);
            st_.LineByteCount = 0;
            st_.NextAddr = st_.LineAddr;
        } else if (st_.LineByteCount != 0) {
            st_.AfterOrg = false;
            if (st_.LineAddr < st_.LowAddr) st_.LowAddr = st_.LineAddr;
            if (AddrSum(st_.NextAddr, -1) > st_.HighAddr) st_.HighAddr = AddrSum(st_.NextAddr, -1);
            // Program memory ends at FFFFH; a byte beyond it has no place
            // in the .Bin, the .Hex or the image.
            const std::int64_t last = std::int64_t{st_.LineAddr} + st_.LineByteCount - 1;
            if ((st_.LineAddr < 0 || last > 0xFFFF) && st_.LineError.empty()) st_.LineError = CpMessage(kBeyondMemory);
        }
        if (st_.MacroState == MacroMode::HeaderMacroName || st_.MacroState == MacroMode::HeaderNameMacro) {
            st_.MacroText = st_.MacroState == MacroMode::HeaderMacroName ? "\n" + st_.Operand1 + " " + st_.Mnemonic
                                                                          : "\n" + st_.MacroName + " MACRO";
            st_.MacroState = MacroMode::Recording;
            produceNothing();
        }
    }

    AsmState& st_;
    Pane& pane_;
    FieldSpanSet& f_;
    std::size_t codeEnd_ = 0;
    bool tooLong_ = false;
    bool hexRecord_ = false;  // the line is an Intel HEX record
};

}  // namespace

void RazborStr(AsmState& st, Pane& pane) { LineParser(st, pane).Run(); }

}  // namespace z51
