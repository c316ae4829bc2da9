#include "isa/intel_hex.h"

#include <gtest/gtest.h>

#include <vector>

using namespace z51;

TEST(IntelHexWriter, RecordFormatAndChecksum) {
    auto record = [](std::uint8_t type, std::uint16_t address, std::vector<std::uint8_t> data) {
        std::string s;
        AppendHexRecord(s, type, address, data);
        return s;
    };
    EXPECT_EQ(record(0x00, 0x0000, {0x02, 0x00, 0x30}), ":03000000020030CB");
    EXPECT_EQ(record(0x00, 0x0010, {0x55}), ":010010005" "59A");
    EXPECT_EQ(record(0x00, 0x0000, {}), ":0000000000");
    // As srec_cat writes them (tests/fileutil/fixtures).
    EXPECT_EQ(record(0x04, 0x0000, {0x00, 0x01}), ":020000040001F9");
    EXPECT_EQ(record(0x05, 0x0000, {0x00, 0x00, 0x00, 0x29}), ":0400000500000029CE");
    EXPECT_EQ(record(0x01, 0x0000, {}), kHexEndRecord);
}

TEST(IntelHexWriter, FileTextRangeWidthAndLineEnds) {
    CodeMemory image;
    image.fill(0xFF);
    image[0xFFFE] = 0x12;
    image[0xFFFF] = 0x34;
    // The range is clamped to code memory; an FFH-only record is left out.
    EXPECT_EQ(HexFileText(image, 0xFFF0, 0x1FFFF, 8, true), ":08FFF800FFFFFFFFFFFF1234C1\r\n:00000001FF\r\n");
    EXPECT_EQ(HexFileText(image, 0xFFFE, 0xFFFF, 0, false), ":01FFFE0012F0\n:01FFFF0034CD\n:00000001FF");
    EXPECT_EQ(HexFileText(image, 5, 4, 16, true), ":00000001FF\r\n");
}
