#pragma once
// Breakpoints of the debugger: at an instruction address (optionally only
// while a condition holds), on a condition over the machine state, and on
// a read or write of internal RAM, an SFR or external RAM. Each counts its
// hits and stops a run at its Nth hit and at every hit after it; each can
// be switched off without losing it.
//
// A run consults the list after every instruction (AfterInstruction) and,
// where the core reports memory accesses, on every access (OnAccess).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/condition.h"

namespace z51 {

enum class BreakKind : std::uint8_t {
    Address,    // the instruction at `address` is next (and `condition` holds)
    Condition,  // `condition` became true after an instruction
    Read,       // an instruction read a byte of first..last in `space`
    Write,      // an instruction wrote a byte of first..last in `space`
};

enum class MemSpace : std::uint8_t {
    Internal,  // internal RAM and the SFRs, 00H..FFH, by direct or indirect address
    External,  // external RAM, 0000H..FFFFH (written X: on the console)
};

struct Breakpoint {
    BreakKind kind = BreakKind::Address;
    bool enabled = true;
    std::uint16_t address = 0;              // Address
    MemSpace space = MemSpace::Internal;    // Read, Write
    std::uint16_t first = 0, last = 0;      // Read, Write: the range, both ends included
    Condition condition;                    // Condition; for Address an extra test (empty: none)
    std::uint32_t hitTarget = 1;            // stop at this hit and every later one
    std::uint32_t hits = 0;
    bool held = false;                      // Condition: it held after the last instruction

    // Counts one hit; true when the run stops at it.
    bool Hit() {
        if (hits != UINT32_MAX) ++hits;
        return hits >= hitTarget;
    }
    // Where it stops, as the console writes it: "0123H", "0100H IF R7 = 0",
    // "A == 5AH", "X:0140H-014FH".
    std::string Where() const;
    // Where(), with ",N" for a hit target above 1.
    std::string Text() const;
};

// Reads a breakpoint written as the console takes it:
//   Address:      ADDR [IF EXPR] [,N]
//   Condition:    EXPR [,N]
//   Read, Write:  [X:]ADDR[-ADDR] [,N]
// ADDR is a number in the assembler's notations, a symbol or an expression
// of them; for Read and Write also an SFR name (P1, SBUF). N is the hit at
// which the run stops (decimal, 1 when not given). On a fault returns
// nothing and fills `error` (its column counts in `text`).
std::optional<Breakpoint> ParseBreakpoint(BreakKind kind, std::string_view text, Condition::Error& error,
                                          const SymbolLookup* symbols = nullptr);

class Breakpoints {
public:
    Breakpoints();

    const std::vector<Breakpoint>& Items() const { return items_; }
    std::size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }

    std::size_t Add(Breakpoint bp);
    // Keeps the hits counted so far when the new one counts the same thing.
    void Replace(std::size_t i, Breakpoint bp);
    void Remove(std::size_t i);
    void SetEnabled(std::size_t i, bool enabled);
    void ResetHits();
    // The address breakpoint at `address`, if there is one.
    std::optional<std::size_t> FindAddress(std::uint16_t address) const;
    // Removes the address breakpoint at `address`, or adds one.
    void ToggleAddress(std::uint16_t address);

    bool HasAccessBreakpoints() const { return !access_.empty(); }

    // Before a run: conditions count a hit when they become true, so each
    // notes whether it holds now.
    template <MachineView V>
    void StartRun(const V& v) {
        for (std::size_t i : conditions_) items_[i].held = items_[i].condition.Holds(v);
    }

    // After each instruction of a run: counts the hits of the address
    // breakpoints at the next instruction and of the conditions that have
    // just become true. Returns the breakpoint that stops the run (the first
    // in the list when several do), or -1.
    template <MachineView V>
    int AfterInstruction(const V& v) {
        int stop = -1;
        const std::uint16_t pc = v.Pc();
        if ((armed_[pc >> 6] >> (pc & 63)) & 1) {
            for (std::size_t i : addresses_) {
                Breakpoint& b = items_[i];
                if (b.address == pc && b.condition.Holds(v) && b.Hit()) Note(stop, i);
            }
        }
        for (std::size_t i : conditions_) {
            Breakpoint& b = items_[i];
            const bool now = b.condition.Holds(v);
            if (now && !b.held && b.Hit()) Note(stop, i);
            b.held = now;
        }
        return stop;
    }

    // A read or write of one byte by the instruction being executed: counts
    // the hits of the access breakpoints on it. Returns the breakpoint that
    // stops the run after this instruction, or -1.
    int OnAccess(MemSpace space, std::uint16_t address, bool write);

private:
    void Rebuild();
    // Keeps the first breakpoint of the list that stops the run.
    static void Note(int& stop, std::size_t i) {
        if (stop < 0 || static_cast<int>(i) < stop) stop = static_cast<int>(i);
    }

    std::vector<Breakpoint> items_;
    // Enabled breakpoints by kind, and a bit per code address that has an
    // enabled address breakpoint, so that a run without any costs one test.
    std::vector<std::size_t> addresses_, conditions_, access_;
    std::vector<std::uint64_t> armed_;
};

}  // namespace z51
