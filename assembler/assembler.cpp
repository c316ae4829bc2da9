#include "assembler/assembler.h"

#include <algorithm>
#include <exception>

#include "assembler/listing.h"
#include "assembler/macro.h"
#include "assembler/parser.h"
#include "core/cp1251.h"
#include "core/file_error.h"
#include "isa/intel_hex.h"

namespace z51 {
namespace {

std::tm LocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// Intel HEX records that end the source without an end record: a HEX file
// cut short.
void NoticeUnendedHexRecords(const AsmState& s, Pane& pane) {
    if (!s.HexRecordsOpen || s.EndSeen) return;
    pane.SetColor(clr::Purple);
    pane.AddLine(HexNoEndNotice());
}

}  // namespace

std::string FormatDate(std::time_t t) {
    std::tm tm = LocalTime(t);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y", &tm);
    return buf;
}

std::string FormatTime(std::time_t t) {
    std::tm tm = LocalTime(t);
    char buf[32];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &tm);
    return buf;
}

void EchoLine(const AsmState& st, Pane& pane) {
    const FieldSpanSet& f = st.FieldSpans;
    const std::string& line = st.AsmLine;
    struct Slot {
        const Span& span;
        Color color;
    };
    const Slot slots[] = {
        {f.LeadBlank, clr::Black},     {f.LabelSpan, clr::Red},    {f.LabelGap, clr::Black},
        {f.MnemonicSpan, clr::Blue},   {f.MnemonicGap, clr::Black}, {f.Operand1Span, clr::Green},
        {f.Separator1, clr::Black},    {f.Operand2Span, clr::Fuchsia}, {f.Separator2, clr::Black},
        {f.Operand3Span, clr::Red},    {f.TrailGap, clr::Black},
    };
    for (const Slot& s : slots) {
        if (s.span.start == 0) continue;
        pane.SetColor(s.color);
        if (&s.span == &f.MnemonicSpan) pane.Append(st.Mnemonic);
        else pane.Append(Columns(line, s.span.start, s.span.end));
    }
    if (f.CommentStart == 0) return;

    // The comment in tokens: a word after "@" or "\" is marked (purple,
    // maroon at the end of the line), other runs are navy. The first
    // pending token is empty: it shows nothing.
    std::string_view rest = Columns(line, f.CommentStart, line.size());
    std::size_t tokenStart = 0;
    bool marked = false;
    auto flush = [&](std::size_t end, Color markedColor) {
        pane.SetColor(marked ? markedColor : clr::Navy);
        pane.Append(rest.substr(tokenStart, end - tokenStart));
    };
    for (std::size_t i = 0; i < rest.size(); ++i) {
        auto c = static_cast<unsigned char>(rest[i]);
        if (c >= 'A' && c != '\\') continue;  // letters (Latin and Cyrillic) extend the token
        flush(i, clr::Purple);
        tokenStart = i;
        marked = c == '@' || c == '\\';
    }
    flush(rest.size(), clr::Maroon);
}

void ErrorSummary(const AsmState& st, Pane& pane, std::size_t width) {
    pane.SetColor(clr::Navy);
    std::string text;
    for (std::uint32_t n : st.ErrorLines) {
        if (n == 0) break;
        text += std::to_string(n);
        text += ' ';
        if (text.size() > width) {
            pane.AddLine(text);
            text.clear();
        }
    }
    if (!text.empty()) pane.AddLine(text);
}

Assembler::Assembler(Workspace& ws, Pane& pane) : st_(std::make_unique<AsmState>(ws)), pane_(&pane) {}

void Assembler::StopFirstPass() {
    running_ = false;
    st_->SourceFile.Close();
    st_->CloseIncludes();
}

void Assembler::Prohod1() {
    AsmState& s = *st_;
    // A pass still running would otherwise go on reading a file that is
    // being replaced.
    StopFirstPass();
    s.SourceFile.Open(s.SourceName);  // FileError: nothing else changes
    s.Origin.Start(s.SourceName);

    s.LineNo = 0;
    s.Symbols.Clear();
    s.LineAddr = 0;
    s.NextAddr = 0;
    s.LowAddr = 0x7FF;
    s.HighAddr = 0;
    s.ErrorLines.fill(0);
    s.EpromSize = 0;
    s.ErrorCount = 0;
    s.EndSeen = false;
    s.HexUpperAddress = 0;
    s.HexRecordsOpen = false;
    s.IncludeOpens = 0;
    s.PassNo = 1;
    s.ListingOn = true;
    pane_->Clear();
    for (std::string& m : s.MacroTable) m.clear();
    s.MacroNames.fill({});
    s.CodeImage.fill(0xFF);
    s.AutoOrgStep = 16;
    s.AutoOrgCount = 1;
    s.BinFrom = 0;
    s.BinTo = 0xFFFF;
    s.HexWidth = 16;
    s.PageLength = 0;
    s.HexCR = 1;
    for (std::string& a : s.RegAlias) a.clear();
    s.MacroState = MacroMode::None;
    s.ResetDialect();
    s.CommentBlock = false;
    s.AfterOrg = false;
    outcome_ = Outcome::None;
    failure_.clear();
    running_ = true;
}

void Assembler::FetchLine() {
    AsmState& s = *st_;
    if (s.MacroState == MacroMode::Replaying) {
        // Positions are 1-based as in the macro table: MacroPos points at the
        // start of the line read last (2 = the header, which is skipped).
        s.AsmLine.clear();
        const std::string& body = s.MacroText;
        std::size_t p = s.MacroPos;  // 1-based
        while (p <= body.size() && body[p - 1] != '\n') ++p;
        if (p <= body.size()) {
            const std::size_t start = p + 1;  // past the LF
            std::size_t q = start;
            while (q <= body.size() && body[q - 1] != '\n') ++q;
            s.AsmLine.assign(body, start - 1, q - start);
            if (q >= body.size()) s.MacroState = MacroMode::None;  // the body's last line
            s.MacroPos = static_cast<std::uint32_t>(start);
        } else {
            s.MacroState = MacroMode::None;
        }
        // "\0".."\9" stand for the parameters of the call. A line that
        // would grow past the longest line kept is cut there, and the parser
        // reports it.
        s.ExpansionCut = !ExpandMacroParams(s.AsmLine, s.MacroParams, kMaxLineLength);
        // Named parameters and LOCAL labels stand as words of their own.
        if (!s.MacroWordTexts.empty() && !ReplaceMacroWords(s.AsmLine, s.MacroWordTexts, kMaxLineLength))
            s.ExpansionCut = true;
        return;
    }
    if (s.IncludeActive) {
        // An include file is closed when a line is wanted after its last
        // one, so that its last line is still parsed as part of it (an
        // equate with DATA or REG, an END that must end nothing, a line
        // that is not listed); reading goes on in the file that included
        // it. An empty include file gives no line at all, never the
        // previous line again.
        s.DropEndedIncludes();
        if (!s.IncludeFile.AtEnd()) {
            s.Origin.IncludeLineRead(s.IncludeUnread());
            s.AsmLine = s.IncludeFile.ReadLine();
            return;
        }
        s.CloseIncludes();
        s.ListingOn = true;
    }
    s.Origin.SourceLineRead();
    s.AsmLine = s.SourceFile.ReadLine();
}

void Assembler::RecordErrorLine(std::uint32_t lineNo) {
    for (std::uint32_t& slot : st_->ErrorLines) {
        if (slot == 0) {
            slot = lineNo;
            return;
        }
    }
}

void Assembler::CountError() {
    if (st_->ErrorCount < 0xFFFF) ++st_->ErrorCount;  // never wraps back to "no errors"
}

void Assembler::ProcessLine(bool finalPass) {
    static const std::string kUnknown = cp("--- Строка выше с директивами ассемблера не опознана!");
    static const std::string kEndlessCalls = cp("Макрос вызывает сам себя последней строкой: вставка прекращена!");
    AsmState& s = *st_;
    Pane& pane = *pane_;
    const bool replaying = s.MacroState == MacroMode::Replaying;
    FetchLine();
    const bool bodyEnd = replaying && s.MacroState == MacroMode::None;
    s.LineByteCount = 0;
    s.LineAddr = s.NextAddr;
    RazborStr(s, pane);
    // The last line of a body may call a macro, which is replayed at once.
    // A chain of such calls longer than the macro table holds macros has
    // come back to one of them and would never end.
    if (!replaying) {
        tailCalls_ = 0;
    } else if (bodyEnd && s.MacroState == MacroMode::Replaying && ++tailCalls_ > MacroMax + 1) {
        s.MacroState = MacroMode::None;
        s.LineError = kEndlessCalls;
    }
    if (s.LineListed && !quiet_) {
        PrintNumCodeStr(s, pane);
        EchoLine(s, pane);
    }
    // Lines that are not listed store their bytes as well: the image must
    // match LowAddr/HighAddr and the program as written. Bytes beyond
    // program memory (reported by the parser) never wrap round to 0000H.
    if (finalPass && s.LineHandled && s.LineByteCount > 0) {
        const SourceLine origin = s.Origin.Current();
        for (std::size_t i = 0; i < s.LineByteCount; ++i) {
            const std::int64_t addr = std::int64_t{s.LineAddr} + static_cast<std::int64_t>(i);
            if (addr < 0 || addr > 0xFFFF) continue;
            s.CodeImage[static_cast<std::size_t>(addr)] = s.LineBytes[i];
            s.ws.Sources.lines[static_cast<std::size_t>(addr)] = origin;
        }
    }
    // A label that survived the line as a code label (an equate on the same
    // line turns it into an equate).
    if (finalPass && s.DupCheck && !s.SkipLines && s.LineError.empty()) {
        std::string_view name = s.LabelText;
        if (!name.empty() && name.back() == ':') name.remove_suffix(1);
        codeLabels_.emplace_back(name);
    }
    if (!s.LineNotice.empty()) {
        pane.SetColor(clr::Purple);
        pane.AddLine(s.LineNotice);
    }
    if (!s.LineError.empty()) {
        CountError();
        pane.SetColor(clr::Red);
        pane.AddLine(finalPass ? s.LineError : "--- " + s.LineError);
        if (finalPass) RecordErrorLine(s.LineNo);
    }
    if (!s.LineHandled && !s.AsmLine.empty() && !s.Mnemonic.empty()) {
        CountError();
        pane.SetColor(clr::Red);
        pane.AddLine(kUnknown);
        RecordErrorLine(s.LineNo);
    }
}

// A definition still open when the source ends has taken every line after
// its header into its body: the program is not what was written. (After
// END there is no program left to lose.) The same for IF blocks.
void Assembler::ReportOpenDefinition(bool finalPass) {
    AsmState& s = *st_;
    auto report = [&](const std::string& message, std::uint32_t lineNo) {
        CountError();
        pane_->SetColor(clr::Red);
        pane_->AddLine(finalPass ? message : "--- " + message);
        if (finalPass) RecordErrorLine(lineNo);
    };
    if (s.InMacroDefinition() && !s.MacroAfterEnd)
        report(cp("Макроопределение ") + s.MacroName + cp(" не закрыто директивой ENDM!"), s.MacroLineNo);
    // A block left open has decided, without a word, about every line
    // after its IF.
    for (const AsmState::IfBlock& b : s.IfBlocks)
        report(cp("Блок IF в строке ") + std::to_string(b.lineNo) + cp(" не закрыт директивой ENDIF!"), b.lineNo);
}

void Assembler::EndFirstPass() {
    static const std::string kErrors = cp("Выявлено ошибок: ");
    static const std::string kInLines = cp(" в строках:");
    static const std::string kDone = cp("Компиляция завершена: ");
    AsmState& s = *st_;
    s.SourceFile.Close();
    NoticeUnendedHexRecords(s, *pane_);
    ReportOpenDefinition(false);
    if (s.ErrorCount > 0) {
        pane_->SetColor(clr::Red);
        pane_->AddLine(kErrors + std::to_string(s.ErrorCount) + kInLines);
        ErrorSummary(s, *pane_, 84);
    }
    std::time_t now = s.Clock();
    pane_->SetColor(clr::Black);
    pane_->AddLine(kDone + FormatDate(now) + " " + FormatTime(now) + ".");
    running_ = false;
}

bool Assembler::Tick() {
    if (!running_) return false;
    // Nothing to show on a pane that shows nothing: skip building the text.
    quiet_ = dynamic_cast<NullPane*>(pane_) != nullptr;
    for (int i = 0; i < kLinesPerTick; ++i) {
        if (st_->SourceFile.AtEnd()) {
            EndFirstPass();
            return false;
        }
        ProcessLine(false);
    }
    return true;
}

void Assembler::RunFirstPass() {
    while (Tick()) {
    }
}

void Assembler::BeginSourceMap() {
    SourceMap& m = st_->ws.Sources;
    m.lines.assign(0x10000, SourceLine{});
    m.symbols.clear();
    m.image.clear();
    codeLabels_.clear();
    mapOpen_ = true;
}

void Assembler::EndSourceMap() {
    const AsmState& s = *st_;
    SourceMap& m = s.ws.Sources;
    m.files = s.Origin.Files();
    std::sort(codeLabels_.begin(), codeLabels_.end());
    const SymbolTable& t = s.Symbols;
    for (std::int32_t i = 0; i < t.Occupied(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!t.LabelDefined[k]) continue;
        const std::string_view name = t.Name(i);
        const bool label = std::binary_search(codeLabels_.begin(), codeLabels_.end(), name);
        m.symbols.push_back({std::string(name), t.LabelValues[k], label});
    }
    m.image.assign(s.CodeImage.begin(), s.CodeImage.end());
    ++m.serial;
    mapOpen_ = false;
}

bool Assembler::FinalPass() {
    static const std::string kErrors = cp("Выявлены ошибки [");
    static const std::string kInLines = cp("] в строках:");
    AsmState& s = *st_;
    if (running_) RunFirstPass();
    quiet_ = dynamic_cast<NullPane*>(pane_) != nullptr;
    outcome_ = Outcome::Failed;
    failure_.clear();
    bool writing = false;
    try {
        s.SourceFile.Open(s.SourceName);
        s.Origin.Start(s.SourceName);
        BeginSourceMap();
        s.CloseIncludes();
        s.IncludeOpens = 0;
        s.LineNo = 0;
        s.LineAddr = 0;
        s.NextAddr = 0;
        s.BinFrom = 0;
        s.BinTo = 0x800;
        s.AutoOrgStep = 16;
        s.AutoOrgCount = 1;
        s.IdentText.clear();
        s.TitleText.clear();
        s.EndSeen = false;
        s.HexUpperAddress = 0;
        s.HexRecordsOpen = false;
        s.IncludeActive = false;
        s.ListingOn = true;
        s.ErrorCount = 0;
        // Operand messages appear from pass 2 on; after 255 passes the
        // number goes back to 2, never to the first pass's 1 (or 0).
        s.PassNo = s.PassNo == 255 ? 2 : static_cast<std::uint8_t>(s.PassNo + 1);
        if (s.PassNo < 2) s.PassNo = 2;
        s.CodeImage.fill(0xFF);
        pane_->Clear();
        s.ErrorLines.fill(0);
        s.MacroState = MacroMode::None;
        s.ResetDialect();
        s.CommentBlock = false;
        s.AfterOrg = false;

        while (!s.SourceFile.AtEnd()) ProcessLine(true);
        s.SourceFile.Close();
        s.CloseIncludes();
        NoticeUnendedHexRecords(s, *pane_);
        ReportOpenDefinition(true);
        EndSourceMap();

        if (s.ErrorCount > 0) {
            pane_->SetColor(clr::Red);
            pane_->AddLine(kErrors + std::to_string(s.ErrorCount) + kInLines);
            ErrorSummary(s, *pane_, 79);
            outcome_ = Outcome::SourceErrors;
            return false;
        }
        SymbolListing(s, *pane_);
        writing = true;
        if (writeFiles_) {
            WriteBinFile(s, *pane_);
            WriteHexFile(s, *pane_);
        }
        outcome_ = Outcome::Written;
        return true;
    } catch (const FileError& e) {
        failure_ = e.Path() + ": " + e.Reason();
    } catch (const std::exception& e) {
        failure_ = e.what();
    }
    s.SourceFile.Close();
    s.CloseIncludes();
    if (mapOpen_) {
        // The pass ended half-way: the map would describe part of the image.
        s.ws.Sources = SourceMap{{}, {}, {}, {}, s.ws.Sources.serial + 1};
        mapOpen_ = false;
    }
    // A failure while writing the output is shown; any other failure ends
    // the pass silently.
    if (writing) {
        pane_->SetColor(clr::Red);
        pane_->AddLine(failure_);
    }
    return false;
}

}  // namespace z51
