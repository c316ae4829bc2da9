#include "assembler/macro.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "assembler/asm_state.h"
#include "assembler/directives_ext.h"
#include "assembler/parser.h"
#include "core/cp1251.h"
#include "core/pane.h"

namespace z51 {

std::string_view MacroSlotName(std::string_view slot) {
    if (slot.empty()) return {};
    slot.remove_prefix(1);  // the leading LF
    return slot.substr(0, slot.find_first_of(" \n"));
}

std::array<std::string, 10> SplitMacroParams(std::string_view line, std::size_t from) {
    std::array<std::string, 10> params;
    std::size_t n = 0, itemStart = from;
    bool quoted = false;
    for (std::size_t i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') quoted = !quoted;
        if (!quoted && IsBlank(c)) {
            const std::size_t next = SkipOperandBlanks(line, i, itemStart);
            if (next == i) break;
            // Blanks inside an expression stay in the parameter as written.
            if (!params[n].empty() && next < line.size() && line[next] != ',') params[n].append(line, i, next - i);
            i = next - 1;
            continue;
        }
        if (!quoted && c == ';') break;
        if (c == ',') {
            if (++n == params.size()) break;
            itemStart = i + 1;
        } else {
            params[n] += c;
        }
    }
    return params;
}

bool ExpandMacroParams(std::string& line, const std::array<std::string, 10>& params, std::size_t limit) {
    if (line.find('\\') == std::string::npos) return true;
    std::string out;
    // The text still to scan, the next piece last; no piece is empty.
    std::vector<std::string_view> todo{line};
    std::size_t todoSize = line.size();
    auto take = [&] {
        std::string_view& top = todo.back();
        const char c = top.front();
        top.remove_prefix(1);
        if (top.empty()) todo.pop_back();
        --todoSize;
        return c;
    };
    // Each step either adds a character to the line or removes an empty
    // parameter's "\d"; a line within the limit needs far fewer steps.
    std::size_t steps = 4 * limit;
    bool complete = true;
    while (!todo.empty()) {
        if (out.size() + todoSize > limit || steps-- == 0) {
            complete = false;
            break;
        }
        if (todo.back().front() == '\\') {
            const std::string_view top = todo.back();
            const char d = top.size() > 1 ? top[1] : todo.size() > 1 ? todo[todo.size() - 2].front() : '\0';
            if (d >= '0' && d <= '9') {
                take();
                take();
                const std::string& param = params[static_cast<std::size_t>(d - '0')];
                if (!param.empty()) {
                    out += param.front();
                    if (param.size() > 1) {
                        todo.push_back(std::string_view(param).substr(1));
                        todoSize += param.size() - 1;
                    }
                }
                continue;
            }
        }
        out += take();
    }
    for (auto it = todo.rbegin(); it != todo.rend(); ++it) out += *it;
    line = std::move(out);
    return complete;
}

std::vector<std::string> SplitNames(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = TrimBlanks(text.substr(0, comma));
        if (!name.empty()) names.push_back(UpperCopy(name));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return names;
}

namespace {

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == '?' ||
           u >= 0x80;
}

}  // namespace

bool ReplaceMacroWords(std::string& line, const std::vector<std::pair<std::string, std::string>>& words,
                       std::size_t limit) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == ';' && !quoted) {
            out.append(line, i);
            break;
        }
        if (c == '\'') quoted = !quoted;
        if (quoted || !IsWordChar(c)) {
            out += c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && IsWordChar(line[end])) ++end;
        const std::string word = UpperCopy(std::string_view(line).substr(i, end - i));
        const auto it = std::find_if(words.begin(), words.end(), [&](const auto& w) { return w.first == word; });
        if (it != words.end()) out += it->second;
        else out.append(line, i, end - i);
        i = end;
        if (out.size() > limit) {
            out.resize(limit);
            line = std::move(out);
            return false;
        }
    }
    line = std::move(out);
    return true;
}

namespace {

std::uint16_t Col(std::size_t index0) { return static_cast<std::uint16_t>(index0 + 1); }

// Looks for a free slot or an earlier definition of `name`. A free slot
// starts a new definition (`header`); an earlier one of the same name
// makes this definition a duplicate whose body is skipped (the
// macros of the first pass stay defined in the final passes, where every
// header finds its own earlier definition). With all 65 slots in use the
// notice goes to the pane and the body is assembled as ordinary lines.
void StartDefinition(AsmState& st, Pane& pane, std::string_view name, MacroMode header) {
    st.LineHandled = true;
    // A definition inside a block that conditional assembly skips is no
    // definition: its body lines are skipped like the others, and another
    // definition of the name in the block that is kept is the one used.
    if (st.SkipLines) return;
    st.MacroText.clear();
    st.MacroName = std::string(name);
    name = st.MacroName;  // `name` may have shown the MacroName just replaced
    st.MacroNamesRead.locals.clear();
    st.MacroLineNo = st.LineNo;
    st.MacroAfterEnd = st.EndSeen;
    for (int i = 0; i <= MacroMax; ++i) {
        const std::string& slot = st.MacroTable[i];
        if (slot.empty()) {
            st.MacroIndex = static_cast<std::uint8_t>(i);
            st.MacroState = header;
            return;
        }
        if (MacroSlotName(slot) == name) {
            st.MacroIndex = MacroMax;
            st.MacroState = MacroMode::SkippingDuplicate;
            return;
        }
    }
    st.MacroIndex = MacroMax;
    pane.SetColor(clr::Purple);
    pane.AddLine(cp("[Попытка вставки макроса ") + std::string(name) +
                 cp("] Переполнение массива макросов для строки ниже:"));
}

// The header written as a label followed by MACRO.
bool HeaderAfterLabel(AsmState& st, Pane& pane) {
    FieldSpanSet& f = st.FieldSpans;
    const std::string& line = st.AsmLine;
    std::size_t codeEnd = f.CommentStart ? f.CommentStart - 1u : line.size();
    if (codeEnd > line.size()) codeEnd = line.size();
    const std::size_t from = f.LabelSpan.end;  // index just behind the label
    std::size_t at = std::string::npos;
    for (std::size_t i = from; i + 5 <= codeEnd; ++i) {
        if (UpperCopy(std::string_view(line).substr(i, 5)) == "MACRO") {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) return false;

    std::string_view name = st.LabelText;
    if (name.ends_with(':')) name.remove_suffix(1);
    st.MacroName = std::string(name);

    st.Mnemonic = line.substr(at, 5);  // as written
    if (at > from) f.LabelGap = {Col(from), static_cast<std::uint16_t>(at)};
    f.MnemonicSpan = {Col(at), Col(at + 4)};
    // The rest of the code part is shown as the operand field; it has no
    // meaning, since parameters are positional.
    std::size_t b = at + 5;
    while (b < codeEnd && IsBlank(line[b])) ++b;
    std::size_t e = codeEnd;
    while (e > b && IsBlank(line[e - 1])) --e;
    if (b > at + 5) f.MnemonicGap = {Col(at + 5), static_cast<std::uint16_t>(b)};
    if (e > b) f.Operand1Span = {Col(b), static_cast<std::uint16_t>(e)};
    if (codeEnd > e && e > b) f.TrailGap = {Col(e), static_cast<std::uint16_t>(codeEnd)};

    StartDefinition(st, pane, st.MacroName, MacroMode::HeaderNameMacro);
    // The parameter names, used when the body does not number them.
    st.MacroNamesRead.params = SplitNames(std::string_view(line).substr(b, e - b));
    return true;
}

// ".ENDM" or ENDM / %ENDM / ENDMAC in column 1, or ENDM / %ENDM / ENDMAC
// as mnemonic: the body is stored (a duplicate stores nothing). Without an
// open definition the line only shows itself.
bool EndDefinition(AsmState& st, bool columnOne) {
    st.LineHandled = true;
    if (columnOne) {
        // ".ENDM" and whatever follows it, or the word ENDM, %ENDM, ENDMAC.
        FieldSpanSet& f = st.FieldSpans;
        const std::string& line = st.AsmLine;
        const std::size_t end = f.CommentStart ? f.CommentStart - 1u : line.size();
        std::size_t word = 5;
        if (line[0] != '.') {
            word = 0;
            while (word < end && !IsBlank(line[word])) ++word;
        }
        st.Mnemonic = UpperCopy(line.substr(0, word));
        f.MnemonicSpan = {1, static_cast<std::uint16_t>(word)};
        if (end > word) f.MnemonicGap = {Col(word), static_cast<std::uint16_t>(end)};
    }
    if (st.MacroState == MacroMode::Recording) {
        st.MacroTable[st.MacroIndex] = st.MacroText;
        // A body that writes \0..\9 takes its parameters by number, and
        // its words keep the meaning they have outside.
        AsmState::MacroWords words = st.MacroNamesRead;
        const std::string& body = st.MacroText;
        for (std::size_t i = 0; i + 1 < body.size(); ++i)
            if (body[i] == '\\' && body[i + 1] >= '0' && body[i + 1] <= '9') words.params.clear();
        if (words.params.size() > st.MacroParams.size()) words.params.resize(st.MacroParams.size());
        st.MacroNames[st.MacroIndex] = std::move(words);
    }
    if (st.InMacroDefinition()) st.MacroState = MacroMode::None;
    return true;
}

// LOCAL names in a body being read: each expansion gets labels of its own.
// Replayed, the line has done its work.
bool LocalNames(AsmState& st) {
    st.LineHandled = true;
    if (st.InMacroDefinition()) {
        const FieldSpanSet& f = st.FieldSpans;
        if (f.Operand1Span.start != 0) {
            const std::size_t end = f.CommentStart ? std::min<std::size_t>(f.CommentStart - 1u, st.AsmLine.size())
                                                   : st.AsmLine.size();
            for (std::string& name : SplitNames(std::string_view(st.AsmLine).substr(f.Operand1Span.start - 1u,
                                                                                  end - (f.Operand1Span.start - 1u))))
                st.MacroNamesRead.locals.push_back(std::move(name));
        }
    } else if (st.MacroState != MacroMode::Replaying && !st.SkipLines) {
        st.LineError = CpMessage("Директива LOCAL вне макроопределения!");
    }
    return true;
}

// A call: the body is replayed by FetchLine from the line after its header.
// A call in a skipped block replays nothing.
bool Call(AsmState& st) {
    const int slot = FindMacroCall(st.MacroTable, st.Mnemonic);
    if (slot < 0) return false;
    if (st.SkipLines) {
        st.LineHandled = true;
        return true;
    }
    st.MacroIndex = static_cast<std::uint8_t>(slot);
    st.MacroText = st.MacroTable[slot];
    st.MacroPos = 2;
    st.MacroState = MacroMode::Replaying;
    // A call without operands replays with the parameters of the previous one.
    if (!st.Operand1.empty()) st.MacroParams = SplitMacroParams(st.AsmLine, st.FieldSpans.Operand1Span.start - 1u);
    // Named parameters stand for the texts of the call, LOCAL labels for
    // names of this expansion.
    ++st.MacroCalls;
    const AsmState::MacroWords& names = st.MacroNames[static_cast<std::size_t>(slot)];
    st.MacroWordTexts.clear();
    for (std::size_t i = 0; i < names.params.size(); ++i) st.MacroWordTexts.emplace_back(names.params[i], st.MacroParams[i]);
    char number[16];
    std::snprintf(number, sizeof number, "??%04u", static_cast<unsigned>(st.MacroCalls % 100000000u));
    for (const std::string& local : names.locals) st.MacroWordTexts.emplace_back(local, local + number);
    st.LineHandled = true;
    if (st.FieldSpans.CommentStart == 0) st.FieldSpans.CommentStart = static_cast<std::uint16_t>(st.AsmLine.size() + 1);
    static const std::string kNote = cp(" ; вставка MACRO № ");
    st.AsmLine += kNote + std::to_string(slot);
    return true;
}

}  // namespace

bool HandleMacroLine(AsmState& st, Pane& pane, MacroSite site) {
    switch (site) {
        case MacroSite::EndmColumn1: return EndDefinition(st, true);
        case MacroSite::EndmMnemonic: return EndDefinition(st, false);
        case MacroSite::HeaderAfterLabel: return HeaderAfterLabel(st, pane);
        case MacroSite::HeaderMnemonic:
            // A header without a name could never be called; the line is left
            // to be reported as not recognised.
            if (st.Operand1.empty()) return false;
            StartDefinition(st, pane, st.Operand1, MacroMode::HeaderMacroName);
            st.MacroNamesRead.params.clear();
            return true;
        case MacroSite::Call:
            if (st.MacroState != MacroMode::None) return false;
            return Call(st);
        case MacroSite::Local: return LocalNames(st);
    }
    return false;
}

}  // namespace z51
