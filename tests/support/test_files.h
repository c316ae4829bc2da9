#pragma once
// Helpers of the file-based tests: a temporary folder, files as bytes,
// pane text with its colours, golden files (UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "core/cp1251.h"
#include "core/pane.h"

namespace z51::test {

namespace fs = std::filesystem;

// A fresh temporary folder per object, removed with it.
struct TempDir {
    fs::path dir;
    TempDir() {
        static int serial = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "z51test_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
        if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
        for (char& ch : name)
            if (ch == '/') ch = '_';  // parameterised test names
        dir = fs::temp_directory_path() / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(std::string_view name) const { return (dir / name).string(); }
    std::string File(std::string_view name) const { return (dir / name).string(); }
    const fs::path& Path() const { return dir; }
    // Writes a file (folders created as needed) and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        const fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline const char* ColourName(Color c) {
    switch (c) {
    case clr::Black: return "black";
    case clr::Red: return "red";
    case clr::Blue: return "blue";
    case clr::Navy: return "navy";
    case clr::Green: return "green";
    case clr::Maroon: return "maroon";
    case clr::Purple: return "purple";
    case clr::Fuchsia: return "fuchsia";
    case clr::Teal: return "teal";
    default: return "?";
    }
}

// Each line as {colour}text runs, converted to UTF-8 for reading.
inline std::string PaneWithColours(const RecordingPane& pane) {
    std::string s;
    for (const auto& line : pane.Lines()) {
        for (const auto& run : line) s += std::string("{") + ColourName(run.color) + "}" + Cp1251ToUtf8(run.text);
        s += '\n';
    }
    return s;
}

// Compares `actual` with the golden file byte for byte.
inline void ExpectGolden(const std::string& goldenDir, const std::string& name, const std::string& actual) {
    const std::string path = goldenDir + "/" + name;
    if (std::getenv("UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << "no golden file " << path << " (run with UPDATE_GOLDEN=1 to create it)";
    EXPECT_EQ(ReadAll(path), actual) << "differs from golden " << path << " (UPDATE_GOLDEN=1 re-approves)";
}

}  // namespace z51::test
