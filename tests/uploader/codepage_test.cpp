// The code page table against the system's own converter (iconv).

#include "uploader/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>

namespace tolvane {
namespace {

std::string Iconv(const char* to, char byte) {
    const iconv_t converter = ::iconv_open(to, "CP1251");
    if (converter == reinterpret_cast<iconv_t>(-1)) return "(no converter)";
    char in[1] = {byte};
    char out[8];
    char* from = in;
    char* into = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool converted =
        ::iconv(converter, &from, &inLeft, &into, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(converter);
    return converted ? std::string(out, into) : "(not converted)";
}

std::string Hex(const std::string& bytes) {
    std::string hex;
    for (const char b : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(b));
        hex += digits;
    }
    return hex;
}

TEST(CodePage1251, AgreesWithIconvOnEveryAssignedByte) {
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 0x98) continue;  // unassigned in code page 1251
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Cp1251ToUtf8(one), Iconv("UTF-8", one[0])) << byte;
        EXPECT_EQ(Cp1251ToUcs2Hex(one), Hex(Iconv("UCS-2BE", one[0]))) << byte;
    }
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tolvane
