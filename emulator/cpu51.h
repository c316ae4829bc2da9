#pragma once
// Processor state of the emulated 8051. Instruction execution, the flag
// helpers and the emulation files work on this one object, which holds
// everything a run changes (a copy is a complete snapshot).
//
// Two kinds of model share it (Cpu51::model):
//
// The simple model, the default, models deliberately less than the chip:
// internal RAM 00H..FFH holds the special function registers at 80H..FFH
// and is reached by direct and by indirect addressing alike; R0..R7 are
// eight bytes of their own (no register banks: RS0/RS1 are stored and never
// consulted, and direct addresses 00H..07H are plain RAM); P is a stored
// bit that no instruction computes; there are no timers, interrupts or
// serial port.
//
// The chip models (8051, 8052) behave like the chip: R0..R7 are internal
// RAM bytes of the bank PSW.RS1:RS0 selects, P is the parity of A, ports
// have latches and pins, and the timers, interrupts and serial port run
// (chip.h). The 8052 adds timer 2 and 128 bytes of RAM at 80H..FFH that
// only indirect addressing reaches.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/code_image.h"

namespace z51 {

// Internal RAM addresses of the special function registers. The simple
// model uses the first ten; every other address is a plain byte there.
namespace sfr {
inline constexpr std::uint8_t P0 = 0x80;
inline constexpr std::uint8_t SP = 0x81;
inline constexpr std::uint8_t DPL = 0x82;  // the chip's DPTR low byte
inline constexpr std::uint8_t DPH = 0x83;  // the chip's DPTR high byte
inline constexpr std::uint8_t P1 = 0x90;
inline constexpr std::uint8_t P2 = 0xA0;
inline constexpr std::uint8_t P3 = 0xB0;
inline constexpr std::uint8_t PSW = 0xD0;
inline constexpr std::uint8_t ACC = 0xE0;
inline constexpr std::uint8_t B = 0xF0;
// The chip models' peripherals.
inline constexpr std::uint8_t PCON = 0x87;
inline constexpr std::uint8_t TCON = 0x88;
inline constexpr std::uint8_t TMOD = 0x89;
inline constexpr std::uint8_t TL0 = 0x8A;
inline constexpr std::uint8_t TL1 = 0x8B;
inline constexpr std::uint8_t TH0 = 0x8C;
inline constexpr std::uint8_t TH1 = 0x8D;
inline constexpr std::uint8_t SCON = 0x98;
inline constexpr std::uint8_t SBUF = 0x99;
inline constexpr std::uint8_t IE = 0xA8;
inline constexpr std::uint8_t IP = 0xB8;
inline constexpr std::uint8_t T2CON = 0xC8;  // 8052
inline constexpr std::uint8_t RCAP2L = 0xCA;
inline constexpr std::uint8_t RCAP2H = 0xCB;
inline constexpr std::uint8_t TL2 = 0xCC;
inline constexpr std::uint8_t TH2 = 0xCD;
}  // namespace sfr

enum class Model : std::uint8_t { Simple, I8051, I8052 };

// The serial line outside the chip: where transmitted bytes go and where
// received ones come from. Not part of the state; the chip models call it
// when a frame ends (Transmit) and when one may start (Waiting/Receive).
class SerialLine {
public:
    virtual ~SerialLine() = default;
    // A frame left TXD: its eight data bits (the ninth of modes 2 and 3 is not passed).
    virtual void Transmit(std::uint8_t byte) = 0;
    // Whether a byte waits to be sent to RXD.
    virtual bool Waiting() const = 0;
    // Takes the waiting byte (called only when Waiting()).
    virtual std::uint8_t Receive() = 0;
};

// Cycle counts that never come.
inline constexpr std::uint64_t kNever = UINT64_MAX;

// Interrupt request flags, as indexes of ChipState::since.
enum ReqFlag : unsigned { kIE0, kTF0, kIE1, kTF1, kRI, kTI, kTF2, kEXF2, kReqFlags };

// The peripherals of the chip models beyond their SFR bytes. The timers
// and the serial port run lazily: their SFR bytes are exact at `synced`
// (every read of them and every end of Run or Step brings them up to the
// cycle count first), and `nextEvent` is the earliest cycle count at which
// something happens that an instruction boundary must look at.
struct ChipState {
    std::array<std::uint8_t, 4> pinsIn{0xFF, 0xFF, 0xFF, 0xFF};  // levels driven from outside (1 = not pulled low)
    std::array<std::uint8_t, 4> pins{0xFF, 0xFF, 0xFF, 0xFF};    // pin levels as last seen, for edges
    std::uint64_t synced = 0;
    std::uint64_t nextEvent = 0;
    // When each request flag was last set: an instruction ending at cycle
    // count E polls a flag only if since < E (the flags are sampled one
    // machine cycle before the poll).
    std::array<std::uint64_t, kReqFlags> since{};
    std::uint8_t inService = 0;  // bit 0: a low-priority routine runs, bit 1: a high-priority one
    bool holdOff = false;        // this instruction was RETI or wrote IE/IP
    std::uint64_t t1Overflows = 0, t2Overflows = 0;  // since reset: the serial port's clocks
    // The serial port. Times of frames are counted in ticks of the
    // sixteen-times bit clock of its mode (absolute tick numbers).
    bool txBusy = false;
    std::uint8_t txByte = 0;
    std::uint64_t txDoneTick = 0, txDoneAt = kNever;
    bool rxBusy = false;
    std::uint64_t rxDoneTick = 0, rxDoneAt = kNever, rxNextTick = 0;
    std::uint32_t rxLost = 0;  // bytes that arrived while RI was still set

    bool operator==(const ChipState&) const = default;
};

// What a program run in the simple model did whose result differs on the
// chip (the first such thing; kind None when there was none).
struct SimpleNotice {
    enum Kind : std::uint8_t { None, RegisterBankByte, BankSelect, ParityRead, Peripheral, MovxPage };
    Kind kind = None;
    std::uint16_t pc = 0;     // address of the instruction
    std::uint8_t detail = 0;  // the direct address, the bank, the SFR, or P2

    bool operator==(const SimpleNotice&) const = default;
};

// PSW bit masks.
namespace psw {
inline constexpr std::uint8_t CY = 0x80;
inline constexpr std::uint8_t AC = 0x40;
inline constexpr std::uint8_t F0 = 0x20;
inline constexpr std::uint8_t RS1 = 0x10;
inline constexpr std::uint8_t RS0 = 0x08;
inline constexpr std::uint8_t OV = 0x04;
inline constexpr std::uint8_t P = 0x01;
}  // namespace psw

// Size of the register dump record and file: internal RAM, R0..R7, PC.
inline constexpr std::size_t kDumpSize = 266;
// Offset of the staging bytes (R0..R7, PC low, PC high) in the record.
inline constexpr std::size_t kDumpStaging = 256;

struct Cpu51 {
    // Internal RAM 00H..FFH with the special function registers at 80H..FFH,
    // followed by the 10 staging bytes of the register dump (R0..R7, PC low,
    // PC high): the 266 bytes are laid out like the dump file. The staging
    // bytes are written by a dump save and read by a dump load only; they
    // are not the working registers.
    std::array<std::uint8_t, kDumpSize> dump{};
    std::array<std::uint8_t, 8> R{};  // working registers, apart from RAM
    std::uint16_t PC = 0;
    std::array<std::uint8_t, 0x10000> xram{};  // external RAM
    // Current instruction: copies of code[PC], code[PC+1], code[PC+2]
    // (addresses wrap at FFFFH) made by FetchCurrent; Shag1 executes this
    // copy. curLen is its length, 1..3 (A5H counts as 1).
    std::array<std::uint8_t, 3> cur{};
    std::uint16_t curLen = 1;
    std::uint8_t xtalPhase = 0;  // crystal animation phase, wraps at 256
    // Byte counts of the last program load and of the last external RAM
    // (or register dump) load; up to 65,536, hence 32 bits.
    std::uint32_t codeLoadCount = 0;
    std::uint32_t extRamCount = 0;

    Model model = Model::Simple;
    std::uint64_t cycles = 0;  // machine cycles executed (chip models: since reset)
    // 8052: the RAM at 80H..FFH that indirect addressing reaches (the SFRs
    // share those addresses and take direct addressing).
    std::array<std::uint8_t, 128> upperRam{};
    ChipState chip;
    SimpleNotice notice;
    SerialLine* line = nullptr;  // not state: the connection of the serial port

    bool IsChip() const { return model != Model::Simple; }
    // The working register bytes: R0..R7 of the simple model, or of the
    // selected bank in internal RAM in the chip models.
    std::uint8_t* Regs() { return IsChip() ? dump.data() + (dump[sfr::PSW] & 0x18) : R.data(); }
    const std::uint8_t* Regs() const { return IsChip() ? dump.data() + (dump[sfr::PSW] & 0x18) : R.data(); }

    std::uint8_t* iram() { return dump.data(); }
    const std::uint8_t* iram() const { return dump.data(); }

    std::uint8_t& A() { return dump[sfr::ACC]; }
    std::uint8_t A() const { return dump[sfr::ACC]; }
    std::uint8_t& B() { return dump[sfr::B]; }
    std::uint8_t B() const { return dump[sfr::B]; }
    std::uint8_t& SP() { return dump[sfr::SP]; }
    std::uint8_t SP() const { return dump[sfr::SP]; }
    std::uint8_t& PSW() { return dump[sfr::PSW]; }
    std::uint8_t PSW() const { return dump[sfr::PSW]; }
    bool CY() const { return (dump[sfr::PSW] & psw::CY) != 0; }

    // DPTR is DPH (83H) : DPL (82H) in every model.
    std::uint16_t Dptr() const { return static_cast<std::uint16_t>(dump[sfr::DPH] << 8 | dump[sfr::DPL]); }
    void SetDptr(std::uint16_t v) {
        dump[sfr::DPL] = static_cast<std::uint8_t>(v);
        dump[sfr::DPH] = static_cast<std::uint8_t>(v >> 8);
    }
};

}  // namespace z51
