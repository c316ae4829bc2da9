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
#include "assembler/trim.h"
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

// Assembles `source` (both passes); returns the .Bin file's bytes.
std::string AssembleToBin(const std::string& source, z51::Pane& first, z51::Pane& final) {
    auto ws = std::make_unique<z51::Workspace>();
    ws->SourceName = source;
    z51::Assembler as(*ws, first);
    as.State().Clock = &FixedClock;
    as.Prohod1();
    as.RunFirstPass();
    EXPECT_EQ(as.State().ErrorCount, 0) << source;
    as.SetPane(final);
    EXPECT_TRUE(as.FinalPass()) << source;
    const std::size_t dot = source.rfind('.');
    return z51::ReadTextFile(source.substr(0, dot) + ".Bin");
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
    z51::RecordingPane first, pane;
    const std::string bin = AssembleToBin(dir.Path("macros.a51"), first, pane);
    EXPECT_TRUE(first.Text().find(z51::cp("Выявлено ошибок")) == std::string::npos) << z51::Cp1251ToUtf8(first.Text());
    Compare(kGolden / "macros.lst", z51::Cp1251ToUtf8(pane.Text()) + "\n");
    Compare(kGolden / "macros.Bin", bin);
    Compare(kGolden / "macros.Hex", z51::ReadTextFile(dir.Path("macros.Hex")));
}

TEST(Golden, PreprocessedExampleAssemblesToTheSameCode) {
    z51test::TempDir dir;
    for (const char* f : {"macros.a51", "reg51.inc"}) fs::copy_file(kExamples / f, dir.dir / f);
    z51::NullPane quiet;
    const std::string original = AssembleToBin(dir.Path("macros.a51"), quiet, quiet);
    auto ws = std::make_unique<z51::Workspace>();
    z51::TrimSource(quiet, *ws, dir.Path("macros.a51"));
    fs::rename(dir.dir / "macros.Trm", dir.dir / "trimmed.a51");
    EXPECT_EQ(AssembleToBin(dir.Path("trimmed.a51"), quiet, quiet), original);
}
