// The classic Intel dialect beside the described syntax: sources written
// for it assemble unchanged, and what the described syntax already gave a
// meaning keeps it.
#include <gtest/gtest.h>

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Dialect, AsWritten,
    ::testing::Values(
        // Blanks inside an expression belong to the operand; other text
        // after a blank still ends it.
        Written{"BlanksInsideExpressions",
                "X EQU 10 * 2\n\tDB X\n\tMOV A,#HIGH 1234H\n\tMOV A, #LOW (1234H) ; low\n"
                "\tCJNE A,#'A' + 1 , L\nL:\tDB 1 + 1, 2 * 3\n\tMOV A,#5 LOAD\n",
                {20, 0x74, 0x12, 0x74, 0x34, 0xB4, 0x42, 0x00, 2, 6, 0x74, 5}},
        Written{"BlanksInsideMacroParameters", "PUT MACRO\n\tDB \\0,\\1\n\tENDM\n\tPUT 1 + 2, HIGH 0300H\n\tNOP\n", {3, 3, 0}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace z51::test
