// Every program under examples/ assembles to its approved listing, .Bin
// and .Hex, byte for byte, and its pre-processed source assembles to the
// same code. UPDATE_GOLDEN=1 approves the current output (review the diff
// before committing it).

#include <algorithm>
#include <filesystem>

#include "assembler/trim.h"
#include "tests/support/assembly.h"

namespace z51::test {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(ZANVEK_SOURCE_DIR) / "examples";
const std::string kGolden = (fs::path(ZANVEK_SOURCE_DIR) / "tests" / "assembler" / "golden").string();

std::vector<std::string> Programs() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.path().extension() == ".a51") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A copy of examples/ (include files keep their own letter case, so a
// source naming REG51.INC uses the letter-case fallback).
void CopyExamples(const TempDir& dir) {
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.is_regular_file()) fs::copy_file(e.path(), dir.Path() / e.path().filename());
}

// Both passes over `source`; true when the final pass wrote its files.
bool AssembleFile(const std::string& source, Pane& first, Pane& final) {
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = source;
    Assembler as(*ws, first);
    as.State().Clock = &FixedClock;
    as.Prohod1();
    as.RunFirstPass();
    as.SetPane(final);
    return as.FinalPass();
}

TEST(Golden, ExamplesAssembleToTheirApprovedOutput) {
    const std::vector<std::string> programs = Programs();
    ASSERT_FALSE(programs.empty());
    for (const std::string& name : programs) {
        SCOPED_TRACE(name);
        TempDir dir;
        CopyExamples(dir);
        RecordingPane first, pane;
        EXPECT_TRUE(AssembleFile(dir.File(name + ".a51"), first, pane)) << Cp1251ToUtf8(pane.Text());
        EXPECT_EQ(first.Text().find(cp("Выявлено ошибок")), std::string::npos) << Cp1251ToUtf8(first.Text());
        ExpectGolden(kGolden, name + ".lst", Cp1251ToUtf8(pane.Text()) + "\n");
        ExpectGolden(kGolden, name + ".Bin", ReadAll(dir.File(name + ".Bin")));
        ExpectGolden(kGolden, name + ".Hex", ReadAll(dir.File(name + ".Hex")));
    }
}

TEST(Golden, PreprocessedExamplesAssembleToTheSameCode) {
    for (const std::string& name : Programs()) {
        SCOPED_TRACE(name);
        TempDir dir;
        CopyExamples(dir);
        NullPane quiet;
        ASSERT_TRUE(AssembleFile(dir.File(name + ".a51"), quiet, quiet));
        const std::string original = ReadAll(dir.File(name + ".Bin"));
        Workspace ws;
        TrimSource(quiet, ws, dir.File(name + ".a51"));
        fs::rename(dir.Path() / (name + ".Trm"), dir.Path() / "trimmed.a51");
        ASSERT_TRUE(AssembleFile(dir.File("trimmed.a51"), quiet, quiet));
        EXPECT_EQ(ReadAll(dir.File("trimmed.Bin")), original);
    }
}

}  // namespace
}  // namespace z51::test
