#include "fileutil/hexconv.h"

#include <gtest/gtest.h>

#include <random>

#include "core/file_error.h"
#include "isa/intel_hex.h"
#include "tests/support/test_files.h"

using namespace z51;
using namespace z51::test;

namespace {

struct Hex {
    TempDir dir;
    Workspace ws;
    RecordingPane pane;

    // Binary to HEX with the given settings; returns the HEX text.
    std::string FromBin(const std::vector<std::uint8_t>& bytes, std::uint8_t width = 16, std::uint8_t cr = 1) {
        WriteBytes(dir / "in.bin", bytes);
        ws.HexWidth = width;
        ws.HexCR = cr;
        BinToHex(ws, pane, dir / "in.bin", dir / "out.hex");
        return ReadAll(dir / "out.hex");
    }
    // HEX text to binary; returns the load report.
    HexLoad ToBin(const std::string& text, const std::string& bin = "back.bin") {
        std::ofstream(dir / "in.hex", std::ios::binary) << text;
        HexLoad load = ReadHexIntoImage(ws, dir / "in.hex");
        WriteBinFromHex(ws, pane, load, dir / bin);
        return load;
    }
    std::vector<std::uint8_t> Back(const std::string& bin = "back.bin") {
        std::string s = ReadAll(dir / bin);
        return {s.begin(), s.end()};
    }
};

}  // namespace

TEST(BinToHex, RecordCases) {
    Hex h;
    EXPECT_EQ(h.FromBin(std::vector<std::uint8_t>(16, 0xFF)), ":00000001FF\r\n");
    EXPECT_EQ(h.FromBin({0x02, 0x00, 0x30}), ":03000000020030CB\r\n:00000001FF\r\n");
    std::vector<std::uint8_t> seventeen(17, 0x00);
    seventeen[16] = 0x5A;
    EXPECT_EQ(h.FromBin(seventeen),
              ":1000000000000000000000000000000000000000F0\r\n"
              ":010010005A95\r\n"
              ":00000001FF\r\n");
    // LF setting: LF after each data record, nothing after the end record.
    EXPECT_EQ(h.FromBin({0x02, 0x00, 0x30}, 16, 0), ":03000000020030CB\n:00000001FF");
    EXPECT_EQ(h.FromBin({}, 16, 0), ":00000001FF");
    // Width 0 makes progress as width 1.
    EXPECT_EQ(h.FromBin({0x01, 0xFF, 0x02}, 0, 0), ":0100000001FE\n:0100020002FB\n:00000001FF");
}

TEST(BinToHex, GoldenWithGapsAndWidth) {
    Hex h;
    std::vector<std::uint8_t> bytes(70, 0xFF);
    for (int i = 0; i < 10; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 17);
    bytes[40] = 0x00;  // alone in its record
    bytes[69] = 0xA5;  // the short last record
    ExpectGolden(FILEUTIL_GOLDEN_DIR, "gaps_w8.hex", h.FromBin(bytes, 8, 1));
}

TEST(BinToHex, ReportStateAndNames) {
    Hex h;
    h.ws.CodeImage.fill(0x11);
    WriteBytes(h.dir / "prog.bin", {0x12, 0x34});
    BinToHex(h.ws, h.pane, h.dir / "prog.bin", h.dir / "prog");
    EXPECT_TRUE(FileExists(h.dir / "prog.Hex"));  // a name without "." gets ".Hex"
    EXPECT_EQ(h.ws.HexName, h.dir / "prog.Hex");
    EXPECT_EQ(h.ws.BinName, h.dir / "prog.bin");
    EXPECT_EQ(h.ws.CodeImage[0], 0x12);
    EXPECT_EQ(h.ws.CodeImage[2], 0x11);  // the rest of the image keeps its bytes
    ASSERT_EQ(h.pane.Lines().size(), 1u);
    EXPECT_EQ(h.pane.LineText(0), cp("Получен файлы ") + (h.dir / "prog.Hex") + cp(" из ") + (h.dir / "prog.bin"));
}

TEST(HexConversion, CyrillicFileNamesAreCodePage1251Text) {
    // File names come in UTF-8; the pane shows code page 1251 text.
    Hex h;
    WriteBytes(h.dir / "прошивка.bin", {0x12});
    BinToHex(h.ws, h.pane, h.dir / "прошивка.bin", h.dir / "выход.hex");
    EXPECT_EQ(h.pane.LineText(0), cp("Получен файлы ") + Utf8To1251(h.dir / "выход.hex") + cp(" из ") +
                                      Utf8To1251(h.dir / "прошивка.bin"));
    h.pane.Clear();
    HexLoad load = ReadHexIntoImage(h.ws, h.dir / "выход.hex");
    WriteBinFromHex(h.ws, h.pane, load, h.dir / "назад.bin");
    EXPECT_EQ(h.pane.LineText(0), cp("Получен файл ") + Utf8To1251(h.dir / "назад.bin") + cp(" из ") +
                                      Utf8To1251(h.dir / "выход.hex"));
    EXPECT_EQ(ReadAll(h.dir / "назад.bin"), "\x12");
    h.pane.Clear();
    std::ofstream(h.dir / "пусто.hex") << ":00000001FF\n";
    WriteBinFromHex(h.ws, h.pane, ReadHexIntoImage(h.ws, h.dir / "пусто.hex"), h.dir / "назад.bin");
    EXPECT_EQ(h.pane.LineText(0), cp("В файле ") + Utf8To1251(h.dir / "пусто.hex") +
                                      cp(" нет ни одной записи данных: Bin-файл не создан."));
}

TEST(BinToHex, OversizeOrMissingFileChangesNothing) {
    Hex h;
    WriteBytes(h.dir / "big.bin", std::vector<std::uint8_t>(65537, 0x00));
    h.ws.CodeImage[0] = 0x42;
    EXPECT_THROW(BinToHex(h.ws, h.pane, h.dir / "big.bin", h.dir / "big.hex"), FileError);
    EXPECT_THROW(BinToHex(h.ws, h.pane, h.dir / "none.bin", h.dir / "big.hex"), FileError);
    EXPECT_EQ(h.ws.CodeImage[0], 0x42);
    EXPECT_FALSE(FileExists(h.dir / "big.hex"));
    EXPECT_TRUE(h.ws.BinName.empty());
    // Exactly 64 KiB is whole: the last record ends at FFFF.
    std::vector<std::uint8_t> full(65536, 0x00);
    std::string text = h.FromBin(full);
    EXPECT_NE(text.find(":10FFF000"), std::string::npos);
}

TEST(BinToHex, FailedWriteKeepsTheOldFile) {
    Hex h;
    WriteBytes(h.dir / "in.bin", std::vector<std::uint8_t>(100, 0x00));
    std::ofstream(h.dir / "out.hex") << "old";
    AtomicFile::failAfterBytesForTest = 20;
    EXPECT_THROW(BinToHex(h.ws, h.pane, h.dir / "in.bin", h.dir / "out.hex"), FileError);
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_EQ(ReadAll(h.dir / "out.hex"), "old");
}

TEST(HexToBin, LoadingRules) {
    Hex h;
    HexLoad load = h.ToBin(
        ":020000001234B8\r\n"
        "\r\n"
        "  :0100040001FA  \r\n"         // blanks around a record are removed
        ":0100050002\r\n"               // one character short: skipped
        ":0200060155AAF\r\n"            // one character short as well: skipped
        ":0200060155AAF8\r\n"           // type 01 with two data bytes is no end record: skipped
        ":0100060666C4\r\n"             // no such type: skipped
        ":00000001ff\r\n"               // the end record, digits in lower case
        ":0100080077FF\r\n");           // after the end record: not read
    EXPECT_EQ(h.Back(), (std::vector<std::uint8_t>{0x12, 0x34, 0xFF, 0xFF, 0x01}));
    EXPECT_EQ(load.lowest, 0);
    EXPECT_EQ(load.highest, 4);
    EXPECT_EQ(load.skippedLines, (std::vector<long>{4, 5, 6, 7}));
    EXPECT_TRUE(load.checksumErrorLines.empty());
    EXPECT_TRUE(load.endRecord);
    EXPECT_EQ(h.ws.CodeImage[8], 0xFF);
    ASSERT_EQ(h.pane.Lines().size(), 2u);
    EXPECT_EQ(h.pane.LineText(0), cp("Получен файл ") + (h.dir / "back.bin") + cp(" из ") + (h.dir / "in.hex"));
    EXPECT_EQ(h.pane.Lines()[0][0].color, clr::Black);
    EXPECT_EQ(h.pane.LineText(1), cp("Пропущены строки: 4, 5, 6, 7"));
    EXPECT_EQ(h.pane.Lines()[1][0].color, clr::Purple);
}

// Files written by srec_cat (tests/fileutil/fixtures/README.md): extended
// address and start address records, data past FFFFH, a file cut short.
TEST(HexToBin, FilesWrittenBySrecCat) {
    using B = std::vector<std::uint8_t>;
    const B vec{0x02, 0x00, 0x29}, code{0x75, 0x81, 0x60, 0x80, 0xFE};
    const B low{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
    const std::string& start = HexStartIgnoredNotice();
    const std::string& dropped = HexDroppedNotice();
    const std::string& noEnd = HexNoEndNotice();
    struct Case {
        const char* file;
        std::size_t size;
        std::vector<std::pair<std::size_t, B>> bytes;
        std::vector<std::string> notices;
        bool clean;
    };
    const Case cases[] = {
        {"start_linear.hex", 0x2E, {{0, vec}, {0x29, code}}, {start}, true},
        {"start_segment.hex", 0x2E, {{0, vec}, {0x29, code}}, {start}, true},
        {"start_i8hex.hex", 0x2E, {{0, vec}, {0x29, code}}, {}, true},
        {"cut_short.hex", 0x2E, {{0, vec}, {0x29, code}}, {noEnd}, false},
        {"above_linear.hex", 0x10000, {{0, vec}, {0xFFF8, low}}, {dropped}, false},
        {"above_segment.hex", 0x10000, {{0, vec}, {0xFFF8, low}}, {dropped}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Hex h;
        const HexLoad load = h.ToBin(ReadAll(std::string(FILEUTIL_FIXTURES_DIR) + "/" + c.file));
        B expected(c.size, 0xFF);
        for (const auto& [at, run] : c.bytes) std::copy(run.begin(), run.end(), expected.begin() + static_cast<long>(at));
        EXPECT_EQ(h.Back(), expected);
        EXPECT_EQ(load.Clean(), c.clean);
        std::vector<std::string> notices;
        for (std::size_t i = 1; i < h.pane.Lines().size(); ++i) notices.push_back(h.pane.LineText(i));
        EXPECT_EQ(notices, c.notices);
    }
}

TEST(HexToBin, DamageIsLoadedButReported) {
    Hex h;
    HexLoad load = h.ToBin(
        "garbage\n"
        ":0200000012349F\n"   // checksum off by one: loaded, reported
        ":01000200G1FF\n"     // not a hexadecimal pair: 00, reported
        ":XX\n");             // no length: skipped
    EXPECT_EQ(h.Back(), (std::vector<std::uint8_t>{0x12, 0x34, 0x00}));
    EXPECT_EQ(load.skippedLines, (std::vector<long>{1, 4}));
    EXPECT_EQ(load.checksumErrorLines, (std::vector<long>{2, 3}));
    ASSERT_EQ(h.pane.Lines().size(), 4u);
    EXPECT_EQ(h.pane.LineText(1), cp("Пропущены строки: 1, 4"));
    EXPECT_EQ(h.pane.LineText(2), cp("Ошибка контрольной суммы в строках: 2, 3"));
    EXPECT_EQ(h.pane.Lines()[2][0].color, clr::Purple);
    EXPECT_EQ(h.pane.LineText(3), HexNoEndNotice());
}

TEST(HexToBin, NoDataRecordWritesNoFile) {
    Hex h;
    std::ofstream(h.dir / "back.bin") << "old";
    HexLoad load = h.ToBin(":00000001FF\r\n");
    EXPECT_FALSE(load.hasData);
    EXPECT_EQ(ReadAll(h.dir / "back.bin"), "old");
    ASSERT_EQ(h.pane.Lines().size(), 1u);
    EXPECT_EQ(h.pane.Lines()[0][0].color, clr::Red);
    EXPECT_EQ(h.pane.LineText(0),
              cp("В файле ") + (h.dir / "in.hex") + cp(" нет ни одной записи данных: Bin-файл не создан."));
    EXPECT_TRUE(h.ws.BinName.empty());
    h.pane.Clear();
    h.ToBin("", "empty.bin");  // an empty file likewise
    EXPECT_FALSE(FileExists(h.dir / "empty.bin"));
}

TEST(HexToBin, DataAboveZeroAndPastTheTop) {
    Hex h;
    // Data at 0100 only: the binary still starts at address 0.
    h.ToBin(":020100000102FA\n");
    std::vector<std::uint8_t> back = h.Back();
    ASSERT_EQ(back.size(), 0x102u);
    EXPECT_EQ(back[0], 0xFF);
    EXPECT_EQ(back[0x101], 0x02);
    // A record from FFFE with four bytes: the two beyond FFFF are dropped.
    h.pane.Clear();
    HexLoad load = h.ToBin(":04FFFE00AABBCCDDF1\n", "top.bin");
    EXPECT_TRUE(load.clipped);
    EXPECT_EQ(load.highest, 0xFFFF);
    back = h.Back("top.bin");
    ASSERT_EQ(back.size(), 0x10000u);
    EXPECT_EQ(back[0xFFFE], 0xAA);
    EXPECT_EQ(back[0xFFFF], 0xBB);
    EXPECT_EQ(h.ws.CodeImage[0], 0xFF);
    EXPECT_EQ(h.pane.LineText(1), cp("Данные за адресом FFFFH отброшены."));
}

TEST(HexToBin, NamesAndMissingFile) {
    Hex h;
    h.ws.CodeImage[0] = 0x42;
    EXPECT_THROW(ReadHexIntoImage(h.ws, h.dir / "none.hex"), FileError);
    EXPECT_EQ(h.ws.CodeImage[0], 0x42);  // a file that cannot be read leaves the image
    std::ofstream(h.dir / "in.hex") << ":0100000055AA\n";
    HexLoad load = ReadHexIntoImage(h.ws, h.dir / "in.hex");
    WriteBinFromHex(h.ws, h.pane, load, h.dir / "prog");
    EXPECT_EQ(ReadAll(h.dir / "prog.Bin"), "\x55");
    EXPECT_EQ(h.ws.BinName, h.dir / "prog.Bin");
    EXPECT_EQ(h.ws.HexName, h.dir / "in.hex");
}

TEST(HexRoundTrip, RandomBinariesComeBack) {
    Hex h;
    std::mt19937 rng(51);
    for (std::size_t size : {1u, 2u, 15u, 16u, 17u, 255u, 256u, 1000u, 4097u, 65536u}) {
        for (int variant = 0; variant < 3; ++variant) {
            std::vector<std::uint8_t> bytes(size);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
            // Runs of FFH, which are not written, must come back as FFH.
            if (variant == 1)
                for (std::size_t i = size / 3; i < size / 2; ++i) bytes[i] = 0xFF;
            bytes.back() = variant == 2 ? 0x00 : static_cast<std::uint8_t>(rng() % 0xFF);
            const std::uint8_t width = static_cast<std::uint8_t>(1 + rng() % 255);
            std::string hex = h.FromBin(bytes, width, static_cast<std::uint8_t>(variant & 1));
            h.ToBin(hex);
            EXPECT_EQ(h.Back(), bytes) << "size " << size << " width " << int(width);
        }
    }
}

TEST(HexRoundTrip, TrailingFFBytesAreNotRecords) {
    // The records of a range of FFH bytes are not written, so FFH bytes at
    // the end of a binary do not come back: erased EPROM cells.
    Hex h;
    std::vector<std::uint8_t> bytes(40, 0x00);
    for (std::size_t i = 20; i < 40; ++i) bytes[i] = 0xFF;
    h.ToBin(h.FromBin(bytes, 16, 1));
    std::vector<std::uint8_t> back = h.Back();
    EXPECT_EQ(back, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 32));
}
