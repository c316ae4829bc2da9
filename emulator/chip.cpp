// The peripherals of the chip models, after the chip's datasheet:
// timers/counters 0 and 1 in modes 0-3, timer 2 of the 8052 (capture,
// auto-reload, baud rate), the five (8052: six) interrupt sources with two
// priority levels, and the serial port in modes 0-3.

#include "emulator/chip.h"

#include <algorithm>

namespace z51 {

using namespace sfr;

namespace chip {
namespace {

// Bits of TCON, SCON, T2CON, IE and PCON.
constexpr std::uint8_t kTR1 = 0x40, kTR0 = 0x10, kIT1 = 0x04, kIT0 = 0x01;
constexpr std::uint8_t kREN = 0x10, kRB8 = 0x04, kRIBit = 0x01;
constexpr std::uint8_t kRCLK = 0x20, kTCLK = 0x10, kEXEN2 = 0x08, kTR2 = 0x04, kCT2 = 0x02, kCPRL2 = 0x01;
constexpr std::uint8_t kEA = 0x80, kSMOD = 0x80;

// Where each request flag lives.
struct FlagBit {
    std::uint8_t sfr, mask;
};
constexpr FlagBit kFlagBits[kReqFlags] = {{TCON, 0x02}, {TCON, 0x20}, {TCON, 0x08}, {TCON, 0x80},
                                          {SCON, 0x01}, {SCON, 0x02}, {T2CON, 0x80}, {T2CON, 0x40}};

bool Is8052(const Cpu51& c) { return c.model == Model::I8052; }
bool FlagSet(const Cpu51& c, ReqFlag f) { return c.dump[kFlagBits[f].sfr] & kFlagBits[f].mask; }
void SetFlag(Cpu51& c, ReqFlag f, std::uint64_t at) {
    if (FlagSet(c, f)) return;
    c.dump[kFlagBits[f].sfr] |= kFlagBits[f].mask;
    c.chip.since[f] = at;
}
void ClearFlag(Cpu51& c, ReqFlag f) { c.dump[kFlagBits[f].sfr] &= static_cast<std::uint8_t>(~kFlagBits[f].mask); }

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// ---- timers ----------------------------------------------------------------

// The counting units: timer 0 (or TL0 alone in mode 3), TH0 in mode 3,
// timer 1, timer 2.
enum Unit { kT0, kTH0, kT1, kT2, kUnits };

unsigned Mode(const Cpu51& c, int timer) { return (c.dump[TMOD] >> (4 * timer)) & 3; }
bool CounterMode(const Cpu51& c, int timer) { return c.dump[TMOD] & (0x04 << (4 * timer)); }
// TRx, and with GATE set also the INTx pin high.
bool RunControl(const Cpu51& c, int timer) {
    const bool tr = c.dump[TCON] & (timer ? kTR1 : kTR0);
    const bool gate = c.dump[TMOD] & (0x08 << (4 * timer));
    return tr && (!gate || ((c.chip.pins[3] >> (2 + timer)) & 1));
}
bool Timer2Baud(const Cpu51& c) { return c.dump[T2CON] & (kRCLK | kTCLK); }

// A counter: value in [0, top); an overflow loads `reload`.
struct Count {
    std::uint32_t v, top, reload;
};

// Adds n increments; returns the number of overflows.
std::uint64_t Add(Count& k, std::uint64_t n) {
    const std::uint64_t first = k.top - k.v;
    if (n < first) {
        k.v += static_cast<std::uint32_t>(n);
        return 0;
    }
    n -= first;
    const std::uint64_t period = k.top - k.reload;
    k.v = k.reload + static_cast<std::uint32_t>(n % period);
    return 1 + n / period;
}

Count Load(const Cpu51& c, Unit u) {
    const std::uint8_t* r = c.dump.data();
    auto pair = [&](std::uint8_t lo, std::uint8_t hi, unsigned mode) -> Count {
        switch (mode) {
        case 0: return {static_cast<std::uint32_t>(r[hi] << 5 | (r[lo] & 0x1F)), 0x2000, 0};  // 13 bits
        case 1: return {static_cast<std::uint32_t>(r[hi] << 8 | r[lo]), 0x10000, 0};
        case 2: return {r[lo], 0x100, r[hi]};  // TL counts, TH reloads it
        default: return {r[lo], 0x100, 0};     // mode 3: TL0 alone
        }
    };
    switch (u) {
    case kT0: return pair(TL0, TH0, Mode(c, 0));
    case kTH0: return {r[TH0], 0x100, 0};
    case kT1: return pair(TL1, TH1, Mode(c, 1));
    default: {
        const bool reloads = Timer2Baud(c) || !(r[T2CON] & kCPRL2);
        return {static_cast<std::uint32_t>(r[TH2] << 8 | r[TL2]), 0x10000,
                reloads ? static_cast<std::uint32_t>(r[RCAP2H] << 8 | r[RCAP2L]) : 0u};
    }
    }
}

void Store(Cpu51& c, Unit u, const Count& k) {
    std::uint8_t* r = c.dump.data();
    auto pair = [&](std::uint8_t lo, std::uint8_t hi, unsigned mode) {
        if (mode == 0) {
            // The upper three bits of TLx take no part in the 13-bit count.
            r[hi] = static_cast<std::uint8_t>(k.v >> 5);
            r[lo] = static_cast<std::uint8_t>((r[lo] & 0xE0) | (k.v & 0x1F));
        } else if (mode == 1) {
            r[hi] = static_cast<std::uint8_t>(k.v >> 8);
            r[lo] = static_cast<std::uint8_t>(k.v);
        } else {
            r[lo] = static_cast<std::uint8_t>(k.v);
        }
    };
    switch (u) {
    case kT0: pair(TL0, TH0, Mode(c, 0)); break;
    case kTH0: r[TH0] = static_cast<std::uint8_t>(k.v); break;
    case kT1: pair(TL1, TH1, Mode(c, 1)); break;
    default:
        r[TH2] = static_cast<std::uint8_t>(k.v >> 8);
        r[TL2] = static_cast<std::uint8_t>(k.v);
        break;
    }
}

// Increments per machine cycle while the unit counts machine cycles; 0
// while it stands or counts pin edges.
unsigned Rate(const Cpu51& c, Unit u) {
    switch (u) {
    case kT0: return RunControl(c, 0) && !CounterMode(c, 0);
    case kTH0: return Mode(c, 0) == 3 && (c.dump[TCON] & kTR1);  // TH0 in mode 3: a timer, run by TR1
    case kT1: return Mode(c, 1) != 3 && RunControl(c, 1) && !CounterMode(c, 1);
    default:
        // Timer 2 as a baud rate generator counts at half the oscillator
        // frequency: six times per machine cycle.
        if (!Is8052(c) || !(c.dump[T2CON] & kTR2) || (c.dump[T2CON] & kCT2)) return 0;
        return Timer2Baud(c) ? 6 : 1;
    }
}

// The request flag a unit's overflow sets, if any.
bool OverflowFlag(const Cpu51& c, Unit u, ReqFlag& f) {
    switch (u) {
    case kT0: f = kTF0; return true;
    case kTH0: f = kTF1; return true;
    case kT1: f = kTF1; return Mode(c, 0) != 3;  // TF1 belongs to TH0 while timer 0 is in mode 3
    default: f = kTF2; return !Timer2Baud(c);
    }
}

void Overflowed(Cpu51& c, Unit u, std::uint64_t n, std::uint64_t at) {
    if (u == kT1) c.chip.t1Overflows += n;
    if (u == kT2) c.chip.t2Overflows += n;
    ReqFlag f;
    if (OverflowFlag(c, u, f)) SetFlag(c, f, at);
}

// Cycle count at which the unit, counting machine cycles from `synced`,
// has made its n-th overflow from now (n >= 1); kNever if it stands.
std::uint64_t OverflowTime(const Cpu51& c, Unit u, std::uint64_t n) {
    const unsigned rate = Rate(c, u);
    if (rate == 0) return kNever;
    const Count k = Load(c, u);
    const std::uint64_t increments = (k.top - k.v) + (n - 1) * (k.top - k.reload);
    return c.chip.synced + CeilDiv(increments, rate);
}

void AdvanceTimers(Cpu51& c, std::uint64_t cycles) {
    for (int i = 0; i < kUnits; ++i) {
        const Unit u = static_cast<Unit>(i);
        const unsigned rate = Rate(c, u);
        if (rate == 0) continue;
        Count k = Load(c, u);
        const std::uint64_t firstAt = c.chip.synced + CeilDiv(k.top - k.v, rate);
        const std::uint64_t n = Add(k, cycles * rate);
        Store(c, u, k);
        if (n) Overflowed(c, u, n, firstAt);
    }
}

// One falling edge on a counter input.
void CountEdge(Cpu51& c, Unit u, std::uint64_t at) {
    Count k = Load(c, u);
    const std::uint64_t n = Add(k, 1);
    Store(c, u, k);
    if (n) Overflowed(c, u, n, at + 1);
}

// ---- serial port -----------------------------------------------------------

// The clock a serial mode runs on, in ticks of sixteen times the bit rate.
enum Clock { kCycles, kOsc, kTimer1, kTimer2 };

unsigned SerialMode(const Cpu51& c) { return c.dump[SCON] >> 6; }
bool Smod(const Cpu51& c) { return c.dump[PCON] & kSMOD; }

Clock SerialClock(const Cpu51& c, std::uint8_t timer2Bit) {
    switch (SerialMode(c)) {
    case 0: return kCycles;  // one bit per machine cycle
    case 2: return kOsc;     // the oscillator / 64, or / 32 with SMOD
    default: return Is8052(c) && (c.dump[T2CON] & timer2Bit) ? kTimer2 : kTimer1;
    }
}

// The clock's tick count at `synced`. Mode 0 counts machine cycles (one
// per bit); mode 2 has 3 ticks per machine cycle (6 with SMOD); timer 1
// gives a tick per overflow with SMOD, per two without; timer 2 one per
// overflow.
std::uint64_t Ticks(const Cpu51& c, Clock k) {
    switch (k) {
    case kCycles: return c.chip.synced;
    case kOsc: return c.chip.synced * (Smod(c) ? 6 : 3);
    case kTimer1: return Smod(c) ? c.chip.t1Overflows : c.chip.t1Overflows / 2;
    default: return c.chip.t2Overflows;
    }
}

// Cycle count at which tick `t` of the clock comes (>= synced).
std::uint64_t TickTime(const Cpu51& c, Clock k, std::uint64_t t) {
    if (t <= Ticks(c, k)) return c.chip.synced;
    switch (k) {
    case kCycles: return t;
    case kOsc: return CeilDiv(t, Smod(c) ? 6 : 3);
    case kTimer1: {
        const std::uint64_t overflow = Smod(c) ? t : 2 * t;
        return OverflowTime(c, kT1, overflow - c.chip.t1Overflows);
    }
    default: return OverflowTime(c, kT2, t - c.chip.t2Overflows);
    }
}

// A write to SBUF starts a frame. Modes 1-3 begin it at the next rollover
// of the divide-by-16 counter and set TI at the 10th (mode 1) or 11th
// rollover after the write, as the stop bit begins; mode 0 shifts the
// eight bits out one per machine cycle after one cycle's delay.
void StartTx(Cpu51& c, std::uint8_t byte) {
    ChipState& s = c.chip;
    const unsigned mode = SerialMode(c);
    const Clock k = SerialClock(c, kTCLK);
    const std::uint64_t now = Ticks(c, k);
    s.txDoneTick = mode == 0 ? now + 9 : (now / 16 + 1) * 16 + 16 * (mode == 1 ? 9 : 10);
    s.txBusy = true;
    s.txByte = byte;
    s.txDoneAt = TickTime(c, k, s.txDoneTick);
}

void FinishTx(Cpu51& c) {
    ChipState& s = c.chip;
    s.txBusy = false;
    SetFlag(c, kTI, s.txDoneAt);
    s.txDoneAt = kNever;
    if (c.line) c.line->Transmit(s.txByte);
}

// Reception starts when REN is set and the line has a byte: the line sends
// it at the port's own bit rate, frames back to back. Modes 1-3 sample the
// stop bit (mode 1) or the ninth bit (modes 2, 3) in the middle of its bit
// time and then set RI; mode 0 starts only while RI is clear and shifts
// eight bits in.
void TryStartRx(Cpu51& c) {
    ChipState& s = c.chip;
    if (s.rxBusy || !(c.dump[SCON] & kREN) || !c.line || !c.line->Waiting()) return;
    const unsigned mode = SerialMode(c);
    const Clock k = SerialClock(c, kRCLK);
    if (mode == 0) {
        if (c.dump[SCON] & kRIBit) return;
        s.rxDoneTick = Ticks(c, k) + 9;
    } else {
        const std::uint64_t start = std::max(Ticks(c, k) + 1, s.rxNextTick);
        const unsigned bits = mode == 1 ? 10 : 11;
        s.rxDoneTick = start + 16 * (bits - 1) + 8;
        s.rxNextTick = start + 16 * bits;
    }
    s.rxBusy = true;
    s.rxDoneAt = TickTime(c, k, s.rxDoneTick);
}

// The frame is in. The chip loads SBUF and sets RI only while RI is clear
// (and, with SM2, only when the stop bit or the ninth bit is 1: the line
// sends a 1 in both); otherwise the byte is lost.
void FinishRx(Cpu51& c) {
    ChipState& s = c.chip;
    const std::uint64_t at = s.rxDoneAt;
    s.rxBusy = false;
    s.rxDoneAt = kNever;
    const std::uint8_t byte = c.line ? c.line->Receive() : 0xFF;
    if (c.dump[SCON] & kRIBit) {
        ++s.rxLost;
    } else {
        c.dump[SBUF] = byte;
        if (SerialMode(c) != 0) c.dump[SCON] |= kRB8;
        SetFlag(c, kRI, at);
    }
    TryStartRx(c);
}

// Frame times follow the clock's registers; they are computed again after
// every change of them.
void RetimeSerial(Cpu51& c) {
    ChipState& s = c.chip;
    if (s.txBusy) s.txDoneAt = TickTime(c, SerialClock(c, kTCLK), s.txDoneTick);
    if (s.rxBusy) s.rxDoneAt = TickTime(c, SerialClock(c, kRCLK), s.rxDoneTick);
}

// ---- interrupts ------------------------------------------------------------

constexpr unsigned kSourceFlags[6][2] = {{kIE0, kIE0}, {kTF0, kTF0}, {kIE1, kIE1},
                                         {kTF1, kTF1}, {kRI, kTI},   {kTF2, kEXF2}};

unsigned Sources(const Cpu51& c) { return Is8052(c) ? 6 : 5; }

bool Requesting(const Cpu51& c, unsigned src) {
    return FlagSet(c, static_cast<ReqFlag>(kSourceFlags[src][0])) ||
           FlagSet(c, static_cast<ReqFlag>(kSourceFlags[src][1]));
}
// The flag was set before the sample that the poll at the end of an
// instruction ending at cycle count `end` looks at.
bool Polled(const Cpu51& c, unsigned src, std::uint64_t end) {
    for (unsigned f : kSourceFlags[src])
        if (FlagSet(c, static_cast<ReqFlag>(f)) && c.chip.since[f] < end) return true;
    return false;
}
// A source enabled and of a priority level that may interrupt now.
bool Admitted(const Cpu51& c, unsigned src) {
    const std::uint8_t ie = c.dump[IE];
    if (!(ie & kEA) || !((ie >> src) & 1)) return false;
    const bool high = (c.dump[IP] >> src) & 1;
    return high ? !(c.chip.inService & 2) : c.chip.inService == 0;
}

bool InterruptWanted(const Cpu51& c) {
    for (unsigned src = 0; src < Sources(c); ++src)
        if (Admitted(c, src) && Requesting(c, src)) return true;
    return false;
}

// The poll: among the sources polled, a high-priority one before any low
// one, and within a level the polling order IE0, TF0, IE1, TF1, RI+TI,
// TF2+EXF2.
std::uint16_t Poll(Cpu51& c, std::uint64_t end) {
    int pick = -1;
    bool pickHigh = false;
    for (unsigned src = 0; src < Sources(c); ++src) {
        if (!Admitted(c, src) || !Polled(c, src, end)) continue;
        const bool high = (c.dump[IP] >> src) & 1;
        if (pick < 0 || (high && !pickHigh)) {
            pick = static_cast<int>(src);
            pickHigh = high;
        }
    }
    if (pick < 0) return kNoVector;
    // The call clears TF0 and TF1, and IE0/IE1 when edge-triggered; RI, TI,
    // TF2 and EXF2 stay for the routine to clear.
    const std::uint8_t tcon = c.dump[TCON];
    if (pick == 1) ClearFlag(c, kTF0);
    if (pick == 3) ClearFlag(c, kTF1);
    if (pick == 0 && (tcon & kIT0)) ClearFlag(c, kIE0);
    if (pick == 2 && (tcon & kIT1)) ClearFlag(c, kIE1);
    c.chip.inService |= pickHigh ? 2 : 1;
    c.cycles += 2;  // the hardware LCALL
    return static_cast<std::uint16_t>(0x03 + 8 * pick);
}

// ---- pins --------------------------------------------------------------------

// A level-triggered INTx sets IEx while the pin is low and clears it while
// high; the routine cannot clear it while the pin stays low.
void FollowLevels(Cpu51& c, std::uint64_t at) {
    const std::uint8_t tcon = c.dump[TCON], p3 = c.chip.pins[3];
    for (int i = 0; i < 2; ++i) {
        if (tcon & (i ? kIT1 : kIT0)) continue;
        const ReqFlag f = i ? kIE1 : kIE0;
        if ((p3 >> (2 + i)) & 1) ClearFlag(c, f);
        else SetFlag(c, f, at + 1);
    }
}

// The pins after a change of a latch or of the external levels at cycle
// count `at` (the peripherals already brought up to it).
void ApplyPins(Cpu51& c, std::uint64_t at) {
    ChipState& s = c.chip;
    std::uint8_t fell[4];
    for (unsigned p = 0; p < 4; ++p) {
        const std::uint8_t now = static_cast<std::uint8_t>(c.dump[P0 + 0x10 * p] & s.pinsIn[p]);
        fell[p] = static_cast<std::uint8_t>(s.pins[p] & ~now);
        s.pins[p] = now;
    }
    const std::uint8_t tcon = c.dump[TCON];
    // INT0 P3.2, INT1 P3.3: an edge-triggered request on a falling edge.
    if ((fell[3] & 0x04) && (tcon & kIT0)) SetFlag(c, kIE0, at + 1);
    if ((fell[3] & 0x08) && (tcon & kIT1)) SetFlag(c, kIE1, at + 1);
    // T0 P3.4, T1 P3.5: counters count falling edges.
    if ((fell[3] & 0x10) && RunControl(c, 0) && CounterMode(c, 0)) CountEdge(c, kT0, at);
    if ((fell[3] & 0x20) && Mode(c, 1) != 3 && RunControl(c, 1) && CounterMode(c, 1)) CountEdge(c, kT1, at);
    if (Is8052(c)) {
        const std::uint8_t t2con = c.dump[T2CON];
        // T2 P1.0 counts; T2EX P1.1 captures or reloads when EXEN2 is set.
        if ((fell[1] & 0x01) && (t2con & kTR2) && (t2con & kCT2)) CountEdge(c, kT2, at);
        if ((fell[1] & 0x02) && (t2con & kEXEN2)) {
            if (!Timer2Baud(c)) {
                if (t2con & kCPRL2) {
                    c.dump[RCAP2L] = c.dump[TL2];
                    c.dump[RCAP2H] = c.dump[TH2];
                } else {
                    c.dump[TL2] = c.dump[RCAP2L];
                    c.dump[TH2] = c.dump[RCAP2H];
                }
            }
            SetFlag(c, kEXF2, at + 1);
        }
    }
    FollowLevels(c, at);
}

// ---- schedule ------------------------------------------------------------------

// Runs the serial port and the timers from `synced` to `t`. The frame
// times were computed from the timers as they stand at `synced`, so the
// frames go first.
void AdvanceTo(Cpu51& c, std::uint64_t t) {
    ChipState& s = c.chip;
    if (t <= s.synced) return;
    for (;;) {
        const std::uint64_t tx = s.txBusy ? s.txDoneAt : kNever, rx = s.rxBusy ? s.rxDoneAt : kNever;
        if (std::min(tx, rx) > t) break;
        if (tx <= rx) FinishTx(c);
        else FinishRx(c);
    }
    AdvanceTimers(c, t - s.synced);
    s.synced = t;
}

void Reschedule(Cpu51& c) {
    ChipState& s = c.chip;
    RetimeSerial(c);
    TryStartRx(c);
    std::uint64_t next = kNever;
    for (int i = 0; i < kUnits; ++i) {
        const Unit u = static_cast<Unit>(i);
        ReqFlag f;
        if (OverflowFlag(c, u, f) && !FlagSet(c, f)) next = std::min(next, OverflowTime(c, u, 1));
    }
    if (s.txBusy) next = std::min(next, s.txDoneAt);
    if (s.rxBusy) next = std::min(next, s.rxDoneAt);
    if (s.holdOff || InterruptWanted(c)) next = std::min(next, s.synced);
    s.nextEvent = next;
}

void SyncTo(Cpu51& c, std::uint64_t t) {
    const bool due = t >= c.chip.nextEvent;
    AdvanceTo(c, t);
    if (due) Reschedule(c);
}

}  // namespace

// clang-format off
#define P_ kPlain
#define PQ kPortQuiet
#define PW kPortWatched
#define CN kCount
#define FL kFlags
#define CT kControl
const SfrRole kRoles8051[128] = {
//  x0  x1  x2  x3  x4  x5  x6  x7  x8  x9  xA  xB  xC  xD  xE  xF
    PQ, P_, P_, P_, P_, P_, P_, CT, FL, CT, CN, CN, CN, CN, P_, P_,  // 8x  P0 SP DPL DPH PCON TCON TMOD TL0 TL1 TH0 TH1
    PQ, P_, P_, P_, P_, P_, P_, P_, FL, FL, P_, P_, P_, P_, P_, P_,  // 9x  P1 SCON SBUF
    PQ, P_, P_, P_, P_, P_, P_, P_, CT, P_, P_, P_, P_, P_, P_, P_,  // Ax  P2 IE
    PW, P_, P_, P_, P_, P_, P_, P_, CT, P_, P_, P_, P_, P_, P_, P_,  // Bx  P3 IP
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Cx
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Dx  PSW
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Ex  ACC
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Fx  B
};
const SfrRole kRoles8052[128] = {
//  x0  x1  x2  x3  x4  x5  x6  x7  x8  x9  xA  xB  xC  xD  xE  xF
    PQ, P_, P_, P_, P_, P_, P_, CT, FL, CT, CN, CN, CN, CN, P_, P_,  // 8x
    PW, P_, P_, P_, P_, P_, P_, P_, FL, FL, P_, P_, P_, P_, P_, P_,  // 9x  P1: T2, T2EX
    PQ, P_, P_, P_, P_, P_, P_, P_, CT, P_, P_, P_, P_, P_, P_, P_,  // Ax
    PW, P_, P_, P_, P_, P_, P_, P_, CT, P_, P_, P_, P_, P_, P_, P_,  // Bx
    P_, P_, P_, P_, P_, P_, P_, P_, FL, P_, CT, CT, CN, CN, P_, P_,  // Cx  T2CON RCAP2L RCAP2H TL2 TH2
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Dx
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Ex
    P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_, P_,  // Fx
};
#undef P_
#undef PQ
#undef PW
#undef CN
#undef FL
#undef CT
// clang-format on

void Sync(Cpu51& c) { SyncTo(c, c.cycles); }

void WriteSfrSlow(Cpu51& c, std::uint8_t a, std::uint8_t v) {
    ChipState& s = c.chip;
    const std::uint64_t now = c.cycles;
    AdvanceTo(c, now);
    const std::uint8_t old = c.dump[a];
    if (a == SBUF) {
        // SBUF is two registers: a write goes to the transmitter; the byte
        // kept at 99H is the receive buffer that reads return.
        StartTx(c, v);
    } else {
        c.dump[a] = v;
    }
    // A flag that software sets requests its interrupt like one set by the
    // hardware: from the next sample on.
    for (unsigned f = 0; f < kReqFlags; ++f)
        if (kFlagBits[f].sfr == a && (v & kFlagBits[f].mask) && !(old & kFlagBits[f].mask)) s.since[f] = now + 1;
    switch (a) {
    case P1:
    case P3: ApplyPins(c, now); break;
    case TCON: FollowLevels(c, now); break;
    case SCON:
        if (!(v & kREN) && s.rxBusy) {  // reception stops; the byte stays on the line
            s.rxBusy = false;
            s.rxDoneAt = kNever;
        }
        break;
    case IE:
    case IP: s.holdOff = true; break;  // one more instruction before any interrupt
    default: break;
    }
    Reschedule(c);
}

std::uint16_t AtBoundary(Cpu51& c) {
    ChipState& s = c.chip;
    AdvanceTo(c, c.cycles);
    std::uint16_t vector = kNoVector;
    if (s.holdOff) s.holdOff = false;
    else vector = Poll(c, c.cycles);
    Reschedule(c);
    return vector;
}

void Reti(Cpu51& c) {
    ChipState& s = c.chip;
    if (s.inService & 2) s.inService &= 1;
    else s.inService = 0;
    s.holdOff = true;
    s.nextEvent = 0;
}

bool Settled(const Cpu51& c, std::uint8_t op, std::uint8_t b1) {
    const ChipState& s = c.chip;
    if ((op == 0x20 || op == 0x30) && b1 >= 0x80) return false;  // JB/JNB on an SFR bit: hardware may change it
    if (s.txBusy || s.rxBusy) return false;
    for (unsigned src = 0; src < Sources(c); ++src) {
        if (!Admitted(c, src)) continue;
        if (Requesting(c, src)) return false;
        switch (src) {
        case 1: if (Rate(c, kT0)) return false; break;
        case 3: if (Rate(c, Mode(c, 0) == 3 ? kTH0 : kT1)) return false; break;
        case 4: if ((c.dump[SCON] & kREN) && c.line && c.line->Waiting()) return false; break;
        case 5: if (Rate(c, kT2) && !Timer2Baud(c)) return false; break;
        default: break;  // INT0/INT1 change only from outside
        }
    }
    return true;
}

}  // namespace chip

void ResetChip(Cpu51& c) {
    std::uint8_t* r = c.dump.data();
    for (std::uint8_t a : {ACC, B, PSW, DPL, DPH, PCON, TCON, TMOD, TL0, TL1, TH0, TH1, SCON, SBUF, IE, IP, T2CON,
                           RCAP2L, RCAP2H, TL2, TH2})
        r[a] = 0;
    r[SP] = 0x07;
    for (std::uint8_t p : {P0, P1, P2, P3}) r[p] = 0xFF;
    c.PC = 0;
    c.cycles = 0;
    const std::array<std::uint8_t, 4> pinsIn = c.chip.pinsIn;
    c.chip = ChipState{};
    c.chip.pinsIn = pinsIn;
    StateReplaced(c);
}

void SelectModel(Cpu51& c, Model model) {
    if (c.IsChip() && model == Model::Simple) std::copy_n(c.Regs(), 8, c.R.begin());
    c.model = model;
    c.notice = {};
    if (model == Model::Simple) c.cycles = 0;
    else ResetChip(c);
}

void SyncPeripherals(Cpu51& c) {
    if (c.IsChip()) chip::Sync(c);
}

void StateEdited(Cpu51& c) {
    if (!c.IsChip()) return;
    c.dump[PSW] = static_cast<std::uint8_t>((c.dump[PSW] & ~psw::P) | chip::Parity(c.dump[ACC]));
    chip::AdvanceTo(c, c.cycles);
    chip::ApplyPins(c, c.cycles);
    chip::Reschedule(c);
}

void StateReplaced(Cpu51& c) {
    if (!c.IsChip()) return;
    for (unsigned p = 0; p < 4; ++p) c.chip.pins[p] = static_cast<std::uint8_t>(c.dump[P0 + 0x10 * p] & c.chip.pinsIn[p]);
    StateEdited(c);
}

void SetPinsIn(Cpu51& c, unsigned port, std::uint8_t levels) {
    c.chip.pinsIn[port & 3] = levels;
    StateEdited(c);
}

std::uint8_t PortPins(const Cpu51& c, unsigned port) {
    const std::uint8_t latch = c.dump[P0 + 0x10 * (port & 3)];
    return c.IsChip() ? static_cast<std::uint8_t>(latch & c.chip.pinsIn[port & 3]) : latch;
}

void LineWaiting(Cpu51& c) {
    if (!c.IsChip()) return;
    chip::AdvanceTo(c, c.cycles);
    chip::Reschedule(c);
}

}  // namespace z51
