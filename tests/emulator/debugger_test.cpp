// The debugger: breakpoints written as the console takes them, hit counts,
// conditions that become true, step over and step out across nested and
// recursive calls, the stopwatch, and memory-access matching.

#include <gtest/gtest.h>

#include "core/cp1251.h"
#include "emulator/cycles.h"
#include "emulator/debugger.h"
#include "tests/support/emulator.h"

namespace z51 {
namespace {

class DebuggerTest : public test::EmuTest {
protected:
    // Calls sub1 three times; sub1 calls sub2. Then a recursive routine.
    void SetUp() override {
        Put(0x0000, {0x75, 0x81, 0x60});  // 0000 MOV SP,#60H
        Put(0x0003, {0x78, 0x03});        // 0003 MOV R0,#3
        Put(0x0005, {0x12, 0x00, 0x10});  // 0005 loop: LCALL sub1
        Put(0x0008, {0xD8, 0xFB});        // 0008 DJNZ R0,loop
        Put(0x000A, {0x80, 0xFE});        // 000A SJMP $
        Put(0x0010, {0x12, 0x00, 0x20});  // 0010 sub1: LCALL sub2
        Put(0x0013, {0x05, 0x30});        // 0013 INC 30H
        Put(0x0015, {0x22});              // 0015 RET
        Put(0x0020, {0x05, 0x31});        // 0020 sub2: INC 31H
        Put(0x0022, {0x22});              // 0022 RET
        Put(0x0040, {0xD9, 0x01});        // 0040 rec: DJNZ R1,more
        Put(0x0042, {0x22});              // 0042 RET
        Put(0x0043, {0x12, 0x00, 0x40});  // 0043 more: LCALL rec
        Put(0x0046, {0x22});              // 0046 RET
        Put(0x0050, {0x12, 0x00, 0x40});  // 0050 LCALL rec
        Put(0x0053, {0x80, 0xFE});        // 0053 SJMP $
    }
    Debugger dbg{c, code};

    Breakpoint Parse(BreakKind kind, const char* text) {
        Condition::Error e;
        auto bp = ParseBreakpoint(kind, text, e);
        EXPECT_TRUE(bp) << text << ": " << Cp1251ToUtf8(e.message);
        return bp ? *bp : Breakpoint{};
    }
};

TEST_F(DebuggerTest, ConsoleSyntax) {
    const SymbolLookup symbols = [](std::string_view n) -> std::optional<std::int32_t> {
        if (n == "LOOP") return 0x100;
        return std::nullopt;
    };
    const struct {
        BreakKind kind;
        const char* text;
        const char* written;  // Text() of the result; nullptr: refused
        std::size_t column;   // of the fault
    } cases[] = {
        {BreakKind::Address, "0123H", "0123H", 0},
        {BreakKind::Address, " 0a000h , 3", "0A000H,3", 0},
        {BreakKind::Address, "LOOP+2", "0102H", 0},
        {BreakKind::Address, "0100H if R7 = 0,2", "0100H IF R7 = 0,2", 0},
        {BreakKind::Condition, "A == 5AH", "A == 5AH", 0},
        {BreakKind::Write, "30H", "30H", 0},
        {BreakKind::Write, "p1", "90H", 0},
        {BreakKind::Read, "x:0140H-014FH,4", "X:0140H-014FH,4", 0},
        {BreakKind::Read, "X:10H", "X:0010H", 0},
        {BreakKind::Address, "", nullptr, 1},
        {BreakKind::Address, "10000H", nullptr, 1},
        {BreakKind::Address, "A", nullptr, 1},
        {BreakKind::Address, "0100H,0", nullptr, 7},
        {BreakKind::Address, "0100H,x", nullptr, 7},
        {BreakKind::Address, "0100H IF A ==", nullptr, 14},
        {BreakKind::Condition, "A ==,2", nullptr, 5},
        {BreakKind::Write, "100H", nullptr, 1},
        {BreakKind::Write, "30H-20H", nullptr, 5},
        {BreakKind::Read, "X:", nullptr, 3},
    };
    for (const auto& t : cases) {
        Condition::Error e;
        const auto bp = ParseBreakpoint(t.kind, t.text, e, &symbols);
        if (t.written) {
            ASSERT_TRUE(bp) << t.text << ": " << Cp1251ToUtf8(e.message);
            EXPECT_EQ(bp->Text(), t.written);
        } else {
            EXPECT_FALSE(bp) << t.text;
            EXPECT_EQ(e.column, t.column) << t.text << ": " << Cp1251ToUtf8(e.message);
        }
    }
}

TEST_F(DebuggerTest, AddressBreakpointStopsAtItsNthHitAndAfter) {
    dbg.breakpoints.Add(Parse(BreakKind::Address, "0013H,2"));
    DebugResult r = dbg.Run(1000);
    ASSERT_EQ(r.reason, DebugStop::Breakpoint);
    EXPECT_EQ(r.breakpoint, 0);
    EXPECT_EQ(c.PC, 0x0013);
    EXPECT_EQ(ram(0x31), 2);  // sub2 ran twice, INC 30H once
    EXPECT_EQ(ram(0x30), 1);
    r = dbg.Run(1000);  // leaves the breakpoint, stops at the third hit
    EXPECT_EQ(r.reason, DebugStop::Breakpoint);
    EXPECT_EQ(dbg.breakpoints.Items()[0].hits, 3u);
    EXPECT_EQ(ram(0x30), 2);
    dbg.breakpoints.SetEnabled(0, false);
    r = dbg.Run(1000);
    EXPECT_EQ(r.reason, DebugStop::Halt);
    EXPECT_EQ(c.PC, 0x000A);
    EXPECT_EQ(dbg.Instructions(), 2u + 3 * 7 + 1);  // 2 set-up, 3 x (LCALL..DJNZ), SJMP $
}

TEST_F(DebuggerTest, ConditionStopsWhenItBecomesTrue) {
    dbg.breakpoints.Add(Parse(BreakKind::Condition, "RAM[30H] = 2"));
    DebugResult r = dbg.Run(1000);
    ASSERT_EQ(r.reason, DebugStop::Breakpoint);
    EXPECT_EQ(c.PC, 0x0015);  // right after the INC that made it true
    EXPECT_EQ(ram(0x30), 2);
    r = dbg.Run(1000);  // still true, then false: no second stop
    EXPECT_EQ(r.reason, DebugStop::Halt);

    // An address breakpoint with a condition stops there only while it holds.
    dbg.breakpoints.Remove(0);
    dbg.breakpoints.Add(Parse(BreakKind::Address, "0008H IF RAM[30H] = 2"));
    c.PC = 0;
    ram(0x30) = 0;
    r = dbg.Run(1000);
    EXPECT_EQ(r.reason, DebugStop::Breakpoint);
    EXPECT_EQ(ram(0x30), 2);
    EXPECT_EQ(dbg.breakpoints.Items()[0].hits, 1u);
}

TEST_F(DebuggerTest, StepOverAndStepOutAcrossNestedAndRecursiveCalls) {
    dbg.Run(2);  // to the LCALL sub1 at 0005
    ASSERT_EQ(c.PC, 0x0005);
    const RunGoal over = dbg.StepOverGoal();
    EXPECT_EQ(over.kind, RunGoal::StepOver);
    EXPECT_EQ(dbg.Run(1000, over).reason, DebugStop::Goal);
    EXPECT_EQ(c.PC, 0x0008);
    EXPECT_EQ(c.SP(), 0x60);
    EXPECT_EQ(ram(0x31), 1);
    EXPECT_EQ(dbg.StepOverGoal().kind, RunGoal::None);  // DJNZ is no call

    dbg.Run(1);  // DJNZ back to 0005
    dbg.Step();  // into sub1
    dbg.Step();  // into sub2
    ASSERT_EQ(c.PC, 0x0020);
    EXPECT_EQ(dbg.Run(1000, dbg.StepOutGoal()).reason, DebugStop::Goal);
    EXPECT_EQ(c.PC, 0x0013);  // back in sub1, after its call
    EXPECT_EQ(dbg.Run(1000, dbg.StepOutGoal()).reason, DebugStop::Goal);
    EXPECT_EQ(c.PC, 0x0008);

    // Recursion: stepping over the inner LCALL rec at 0043 must not stop
    // when a deeper level returns to 0046 first.
    c.PC = 0x0050;
    c.R[1] = 4;
    dbg.breakpoints.Add(Parse(BreakKind::Address, "0043H"));
    ASSERT_EQ(dbg.Run(1000).reason, DebugStop::Breakpoint);
    dbg.breakpoints.SetEnabled(0, false);  // a breakpoint would stop the step over too
    const std::uint8_t sp = c.SP();
    EXPECT_EQ(dbg.Run(1000, dbg.StepOverGoal()).reason, DebugStop::Goal);
    EXPECT_EQ(c.PC, 0x0046);
    EXPECT_EQ(c.SP(), sp);
    EXPECT_EQ(c.R[1], 0);
    EXPECT_EQ(dbg.Run(1000, Debugger::ReachGoal(0x0053)).reason, DebugStop::Goal);
}

TEST_F(DebuggerTest, StopwatchCountsMachineCycles) {
    dbg.Run(3);  // MOV SP,#60H (2), MOV R0,#3 (1), LCALL (2)
    EXPECT_EQ(dbg.Instructions(), 3u);
    EXPECT_EQ(dbg.Cycles(), 5u);
    dbg.Count(0x84);  // DIV AB, executed elsewhere
    EXPECT_EQ(dbg.Cycles(), 9u);
    dbg.ResetStopwatch();
    EXPECT_EQ(dbg.Cycles(), 0u);
    EXPECT_DOUBLE_EQ(CycleSeconds(1000, 12e6), 1e-3);

    // The instruction set table of the datasheet.
    const std::pair<std::uint8_t, int> datasheet[] = {
        {0x00, 1}, {0x01, 2}, {0x11, 2}, {0x02, 2}, {0x22, 2}, {0x84, 4}, {0xA4, 4}, {0xE0, 2}, {0xF2, 2},
        {0x93, 2}, {0x75, 2}, {0x74, 1}, {0xF5, 1}, {0x88, 2}, {0xA8, 2}, {0xE8, 1}, {0xB4, 2}, {0xD8, 2},
        {0xD5, 2}, {0x92, 2}, {0xA2, 1}, {0xC0, 2}, {0xA3, 2}, {0x05, 1}, {0x53, 2}, {0x52, 1}, {0xB0, 2},
        {0xB2, 1}, {0x73, 2}, {0xC5, 1},
    };
    for (auto [op, n] : datasheet) EXPECT_EQ(MachineCycles(op), n) << int(op);
}

TEST_F(DebuggerTest, AccessBreakpointsMatchSpaceRangeKindAndHits) {
    dbg.breakpoints.Add(Parse(BreakKind::Write, "30H-31H,2"));
    dbg.breakpoints.Add(Parse(BreakKind::Read, "X:0140H"));
    Breakpoints& b = dbg.breakpoints;
    EXPECT_TRUE(b.HasAccessBreakpoints());
    EXPECT_EQ(b.OnAccess(MemSpace::Internal, 0x30, false), -1);  // a read
    EXPECT_EQ(b.OnAccess(MemSpace::External, 0x30, true), -1);   // another space
    EXPECT_EQ(b.OnAccess(MemSpace::Internal, 0x32, true), -1);   // outside
    EXPECT_EQ(b.OnAccess(MemSpace::Internal, 0x31, true), -1);   // first hit
    EXPECT_EQ(b.OnAccess(MemSpace::Internal, 0x30, true), 0);    // second
    EXPECT_EQ(b.OnAccess(MemSpace::External, 0x0140, false), 1);
    b.ResetHits();
    EXPECT_EQ(b.Items()[0].hits, 0u);
    b.ToggleAddress(0x0100);
    EXPECT_TRUE(b.FindAddress(0x0100));
    b.ToggleAddress(0x0100);
    EXPECT_FALSE(b.FindAddress(0x0100));
}

}  // namespace
}  // namespace z51
