// Fuzz entries of the assembler: the line parser with state carried from
// line to line, the operand evaluator, and whole files with include files
// through both passes and the output writers.

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assembler/asm_state.h"
#include "assembler/assembler.h"
#include "assembler/datadir.h"
#include "assembler/evaluator.h"
#include "assembler/floatconst.h"
#include "assembler/listing.h"
#include "assembler/parser.h"
#include "assembler/symtab.h"
#include "core/fileio.h"
#include "core/workspace.h"
#include "fileutil/hexconv.h"
#include "fuzz_entries.h"
#include "fuzz_pane.h"

namespace z51::fuzz {
namespace {

std::string_view AsText(Input data) { return {reinterpret_cast<const char*>(data.data()), data.size()}; }

// A symbol table 8 entries short of full (P0, P1, ... with their numbers
// as values), built once.
const SymbolTable& NearlyFullSymbols() {
    static const SymbolTable table = [] {
        auto ws = std::make_unique<Workspace>();
        auto st = std::make_unique<AsmState>(*ws);
        for (std::int32_t i = 0; i < LabelCapacity - 8; ++i) {
            GetIndex_LBLEQU(*st, "P" + std::to_string(i));
            SaveIndex_LBLEQU(*st, i);
        }
        return st->Symbols;
    }();
    return table;
}

}  // namespace

// Byte 0: bit 0 parses with the rules of a final pass (operand errors are
// reported); bit 2 starts with the macro table two slots short of full,
// and bit 1 with the high nibble 5 with the symbol table 8 entries short of
// full (so that short inputs reach both limits; a full symbol table costs
// as much as a few dozen small runs, hence the rare pattern). The rest is the source text. It runs once through
// the assembler's first pass (macros recorded and replayed, include files,
// conditionals), then line by line through RazborStr with the symbol table
// and the macro table that run left. (Lines beyond the longest line kept
// come from macro parameters; a 65,000-character input line would cost a
// hundred short runs.)
void FuzzRazborStr(Input data) {
    if (data.empty()) return;
    const std::uint8_t flags = data[0];
    const std::string text(AsText(data.subspan(1)));

    // An empty source file: Prohod1 needs one to open, the lines then come
    // from memory.
    static const std::string dir = ScratchFolder("razborstr");
    MemoryFiles memory(dir);
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = dir + "/empty.a51";
    PutFile(ws->SourceName, "");
    NullPane firstPass;  // its listing is not looked at; the line loop below lists
    CountingPane pane;
    Assembler assembler(*ws, firstPass);
    AsmState& st = assembler.State();
    st.Clock = &FixedClock;
    assembler.Prohod1();
    if (flags & 1) st.PassNo = 2;
    if ((flags & 0xF2) == 0x52) st.Symbols = NearlyFullSymbols();
    if (flags & 4) {
        for (int i = 0; i < MacroMax - 1; ++i)
            st.MacroTable[static_cast<std::size_t>(i)] = "\nM" + std::to_string(i) + " MACRO\n NOP";
    }
    st.SourceFile.OpenText(text);
    while (assembler.Tick()) {
    }

    TextReader lines;
    lines.OpenText(text);
    while (!lines.AtEnd()) {
        st.AsmLine = lines.ReadLine();
        st.LineByteCount = 0;
        st.LineAddr = st.NextAddr;
        RazborStr(st, pane);
        FuzzCheck(st.LineByteCount <= st.LineBytes.size(), "more bytes than LineBytes holds");
        FuzzCheck(st.AsmLine.size() <= kMaxLineLength + 4096, "a line grew without bound");
        PrintNumCodeStr(st, pane);
        EchoLine(st, pane);
        // Nobody replays a call here; the next line is read as written.
        if (st.MacroState == MacroMode::Replaying) st.MacroState = MacroMode::None;
    }
}

// Each input line is one operand (and a FLT2, FLT3 and LINT constant). Its
// value then becomes the symbol S<n>, so later lines can use earlier ones;
// a few names are there from the start (START, COUNT, NEG, BIG, SMALL, and
// FWD without a value).
void FuzzEvaluator(Input data) {
    auto ws = std::make_unique<Workspace>();
    auto stp = std::make_unique<AsmState>(*ws);
    AsmState& st = *stp;
    st.PassNo = 2;
    const std::pair<const char*, std::int32_t> preset[] = {
        {"START", 0x100}, {"COUNT", 255}, {"NEG", -1}, {"BIG", 0x7FFFFFFF}, {"SMALL", INT32_MIN}};
    for (const auto& [name, value] : preset) {
        GetIndex_LBLEQU(st, name);
        SaveIndex_LBLEQU(st, value);
    }
    GetIndex_LBLEQU(st, "FWD");

    TextReader lines;
    lines.OpenText(std::string(AsText(data)));
    for (int n = 0; !lines.AtEnd(); ++n) {
        const std::string line = lines.ReadLine();
        st.LineAddr = (n * 0x1234) & 0xFFFF;
        st.LineError.clear();
        Evaluate(st, line);
        const std::int32_t value = st.ExprValue;
        const bool valid = st.ExprValid;

        Evaluate(st, UpperCopy(line));
        if (!line.empty()) GetVal(st, line);
        ValBit(st, line);
        if (st.BitValid) FuzzCheck(st.ExprValue >= 0 && st.ExprValue <= 0xFF, "a bit address beyond FFH");

        // The other number notations of the data directives.
        (void)ValFloat2(line);
        (void)ValFloat3(line);
        (void)ParseLint(line);

        if (valid) {
            GetIndex_LBLEQU(st, "S" + std::to_string(n));
            SaveIndex_LBLEQU(st, value);
        }
    }
}

// Byte 0: bit 0 makes the writers of the final pass fail after
// (byte 0 >> 1) * 29 bytes. The rest holds up to four files separated by
// NUL bytes: the source main.a51, then a.inc, B.INC and sub/c.inc beside
// it. The source runs through both passes; then:
// - a pass that did not write both files leaves the .Hex as it was, and a
//   pass with source errors also the .Bin;
// - no temporary file stays behind;
// - nothing but an injected write failure ends the final pass as Failed;
// - the .Hex reads back into exactly the code image of LowAddr..HighAddr.
void FuzzAssemble(Input data) {
    if (data.empty()) return;
    const std::uint8_t flags = data[0];
    const std::string_view rest = AsText(data.subspan(1));
    std::array<std::string, 4> files;
    std::size_t from = 0;
    for (std::size_t i = 0; i < files.size() && from <= rest.size(); ++i) {
        std::size_t nul = i + 1 < files.size() ? rest.find('\0', from) : std::string_view::npos;
        if (nul == std::string_view::npos) nul = rest.size();
        files[i] = rest.substr(from, nul - from);
        from = nul + 1;
    }
    static const std::string dir = ScratchFolder("asm");
    MemoryFiles memory(dir);
    const std::string source = dir + "/main.a51";
    PutFile(source, files[0]);
    PutFile(dir + "/a.inc", files[1]);
    PutFile(dir + "/B.INC", files[2]);
    PutFile(dir + "/sub/c.inc", files[3]);
    const std::string bin = dir + "/main.Bin", hex = dir + "/main.Hex";
    const std::string oldBin = "previous .Bin", oldHex = "previous .Hex";
    PutFile(bin, oldBin);
    PutFile(hex, oldHex);

    Workspace* ws = &FreshWorkspace(0);
    ws->SourceName = source;
    NullPane firstPass;  // its listing is not looked at
    CountingPane finalPass;
    Assembler assembler(*ws, firstPass);
    assembler.State().Clock = &FixedClock;
    assembler.Prohod1();
    assembler.RunFirstPass();
    assembler.SetPane(finalPass);
    const bool inject = (flags & 1) != 0;
    bool written = false;
    {
        InjectWriteFailure failure(inject ? (flags >> 1) * 29 : -1);
        written = assembler.FinalPass();
    }
    const Assembler::Outcome outcome = assembler.LastOutcome();
    FuzzCheck(written == (outcome == Assembler::Outcome::Written), "FinalPass result and outcome disagree");
    FuzzCheck(outcome != Assembler::Outcome::Failed || inject,
              "the final pass failed without a write failure: " + assembler.LastFailure());
    if (outcome != Assembler::Outcome::Written) FuzzCheck(GetFile(hex) == oldHex, "a failed pass replaced the .Hex");
    if (outcome == Assembler::Outcome::SourceErrors)
        FuzzCheck(GetFile(bin) == oldBin, "a pass with errors replaced the .Bin");
    FuzzCheck(!LeftoverTempFile(), "a temporary file stayed behind");
    if (!written) return;

    const AsmState& st = assembler.State();
    auto back = std::make_unique<Workspace>();
    const HexLoad load = ReadHexIntoImage(*back, hex);
    FuzzCheck(load.skippedLines.empty() && load.checksumErrorLines.empty() && !load.clipped && load.endRecord,
              "the .Hex written does not read back cleanly");
    const long low = std::max<long>(st.LowAddr, 0), high = std::min<long>(st.HighAddr, 0xFFFF);
    static const CodeMemory erased = [] {
        CodeMemory m;
        m.fill(0xFF);
        return m;
    }();
    // FFH below LowAddr, the image from LowAddr to HighAddr, FFH above.
    auto sameAs = [&](const CodeMemory& expected, long from, long to) {
        return from > to || std::memcmp(back->CodeImage.data() + from, expected.data() + from,
                                        static_cast<std::size_t>(to - from + 1)) == 0;
    };
    const bool same = low > high ? sameAs(erased, 0, 0xFFFF)
                                 : sameAs(erased, 0, low - 1) && sameAs(ws->CodeImage, low, high) &&
                                       sameAs(erased, high + 1, 0xFFFF);
    FuzzCheck(same, "the .Hex does not hold the code image of LowAddr..HighAddr");
}

}  // namespace z51::fuzz
