// The encoder on the cases that catch real faults: spellings and aliases,
// the operand kinds, the 2 KiB page of AJMP/ACALL, relative ranges with
// the wrapping program counter, and the messages of each operand.

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

class EncoderTest : public LineFixture {
protected:
    void Label(std::string_view name, std::int32_t value) {
        GetIndex_LBLEQU(st, name);
        SaveIndex_LBLEQU(st, value);
    }
};

TEST_F(EncoderTest, OneByteSpellingsAndAliases) {
    EXPECT_EQ(Asm("\tNOP"), Bytes{0x00});
    for (const char* s : {"\tRRA", "\tRR A", "\tRR ACC", "\tRR"}) EXPECT_EQ(Asm(s), Bytes{0x03}) << s;
    EXPECT_EQ(Asm("\tDIV"), Bytes{0x84});
    EXPECT_EQ(Asm("\tDIV AB"), Bytes{0x84});
    EXPECT_EQ(Asm("\tMOV A,R0"), Bytes{0xE8});
    EXPECT_EQ(Asm("\tMOVC A,@A+DPTR"), Bytes{0x93});
    EXPECT_EQ(Asm("\tMOVC ACC,@ACC+PC"), Bytes{0x83});
    EXPECT_EQ(Asm("\tMOV A,"), Bytes{0xE8});  // a missing operand reads as R0
    EXPECT_EQ(st.NextAddr, 1);
}

TEST_F(EncoderTest, MoveForms) {
    EXPECT_EQ(Asm("\tMOV A,30H"), (Bytes{0xE5, 0x30}));
    EXPECT_EQ(Asm("\tMOV A,#30H"), (Bytes{0x74, 0x30}));
    EXPECT_EQ(Asm("\tMOV 30H,A"), (Bytes{0xF5, 0x30}));
    EXPECT_EQ(Asm("\tMOV 30H,#5"), (Bytes{0x75, 0x30, 0x05}));
    EXPECT_EQ(Asm("\tMOV 30H,40H"), (Bytes{0x85, 0x40, 0x30}));  // source first, as the chip stores it
    EXPECT_EQ(Asm("\tMOV 30H,R5"), (Bytes{0x8D, 0x30}));
    EXPECT_EQ(Asm("\tMOV R5,30H"), (Bytes{0xAD, 0x30}));
    EXPECT_EQ(Asm("\tMOV @R1,#7"), (Bytes{0x77, 0x07}));
    EXPECT_EQ(Asm("\tMOV DPTR,#1234H"), (Bytes{0x90, 0x12, 0x34}));
    EXPECT_EQ(Asm("\tMOV C,30H"), (Bytes{0xA2, 0x30}));
    EXPECT_EQ(Asm("\tMOV P1.0,C"), (Bytes{0x92, 0x90}));
    EXPECT_EQ(Asm("\tMOV B,A"), (Bytes{0xF5, 0xF0}));
    EXPECT_EQ(Asm("\tLJMP 1234H"), (Bytes{0x02, 0x12, 0x34}));
    EXPECT_EQ(Asm("\tANL C,/ACC.7"), (Bytes{0xB0, 0xE7}));
    EXPECT_EQ(Asm("\tORL 20H,#0FH"), (Bytes{0x43, 0x20, 0x0F}));
}

TEST_F(EncoderTest, AccumulatorAndBAsDirectAddresses) {
    EXPECT_EQ(Asm("\tPUSH ACC"), (Bytes{0xC0, 0xE0}));
    EXPECT_EQ(Asm("\tPUSH A"), (Bytes{0xC0, 0xE0}));
    EXPECT_EQ(Asm("\tPOP B"), (Bytes{0xD0, 0xF0}));
    EXPECT_EQ(Asm("\tINC C"), Bytes{});  // C is reserved in a direct-address slot
    EXPECT_EQ(st.LineHandled, 0);
}

TEST_F(EncoderTest, RegisterAliases) {
    Asm("R\tEQU\tR3");
    EXPECT_EQ(Asm("\tMOV A,R"), Bytes{0xEB});
    EXPECT_EQ(Asm("\tMOV A,@R"), Bytes{});  // @R3 is no instruction
    EXPECT_EQ(st.LineHandled, 0);
    Asm("PTR\tEQU\tR1");
    EXPECT_EQ(Asm("\tMOV A,@PTR"), Bytes{0xE7});
    EXPECT_EQ(Asm("\tMOV PTR,#3"), (Bytes{0x79, 0x03}));
}

TEST_F(EncoderTest, AbsoluteJumpsStayInTheirTwoKilobytePage) {
    EXPECT_EQ(Asm("\tAJMP 0345H"), (Bytes{0x61, 0x45}));
    EXPECT_EQ(Asm("\tACALL 0345H", 0x200), (Bytes{0x71, 0x45}));
    EXPECT_EQ(Error(), "");
    Asm("\tAJMP 0845H");
    EXPECT_EQ(Error(), "Превышение addr11 (2048) в операторах AJMP, ACALL в строке выше - используйте SJMP, LJMP, LCALL!");
    // Above 0800H the page is that of the address after the instruction.
    EXPECT_EQ(Asm("\tAJMP 0F45H", 0x0900), (Bytes{0xE1, 0x45}));
    EXPECT_EQ(Error(), "");
    Asm("\tAJMP 0100H", 0x0900);
    EXPECT_NE(Error(), "");
    Asm("\tAJMP 0800H", 0x07FE);  // the next address is already in page 1
    EXPECT_EQ(Error(), "");
    Asm("\tAJMP 0700H", 0x07FE);
    EXPECT_NE(Error(), "");
}

TEST_F(EncoderTest, JmpAfterAnOriginIsLong) {
    Label("START", 0x40);
    Asm("\tORG 0");
    EXPECT_EQ(Asm("\tJMP START"), (Bytes{0x02, 0x00, 0x40}));
    EXPECT_EQ(st.Mnemonic, "LJMP");
    EXPECT_EQ(st.AfterOrg, 0);  // bytes were produced
    EXPECT_EQ(Asm("\tJMP START", 3), (Bytes{0x01, 0x40}));
    EXPECT_EQ(Asm("\tCALL START", 5), (Bytes{0x11, 0x40}));
    Asm("\tORG 0");
    EXPECT_EQ(Asm("\tJMP @A+DPTR"), Bytes{0x73});
}

TEST_F(EncoderTest, RelativeJumps) {
    Label("AHEAD", 100);
    Label("FAR", 200);
    EXPECT_EQ(Asm("\tSJMP AHEAD"), (Bytes{0x80, 0x62}));
    Asm("\tSJMP FAR");
    EXPECT_EQ(Error(), "Метка для относительной адресации недоступна: отстоит более чем 127 байт");
    EXPECT_EQ(Asm("\tSJMP $"), (Bytes{0x80, 0xFE}));
    // The program counter wraps: 0000H to 0FF82H is 128 bytes back.
    EXPECT_EQ(Asm("\tSJMP 0FF82H", 0), (Bytes{0x80, 0x80}));
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Asm("\tSJMP 0010H", 0xFFF0), (Bytes{0x80, 0x1E}));
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Asm("\tCJNE A,#5,AHEAD"), (Bytes{0xB4, 0x05, 0x61}));
    EXPECT_EQ(Asm("\tCJNE R7,#5,AHEAD"), (Bytes{0xBF, 0x05, 0x61}));
    EXPECT_EQ(Asm("\tJB P1.0,AHEAD"), (Bytes{0x20, 0x90, 0x61}));
    EXPECT_EQ(Asm("\tDJNZ 30H,AHEAD"), (Bytes{0xD5, 0x30, 0x61}));
    EXPECT_EQ(Asm("\tDJNZ R2,AHEAD"), (Bytes{0xDA, 0x62}));
}

TEST_F(EncoderTest, EveryRelativeOperandIsRangeChecked) {
    // A displacement that does not fit is reported for every instruction
    // that has one, not only for SJMP and the accumulator/carry jumps.
    Label("FAR", 300);
    for (const char* s : {"\tDJNZ R7,FAR", "\tCJNE A,#1,FAR", "\tJNB TI,FAR", "\tJBC 20H.0,FAR", "\tDJNZ 30H,FAR"}) {
        Asm(s);
        EXPECT_EQ(Error(), "Метка для относительной адресации недоступна: отстоит более чем 127 байт") << s;
    }
}

TEST_F(EncoderTest, ForwardReferencesAreSilentInTheFirstPassOnly) {
    st.PassNo = 1;
    EXPECT_EQ(Asm("\tSJMP LATER"), (Bytes{0x80, 0xFE}));
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(st.LineHandled, 1);
    for (const char* s : {"\tLJMP LATER", "\tAJMP LATER", "\tJNB LATER,LATER", "\tMOV A,#LATER", "\tMOV LATER,A",
                          "\tMOV DPTR,#LATER", "\tDJNZ R0,LATER"}) {
        Asm(s);
        EXPECT_EQ(Error(), "") << s;
    }
    st.PassNo = 2;
    struct Case {
        const char* line;
        const char* message;
    };
    const Case cases[] = {
        {"\tSJMP LATER", "Метка для относительной адресации с таким именем не найдена!"},
        {"\tDJNZ R0,LATER", "Метка для относительной адресации с таким именем не найдена!"},
        {"\tLJMP LATER", "Не распознан addr16-операнд в строке выше."},
        {"\tAJMP LATER", "Не распознан addr11-операнд в строке выше."},
        {"\tCPL LATER", "Не распознан bit-операнд в строке выше.."},
        {"\tANL C,/LATER", "Не распознан /bit-операнд в строке выше."},
        {"\tADD A,#LATER", "Не распознан #data операнд в строке выше."},
        {"\tADD A,LATER", "Не распознан addr-операнд в строке выше."},
        {"\tMOV C,LATER", "Не распознан bit-аргумент в строке выше."},
        {"\tMOV DPTR,#LATER", "Не распознан операнд оператора MOV DPTR выше."},
        {"\tMOV 30H,LATER", "Не распознан Label-операнд в строке выше."},
        {"\tMOV 30H,#LATER", "Не распознан #data-операнд в строке выше."},
        {"\tPUSH LATER", "Не распознан addr-операнд в строке выше."},
        {"\tMOV LATER,A", "Не распознан addr-операнд в строке выше."},
    };
    for (const Case& c : cases) {
        Asm(c.line);
        EXPECT_EQ(Error(), c.message) << c.line;
        EXPECT_EQ(st.LineHandled, 1) << c.line;
    }
}

TEST_F(EncoderTest, ImmediateOperandsAcceptBitNames) {
    EXPECT_EQ(Asm("\tMOV 30H,#TI"), (Bytes{0x75, 0x30, 0x99}));
    EXPECT_EQ(Error(), "");
}

TEST_F(EncoderTest, UnknownInstructionsLeaveNothing) {
    EXPECT_EQ(Asm("\tMOV A,@R2", 0x10), Bytes{});
    EXPECT_EQ(st.NextAddr, 0x10);
    EXPECT_EQ(st.LineHandled, 0);
    EXPECT_EQ(Asm("\tMOVX A,@R2"), Bytes{});
    EXPECT_EQ(Asm("\tCJNE A,#1"), (Bytes{0xB4, 0x01, 0xFD}));  // no target: reported, never silent
    EXPECT_EQ(Error(), "Метка для относительной адресации с таким именем не найдена!");
}

}  // namespace
}  // namespace z51::test
