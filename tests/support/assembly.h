#pragma once
// Assembling in tests: one assembler state on the heap with lines parsed one
// at a time, and whole sources assembled through both passes in a
// temporary folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/asm_state.h"
#include "assembler/assembler.h"
#include "assembler/parser.h"
#include "core/cp1251.h"
#include "core/fileio.h"
#include "core/pane.h"
#include "core/workspace.h"
#include "tests/support/test_files.h"

namespace z51::test {

using Bytes = std::vector<std::uint8_t>;

// 08.12.2026 10:20:30 local time: the clock of every test.
inline std::time_t FixedClock() {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 8;
    tm.tm_hour = 10;
    tm.tm_min = 20;
    tm.tm_sec = 30;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// One state, lines parsed as in a final pass unless told otherwise.
class LineFixture : public ::testing::Test {
protected:
    LineFixture() {
        st.PassNo = 2;
        st.Clock = &FixedClock;
    }

    // Parses one line (UTF-8 text) at `addr`; returns its bytes.
    Bytes Asm(std::string_view line, std::int32_t addr = 0) {
        st.AsmLine = cp(line);
        st.LineAddr = st.NextAddr = addr;
        st.LineByteCount = 0;
        RazborStr(st, pane);
        return Bytes(st.LineBytes.begin(), st.LineBytes.begin() + st.LineByteCount);
    }
    std::string Error() const { return Cp1251ToUtf8(st.LineError); }

    std::unique_ptr<Workspace> wsp = std::make_unique<Workspace>();
    Workspace& ws = *wsp;
    std::unique_ptr<AsmState> stp = std::make_unique<AsmState>(ws);
    AsmState& st = *stp;
    RecordingPane pane;
};

// A source written in UTF-8, stored in code page 1251 and assembled through
// both passes: at once by the constructor with a source, or step by step.
// The listings are kept apart: the first pass in firstPane, the final pass
// in pane.
struct Assembly {
    TempDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    RecordingPane firstPane;
    RecordingPane pane;
    std::unique_ptr<Assembler> as;
    bool written = false;

    Assembly() = default;
    explicit Assembly(std::string_view utf8Source, std::string_view name = "prog.a51") { Assemble(utf8Source, name); }

    // Writes the source as `name` and runs the first pass.
    void FirstPass(std::string_view utf8Source, std::string_view name = "prog.a51") {
        ws->SourceName = dir.Write(name, cp(utf8Source));
        as = std::make_unique<Assembler>(*ws, firstPane);
        as->State().Clock = &FixedClock;
        as->Prohod1();
        as->RunFirstPass();
    }
    // Both passes; returns whether the final pass wrote the output files.
    bool Assemble(std::string_view utf8Source, std::string_view name = "prog.a51") {
        FirstPass(utf8Source, name);
        return FinalPassAgain();
    }
    bool FinalPassAgain() {
        as->SetPane(pane);
        written = as->FinalPass();
        return written;
    }

    AsmState& st() { return as->State(); }
    AsmState& State() { return as->State(); }
    Workspace& Ws() { return *ws; }
    int ErrorCount() const { return as->State().ErrorCount; }
    // The listings as UTF-8.
    std::string Listing() const { return Cp1251ToUtf8(pane.Text()); }
    std::string FirstListing() const { return Cp1251ToUtf8(firstPane.Text()); }
    bool Shows(std::string_view utf8) const { return Listing().find(utf8) != std::string::npos; }
    // The output files beside a source named prog.a51.
    Bytes Bin() const { return ReadBinaryFile(dir.File("prog.Bin")); }
    std::string Hex() const { return ReadTextFile(dir.File("prog.Hex")); }
    Bytes Image(std::size_t from, std::size_t n) const {
        return Bytes(ws->CodeImage.begin() + static_cast<std::ptrdiff_t>(from),
                     ws->CodeImage.begin() + static_cast<std::ptrdiff_t>(from + n));
    }
};

// The program memory an Intel HEX text describes (FFH where no record
// says otherwise), read by the rules of the format rather than by our
// own reader; nothing when a record is malformed.
inline std::optional<Bytes> HexImage(const std::string& text) {
    Bytes image(0x10000, 0xFF);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = text.find_first_not_of("\r\n", end);
        if (pos == std::string::npos) pos = text.size();
        if (line.size() < 11 || line[0] != ':') return std::nullopt;
        Bytes rec;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2)
            rec.push_back(static_cast<std::uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
        std::uint8_t sum = 0;
        for (std::uint8_t b : rec) sum = static_cast<std::uint8_t>(sum + b);
        if (sum != 0 || rec.size() != rec[0] + 5u) return std::nullopt;
        if (rec[3] == 1) break;
        const std::size_t addr = rec[1] * 256u + rec[2];
        for (std::size_t i = 0; i < rec[0]; ++i) image[(addr + i) & 0xFFFF] = rec[4 + i];
    }
    return image;
}

// The .Bin and the .Hex of one assembly hold the same bytes.
inline void ExpectSameBinAndHex(const Assembly& r) {
    const Bytes bin = r.Bin();
    const std::optional<Bytes> hex = HexImage(r.Hex());
    ASSERT_TRUE(hex.has_value()) << r.Hex();
    EXPECT_EQ(Bytes(hex->begin(), hex->begin() + static_cast<std::ptrdiff_t>(bin.size())), bin);
    EXPECT_TRUE(std::all_of(hex->begin() + static_cast<std::ptrdiff_t>(bin.size()), hex->end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
}

// A source and the .Bin it assembles to without an error (the test
// AsWritten.GivesTheBytesOfWhatIsWritten, instantiated by each test file
// with its own table).
struct Written {
    const char* what;
    const char* source;
    Bytes bin;
};

inline void PrintTo(const Written& w, std::ostream* os) { *os << w.what; }

class AsWritten : public ::testing::TestWithParam<Written> {};

}  // namespace z51::test
