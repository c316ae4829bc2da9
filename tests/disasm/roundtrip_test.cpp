// Both disassemblies of a binary assemble again, with our own assembler,
// into exactly the bytes of the binary.

#include <gtest/gtest.h>

#include <random>

#include "assembler/assembler.h"
#include "disassembler/disasm.h"
#include "isa/tables.h"
#include "tests/support/test_files.h"

using namespace z51;
using namespace z51::test;

namespace {

// Assembles `source` (both passes) and returns its .Bin; reports the
// first error lines of the listing when the final pass fails.
std::vector<std::uint8_t> Assemble(const std::string& source) {
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = source;
    NullPane firstPass;
    RecordingPane listing;
    Assembler assembler(*ws, firstPass);
    assembler.Prohod1();
    assembler.RunFirstPass();
    assembler.SetPane(listing);
    if (!assembler.FinalPass()) {
        std::string errors;
        int shown = 0;
        const auto& lines = listing.Lines();
        for (std::size_t i = 1; i < lines.size() && shown < 8; ++i) {
            if (lines[i].empty() || lines[i][0].color != clr::Red) continue;
            errors += Cp1251ToUtf8(listing.LineText(i - 1)) + "\n  " + Cp1251ToUtf8(listing.LineText(i)) + "\n";
            ++shown;
        }
        ADD_FAILURE() << source << " does not assemble:\n" << errors;
        return {};
    }
    std::string bin = ReadAll(source.substr(0, source.size() - 3) + "Bin");
    return {bin.begin(), bin.end()};
}

// Disassembles `bytes` plainly and with labels; each result must assemble
// into the same bytes.
void ExpectRoundTrip(const std::vector<std::uint8_t>& bytes, const std::string& what) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    Disassembler dis(*ws);
    const std::string bin = dir / "prog.bin";
    WriteBytes(bin, bytes);
    NullPane pane;
    dis.Deas(pane, bin);
    EXPECT_EQ(Assemble(dir / "prog.D51"), bytes) << what << ", plain";
    dis.DeasLbl(pane, pane);
    EXPECT_EQ(Assemble(dir / "prog.D51"), bytes) << what << ", labelled";
}

int Length(std::uint8_t op) {
    if (OneByteByOpcode(op)) return 1;
    if ((op & 0x1F) == 0x01 || (op & 0x1F) == 0x11) return 2;
    if (op == 0x85) return 3;
    if (const MultiByteRecord* r = MultiByteByOpcode(op)) return PatternLength(r->Pattern());
    return 1;
}

}  // namespace

TEST(DisasmRoundTrip, RandomBinariesOfSeveralSizes) {
    std::mt19937 rng(8051);
    for (std::size_t size : {1u, 2u, 3u, 7u, 64u, 500u, 2100u, 9000u}) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        ExpectRoundTrip(bytes, "random, " + std::to_string(size) + " bytes");
    }
}

TEST(DisasmRoundTrip, EveryOpcodeWithEveryFirstOperandByte) {
    // Each multi-byte opcode with all 256 values of its first operand byte
    // (every SFR and bit name, every AJMP page), split in two files.
    for (int half = 0; half < 2; ++half) {
        std::vector<std::uint8_t> bytes;
        for (int op = half * 128; op < half * 128 + 128; ++op) {
            const int len = Length(static_cast<std::uint8_t>(op));
            for (int b = 0; b < (len == 1 ? 1 : 256); ++b) {
                bytes.push_back(static_cast<std::uint8_t>(op));
                if (len > 1) bytes.push_back(static_cast<std::uint8_t>(b));
                if (len > 2) bytes.push_back(static_cast<std::uint8_t>(b * 7 + 3));
            }
        }
        ASSERT_LE(bytes.size(), 65536u);
        ExpectRoundTrip(bytes, "opcodes " + std::to_string(half * 128) + " to " + std::to_string(half * 128 + 127));
    }
}

TEST(DisasmRoundTrip, EdgeFiles) {
    ExpectRoundTrip({}, "empty");
    ExpectRoundTrip({0x80, 0xFE}, "jump to itself");
    ExpectRoundTrip({0x00, 0x02, 0x12}, "cut LJMP");
    ExpectRoundTrip({0x00, 0x02, 0x22}, "cut LJMP before RET");
    ExpectRoundTrip({0xB4, 0x80}, "cut CJNE");
    ExpectRoundTrip({0x80, 0x80, 0x40, 0x80}, "backwards past address 0");
    // 64 KiB of random code: more label addresses than the assembler's
    // symbol table holds, a jump over the top of memory, an AJMP into the
    // next page.
    std::mt19937 rng(51);
    std::vector<std::uint8_t> top(65536);
    for (auto& b : top) b = static_cast<std::uint8_t>(rng());
    for (std::size_t a = 0x7F0; a < 0x7FE; ++a) top[a] = 0x00;
    top[0x07FE] = 0x01;  // AJMP at 07FE reaches into page 0800
    top[0x07FF] = 0x10;
    for (std::size_t a = 0xFFF0; a < 0xFFFE; ++a) top[a] = 0x00;
    top[0xFFFE] = 0x80;  // SJMP from FFFE over the top to 0001
    top[0xFFFF] = 0x01;
    ExpectRoundTrip(top, "64 KiB with wrap and page crossing");
}
