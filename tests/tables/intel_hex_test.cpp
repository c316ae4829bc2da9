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

namespace {

// A reader's walk through record lines: what each one is and where its
// bytes go, after the upper-address records before it.
struct Step {
    const char* line;
    bool decodes;
    HexKind kind;
    std::uint32_t address;  // Data: where the kept bytes start
    std::size_t kept;
    bool dropped;
    bool checksumOk;
};

}  // namespace

TEST(IntelHexReader, RecordsInFileOrder) {
    using K = HexKind;
    const Step steps[] = {
        {":0300300002000378", true, K::Data, 0x0030, 3, false, false},  // checksum off: reported by the caller
        {":03003000020003C8", true, K::Data, 0x0030, 3, false, true},
        {":03003000020003C", false, K::Other, 0, 0, false, false},         // one digit short
        {":XY003000", false, K::Other, 0, 0, false, false},
        {":04FFFE00AABBCCDDF1", true, K::Data, 0xFFFE, 2, true, true},    // runs past FFFFH: the rest is dropped
        {":020000040001F9", true, K::UpperAddress, 0, 0, false, true},    // linear 0001 -> 10000H
        {":0100000055AA", true, K::Data, 0x10000, 0, true, true},         // above FFFFH: nothing kept, no wrap
        {":020000020800F4", true, K::UpperAddress, 0, 0, false, true},    // segment 0800 -> 8000H
        {":0101000055A9", true, K::Data, 0x8100, 1, false, true},
        {":020000040000FA", true, K::UpperAddress, 0, 0, false, true},
        {":0101000055A9", true, K::Data, 0x0100, 1, false, true},
        {":0400000300000029D0", true, K::StartAddress, 0, 0, false, true},
        {":0400000500000029CE", true, K::StartAddress, 0, 0, false, true},
        {":0100000655A4", true, K::Other, 0, 0, false, true},             // no such type
        {":0100000155A9", true, K::Other, 0, 0, false, true},             // an end record carries no data
        {":03000004000100F8", true, K::Other, 0, 0, false, true},         // an upper address has two bytes
        {":0100000G55AA", true, K::Other, 0, 0, false, false},            // the type is no hexadecimal pair
        {":00002901D6", true, K::End, 0, 0, false, true},                 // srec_cat's i8hex end record
        {":00000001ff", true, K::End, 0, 0, false, true},
    };
    std::uint32_t upper = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.line);
        const std::optional<HexRecordLine> r = DecodeHexRecord(s.line);
        ASSERT_EQ(r.has_value(), s.decodes);
        if (!r) continue;
        const HexPlacement p = PlaceHexRecord(*r, upper);
        EXPECT_EQ(p.kind, s.kind);
        EXPECT_EQ(r->checksumOk, s.checksumOk);
        if (p.kind != K::Data) continue;
        EXPECT_EQ(p.address, s.address);
        EXPECT_EQ(p.kept, s.kept);
        EXPECT_EQ(p.dropped, s.dropped);
    }
    // A data pair that is not hexadecimal reads as 00 and marks the record.
    const std::optional<HexRecordLine> r = DecodeHexRecord(":02000000G1FFFF");
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->damaged);
    EXPECT_FALSE(r->checksumOk);
    EXPECT_EQ(r->data[0], 0x00);
    EXPECT_EQ(r->data[1], 0xFF);
}
