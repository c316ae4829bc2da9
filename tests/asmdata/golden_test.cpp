// The example with macros, an include file, conditional blocks and every
// data directive assembles to its approved listing, .Bin and .Hex, byte for
// byte. UPDATE_GOLDEN=1 approves the current output (review the diff
// before committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

#include "assembler/assembler.h"
#include "core/cp1251.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(ZANVEK_SOURCE_DIR) / "examples";
const fs::path kGolden = fs::path(ZANVEK_SOURCE_DIR) / "tests" / "asmdata" / "golden";

std::time_t FixedClock() {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 15;
    tm.tm_hour = 12;
    return std::mktime(&tm);
}

void Compare(const fs::path& golden, const std::string& actual) {
    if (std::getenv("UPDATE_GOLDEN")) {
        z51::WriteFileAtomic(golden.string(), actual);
        return;
    }
    ASSERT_TRUE(z51::FileExists(golden.string())) << golden << " is missing; run with UPDATE_GOLDEN=1";
    const std::string expected = z51::ReadTextFile(golden.string());
    EXPECT_EQ(actual.size(), expected.size()) << golden;
    EXPECT_TRUE(actual == expected) << golden << " differs; run with UPDATE_GOLDEN=1 and review the diff";
}

}  // namespace

TEST(Golden, MacrosExampleAssemblesToItsApprovedOutput) {
    z51test::TempDir dir;
    // The source names its register file in capitals; the copy keeps the
    // file's own lower-case name, so the letter-case fallback is used.
    for (const char* f : {"macros.a51", "reg51.inc"}) fs::copy_file(kExamples / f, dir.dir / f);
    auto ws = std::make_unique<z51::Workspace>();
    ws->SourceName = dir.Path("macros.a51");
    z51::RecordingPane first, pane;
    z51::Assembler as(*ws, first);
    as.State().Clock = &FixedClock;
    as.Prohod1();
    as.RunFirstPass();
    EXPECT_EQ(as.State().ErrorCount, 0) << z51::Cp1251ToUtf8(first.Text());
    as.SetPane(pane);
    ASSERT_TRUE(as.FinalPass()) << z51::Cp1251ToUtf8(pane.Text());
    Compare(kGolden / "macros.lst", z51::Cp1251ToUtf8(pane.Text()) + "\n");
    Compare(kGolden / "macros.Bin", z51::ReadTextFile(dir.Path("macros.Bin")));
    Compare(kGolden / "macros.Hex", z51::ReadTextFile(dir.Path("macros.Hex")));
}
