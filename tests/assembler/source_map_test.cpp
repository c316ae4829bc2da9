// The source map of an assembly: each code address names the file and
// line that produced it, through include files and macro calls; the
// symbols tell code labels from equates.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/assembly.h"

using namespace z51;
using namespace z51::test;

TEST(SourceMap, AddressesNameTheirFileAndLine) {
    Assembly r;
    r.dir.Write("outer.inc", "\tDB 1\n$INCLUDE \\inner.inc\n\tDB 3\n");
    r.dir.Write("inner.inc", "\tNOP\n\tDB 2");
    ASSERT_TRUE(r.Assemble("INCA:\tMACRO\n\tINC A\n\tENDM\n"  // 1-3
                           "\tORG 10H\n"                      // 4
                           "START:\tMOV A,#1\n"               // 5: 0010
                           "$INCLUDE \\outer.inc\n"           // 6: 0012..0015
                           "\tINCA\n"                         // 7: 0016, the macro's INC A
                           "LOOP:\tSJMP LOOP\n"               // 8: 0017
                           "COUNT\tEQU 17H\n"));
    const SourceMap& m = r.ws->Sources;
    auto where = [&](std::uint16_t a) {
        const SourceLine* l = m.At(a);
        if (!l) return std::string("-");
        return std::filesystem::path(m.files.at(l->file)).filename().string() + ":" + std::to_string(l->line);
    };
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0x000F, "-"},           {0x0010, "prog.a51:5"}, {0x0011, "prog.a51:5"}, {0x0012, "outer.inc:1"},
        {0x0013, "inner.inc:1"}, {0x0014, "inner.inc:2"}, {0x0015, "outer.inc:3"}, {0x0016, "prog.a51:7"},
        {0x0017, "prog.a51:8"},  {0x0019, "-"},
    };
    for (auto [address, want] : cases) EXPECT_EQ(where(address), want) << std::hex << address;
    EXPECT_EQ(m.Where(0x0010), r.ws->SourceName + ":5");

    ASSERT_TRUE(m.LabelAt(0x0017));
    EXPECT_EQ(m.LabelAt(0x0017)->name, "LOOP");  // not the equate of the same value
    EXPECT_EQ(m.LabelAt(0x0010)->name, "START");
    EXPECT_EQ(m.Value("COUNT"), 0x17);
    EXPECT_FALSE(m.Value("INCA"));

    // The map describes the image the assembly left, and no other.
    EXPECT_TRUE(m.Describes(r.ws->CodeImage));
    r.ws->CodeImage[0x10] ^= 1;
    EXPECT_FALSE(m.Describes(r.ws->CodeImage));
    const auto serial = m.serial;
    r.FinalPassAgain();
    EXPECT_TRUE(m.Describes(r.ws->CodeImage));
    EXPECT_NE(m.serial, serial);
}
