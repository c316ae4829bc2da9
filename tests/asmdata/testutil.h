#pragma once
// A temporary folder per test, removed afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/fileio.h"

namespace z51test {

struct TempDir {
    std::filesystem::path dir;
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              ("z51asmdata_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~TempDir() { std::filesystem::remove_all(dir); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // Writes a file (folders created as needed) and returns its path.
    std::string Write(const std::string& name, const std::string& text) const {
        const auto p = dir / name;
        std::filesystem::create_directories(p.parent_path());
        z51::WriteFileAtomic(p.string(), text);
        return p.string();
    }
};

}  // namespace z51test
