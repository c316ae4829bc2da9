#include "fileutil/compare.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "emulator/emufiles.h"
#include "tests/support/test_files.h"

using namespace z51;
using namespace z51::test;

namespace {

// The compare as the main window runs it: the files then go on to the
// emulator.
struct Cmp {
    TempDir dir;
    Workspace ws;
    std::unique_ptr<Cpu51> cpu = std::make_unique<Cpu51>();
    RecordingPane left, right;
    std::string a = dir / "a.bin", b = dir / "b.bin";

    CompareResult Run(const std::vector<std::uint8_t>& x, const std::vector<std::uint8_t>& y) {
        WriteBytes(a, x);
        WriteBytes(b, y);
        const CompareOutcome out = CompareBin(ws, left, right, a, b);
        TakeComparedFiles(*cpu, out.firstSize, out.second);
        return out.result;
    }
};

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 7);
    return v;
}

}  // namespace

TEST(CompareBin, IdenticalCases) {
    Cmp c;
    EXPECT_EQ(c.Run({}, {}), CompareResult::Identical);
    ASSERT_EQ(c.left.Lines().size(), 1u);
    EXPECT_EQ(c.left.LineText(0), cp("Файлы ") + c.a + cp(" и ") + c.b + cp(" полностью идентичны!"));
    EXPECT_TRUE(c.right.Lines().empty());

    EXPECT_EQ(c.Run(Counting(40), Counting(40)), CompareResult::Identical);
    ASSERT_EQ(c.left.Lines().size(), 1u);  // the panes are cleared first

    EXPECT_EQ(c.Run({}, {0x01}), CompareResult::IdenticalUpToSmaller);
    const std::string upTo = cp("Файлы ") + c.a + cp(" и ") + c.b + cp(" идентичны по меньшему из них по объёму (filesize)…");
    EXPECT_EQ(c.left.LineText(0), upTo);
    EXPECT_EQ(upTo.back(), '\x85');  // the ellipsis of code page 1251
    // Differences beyond the shorter file do not count.
    std::vector<std::uint8_t> longer = Counting(40);
    longer.push_back(0xEE);
    EXPECT_EQ(c.Run(longer, Counting(40)), CompareResult::IdenticalUpToSmaller);
    EXPECT_EQ(c.left.Lines()[0][0].color, clr::Black);
}

TEST(CompareBin, OneDifferingByteGolden) {
    Cmp c;
    std::vector<std::uint8_t> x = Counting(20), y = Counting(21);
    y[17] = 0x00;
    EXPECT_EQ(c.Run(x, y), CompareResult::Differ);
    auto fixed = [&](std::string s) {
        for (std::size_t at; (at = s.find(c.dir.dir.string())) != std::string::npos;)
            s.replace(at, c.dir.dir.string().size(), "DIR");
        return s;
    };
    ExpectGolden(FILEUTIL_GOLDEN_DIR, "compare_one_byte.txt",
                 "left:\n" + fixed(PaneWithColours(c.left)) + "right:\n" + fixed(PaneWithColours(c.right)));
    // Only that byte is red, in both panes.
    for (const RecordingPane* p : {&c.left, &c.right}) {
        int red = 0;
        for (const auto& line : p->Lines())
            for (const auto& run : line) red += run.color == clr::Red;
        EXPECT_EQ(red, 1);
    }
    EXPECT_EQ(c.left.LineText(1), "0000 | 00 07 0E 15 1C 23 2A 31 38 3F 46 4D 54 5B 62 69");
    EXPECT_EQ(c.left.LineText(2), "0010 | 70 77 7E 85 ");  // the short last row ends with a blank
    EXPECT_EQ(c.right.LineText(2), "0010 | 70 00 7E 85 ");
    EXPECT_EQ(c.right.LineText(0), cp("Файл: ") + c.b + cp(" [Объём файла:21 байт]:"));
}

TEST(CompareBin, CyrillicFileNamesAreCodePage1251Text) {
    // File names come in UTF-8; the panes show code page 1251 text.
    Cmp c;
    c.a = c.dir / "первый.bin";
    c.b = c.dir / "второй.bin";
    c.Run({0x01}, {0x01});
    EXPECT_EQ(c.left.LineText(0),
              cp("Файлы ") + Utf8To1251(c.a) + cp(" и ") + Utf8To1251(c.b) + cp(" полностью идентичны!"));
    c.Run({0x01}, {0x02});
    EXPECT_EQ(c.left.LineText(0), cp("Файл: ") + Utf8To1251(c.a) + cp(" [Объём файла:1 байт]:"));
    EXPECT_EQ(c.right.LineText(0), cp("Файл: ") + Utf8To1251(c.b) + cp(" [Объём файла:1 байт]:"));
}

TEST(CompareBin, FilesGoToCodeAndExternalRam) {
    Cmp c;
    c.Run({0x01, 0x02}, {0x03, 0x04, 0x05});
    EXPECT_EQ(c.ws.CodeImage[1], 0x02);
    EXPECT_EQ(c.cpu->xram[2], 0x05);
    EXPECT_EQ(c.cpu->codeLoadCount, 2);
    EXPECT_EQ(c.cpu->extRamCount, 3);
    EXPECT_EQ(c.ws.BinName, c.a);
    EXPECT_EQ(c.ws.BinName2, c.b);
    // 64 KiB files are compared whole.
    std::vector<std::uint8_t> full = Counting(65536), other = full;
    other[0xFFFF] ^= 1;
    EXPECT_EQ(c.Run(full, other), CompareResult::Differ);
    EXPECT_EQ(c.left.LineText(4096), "FFF0 | 90 97 9E A5 AC B3 BA C1 C8 CF D6 DD E4 EB F2 F9");
}

TEST(CompareBin, A64KiBSecondFileIsSavedWholeFromExternalRam) {
    // The counts are the emulator's load counts: a 64 KiB file counts
    // 65,536 bytes, as the emulator's own loads count it, so saving the
    // external RAM afterwards writes the whole second file back.
    Cmp c;
    std::vector<std::uint8_t> full = Counting(65536);
    EXPECT_EQ(c.Run(full, full), CompareResult::Identical);
    EXPECT_EQ(c.cpu->codeLoadCount, 65536u);
    EXPECT_EQ(c.cpu->extRamCount, 65536u);
    SaveExt(*c.cpu, c.dir / "ext.bin");
    EXPECT_EQ(ReadAll(c.dir / "ext.bin").size(), 65536u);
}

TEST(CompareBin, UnreadableOrOversizeFileChangesNothing) {
    Cmp c;
    c.ws.CodeImage[0] = 0x42;
    c.cpu->xram[0] = 0x43;
    WriteBytes(c.a, {0x01});
    WriteBytes(c.dir / "big.bin", std::vector<std::uint8_t>(65537, 0));
    EXPECT_THROW(CompareBin(c.ws, c.left, c.right, c.a, c.dir / "none.bin"), FileError);
    EXPECT_THROW(CompareBin(c.ws, c.left, c.right, c.a, c.dir / "big.bin"), FileError);
    EXPECT_THROW(CompareBin(c.ws, c.left, c.right, c.dir / "big.bin", c.a), FileError);
    EXPECT_EQ(c.ws.CodeImage[0], 0x42);
    EXPECT_EQ(c.cpu->xram[0], 0x43);
    EXPECT_TRUE(c.ws.BinName.empty());
}
