#pragma once
// The buses: how the instruction handlers reach the processor state.
//
// Every handler (ops_*.h) is a template on a bus type M and touches the
// state only through it, so one set of handlers serves every model, and a
// debugger can put its own bus around one of these to watch or record
// accesses. A bus offers:
//
//   Acc() SetAcc(v)  Psw() SetPsw(v)  B() SetB(v)  Sp() SetSp(v)
//   Dptr() SetDptr(w)
//   Reg(n) SetReg(n, v)        R0..R7 (n = 0..7)
//   Direct(a) SetDirect(a, v)  direct address 00H..FFH, SFRs at 80H..FFH;
//                              Direct reads a port's pins
//   DirectRmw(a)               the read of a read-modify-write instruction
//                              (ANL/ORL/XRL direct, INC/DEC/DJNZ direct,
//                              CPL/CLR/SETB/MOV bit, JBC): a port's latch
//   Bit(b)                     read of bit address b (reads pins)
//   Ind(a) SetInd(a, v)        indirect address (@Ri and the stack)
//   XramAddrRi(i)  Xram(w) SetXram(w, v)   external RAM
//   Code(w)                    code memory (fetch and MOVC)
//   Reti()                     what RETI does beyond RET
//   Settled(op, b1)            whether a jump to itself can never be left
// and, around each instruction (StepAt in dispatch.h):
//   Begin(pc, op)              before the handler: the cycle count
//   End(outer, next) -> pc     after it: parity, peripherals, interrupts;
//                              an interrupt's call pushes through
//                              outer.SetInd/outer.SetSp
//
// SimpleBus compiles to the plain array accesses of the simple model.
// ChipBus goes to chip.h for the SFRs with side effects (ports, timers,
// serial port, interrupt control); all other accesses are array accesses.
//
// For a debugger that records every change of an instruction so that it
// can step back: everything an instruction changes goes through the Set*
// calls of the bus, except, in the chip models, (1) the cycle count
// Cpu51::cycles, (2) the peripheral state Cpu51::chip, and (3) SFR bytes
// the peripherals change themselves (timer registers, the flags in TCON,
// SCON and T2CON, SBUF). (2) and (3) change only when chip::EventDue(c)
// holds before End, or inside a call that reaches an SFR for which
// chip::HasSideEffects(c, a) holds; a recorder saves Cpu51::chip and the
// SFR bytes 80H..FFH before those.

#include <cstdint>

#include "core/code_image.h"
#include "emulator/chip.h"
#include "isa/opcode_map.h"

// The handlers and helpers go inline into the dispatch switch whatever the
// compiler's size estimate: a call would put the bus in memory.
#define Z51_HOT [[gnu::always_inline]] inline

namespace z51 {

// The chip's bit address mapping: bit addresses 00H..7FH are the 128 bits
// of internal RAM 20H..2FH; 80H..FFH are bits of the SFR whose address is
// the bit address with its low three bits cleared (P0 80H, TCON 88H, ...).
inline std::uint8_t BitByteAddress(std::uint8_t bitAddress) {
    return bitAddress < 0x80 ? static_cast<std::uint8_t>(0x20 + (bitAddress >> 3))
                             : static_cast<std::uint8_t>(bitAddress & 0xF8);
}

// What both kinds of bus share: registers that are plain bytes everywhere.
struct BusBase {
    Cpu51& c;
    const CodeMemory& code;

    std::uint8_t Acc() const { return c.dump[sfr::ACC]; }
    void SetAcc(std::uint8_t v) { c.dump[sfr::ACC] = v; }
    std::uint8_t Psw() const { return c.dump[sfr::PSW]; }
    void SetPsw(std::uint8_t v) { c.dump[sfr::PSW] = v; }
    std::uint8_t B() const { return c.dump[sfr::B]; }
    void SetB(std::uint8_t v) { c.dump[sfr::B] = v; }
    std::uint8_t Sp() const { return c.dump[sfr::SP]; }
    void SetSp(std::uint8_t v) { c.dump[sfr::SP] = v; }
    std::uint16_t Dptr() const { return c.Dptr(); }
    void SetDptr(std::uint16_t v) { c.SetDptr(v); }
    std::uint8_t Xram(std::uint16_t a) const { return c.xram[a]; }
    void SetXram(std::uint16_t a, std::uint8_t v) { c.xram[a] = v; }
    std::uint8_t Code(std::uint16_t a) const { return code[a]; }
};

// The simple model: R0..R7 apart, one 256-byte internal RAM for direct and
// indirect addressing, ports as plain bytes, MOVX @Ri in page 0.
struct SimpleBus : BusBase {
    std::uint8_t Reg(unsigned n) const { return c.R[n]; }
    void SetReg(unsigned n, std::uint8_t v) { c.R[n] = v; }
    std::uint8_t Direct(std::uint8_t a) const { return c.dump[a]; }
    std::uint8_t DirectRmw(std::uint8_t a) const { return c.dump[a]; }
    void SetDirect(std::uint8_t a, std::uint8_t v) { c.dump[a] = v; }
    bool Bit(std::uint8_t b) const { return (c.dump[BitByteAddress(b)] >> (b & 7)) & 1; }
    std::uint8_t Ind(std::uint8_t a) const { return c.dump[a]; }
    void SetInd(std::uint8_t a, std::uint8_t v) { c.dump[a] = v; }
    std::uint16_t XramAddrRi(unsigned i) const { return c.R[i]; }
    void Reti() {}
    bool Settled(std::uint8_t, std::uint8_t) const { return true; }
    void Begin(std::uint16_t, std::uint8_t op) { c.cycles += kMachineCycles[op]; }
    template <class Outer> std::uint16_t End(Outer&, std::uint16_t next) { return next; }
};

// The simple model, noting the first thing a program does whose result
// differs on the chip (Cpu51::notice: kind and detail; the run that uses
// it fills in the address); otherwise the same as SimpleBus.
struct SimpleNoticeBus : SimpleBus {
    void Note(SimpleNotice::Kind kind, std::uint8_t detail) {
        if (c.notice.kind == SimpleNotice::None) c.notice = {kind, 0, detail};
    }
    // Direct 00H..1FH: the register banks on the chip.
    std::uint8_t Direct(std::uint8_t a) {
        if (a < 0x20) [[unlikely]] Note(SimpleNotice::RegisterBankByte, a);
        return c.dump[a];
    }
    std::uint8_t DirectRmw(std::uint8_t a) { return Direct(a); }
    void NoteWrite(std::uint8_t a, std::uint8_t v) {
        if (a < 0x20) Note(SimpleNotice::RegisterBankByte, a);
        if (a == sfr::PSW && (v & (psw::RS1 | psw::RS0))) Note(SimpleNotice::BankSelect, (v >> 3) & 3);
        // TR0, TR1; EA; REN: a timer, the interrupts or the receiver started.
        const std::uint8_t start = a == sfr::TCON ? 0x50 : a == sfr::IE ? 0x80 : a == sfr::SCON ? 0x10 : 0;
        if (v & start & ~c.dump[a]) Note(SimpleNotice::Peripheral, a);
    }
    void SetDirect(std::uint8_t a, std::uint8_t v) {
        if (a < 0x20 || a == sfr::PSW || a == sfr::TCON || a == sfr::IE || a == sfr::SCON) [[unlikely]]
            NoteWrite(a, v);
        c.dump[a] = v;
    }
    bool Bit(std::uint8_t b) {
        if (b == sfr::PSW) [[unlikely]] Note(SimpleNotice::ParityRead, b);  // bit address D0H is P
        return SimpleBus::Bit(b);
    }
    std::uint16_t XramAddrRi(unsigned i) {
        if (c.dump[sfr::P2] != 0) [[unlikely]] Note(SimpleNotice::MovxPage, c.dump[sfr::P2]);
        return c.R[i];
    }
};

// The chip models: register banks, ports with latch and pins, peripherals.
struct ChipBus : BusBase {
    std::uint8_t Reg(unsigned n) const { return c.dump[(c.dump[sfr::PSW] & 0x18) | n]; }
    void SetReg(unsigned n, std::uint8_t v) { c.dump[(c.dump[sfr::PSW] & 0x18) | n] = v; }
    std::uint8_t Direct(std::uint8_t a) { return a < 0x80 ? c.dump[a] : chip::ReadSfr(c, a); }
    std::uint8_t DirectRmw(std::uint8_t a) { return a < 0x80 ? c.dump[a] : chip::ReadSfrLatch(c, a); }
    void SetDirect(std::uint8_t a, std::uint8_t v) {
        if (a < 0x80) c.dump[a] = v;
        else chip::WriteSfr(c, a, v);
    }
    bool Bit(std::uint8_t b) { return (Direct(BitByteAddress(b)) >> (b & 7)) & 1; }
    // 8051: no RAM above 7FH, so reads give FFH and writes are lost.
    std::uint8_t Ind(std::uint8_t a) const {
        if (a < 0x80) return c.dump[a];
        return c.model == Model::I8052 ? c.upperRam[a - 0x80] : 0xFF;
    }
    void SetInd(std::uint8_t a, std::uint8_t v) {
        if (a < 0x80) c.dump[a] = v;
        else if (c.model == Model::I8052) c.upperRam[a - 0x80] = v;
    }
    // MOVX @Ri puts P2's latch out as the high address byte.
    std::uint16_t XramAddrRi(unsigned i) const { return static_cast<std::uint16_t>(c.dump[sfr::P2] << 8 | Reg(i)); }
    void Reti() { chip::Reti(c); }
    bool Settled(std::uint8_t op, std::uint8_t b1) const { return chip::Settled(c, op, b1); }
    void Begin(std::uint16_t, std::uint8_t op) { c.cycles += kMachineCycles[op]; }
    template <class Outer> std::uint16_t End(Outer& outer, std::uint16_t next) {
        // P is the parity of A, always.
        const std::uint8_t p = c.dump[sfr::PSW];
        const std::uint8_t withParity = static_cast<std::uint8_t>((p & ~psw::P) | chip::Parity(c.dump[sfr::ACC]));
        if (withParity != p) outer.SetPsw(withParity);
        if (c.cycles < c.chip.nextEvent) return next;
        const std::uint16_t vector = chip::AtBoundary(c);
        if (vector == chip::kNoVector) return next;
        // The interrupt's call: like LCALL, low byte first.
        outer.SetSp(static_cast<std::uint8_t>(outer.Sp() + 1));
        outer.SetInd(outer.Sp(), static_cast<std::uint8_t>(next));
        outer.SetSp(static_cast<std::uint8_t>(outer.Sp() + 1));
        outer.SetInd(outer.Sp(), static_cast<std::uint8_t>(next >> 8));
        return vector;
    }
};

}  // namespace z51
