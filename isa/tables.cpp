#include "isa/tables.h"

#include <algorithm>

#include "isa/hex.h"
#include "isa/instruction_tables.h"

namespace z51 {
namespace {

using detail::kMultiByteRecords;
using detail::kOneByteRecords;

// Record builder, run at compile time: a name that does not fit its field
// stops the build.

template <std::size_t K>
consteval NameRecord N(const char (&name)[K], std::uint8_t addr) {
    static_assert(K >= 2 && K - 1 <= 8, "a name has 1 to 8 characters");
    NameRecord r{};
    r.len = static_cast<std::uint8_t>(K - 1);
    for (std::size_t i = 0; i + 1 < K; ++i) r.name[i] = name[i];
    r.addr = addr;
    return r;
}

// clang-format off

// Special function registers: name, direct address.
constexpr NameRecord kSfr[] = {
//    name          address
    N("ACC",       0xE0),
    N("PSW",       0xD0),
    N("B",         0xF0),
    N("IP",        0xB8),
    N("P3",        0xB0),
    N("IE",        0xA8),
    N("P2",        0xA0),
    N("SBUF",      0x99),
    N("SCON",      0x98),
    N("P1",        0x90),
    N("P0",        0x80),
    N("TH1",       0x8D),
    N("TH0",       0x8C),
    N("TL1",       0x8B),
    N("TL0",       0x8A),
    N("TMOD",      0x89),
    N("TCON",      0x88),
    N("DPH",       0x83),
    N("DPL",       0x82),
    N("PCON",      0x87),
    N("SP",        0x81),
    N("P4",        0xC0),
    N("P5",        0xF8),
    N("CH",        0xF9),
    N("CCAP0H",    0xFA),
    N("CCAP1H",    0xFB),
    N("CCAP2H",    0xFC),
    N("CCAP3H",    0xFD),
    N("CCAP4H",    0xFE),
    N("SEPSTAT",   0xF7),
    N("CL",        0xE9),
    N("C1CON",     0xE8),
    N("CCAP0L",    0xEA),
    N("CCAP1L",    0xEB),
    N("CCAP2L",    0xEC),
    N("CCAP3L",    0xED),
    N("CCAP4L",    0xEE),
    N("AD6",       0xE4),
    N("AD5",       0xD4),
    N("AD4",       0xC4),
    N("AD3",       0xB4),
    N("AD2",       0xA4),
    N("AD1",       0x94),
    N("AD0",       0x84),
    N("SEPDAT",    0xE7),
    N("CCON",      0xD8),
    N("CMOD",      0xD9),
    N("CCAPM0",    0xDA),
    N("CCAPM1",    0xDB),
    N("CCAPM2",    0xDC),
    N("CCAPM3",    0xDD),
    N("CCAPM4",    0xDE),
    N("SEPCON",    0xD7),
    N("T2CON",     0xC8),
    N("T2MOD",     0xC9),
    N("RCAP2L",    0xCA),
    N("RCAP2H",    0xCB),
    N("TL2",       0xCC),
    N("TH2",       0xCD),
    N("EXICON",    0xC6),
    N("ACMP",      0xC7),
    N("SADEN",     0xB9),
    N("C1CAP0H",   0xBA),
    N("C1CAP1H",   0xBB),
    N("C1CAP2H",   0xBC),
    N("C1CAP3H",   0xBD),
    N("C1CAP4H",   0xBE),
    N("CH1",       0xBF),
    N("IPAH",      0xB5),
    N("IPA",       0xB6),
    N("IPH",       0xB7),
    N("SADDR",     0xA9),
    N("C1CAP0L",   0xAA),
    N("C1CAP1L",   0xAB),
    N("C1CAP2L",   0xAC),
    N("C1CAP3L",   0xAD),
    N("C1CAP4L",   0xAE),
    N("CL1",       0xAF),
    N("OSCR",      0xA5),
    N("WDTRST",    0xA6),
    N("IEA",       0xA7),
    N("C1CAPM0",   0x9A),
    N("C1CAPM1",   0x9B),
    N("C1CAPM2",   0x9C),
    N("C1CAPM3",   0x9D),
    N("C1CAPM4",   0x9E),
    N("C1MOD",     0x9F),
    N("ACON",      0x97),
};

// Addressable bits outside the bit-addressable RAM: name, bit address.
// Port 3 alternate functions carry a trailing "#".
constexpr NameRecord kBits[] = {
//    name          bit address
    N("B.0",       0xF0),
    N("B.1",       0xF1),
    N("B.2",       0xF2),
    N("B.3",       0xF3),
    N("B.4",       0xF4),
    N("B.5",       0xF5),
    N("B.6",       0xF6),
    N("B.7",       0xF7),
    N("ACC.0",     0xE0),
    N("ACC.1",     0xE1),
    N("ACC.2",     0xE2),
    N("ACC.3",     0xE3),
    N("ACC.4",     0xE4),
    N("ACC.5",     0xE5),
    N("ACC.6",     0xE6),
    N("ACC.7",     0xE7),
    N("CY",        0xD7),
    N("PSW.CY",    0xD7),
    N("AC",        0xD6),
    N("PSW.AC",    0xD6),
    N("F0",        0xD5),
    N("PSW.F0",    0xD5),
    N("RS1",       0xD4),
    N("PSW.RS1",   0xD4),
    N("RS0",       0xD3),
    N("PSW.RS0",   0xD3),
    N("OV",        0xD2),
    N("PSW.OV",    0xD2),
    N("P",         0xD0),
    N("PSW.P",     0xD0),
    N("PSW.0",     0xD0),
    N("PSW.1",     0xD1),
    N("PSW.2",     0xD2),
    N("PSW.3",     0xD3),
    N("PSW.4",     0xD4),
    N("PSW.5",     0xD5),
    N("PSW.6",     0xD6),
    N("PSW.7",     0xD7),
    N("PPC",       0xBE),
    N("IP.PPC",    0xBE),
    N("PT2",       0xBD),
    N("IP.PT2",    0xBD),
    N("PS",        0xBC),
    N("IP.PS",     0xBC),
    N("PT1",       0xBB),
    N("IP.PT1",    0xBB),
    N("PX1",       0xBA),
    N("IP.PX1",    0xBA),
    N("PT0",       0xB9),
    N("IP.PT0",    0xB9),
    N("PX0",       0xB8),
    N("IP.PX0",    0xB8),
    N("IP.0",      0xB8),
    N("IP.1",      0xB9),
    N("IP.2",      0xBA),
    N("IP.3",      0xBB),
    N("IP.4",      0xBC),
    N("RXD#",      0xB0),
    N("P3.RXD#",   0xB0),
    N("P3.0",      0xB0),
    N("P3.1",      0xB1),
    N("TXD#",      0xB1),
    N("P3.TXD#",   0xB1),
    N("P3.2",      0xB2),
    N("INT0#",     0xB2),
    N("P3.INT0#",  0xB2),
    N("P3.3",      0xB3),
    N("INT1#",     0xB3),
    N("P3.INT1#",  0xB3),
    N("P3.4",      0xB4),
    N("T0#",       0xB4),
    N("P3.T0#",    0xB4),
    N("P3.5",      0xB5),
    N("T1#",       0xB5),
    N("P3.T1#",    0xB5),
    N("P3.6",      0xB6),
    N("WR#",       0xB6),
    N("P3.WR#",    0xB6),
    N("P3.7",      0xB7),
    N("RD#",       0xB7),
    N("P3.RD#",    0xB7),
    N("IE.0",      0xA8),
    N("IE.1",      0xA9),
    N("IE.2",      0xAA),
    N("IE.3",      0xAB),
    N("IE.4",      0xAC),
    N("IE.7",      0xAF),
    N("EA",        0xAF),
    N("IE.EA",     0xAF),
    N("EC",        0xAE),
    N("IE.EC",     0xAE),
    N("ET2",       0xAD),
    N("IE.ET2",    0xAD),
    N("ES",        0xAC),
    N("IE.ES",     0xAC),
    N("ET1",       0xAB),
    N("IE.ET1",    0xAB),
    N("EX1",       0xAA),
    N("IE.EX1",    0xAA),
    N("ET0",       0xA9),
    N("IE.ET0",    0xA9),
    N("EX0",       0xA8),
    N("IE.EX0",    0xA8),
    N("P2.0",      0xA0),
    N("P2.1",      0xA1),
    N("P2.2",      0xA2),
    N("P2.3",      0xA3),
    N("P2.4",      0xA4),
    N("P2.5",      0xA5),
    N("P2.6",      0xA6),
    N("P2.7",      0xA7),
    N("SM0",       0x9F),
    N("SCON.SM0",  0x9F),
    N("SM1",       0x9E),
    N("SCON.SM1",  0x9E),
    N("SM2",       0x9D),
    N("SCON.SM2",  0x9D),
    N("REN",       0x9C),
    N("SCON.REN",  0x9C),
    N("TB8",       0x9B),
    N("SCON.TB8",  0x9B),
    N("RB8",       0x9A),
    N("SCON.RB8",  0x9A),
    N("TI",        0x99),
    N("SCON.TI",   0x99),
    N("RI",        0x98),
    N("SCON.RI",   0x98),
    N("SCON.0",    0x98),
    N("SCON.1",    0x99),
    N("SCON.2",    0x9A),
    N("SCON.3",    0x9B),
    N("SCON.4",    0x9C),
    N("SCON.5",    0x9D),
    N("SCON.6",    0x9E),
    N("SCON.7",    0x9F),
    N("P1.0",      0x90),
    N("P1.1",      0x91),
    N("P1.2",      0x92),
    N("P1.3",      0x93),
    N("P1.4",      0x94),
    N("P1.5",      0x95),
    N("P1.6",      0x96),
    N("P1.7",      0x97),
    N("TCON.TF1",  0x8F),
    N("TF1",       0x8F),
    N("TCON.TR1",  0x8E),
    N("TR1",       0x8E),
    N("TCON.TF0",  0x8D),
    N("TF0",       0x8D),
    N("TCON.TR0",  0x8C),
    N("TR0",       0x8C),
    N("TCON.IE1",  0x8B),
    N("IE1",       0x8B),
    N("TCON.IT1",  0x8A),
    N("IT1",       0x8A),
    N("TCON.IE0",  0x89),
    N("IE0",       0x89),
    N("TCON.IT0",  0x88),
    N("IT0",       0x88),
    N("TCON.0",    0x88),
    N("TCON.1",    0x89),
    N("TCON.2",    0x8A),
    N("TCON.3",    0x8B),
    N("TCON.4",    0x8C),
    N("TCON.5",    0x8D),
    N("TCON.6",    0x8E),
    N("TCON.7",    0x8F),
    N("P0.0",      0x80),
    N("P0.1",      0x81),
    N("P0.2",      0x82),
    N("P0.3",      0x83),
    N("P0.4",      0x84),
    N("P0.5",      0x85),
    N("P0.6",      0x86),
    N("P0.7",      0x87),
    N("P4.0",      0xC0),
    N("P4.1",      0xC1),
    N("P4.2",      0xC2),
    N("P4.3",      0xC3),
    N("P4.4",      0xC4),
    N("P4.5",      0xC5),
    N("P4.6",      0xC6),
    N("P4.7",      0xC7),
    N("P5.0",      0xF8),
    N("P5.1",      0xF9),
    N("P5.2",      0xFA),
    N("P5.3",      0xFB),
    N("P5.4",      0xFC),
    N("P5.5",      0xFD),
    N("P5.6",      0xFE),
    N("P5.7",      0xFF),
    N("C1CON.0",   0xE8),
    N("C1CON.1",   0xE9),
    N("C1CON.2",   0xEA),
    N("C1CON.3",   0xEB),
    N("C1CON.4",   0xEC),
    N("C1CON.5",   0xED),
    N("C1CON.6",   0xEE),
    N("C1CON.7",   0xEF),
    N("CCON.0",    0xD8),
    N("CCF0",      0xD8),
    N("CCON.1",    0xD9),
    N("CCF1",      0xD9),
    N("CCON.2",    0xDA),
    N("CCF2",      0xDA),
    N("CCON.3",    0xDB),
    N("CCF3",      0xDB),
    N("CCON.4",    0xDC),
    N("CCF4",      0xDC),
    N("CCON.5",    0xDD),
    N("CCON.6",    0xDE),
    N("CCON.CR",   0xDE),
    N("CR",        0xDE),
    N("CCON.7",    0xDF),
    N("CCON.CF",   0xDF),
    N("CF",        0xDF),
    N("T2CON.0",   0xC8),
    N("T2CON.1",   0xC9),
    N("T2CON.2",   0xCA),
    N("T2CON.3",   0xCB),
    N("T2CON.4",   0xCC),
    N("T2CON.5",   0xCD),
    N("T2CON.6",   0xCE),
    N("T2CON.7",   0xCF),
};


// clang-format on

static_assert(std::size(kSfr) == kSfrCount);
static_assert(std::size(kBits) == kBitCount);

consteval bool SameName(const NameRecord& a, const NameRecord& b) {
    return std::string_view(a.name, a.len) == std::string_view(b.name, b.len);
}

consteval bool SfrNamesAndAddressesUnique() {
    for (std::size_t i = 0; i < std::size(kSfr); ++i)
        for (std::size_t j = i + 1; j < std::size(kSfr); ++j)
            if (SameName(kSfr[i], kSfr[j]) || kSfr[i].addr == kSfr[j].addr) return false;
    return true;
}
static_assert(SfrNamesAndAddressesUnique());

consteval bool BitNamesUnique() {
    for (std::size_t i = 0; i < std::size(kBits); ++i)
        for (std::size_t j = i + 1; j < std::size(kBits); ++j)
            if (SameName(kBits[i], kBits[j])) return false;
    return true;
}
static_assert(BitNamesUnique());

// SFRs and the bits in them live at direct addresses 80H..FFH.
consteval bool AllAtOrAbove80() {
    for (const NameRecord& r : kSfr)
        if (r.addr < 0x80) return false;
    for (const NameRecord& r : kBits)
        if (r.addr < 0x80) return false;
    return true;
}
static_assert(AllAtOrAbove80());

consteval bool OneByteAscending() {
    for (std::size_t i = 1; i < std::size(kOneByteRecords); ++i)
        if (kOneByteRecords[i].opcode < kOneByteRecords[i - 1].opcode) return false;
    return true;
}
static_assert(OneByteAscending());

// A record whose first byte is zero would end a scan of its table early.
consteval bool NoEmptyRecord() {
    for (const OneByteRecord& r : kOneByteRecords)
        if (r.text[0] == 0) return false;
    for (const MultiByteRecord& r : kMultiByteRecords)
        if (r.pattern[0] == 0) return false;
    return true;
}
static_assert(NoEmptyRecord());

using detail::ByteIndex;
using detail::FirstByKey;

constexpr ByteIndex kOneByteByOpcode = FirstByKey(kOneByteRecords, [](const OneByteRecord& r) { return r.opcode; });
constexpr ByteIndex kMultiByteByOpcode = FirstByKey(kMultiByteRecords, [](const MultiByteRecord& r) { return r.opcode; });
constexpr ByteIndex kSfrByAddress = FirstByKey(kSfr, [](const NameRecord& r) { return r.addr; });
constexpr ByteIndex kBitByAddress = FirstByKey(kBits, [](const NameRecord& r) { return r.addr; });

std::optional<std::uint8_t> FindName(std::span<const NameRecord> table, std::string_view name) {
    for (const NameRecord& r : table)
        if (r.Name() == name) return r.addr;
    return std::nullopt;
}

// Cyrillic capitals and small letters of code page 1251 that look like
// Latin ones. Н looks like H, not N.
consteval std::array<std::uint8_t, 256> MakeCyrToLat() {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(i);
    constexpr std::uint8_t kPairs[][2] = {
        {0xC0, 'A'}, {0xC2, 'B'}, {0xC5, 'E'}, {0xCA, 'K'}, {0xCC, 'M'}, {0xCD, 'H'},
        {0xCE, 'O'}, {0xD0, 'P'}, {0xD1, 'C'}, {0xD2, 'T'}, {0xD5, 'X'}, {0xE0, 'a'},
        {0xE5, 'e'}, {0xEE, 'o'}, {0xF0, 'p'}, {0xF1, 'c'}, {0xF5, 'x'},
    };
    static_assert(std::size(kPairs) == 17);
    for (const auto& p : kPairs) t[p[0]] = p[1];
    return t;
}

}  // namespace

constinit const std::span<const NameRecord, kSfrCount> SfrTable{kSfr};
constinit const std::span<const NameRecord, kBitCount> BitTable{kBits};
constinit const std::span<const OneByteRecord, kOneByteCount> OneByteCmds{kOneByteRecords};
constinit const std::span<const MultiByteRecord, kMultiByteCount> MultiByteCmds{kMultiByteRecords};

constinit const std::array<std::uint8_t, 256> CyrToLat = MakeCyrToLat();

std::optional<std::uint8_t> FindSfr(std::string_view name) { return FindName(SfrTable, name); }
std::optional<std::uint8_t> FindBit(std::string_view name) { return FindName(BitTable, name); }

const OneByteRecord* OneByteByOpcode(std::uint8_t opcode) {
    int i = kOneByteByOpcode[opcode];
    return i < 0 ? nullptr : &kOneByteRecords[i];
}

const MultiByteRecord* MultiByteByOpcode(std::uint8_t opcode) {
    int i = kMultiByteByOpcode[opcode];
    return i < 0 ? nullptr : &kMultiByteRecords[i];
}

std::string_view OperandWord(std::uint8_t code) {
    switch (code) {
        case kAddr11: return "addr11";
        case kRel8: return "rel8";
        case kData8: return "data8";
        case kAddr16: return "addr16";
        default: return code >= kBit && code <= 8 ? "bit" : "";
    }
}

std::string BitDecode(std::uint8_t bitAddress) {
    // Bits 00H..7FH are the bits of RAM bytes 20H..2FH, eight to a byte.
    if (bitAddress <= 0x7F) {
        std::string s = ByteToHex2(static_cast<std::uint8_t>(0x20 + (bitAddress >> 3)));
        s += "H.";
        s += static_cast<char>('0' + (bitAddress & 7));
        return s;
    }
    if (int i = kBitByAddress[bitAddress]; i >= 0) return std::string(kBits[i].Name());
    return DecodData8(bitAddress);
}

std::string DecodData8(std::uint8_t address) {
    int i = kSfrByAddress[address];
    return i < 0 ? std::string() : std::string(kSfr[i].Name());
}

}  // namespace z51
