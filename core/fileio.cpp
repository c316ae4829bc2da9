#include "core/fileio.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "core/code_image.h"
#include "core/file_error.h"

namespace z51 {
namespace {

[[noreturn]] void Fail(const std::string& path, int err) {
    throw FileError(path, std::strerror(err));
}

std::string TempNameFor(const std::string& path) {
    return path + ".tmp" + std::to_string(::getpid());
}

// The in-memory file of `path`: its content, or the errno of reading it.
struct MemoryLookup {
    std::string* file = nullptr;
    int err = ENOENT;
};

std::optional<MemoryLookup> InMemory(const std::string& path) {
    MemoryFiles* m = MemoryFiles::Active();
    if (!m) return std::nullopt;
    const std::optional<std::string> key = m->KeyOf(path);
    if (!key) return std::nullopt;
    MemoryLookup r;
    if (auto it = m->files.find(*key); it != m->files.end()) r.file = &it->second;
    else if (m->IsFolder(*key)) r.err = EISDIR;
    return r;
}

}  // namespace

MemoryFiles::MemoryFiles(std::string root)
    : root_(std::filesystem::path(root).lexically_normal().string()), previous_(active_) {
    active_ = this;
}

MemoryFiles::~MemoryFiles() { active_ = previous_; }

std::optional<std::string> MemoryFiles::KeyOf(const std::string& path) const {
    if (path.empty()) return std::nullopt;
    std::string key = std::filesystem::path(path).lexically_normal().string();
    if (key.size() <= root_.size() || key.compare(0, root_.size(), root_) != 0 || key[root_.size()] != '/')
        return std::nullopt;
    return key;
}

bool MemoryFiles::IsFolder(const std::string& key) const {
    if (key == root_) return true;
    auto it = files.lower_bound(key + "/");
    return it != files.end() && it->first.compare(0, key.size() + 1, key + "/") == 0;
}

bool FileExists(const std::string& path) {
    if (auto m = InMemory(path)) return m->file != nullptr;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t FileSize(const std::string& path) {
    struct stat st {};
    if (path.empty()) throw FileError(path, std::strerror(ENOENT));
    if (auto m = InMemory(path)) {
        if (m->file) return m->file->size();
        if (m->err == EISDIR) return 0;
        Fail(path, m->err);
    }
    if (::stat(path.c_str(), &st) != 0) Fail(path, errno);
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

// The whole file into a string or a byte vector, read straight into its
// storage.
template <class Container>
Container ReadWhole(const std::string& path) {
    if (path.empty()) throw FileError(path, std::strerror(ENOENT));
    if (auto m = InMemory(path)) {
        if (!m->file) Fail(path, m->err);
        return Container(m->file->begin(), m->file->end());
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) Fail(path, errno);
    // A device (/dev/zero, a terminal named in $INCLUDE or on the command
    // line) never ends or waits for input: only files and pipes are read.
    struct stat st {};
    const bool known = ::fstat(::fileno(f), &st) == 0;
    if (known && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISDIR(st.st_mode))) {
        std::fclose(f);
        throw FileError(path, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a file but a device");
    }
    // The size is a hint (a pipe has none, a file may grow while read).
    Container data;
    std::size_t used = 0;
    data.resize(known && S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
    for (std::size_t n; (n = std::fread(data.data() + used, 1, data.size() - used, f)) > 0;) {
        used += n;
        if (used == data.size()) data.resize(data.size() * 2);
    }
    int err = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (err) Fail(path, err);
    data.resize(used);
    return data;
}

}  // namespace

std::string ReadTextFile(const std::string& path) { return ReadWhole<std::string>(path); }

std::vector<std::uint8_t> ReadBinaryFile(const std::string& path) { return ReadWhole<std::vector<std::uint8_t>>(path); }

std::vector<std::uint8_t> ReadCodeFile(const std::string& path) {
    // The size is checked before reading so that a huge file is never
    // loaded, and again after, in case the file grew in between.
    constexpr std::size_t kCodeSize = std::tuple_size_v<CodeMemory>;
    std::uint64_t size = FileSize(path);
    auto tooLarge = [&](std::uint64_t n) {
        return FileError(path, "the file has " + std::to_string(n) +
                                   " bytes and does not fit the 65536-byte code memory; nothing was changed");
    };
    if (size > kCodeSize) throw tooLarge(size);
    std::vector<std::uint8_t> bytes = ReadBinaryFile(path);
    if (bytes.size() > kCodeSize) throw tooLarge(bytes.size());
    return bytes;
}

std::string WithDefaultExtension(const std::string& name, std::string_view ext) {
    std::size_t slash = name.find_last_of('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', base) != std::string::npos) return name;
    return name + std::string(ext);
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), tmp_(TempNameFor(path_)) {
    if (path_.empty()) throw FileError(path_, std::strerror(ENOENT));
    if (auto m = InMemory(tmp_)) {
        MemoryFiles& files = *MemoryFiles::Active();
        const std::string key = *files.KeyOf(tmp_);
        const std::string folder = std::filesystem::path(key).parent_path().string();
        if (!files.IsFolder(folder)) Fail(path_, ENOENT);
        if (m->err == EISDIR) Fail(path_, EEXIST);
        memory_ = &(files.files[key] = std::string());
        return;
    }
    // A stale temporary of a crashed run is removed; O_EXCL then refuses to
    // follow anything planted at that name in between.
    ::unlink(tmp_.c_str());
    const int fd = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) Fail(path_, errno);
    f_ = ::fdopen(fd, "wb");
    if (!f_) {
        const int err = errno;
        ::close(fd);
        std::remove(tmp_.c_str());
        Fail(path_, err);
    }
}

AtomicFile::~AtomicFile() {
    if (memory_) {
        MemoryFiles::Active()->files.erase(*MemoryFiles::Active()->KeyOf(tmp_));
    } else if (f_) {
        std::fclose(f_);
        std::remove(tmp_.c_str());
    }
}

void AtomicFile::Write(std::string_view bytes) {
    if (failAfterBytesForTest >= 0 && written_ + static_cast<long long>(bytes.size()) > failAfterBytesForTest)
        throw FileError(path_, std::strerror(ENOSPC));
    if (memory_) memory_->append(bytes);
    else if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) Fail(path_, errno);
    written_ += static_cast<long long>(bytes.size());
}

void AtomicFile::Write(std::span<const std::uint8_t> bytes) {
    Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void AtomicFile::Commit() {
    if (memory_) {
        MemoryFiles& files = *MemoryFiles::Active();
        if (auto target = InMemory(path_); target && !target->file && target->err == EISDIR) Fail(path_, EISDIR);
        files.files[*files.KeyOf(path_)] = std::move(*memory_);
        files.files.erase(*files.KeyOf(tmp_));
        memory_ = nullptr;
        return;
    }
    if (std::fflush(f_) != 0 || ::fsync(::fileno(f_)) != 0) Fail(path_, errno);
    // Keep the permissions of a file that is being replaced.
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) ::fchmod(::fileno(f_), st.st_mode & 07777);
    int rc = std::fclose(f_);
    f_ = nullptr;
    if (rc != 0) {
        int err = errno;
        std::remove(tmp_.c_str());
        Fail(path_, err);
    }
    if (std::rename(tmp_.c_str(), path_.c_str()) != 0) {
        int err = errno;
        std::remove(tmp_.c_str());
        Fail(path_, err);
    }
}

void WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes) {
    AtomicFile f(path);
    f.Write(bytes);
    f.Commit();
}

void WriteFileAtomic(const std::string& path, std::string_view text) {
    AtomicFile f(path);
    f.Write(text);
    f.Commit();
}

void SetFileTime(const std::string& path, std::int64_t unixSeconds) {
    if (auto m = InMemory(path)) {
        if (!m->file) Fail(path, m->err);
        return;
    }
    struct timeval tv[2] = {};
    tv[0].tv_sec = static_cast<time_t>(unixSeconds);
    tv[1].tv_sec = static_cast<time_t>(unixSeconds);
    if (::utimes(path.c_str(), tv) != 0) Fail(path, errno);
}

void TextReader::Open(const std::string& path) {
    data_ = ReadTextFile(path);
    path_ = path;
    pos_ = 0;
    open_ = true;
}

void TextReader::OpenText(std::string text) {
    data_ = std::move(text);
    path_.clear();
    pos_ = 0;
    open_ = true;
}

void TextReader::Close() {
    open_ = false;
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
}

std::string TextReader::ReadLine() {
    if (AtEnd()) return {};
    std::size_t end = data_.find_first_of("\r\n", pos_);
    if (end == std::string::npos) end = data_.size();
    std::string line = data_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n' && (pos_ == end || data_[end] == '\r')) ++pos_;
    return line;
}

}  // namespace z51
