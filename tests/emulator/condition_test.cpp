// Breakpoint conditions: the grammar on a known machine state, the
// positions and texts of faults, and the operands a failed expectation
// reports.

#include <gtest/gtest.h>

#include "core/cp1251.h"
#include "emulator/condition.h"
#include "tests/support/emulator.h"

namespace z51 {
namespace {

class ConditionTest : public test::EmuTest {
protected:
    void SetUp() override {
        c.A() = 0x5A;  // 0101 1010
        c.B() = 3;
        c.R[0] = 0x30;
        c.R[7] = 0;
        ram(0x30) = 7;
        ram(0x20) = 0x08;          // bit address 03H
        ram(sfr::P1) = 0x0F;
        c.PSW() = psw::CY;
        c.PC = 0x0123;
        c.SetDptr(0x0140);
        c.xram[0x0140] = 0x12;
        code[0x10] = 0x74;
    }
    Cpu51View View() const { return {c, code}; }
    SymbolLookup symbols = [](std::string_view name) -> std::optional<std::int32_t> {
        if (name == "LOOP") return 0x100;
        if (name == "COUNT") return 0x30;
        return std::nullopt;
    };
};

TEST_F(ConditionTest, GrammarOnAKnownState) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"A == 5AH", 1}, {"a = 5ah", 1}, {"A <> 5AH", 0}, {"A != 5AH", 0},
        {"RAM[30H] > 10", 0}, {"RAM[R0]", 7}, {"IDATA[30H]", 7}, {"DATA[0F0H]", 3},
        {"XRAM[0140H] <> 0", 1}, {"XDATA[DPTR]", 0x12}, {"CODE[10H]", 0x74},
        {"CY", 1}, {"C", 1}, {"PSW.CY", 1}, {"NOT CY", 0}, {"!CY", 0},
        {"R7 = 0 AND ACC.7", 0}, {"R7 = 0 AND ACC.6", 1}, {"A.1", 1}, {"RAM[30H].2", 1},
        {"P1.3", 1}, {"P1.4", 0}, {"INT0", 0}, {"20H.3", 1}, {"BIT[3]", 1}, {"BIT[0D7H]", 1},
        {"PC", 0x123}, {"$", 0x123}, {"DPTR", 0x140}, {"TMOD", 0},
        {"12H = $12 AND 0x12 = 22O AND 22Q = O22 AND 10010B = 18D AND 18 = T102", 1}, {"'A'", 65},
        // Precedence: multiplication, addition, bitwise &, ^, |, comparison, NOT, AND, OR.
        {"1 + 2 * 3", 7}, {"(1 + 2) * 3", 9}, {"3 | 4 ^ 1 & 7", 7}, {"P1 & 0FH == 0FH", 1},
        {"NOT 0 AND 0", 0}, {"0 AND 0 OR 1", 1}, {"1 || 0 && 0", 1},
        {"10 / 3", 3}, {"10 % 3", 1}, {"A / R7", 0}, {"-1 < 0", 1}, {"~0", -1}, {"B * 2 - 1 >= 5", 1},
    };
    for (const auto& t : cases) {
        Condition::Error e;
        const auto cond = Condition::Compile(t.text, e);
        ASSERT_TRUE(cond) << t.text << ": " << Cp1251ToUtf8(e.message) << " at " << e.column;
        EXPECT_EQ(cond->Value(View()), t.value) << t.text;
    }
}

TEST_F(ConditionTest, SymbolsGiveTheirValues) {
    Condition::Error e;
    EXPECT_EQ(Condition::Compile("RAM[COUNT]", e, &symbols)->Value(View()), 7);
    EXPECT_EQ(Condition::Compile("PC >= LOOP", e, &symbols)->Value(View()), 1);
    EXPECT_EQ(Condition::Compile("LOOP + 3", e, &symbols)->Constant(), 0x103);
    EXPECT_FALSE(Condition::Compile("A + 3", e)->Constant());
    EXPECT_FALSE(Condition::Compile("COUNT", e)) << "no symbols given";
}

TEST_F(ConditionTest, FaultsNameTheirColumn) {
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += "1+(";
    deep += "1" + std::string(40, ')');
    const struct {
        std::string text;
        std::size_t column;
        const char* message;  // a part of it
    } cases[] = {
        {"", 1, "Пустое выражение"},
        {"A ==", 5, "Ожидается число, имя или скобка"},
        {"A == 5 6", 8, "Ожидается оператор"},
        {"(A == 5", 8, "закрывающая скобка"},
        {"A == 5)", 7, "Лишняя закрывающая скобка"},
        {"FOO = 1", 1, "Неизвестное имя: FOO"},
        {"A AND", 6, "Ожидается число"},
        {"RAM[100H]", 5, "Адрес вне 00H..0FFH"},
        {"XRAM[10000H]", 6, "Адрес вне 0000H..0FFFFH"},
        {"RAM[30H", 8, "Ожидается ]"},
        {"A.8", 3, "номер бита 0..7"},
        {"30H.1", 1, "не адресуется побитно"},
        {"A / 0", 3, "Деление на ноль"},
        {"5AX", 1, "Неверная запись числа"},
        {"1FFFFFFFFH", 1, "32 бита"},
        {"A == @", 6, "Ожидается число"},
        {"'AB'", 1, "Символьная константа"},
        {deep, 0, "слишком сложное"},
    };
    for (const auto& t : cases) {
        Condition::Error e;
        EXPECT_FALSE(Condition::Compile(t.text, e)) << t.text;
        if (t.column) {
            EXPECT_EQ(e.column, t.column) << t.text;
        }
        EXPECT_NE(Cp1251ToUtf8(e.message).find(t.message), std::string::npos) << t.text << ": " << Cp1251ToUtf8(e.message);
    }
}

TEST_F(ConditionTest, OperandsReportWhatTheConditionRead) {
    Condition::Error e;
    const auto cond = Condition::Compile("RAM[30H] > 10 AND a = 5AH AND CY AND PC <> 0 AND A.7 AND XRAM[DPTR]", e);
    ASSERT_TRUE(cond);
    EXPECT_EQ(cond->Operands(View()), "RAM[30H]=07H A=5AH CY=1 PC=0123H A.7=0 DPTR=0140H XRAM[DPTR]=12H");
    EXPECT_EQ(Condition::Compile("1 = 2", e)->Operands(View()), "");
}

}  // namespace
}  // namespace z51
