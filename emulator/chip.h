#pragma once
// The peripherals of the chip models: port latches and pins, timers 0 and
// 1 (and timer 2 on the 8052), the interrupt system and the serial port.
//
// The timers and the serial port run lazily. Between instructions only
// the cycle count grows; an instruction boundary looks at the peripherals
// only once the count reaches ChipState::nextEvent (the next overflow
// whose flag is clear, the end of a serial frame, a pending interrupt),
// and a read of a timer register brings the timers up to the count first.
// So the SFR bytes of the timers are exact whenever the program, Run or
// Step shows them, and a run costs little more than in the simple model.

#include <cstdint>

#include "emulator/cpu51.h"

namespace z51 {

// Hardware reset (the RST pin): the SFRs take the datasheet's reset values
// (SP 07H, P0..P3 FFH, all others 00H), PC 0000H, the cycle count 0, the
// timers, interrupts and serial port idle. Internal and external RAM keep
// their bytes, and the levels driven onto the pins from outside stay.
void ResetChip(Cpu51& c);

// Makes `model` the one that runs. A chip model starts from a reset; the
// simple model takes over the bytes as they are, with R0..R7 copied from
// the register bank that was selected.
void SelectModel(Cpu51& c, Model model);

// Brings the timers and the serial port up to the cycle count. Run and
// Step end with it; call it before reading timer SFR bytes in between.
void SyncPeripherals(Cpu51& c);

// After the window or a test changed the state from outside (register
// bytes, SFRs, PC): P follows A again, and the pins, the external
// interrupt flags and the peripherals' schedule follow the new bytes; a
// port bit written from 1 to 0 is a falling edge on its pin, as when the
// program writes it. Does nothing in the simple model.
void StateEdited(Cpu51& c);
// The same after a whole new state (a register dump load): the pins take
// their new levels without edges.
void StateReplaced(Cpu51& c);

// Levels driven onto a port's pins from outside (a pin button, a
// stimulus): 1 leaves the pin to its latch, 0 pulls it low. A falling
// edge counts on T0/T1/T2 and triggers INT0/INT1/T2EX like on the chip.
void SetPinsIn(Cpu51& c, unsigned port, std::uint8_t levels);

// What a port's pins show: the latch AND the external levels in the chip
// models, the port byte in the simple model.
std::uint8_t PortPins(const Cpu51& c, unsigned port);

// The serial line has a byte waiting: reception may start.
void LineWaiting(Cpu51& c);

namespace chip {

inline constexpr std::uint16_t kNoVector = 0xFFFF;

inline std::uint8_t Parity(std::uint8_t a) { return static_cast<std::uint8_t>(__builtin_parity(a)); }

// How an SFR address behaves in a model.
enum SfrRole : std::uint8_t {
    kPlain,        // a byte (ACC, B, PSW, SP, DPL, DPH, unused addresses)
    kPortQuiet,    // a port without inputs the peripherals watch: reads the pins
    kPortWatched,  // a port with INT/T/T2EX pins: reads the pins, a write may trigger
    kCount,        // a timer count register: read after bringing the timers up
    kFlags,        // TCON, SCON, SBUF, T2CON: read after any event due
    kControl,      // TMOD, PCON, IE, IP, RCAP2: a write changes the schedule
};
extern const SfrRole kRoles8051[128];
extern const SfrRole kRoles8052[128];
inline SfrRole Role(const Cpu51& c, std::uint8_t a) {
    return (c.model == Model::I8052 ? kRoles8052 : kRoles8051)[a & 0x7F];
}

// True when reading or writing SFR `a` can change more than that byte
// (the peripheral state or other SFR bytes).
inline bool HasSideEffects(const Cpu51& c, std::uint8_t a) {
    const SfrRole r = Role(c, a);
    return a >= 0x80 && r != kPlain && r != kPortQuiet;
}
// True when the next instruction boundary will look at the peripherals.
inline bool EventDue(const Cpu51& c) { return c.cycles >= c.chip.nextEvent; }

void Sync(Cpu51& c);
void WriteSfrSlow(Cpu51& c, std::uint8_t a, std::uint8_t v);

// The SFR accesses of the instruction handlers (a >= 80H), at the cycle
// count of the end of the instruction.
inline std::uint8_t ReadSfr(Cpu51& c, std::uint8_t a) {
    switch (Role(c, a)) {
    case kPortQuiet:
    case kPortWatched: return static_cast<std::uint8_t>(c.dump[a] & c.chip.pinsIn[(a >> 4) & 3]);
    case kCount: Sync(c); break;
    case kFlags:
        if (EventDue(c)) Sync(c);
        break;
    default: break;
    }
    return c.dump[a];
}
// Read-modify-write instructions read a port's latch, not its pins.
inline std::uint8_t ReadSfrLatch(Cpu51& c, std::uint8_t a) {
    const SfrRole r = Role(c, a);
    if (r == kCount || (r == kFlags && EventDue(c))) Sync(c);
    return c.dump[a];
}
inline void WriteSfr(Cpu51& c, std::uint8_t a, std::uint8_t v) {
    const SfrRole r = Role(c, a);
    if (r == kPlain || r == kPortQuiet) c.dump[a] = v;
    else WriteSfrSlow(c, a, v);
}

// At an instruction boundary with EventDue: runs the peripherals up to the
// cycle count and polls the interrupts. Returns the vector of an interrupt
// to call (its flags cleared as the chip clears them, its priority level
// marked active, the call's two cycles counted; the caller pushes PC), or
// kNoVector.
std::uint16_t AtBoundary(Cpu51& c);

// RETI: the active priority level ends, and one more instruction runs
// before any interrupt is called.
void Reti(Cpu51& c);

// Whether a jump to itself (opcode op, bit address b1 for JB/JNB) can
// never be left: no interrupt can come, no serial frame is under way, and
// no hardware changes the bit or flag it tests.
bool Settled(const Cpu51& c, std::uint8_t op, std::uint8_t b1);

}  // namespace chip
}  // namespace z51
