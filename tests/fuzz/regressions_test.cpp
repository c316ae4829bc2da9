// Every seed of the fuzz corpora and every input that once broke something
// (tests/fuzz/regressions/<target>/) runs through its fuzz entry again.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "fuzz_entries.h"

namespace fs = std::filesystem;
using namespace z51::fuzz;

namespace {

struct BrokenInvariant : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Raise(const std::string& what) { throw BrokenInvariant(what); }

std::vector<fs::path> InputsOf(const std::string& target) {
    std::vector<fs::path> files;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(FUZZ_DATA_DIR) / kind / target;
        if (!fs::is_directory(dir)) continue;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    const std::string s = GetFile(p.string());
    return {s.begin(), s.end()};
}

class FuzzRegression : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { SetCheckHandler(&Raise); }
    void TearDown() override { SetCheckHandler(nullptr); }
};

TEST_P(FuzzRegression, EveryInputRunsClean) {
    const Target* target = FindTarget(GetParam());
    ASSERT_NE(target, nullptr);
    const auto files = InputsOf(GetParam());
    EXPECT_FALSE(files.empty()) << "no seed corpus for " << GetParam();
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const auto data = Bytes(file);
        try {
            target->run(data);
        } catch (const BrokenInvariant& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

std::vector<std::string> TargetNames() {
    std::vector<std::string> names;
    for (const Target& t : Targets()) names.emplace_back(t.name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, ::testing::ValuesIn(TargetNames()),
                         [](const auto& info) { return info.param; });

// A folder under regressions/ or corpus/ must name a target, or its inputs
// would silently never run.
TEST(FuzzRegressionFolders, NameTargets) {
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(FUZZ_DATA_DIR) / kind;
        if (!fs::is_directory(dir)) continue;
        for (const auto& e : fs::directory_iterator(dir)) {
            if (!e.is_directory()) continue;
            EXPECT_NE(FindTarget(e.path().filename().string()), nullptr) << e.path();
        }
    }
}

}  // namespace
