// Operand expressions: every notation, the prefixes, the one binary
// operator, register and bit names, and the forms that are refused.

#include "assembler/evaluator.h"

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

class EvaluatorTest : public LineFixture {
protected:
    // Value of an operand, or nullopt when it is invalid.
    std::optional<std::int32_t> Val(std::string_view text) {
        st.LineError.clear();
        Evaluate(st, text);
        if (!st.ExprValid) return std::nullopt;
        return st.ExprValue;
    }
    void Define(std::string_view name, std::int32_t value) {
        GetIndex_LBLEQU(st, name);
        SaveIndex_LBLEQU(st, value);
    }
};

TEST_F(EvaluatorTest, EveryNotationOfEighteen) {
    for (const char* t : {"12H", "$12", "0x12", "0X12", "22O", "22Q", "O22", "10010B", "18D", "18", "T102", "12h"})
        EXPECT_EQ(Val(t), 18) << t;
}

TEST_F(EvaluatorTest, CharactersAddressAndSigns) {
    EXPECT_EQ(Val("'A'"), 65);
    EXPECT_EQ(Val("'\xFF'"), 255);  // an 8-bit code, never negative
    st.LineAddr = 0x1234;
    EXPECT_EQ(Val("$"), 0x1234);
    EXPECT_EQ(Val("-5"), -5);
    EXPECT_EQ(Val("-18D"), -18);
    EXPECT_EQ(Val("O"), 0);  // a lone O or T is zero
    EXPECT_EQ(Val("T"), 0);
    EXPECT_EQ(Val("0FFFFFFFFH"), -1);  // 32 bits, as the conversion gives
}

TEST_F(EvaluatorTest, OneBinaryOperatorOnSixteenBitTerms) {
    EXPECT_EQ(Val("-5-3"), 0xFFF8);  // -5 takes part as 65531
    EXPECT_EQ(Val("FFFFH+1"), 0x10000);
    EXPECT_EQ(Val("(3*4)"), 12);
    EXPECT_EQ(Val("7/2"), 3);
    EXPECT_EQ(Val("7%2"), 1);
    EXPECT_EQ(Val("0F0H&3CH"), 0x30);
    EXPECT_EQ(Val("0F0H|0FH"), 0xFF);
    EXPECT_EQ(Val("0FFH^0FH"), 0xF0);
    EXPECT_EQ(Val("1<2"), 1);
    EXPECT_EQ(Val("1>2"), 0);
    EXPECT_EQ(Val("2=2"), 1);
    EXPECT_EQ(Val("1-2"), -1);
    EXPECT_EQ(Val("0FFFFH*0FFFFH"), static_cast<std::int32_t>(0xFFFE0001u));  // wraps at 32 bits
    EXPECT_EQ(Val("1.SHL.4"), 16);
    EXPECT_EQ(Val("100H.SHR.4"), 0x10);
    EXPECT_EQ(Val("1.shl.4"), 16);
}

TEST_F(EvaluatorTest, RefusedExpressions) {
    EXPECT_EQ(Val("1+2+3"), std::nullopt);    // no chaining
    EXPECT_EQ(Val("+5"), std::nullopt);       // + is no prefix
    EXPECT_EQ(Val("(1)+(2)"), std::nullopt);  // the outer pair is removed first
    EXPECT_EQ(Val("5/0"), std::nullopt);
    EXPECT_EQ(Val("5%0"), std::nullopt);
    EXPECT_EQ(Val("5+"), std::nullopt);
    EXPECT_EQ(Val("1 + 2"), std::nullopt);  // blanks stay in the terms
    EXPECT_EQ(Val("UNKNOWN"), std::nullopt);
    EXPECT_EQ(Error(), "");  // an unknown name is silent
}

TEST_F(EvaluatorTest, TextsNoConversionTakesAreInvalidNotFatal) {
    for (const char* t : {"-", "0X", "$123456789", "123456789ABH", "99999999999", "-99999999999D", "--"})
        EXPECT_EQ(Val(t), std::nullopt) << t;
    std::string huge(70000, '7');
    EXPECT_EQ(Val(huge), std::nullopt);
    std::string longSum = std::string(300, '1') + "+1";
    EXPECT_EQ(Val(longSum), std::nullopt);
    std::string longName(300, 'X');
    EXPECT_EQ(Val(longName), std::nullopt);
}

TEST_F(EvaluatorTest, EmptyOperandAndEmptyParentheses) {
    EXPECT_EQ(Val(""), std::nullopt);
    EXPECT_EQ(Error(), "Пустой операнд!");
    EXPECT_EQ(Val("()"), std::nullopt);
    EXPECT_EQ(Error(), "Ошибка представления аргумента в строке выше…");
}

TEST_F(EvaluatorTest, Prefixes) {
    EXPECT_EQ(Val(".HI.1234H"), 0x12);
    EXPECT_EQ(Val(".LO.1234H"), 0x34);
    EXPECT_EQ(Val(".SWP.12H"), 0x21);
    EXPECT_EQ(Val(".NOT.0"), 0xFFFF);
    EXPECT_EQ(Val(".SB.01H"), 0x80);
    EXPECT_EQ(Val(".SB.1201H"), 0x1280);
    EXPECT_EQ(Val(".SW.0001H"), 0x8000);
    EXPECT_EQ(Val("--5"), 5);
    EXPECT_EQ(Val(".HI.1234H+1"), 0x13);  // each term has its own prefix
    EXPECT_EQ(Val(".hi.1234H"), std::nullopt);  // prefixes are upper case only
    EXPECT_EQ(Val(".HI."), std::nullopt);
}

TEST_F(EvaluatorTest, RegisterAndBitNames) {
    EXPECT_EQ(Val("ACC"), 0xE0);
    EXPECT_EQ(Val("P1"), 0x90);
    EXPECT_EQ(Val("ACC.7"), 0xE7);
    EXPECT_EQ(Val("B"), 0xF0);
    EXPECT_EQ(Val("acc"), std::nullopt);  // names are compared exactly
    EXPECT_EQ(Val("20H.3"), 3);
    EXPECT_EQ(Val("2FH.7"), 0x7F);
    EXPECT_EQ(Val("0E0H.7"), 0xE7);
    EXPECT_EQ(Val("80H.1"), std::nullopt);  // register 80H only by its bit names
    EXPECT_EQ(Val("30H.1"), std::nullopt);
    EXPECT_EQ(Val("20H.8"), std::nullopt);
}

TEST_F(EvaluatorTest, SymbolsWinOverRegisterNamesAndUndefinedAreInvalid) {
    Define("TCON", 0x1234);
    EXPECT_EQ(Val("TCON"), 0x1234);  // the symbol table wins in the symbol step
    Define("P1", 0x1234);
    EXPECT_EQ(Val("P1"), 0x90);  // two-character names are a notation of their own
    Define("COUNT", 7);
    EXPECT_EQ(Val("COUNT*2"), 14);
    GetIndex_LBLEQU(st, "LATER");  // known name without a value yet
    EXPECT_EQ(Val("LATER"), std::nullopt);
    // Names that begin like a number fall through to the symbols.
    Define("OFFSET", 3);
    Define("TEMP", 4);
    EXPECT_EQ(Val("OFFSET"), 3);
    EXPECT_EQ(Val("TEMP"), 4);
}

}  // namespace
}  // namespace z51::test
