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
    EXPECT_EQ(Val("+5"), std::nullopt);  // + is no prefix
    EXPECT_EQ(Val("5/0"), std::nullopt);
    EXPECT_EQ(Val("5%0"), std::nullopt);
    EXPECT_EQ(Val("5+"), std::nullopt);
    EXPECT_EQ(Val("UNKNOWN"), std::nullopt);
    EXPECT_EQ(Error(), "");  // an unknown name is silent
}

// Every operator of a one-operator operand, over terms of every kind: the
// value is the one the two 16-bit terms give (a 32-bit result), whether
// the operand is read as written or, in parentheses, as a whole expression.
TEST_F(EvaluatorTest, OneOperatorKeepsItsValueAlsoInsideExpressions) {
    Define("COUNT", 0x1234);
    st.LineAddr = 0x0100;
    const std::pair<const char*, std::int32_t> terms[] = {
        {"0", 0},          {"1", 1},           {"7", 7},           {"0FFH", 0xFF},  {"100H", 0x100},
        {"7FFFH", 0x7FFF}, {"8000H", 0x8000},  {"0FFFFH", 0xFFFF}, {"12345H", 0x12345}, {"-1", -1},
        {"-5", -5},        {"'A'", 'A'},       {"$", 0x0100},      {"ACC", 0xE0},   {"COUNT", 0x1234},
        {".HI.1234H", 0x12}, {".NOT.0", 0xFFFF},
    };
    using Rule = std::optional<std::uint32_t> (*)(std::uint32_t, std::uint32_t);
    const std::pair<const char*, Rule> operators[] = {
        {"+", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a + b; }},
        {"-", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a - b; }},
        {"*", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a * b; }},
        {"/", [](std::uint32_t a, std::uint32_t b) { return b ? std::optional<std::uint32_t>(a / b) : std::nullopt; }},
        {"%", [](std::uint32_t a, std::uint32_t b) { return b ? std::optional<std::uint32_t>(a % b) : std::nullopt; }},
        {"&", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a & b; }},
        {"|", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a | b; }},
        {"^", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a ^ b; }},
        {"<", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a < b; }},
        {">", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a > b; }},
        {"=", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a == b; }},
        {".SHL.", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a << (b % 32); }},
        {".SHR.", [](std::uint32_t a, std::uint32_t b) -> std::optional<std::uint32_t> { return a >> (b % 32); }},
    };
    for (const auto& [op, rule] : operators) {
        for (const auto& [left, a] : terms) {
            for (const auto& [right, b] : terms) {
                const std::optional<std::uint32_t> r =
                    rule(static_cast<std::uint32_t>(a) & 0xFFFF, static_cast<std::uint32_t>(b) & 0xFFFF);
                const std::optional<std::int32_t> want =
                    r ? std::optional<std::int32_t>(static_cast<std::int32_t>(*r)) : std::nullopt;
                const std::string plain = std::string(left) + op + right;
                const std::string grouped = "(" + std::string(left) + ")" + op + "(" + right + ")";
                EXPECT_EQ(Val(plain), want) << plain;
                EXPECT_EQ(Val(grouped), want) << grouped;
            }
        }
    }
}

// Terms (with their prefixes) count as 16 bits, results of operators as
// 32 bits: "-5-3-1" goes on from FFF8H as the one-operator "-5-3" gives it.
TEST_F(EvaluatorTest, ExpressionsWithPrecedenceWordsAndParentheses) {
    Define("LOW", 5);  // an operator word that stands where a name stands is the name
    st.LineAddr = 0x0100;
    const std::pair<const char*, std::int32_t> cases[] = {
        {"1+2+3", 6},          {"1+2*3", 7},            {"(1+2)*3", 9},         {"10-2-3", 5},
        {"( 1 + 2 ) * 3", 9},  {"(1)+(2)", 3},          {"2*3+4*5", 26},        {"1.SHL.2.SHL.1", 8},
        {"HIGH 1234H", 0x12},  {"LOW(1234H)", 0x34},    {"HIGH(1234H)+1", 0x13}, {"LOW HIGH 1234H", 0x12},
        {"-(2+3)", -5},        {"- 2 * 3", 0x2FFFA},         {"-5-3-1", 0xFFF7},     {"0FFFFH+1+1", 0x10001},
        {"NOT 0", 0xFFFF},     {"NOT 1 AND 0FFH", 0xFE}, {"7 MOD 3", 1},        {"7 mod 3 + 1", 2},
        {"1 SHL 4 + 1", 17},   {"100H SHR 4", 0x10},    {"5 AND 3 OR 8", 9},    {"5 XOR 1 AND 3", 4},
        {"1 EQ 1", 1},         {"2 NE 2", 0},           {"1 LT 2", 1},          {"2 LE 2", 1},
        {"3 GT 2", 1},         {"2 GE 3", 0},           {"1<=1", 1},            {"2>=3", 0},
        {"1<>2", 1},           {"1==1", 1},             {"1!=1", 0},            {"1+1 EQ 2", 1},
        {"1 EQ 1 AND 2 EQ 2", 1}, {"LOW+1+1", 7},       {"$+2*2", 0x104},       {"'+'+1+1", '+' + 2},
        {".HI.1234H+.LO.1234H+1", 0x47}, {".LO.(1234H+1)", 0x35}, {"1000 * 1152 / 1250", 921},
        {"-(2+3)*2", -10},     {"(1-2)*3", -3},         {"70000+1+1", 4466},    {"(70000)+(1)", 4465},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(Val(text), value) << text;
}

TEST_F(EvaluatorTest, NoExpressionOrNoValueIsInvalidWithoutAMessage) {
    for (const char* t : {"1+", "(1+2", "1+2)", "1 2", "HIGH", "1+()", "5/(3-3)", "1+2/0", "5 MOD 0", "1 ! 2",
                          "+5+1", "UNDEFINED+1+1", "1 AND", "(1)(2)"}) {
        EXPECT_EQ(Val(t), std::nullopt) << t;
        EXPECT_EQ(Error(), "") << t;
    }
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
    // Nesting is refused long before the stack would run out.
    for (const char* piece : {"(", "-", "HIGH ", "NOT "}) {
        std::string deep;
        for (int i = 0; i < 30000; ++i) deep += piece;
        EXPECT_EQ(Val(deep + "1+1+1"), std::nullopt) << piece;
    }
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += "(((1)))+";
    EXPECT_EQ(Val(std::string(150, '(') + "1+1" + std::string(150, ')') + "+" + wide + "0"), 302);
}

TEST_F(EvaluatorTest, EmptyOperandAndEmptyParentheses) {
    EXPECT_EQ(Val(""), std::nullopt);
    EXPECT_EQ(Error(), "Пустой операнд!");
    EXPECT_EQ(Val("()"), std::nullopt);
    EXPECT_EQ(Error(), "Ошибка представления аргумента в строке выше…");
}

// In a line, an expression without a value gets the message its place
// always had (the bytes are then those of any invalid operand).
TEST_F(EvaluatorTest, ExpressionsInLinesAndTheirMessages) {
    const struct {
        const char* line;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"\tMOV A,#1+2*3", {0x74, 0x07}, ""},
        {"\tMOV A,#HIGH(1234H)+1", {0x74, 0x13}, ""},
        {"\tMOV A,#1+2/0", {}, "Не распознан #data операнд в строке выше."},
        {"\tMOV A,#(1+2", {}, "Не распознан #data операнд в строке выше."},
        {"\tLJMP 1+2/0", {}, "Не распознан addr16-операнд в строке выше."},
        {"X\tEQU 1+(2", {}, "Аргумент должен иметь числовое значение!"},
    };
    for (const auto& c : cases) {
        const Bytes bytes = Asm(c.line);
        if (!c.bytes.empty()) {
            EXPECT_EQ(bytes, c.bytes) << c.line;
        }
        EXPECT_EQ(Error(), c.error) << c.line;
    }
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
