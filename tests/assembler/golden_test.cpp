// Every program under examples/ assembles to its approved listing, .Bin
// and .Hex, byte for byte. UPDATE_GOLDEN=1 approves the current output
// (review the diff before committing it).

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "asm_test_util.h"

namespace z51::test {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(ZANVEK_SOURCE_DIR) / "examples";
const fs::path kGolden = fs::path(ZANVEK_SOURCE_DIR) / "tests" / "assembler" / "golden";

// An example whose output another test folder approves
// (tests/<folder>/golden/<name>.lst) is checked there.
bool ApprovedElsewhere(const std::string& name) {
    for (const auto& d : fs::directory_iterator(kGolden.parent_path().parent_path()))
        if (d.path() != kGolden.parent_path() && fs::exists(d.path() / "golden" / (name + ".lst"))) return true;
    return false;
}

std::vector<std::string> Programs() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.path().extension() == ".a51" && !ApprovedElsewhere(e.path().stem().string()))
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Compare(const fs::path& golden, const std::string& actual, bool update) {
    if (update) {
        WriteFileAtomic(golden.string(), actual);
        return;
    }
    ASSERT_TRUE(FileExists(golden.string())) << golden << " is missing; run with UPDATE_GOLDEN=1";
    std::string expected = ReadTextFile(golden.string());
    EXPECT_EQ(actual.size(), expected.size()) << golden;
    EXPECT_TRUE(actual == expected) << golden << " differs; run with UPDATE_GOLDEN=1 and review the diff";
}

TEST(Golden, ExamplesAssembleToTheirApprovedOutput) {
    const bool update = std::getenv("UPDATE_GOLDEN") != nullptr;
    std::vector<std::string> programs = Programs();
    ASSERT_FALSE(programs.empty());
    for (const std::string& name : programs) {
        SCOPED_TRACE(name);
        TempDir dir;
        for (const auto& e : fs::directory_iterator(kExamples))
            if (e.is_regular_file()) fs::copy_file(e.path(), dir.Path() / e.path().filename());
        auto ws = std::make_unique<Workspace>();
        ws->SourceName = dir.File(name + ".a51");
        NullPane first;
        RecordingPane pane;
        Assembler as(*ws, first);
        as.State().Clock = &FixedClock;
        as.Prohod1();
        as.RunFirstPass();
        as.SetPane(pane);
        EXPECT_TRUE(as.FinalPass()) << Cp1251ToUtf8(pane.Text());
        Compare(kGolden / (name + ".lst"), Cp1251ToUtf8(pane.Text()) + "\n", update);
        Compare(kGolden / (name + ".Bin"), ReadTextFile(dir.File(name + ".Bin")), update);
        Compare(kGolden / (name + ".Hex"), ReadTextFile(dir.File(name + ".Hex")), update);
    }
}

}  // namespace
}  // namespace z51::test
