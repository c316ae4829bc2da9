#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "core/fileio.h"
#include "fuzz_entries.h"
#include "fuzz_pane.h"

namespace z51::fuzz {
namespace {

constexpr std::array<Target, 9> kTargets{{
    {"razborstr", &FuzzRazborStr},
    {"evaluator", &FuzzEvaluator},
    {"assemble", &FuzzAssemble},
    {"hexread", &FuzzHexRead},
    {"disasm", &FuzzDisasm},
    {"emulator", &FuzzEmulator},
    {"phonebook", &FuzzPhoneBook},
    {"compare", &FuzzCompare},
    {"condition", &FuzzCondition},
}};

void AbortOnCheck(const std::string& what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
    std::abort();
}

CheckHandler gHandler = &AbortOnCheck;

class Scratch {
public:
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/zanvek_fuzz_XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::span<const Target> Targets() { return kTargets; }

const Target* FindTarget(std::string_view name) {
    for (const Target& t : kTargets)
        if (name == t.name) return &t;
    return nullptr;
}

void SetCheckHandler(CheckHandler handler) { gHandler = handler ? handler : &AbortOnCheck; }

void FuzzCheck(bool ok, std::string_view what) {
    if (!ok) gHandler(std::string(what));
}

const std::string& ScratchDir() {
    static const Scratch scratch;
    return scratch.Path();
}

std::string ScratchFile(std::string_view name) { return ScratchDir() + "/" + std::string(name); }

void PutFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

std::string GetFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    std::string data;
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    std::fclose(f);
    return data;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

InjectWriteFailure::InjectWriteFailure(long long afterBytes) { AtomicFile::failAfterBytesForTest = afterBytes; }
InjectWriteFailure::~InjectWriteFailure() { AtomicFile::failAfterBytesForTest = -1; }

bool LeftoverTempFile() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(ScratchDir(), ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename().string().find(".tmp") != std::string::npos) return true;
    }
    return false;
}

}  // namespace z51::fuzz
