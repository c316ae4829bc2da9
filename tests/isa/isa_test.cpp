#include "fileutil/isa_listing.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/cp1251.h"
#include "core/fileio.h"

using namespace z51;

namespace {

// Line layout of the listing: title, one-byte part, multi-byte part, SFR
// part, bit part.
constexpr std::size_t kOneByteLines = 70;
constexpr std::size_t kMultiByteLines = 31;
constexpr std::size_t kSfrLines = 13;
constexpr std::size_t kBitLines = 32;
constexpr std::size_t kOneByteFirst = 2;
constexpr std::size_t kMultiByteTitle = kOneByteFirst + kOneByteLines;
constexpr std::size_t kMultiByteFirst = kMultiByteTitle + 1;
constexpr std::size_t kSfrTitle = kMultiByteFirst + kMultiByteLines;
constexpr std::size_t kSfrFirst = kSfrTitle + 2;
constexpr std::size_t kBitTitle = kSfrFirst + kSfrLines;
constexpr std::size_t kBitFirst = kBitTitle + 1;
constexpr std::size_t kTotalLines = kBitFirst + kBitLines;

RecordingPane Listing() {
    RecordingPane pane;
    pane.AddLine("left over from an earlier command");
    PrintInstructionSet(pane);
    return pane;
}

std::string ListingUtf8(const RecordingPane& pane) { return Cp1251ToUtf8(pane.Text()) + "\n"; }

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> items;
    for (std::size_t p = 0;;) {
        auto bar = line.find(" | ", p);
        items.push_back(line.substr(p, bar - p));
        if (bar == std::string::npos) break;
        p = bar + 3;
    }
    return items;
}

}  // namespace

TEST(IsaListing, MatchesGoldenFile) {
    std::string actual = ListingUtf8(Listing());
    const char* update = std::getenv("UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        WriteFileAtomic(ISA_GOLDEN_FILE, actual);
        GTEST_SKIP() << "golden file rewritten: " << ISA_GOLDEN_FILE;
    }
    ASSERT_TRUE(FileExists(ISA_GOLDEN_FILE)) << "run with UPDATE_GOLDEN=1 to create " << ISA_GOLDEN_FILE;
    EXPECT_EQ(actual, ReadTextFile(ISA_GOLDEN_FILE)) << "re-approve with UPDATE_GOLDEN=1 after review";
}

TEST(IsaListing, TitlesAndColours) {
    RecordingPane pane = Listing();
    const auto& lines = pane.Lines();
    ASSERT_EQ(lines.size(), kTotalLines) << "the pane is cleared first";
    auto title = [&](std::size_t i, Color colour, std::string_view utf8) {
        SCOPED_TRACE(i);
        ASSERT_EQ(lines[i].size(), 1u);
        EXPECT_EQ(lines[i][0].color, colour);
        EXPECT_EQ(lines[i][0].text, cp(utf8));
    };
    title(0, clr::Red, "Перечень ассемблерных команд и их НЕХ-кодов, прописанных в программных таблицах.");
    title(1, clr::Purple, "Однобайтовые команды:");
    title(kMultiByteTitle, clr::Purple, "Двух- и трёхбайтовые команды:");
    title(kSfrTitle, clr::Red, "Перечень регистров ввода-вывода и их адреса (EQU) жёстко прописанные в программе:");
    title(kSfrTitle + 1, clr::Purple, "Основные регистры процессора:");
    title(kBitTitle, clr::Purple, "Бит-адресуемые регистры процессора:");
    // "НЕХ" is spelt with Cyrillic letters.
    EXPECT_NE(lines[0][0].text.find("\xCD\xC5\xD5"), std::string::npos);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i < 2 || i == kMultiByteTitle || i == kSfrTitle || i == kSfrTitle + 1 || i == kBitTitle) continue;
        ASSERT_EQ(lines[i].size(), 1u) << i;
        EXPECT_EQ(lines[i][0].color, clr::Black) << i;
    }
}

TEST(IsaListing, OneByteLines) {
    RecordingPane pane = Listing();
    std::size_t items = 0;
    for (std::size_t i = kOneByteFirst; i < kMultiByteTitle; ++i) {
        std::string line = pane.LineText(i);
        std::vector<std::string> parts = Split(line);
        if (i + 1 < kMultiByteTitle) {
            ASSERT_EQ(parts.size(), 4u) << line;
            EXPECT_EQ(line.size(), 4 * 21 + 3 * 3u);
        }
        for (const std::string& p : parts)
            if (!p.empty()) {
                EXPECT_EQ(p.size(), 21u) << line;
                ++items;
            }
    }
    EXPECT_EQ(items, 278u);
    std::string first = pane.LineText(kOneByteFirst);
    EXPECT_TRUE(first.starts_with("NOP" + std::string(16, ' ') + "00 | RR A" + std::string(15, ' ') + "03 | "));
    // The last line holds two items and ends with the separator.
    std::string last = pane.LineText(kMultiByteTitle - 1);
    EXPECT_EQ(last, "MOV R7,A" + std::string(11, ' ') + "FF | MOV R7,ACC" + std::string(9, ' ') + "FF | ");
    // The 18-character spelling: a blank for the tab and one trailing blank.
    EXPECT_NE(pane.Text().find("MOVC ACC,@ACC+DPTR 93"), std::string::npos);
}

TEST(IsaListing, MultiByteLines) {
    RecordingPane pane = Listing();
    std::size_t items = 0;
    for (std::size_t i = kMultiByteFirst; i < kSfrTitle; ++i) {
        std::vector<std::string> parts = Split(pane.LineText(i));
        ASSERT_EQ(parts.size(), 4u) << pane.LineText(i);
        for (const std::string& p : parts) EXPECT_EQ(p.size(), 25u) << p;
        items += parts.size();
    }
    EXPECT_EQ(items, 124u);
    EXPECT_TRUE(pane.LineText(kMultiByteFirst).starts_with("MOV data8,A" + std::string(12, ' ') + "F5 | "));
    EXPECT_TRUE(pane.LineText(kSfrTitle - 1).ends_with("DJNZ data8,rel8" + std::string(8, ' ') + "D5"));
    // A 13-byte pattern gives exactly its own text: nothing of the opcode byte.
    EXPECT_NE(pane.Text().find("CJNE ACC,#data8,rel8   B4"), std::string::npos);
    EXPECT_NE(pane.Text().find("MOV DPTR,#addr16       90"), std::string::npos);
    EXPECT_NE(pane.Text().find("AJMP addr11            01"), std::string::npos);
    EXPECT_NE(pane.Text().find("ANL C,/bit             B0"), std::string::npos);
}

TEST(IsaListing, SfrAndBitLinesHoldSevenItems) {
    RecordingPane pane = Listing();
    for (std::size_t i = kSfrFirst; i < kTotalLines; ++i) {
        if (i == kBitTitle) continue;
        std::vector<std::string> parts = Split(pane.LineText(i));
        if (i == kBitTitle - 1) {
            EXPECT_EQ(parts.size(), 5u) << "four items and the separator after the fourth";
            EXPECT_EQ(parts.back(), "");
            EXPECT_EQ(parts[3], "ACON      97");
        } else {
            EXPECT_EQ(parts.size(), 7u) << pane.LineText(i);
        }
    }
    EXPECT_TRUE(pane.LineText(kSfrFirst).starts_with("ACC       E0 | PSW       D0 | B         F0 | "));
    EXPECT_TRUE(pane.LineText(kBitFirst).starts_with("B.0       F0 | "));
    EXPECT_TRUE(pane.LineText(kTotalLines - 1).ends_with("T2CON.7   CF"));
    EXPECT_NE(pane.Text().find("P3.INT0#  B2"), std::string::npos);
}

TEST(IsaListing, CliPrintsTheSameText) {
    std::string command = std::string("'") + ZANVEK_CLI_PATH + "' isa";
    std::FILE* p = ::popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    int status = ::pclose(p);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(out, ListingUtf8(Listing()));

    std::string extra = std::string("'") + ZANVEK_CLI_PATH + "' isa extra 2>&1";
    p = ::popen(extra.c_str(), "r");
    ASSERT_NE(p, nullptr);
    out.clear();
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    status = ::pclose(p);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(out.find("isa takes no arguments"), std::string::npos) << out;
}
