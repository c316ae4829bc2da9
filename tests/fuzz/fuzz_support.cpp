#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>

#include "core/fileio.h"
#include "core/workspace.h"
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

Workspace& FreshWorkspace(std::size_t slot) {
    static std::array<std::unique_ptr<Workspace>, 2> pool;
    std::unique_ptr<Workspace>& ws = pool.at(slot);
    if (!ws) ws = std::make_unique<Workspace>();
    std::vector<SourceLine> lines = std::move(ws->Sources.lines);
    lines.clear();
    *ws = Workspace{};
    ws->Sources.lines = std::move(lines);
    return *ws;
}

std::string ScratchFolder(std::string_view name) {
    const std::string folder = ScratchFile(name);
    std::filesystem::create_directories(folder);
    return folder;
}

void PutFile(const std::string& path, std::string_view bytes) {
    if (MemoryFiles* m = MemoryFiles::Active()) {
        if (const auto key = m->KeyOf(path)) {
            m->files[*key].assign(bytes);
            // Folder listings read the disk: an empty file there gives the
            // name (once per name; its content is the one in memory).
            static std::set<std::string> named;
            if (named.insert(*key).second) {
                std::filesystem::create_directories(std::filesystem::path(*key).parent_path());
                std::FILE* f = std::fopen(key->c_str(), "wb");
                if (f) std::fclose(f);
            }
            return;
        }
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

std::string GetFile(const std::string& path) {
    if (MemoryFiles* m = MemoryFiles::Active()) {
        if (const auto key = m->KeyOf(path)) {
            const auto it = m->files.find(*key);
            return it == m->files.end() ? std::string() : it->second;
        }
    }
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
    if (MemoryFiles* m = MemoryFiles::Active())
        if (const auto key = m->KeyOf(path)) return m->files.count(*key) != 0;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void RemoveFile(const std::string& path) {
    if (MemoryFiles* m = MemoryFiles::Active()) {
        if (const auto key = m->KeyOf(path)) {
            m->files.erase(*key);
            return;
        }
    }
    std::remove(path.c_str());
}

InjectWriteFailure::InjectWriteFailure(long long afterBytes) { AtomicFile::failAfterBytesForTest = afterBytes; }
InjectWriteFailure::~InjectWriteFailure() { AtomicFile::failAfterBytesForTest = -1; }

bool LeftoverTempFile() {
    auto temporary = [](const std::string& name) { return name.find(".tmp") != std::string::npos; };
    if (MemoryFiles* m = MemoryFiles::Active())
        return std::any_of(m->files.begin(), m->files.end(), [&](const auto& f) { return temporary(f.first); });
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(ScratchDir(), ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (temporary(it->path().filename().string())) return true;
    }
    return false;
}

}  // namespace z51::fuzz
