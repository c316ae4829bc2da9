#include "uploader/phonebook.h"

#include "uploader/answer.h"

#include <gtest/gtest.h>

#include "entry_lines.h"

namespace tolvane {
namespace {

using testing::EntryLine;
using testing::LineOf;

std::string Alf(std::string_view columns5to12) {
    return ScanNumberColumns(LineOf(100, {{5, columns5to12}}), 5, 12, false);
}

std::string Del(std::string_view columns16to24) {
    return ScanNumberColumns(LineOf(100, {{16, columns16to24}}), 16, 24, true);
}

TEST(NumberColumns, ColonIsDropped) {
    EXPECT_EQ(Alf("12:30456"), "1230456");
}

TEST(NumberColumns, DotEndsTheNumberWithTwoZeros) {
    EXPECT_EQ(Alf("1.5"), "100");
}

TEST(NumberColumns, DashIsHashOnlyInTheSecondPart) {
    EXPECT_EQ(Del("123-45"), "123#4500");
    EXPECT_EQ(Alf("12-34567"), "12-34567");
}

TEST(NumberColumns, LoneBlankIsZeroAndTwoBlanksEndTheNumber) {
    EXPECT_EQ(Alf("12 34567"), "12034567");
    EXPECT_EQ(Alf("12 3  45"), "120300");
    EXPECT_EQ(Alf(""), "00");
}

TEST(NumberColumns, BlankInTheLastColumnLooksAtTheColumnAfterIt) {
    // Column 13 is outside the scan but decides between "0" and "00".
    const std::string blankAfter = LineOf(100, {{5, "1234567"}});
    const std::string digitAfter = LineOf(100, {{5, "1234567 9"}});
    EXPECT_EQ(ScanNumberColumns(blankAfter, 5, 12, false), "123456700");
    EXPECT_EQ(ScanNumberColumns(digitAfter, 5, 12, false), "12345670");
}

TEST(NumberColumns, OtherBytesAreKeptAsTheyAre) {
    EXPECT_EQ(Alf("+7(4\xB9)*#"), "+7(4\xB9)*#");
}

TEST(EntryFilter, NeedsNinetyFiveCharactersAndANameFromColumn104) {
    EXPECT_FALSE(ParseEntry(LineOf(94, {{1, "1"}})));
    EXPECT_FALSE(ParseEntry(LineOf(95, {{1, "1"}})));
    EXPECT_FALSE(ParseEntry(LineOf(103, {{1, "1"}})));
    const auto entry = ParseEntry(LineOf(104, {{1, "1"}, {104, "X"}}));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->ba, "X");
}

TEST(EntryFilter, FirstCharacterMustBeABlankOrADigitOneToNine) {
    for (const char* first : {" ", "1", "5", "9"})
        EXPECT_TRUE(ParseEntry(EntryLine("A", first))) << first;
    for (const char* first : {"0", "A", "z", "-", "\t", "\xC0"})
        EXPECT_FALSE(ParseEntry(EntryLine("A", first))) << first;
}

TEST(EntryFilter, NameIsColumns104To127AndMIsColumns42To46) {
    const std::string line =
        LineOf(200, {{1, "1"}, {41, "<ABCDE>"}, {103, "|Ivanov Ivan Ivanovich  XYZ|"}});
    const auto entry = ParseEntry(line);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->m, "ABCDE");
    EXPECT_EQ(entry->ba, "Ivanov Ivan Ivanovich  X");
    // Blanks up to the end of a short line belong to the name.
    EXPECT_EQ(ParseEntry(LineOf(110, {{1, "1"}, {104, "Ab"}})).value().ba, "Ab     ");
}

TEST(CpbwCommand, FirstEntryHasIndexTwoAndNamestar002) {
    const auto entry = ParseEntry(EntryLine("Petrov"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(CpbwCommand(kFirstIndex, *entry),
              "AT+CPBW=2,\"1230456123#4500\",129,\"002 Petrov /OFFIC\"\r");
}

TEST(CpbwCommand, IndexIsPlainAndNamestarIsPaddedToThreeDigits) {
    const PhoneBookEntry entry{"1", "2", "M", "N"};
    EXPECT_EQ(CpbwCommand(10, entry), "AT+CPBW=10,\"12\",129,\"010 N /M\"\r");
    EXPECT_EQ(CpbwCommand(999, entry), "AT+CPBW=999,\"12\",129,\"999 N /M\"\r");
}

TEST(FinalResult, ComesOnALineOfItsOwnAfterEchoAndInformation) {
    struct Case {
        const char* received;
        const char* result;  // nullptr: not yet
        bool ok;
    };
    for (const Case& c : {
             Case{"", nullptr, false},
             Case{"AT+CPBW=2,\"1\",129,\"OK\"\r", nullptr, false},  // the echo
             Case{"\r\nOK", nullptr, false},                        // line not complete
             Case{"\r\n+CME ERROR: 2", nullptr, false},
             Case{"ATZ\r\r\nOK\r\n", "OK", true},
             Case{"\r\n+CPBW: 1\r\n\r\nOK\r\n", "OK", true},
             Case{"\r\nERROR\r\n", "ERROR", false},
             Case{"\r\n+CME ERROR: 21\r\n", "+CME ERROR: 21", false},
             Case{"\r\n+CMS ERROR: 500\r\n", "+CMS ERROR: 500", false},
             Case{"\r\nRING\r\n\r\nOK\r\n", "OK", true},
         }) {
        const auto result = FindFinalResult(c.received);
        ASSERT_EQ(result.has_value(), c.result != nullptr) << c.received;
        if (!result) continue;
        EXPECT_EQ(result->text, c.result);
        EXPECT_EQ(result->ok, c.ok);
    }
}

}  // namespace
}  // namespace tolvane
