#pragma once
// File access of the core. Every failure raises FileError. Files that the
// programs write are built in a temporary file beside the target and
// renamed over it only when complete, so a failure never leaves a
// half-written file in place of a good one.

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace z51 {

// Test seam: while an object of this class exists, the files inside its
// folder `root` live in memory. FileSize, FileExists, the reads,
// AtomicFile and SetFileTime take every path inside `root` from `files`
// (a path with files below it is a folder, any other path is missing) and
// every path outside from the file system; folder listings (include files
// found ignoring case) still read the disk. The fuzzers use it, where
// system calls cost more than the work under test.
class MemoryFiles {
public:
    explicit MemoryFiles(std::string root);
    ~MemoryFiles();
    MemoryFiles(const MemoryFiles&) = delete;
    MemoryFiles& operator=(const MemoryFiles&) = delete;

    // The one that is installed, or nullptr.
    static MemoryFiles* Active() { return active_; }
    // The key of `path` in `files` (lexically normal) when it lies inside
    // `root`; nothing otherwise.
    std::optional<std::string> KeyOf(const std::string& path) const;
    bool IsFolder(const std::string& key) const;

    std::map<std::string, std::string> files;

private:
    std::string root_;
    MemoryFiles* previous_;
    static inline MemoryFiles* active_ = nullptr;
};

// Size of a file in bytes.
std::uint64_t FileSize(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::uint8_t> ReadBinaryFile(const std::string& path);
// A binary file that must fit code memory: raises FileError when it cannot
// be read or is larger than 65,536 bytes.
std::vector<std::uint8_t> ReadCodeFile(const std::string& path);
std::string ReadTextFile(const std::string& path);

// Writes the whole content at once (temporary file, then rename).
void WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes);
void WriteFileAtomic(const std::string& path, std::string_view text);

// A file under construction: Write() as often as needed, then Commit()
// renames it over the target. Destroyed without Commit() it removes the
// temporary file and leaves the target as it was.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(std::string_view bytes);
    void Write(std::span<const std::uint8_t> bytes);
    void Commit();
    const std::string& Path() const { return path_; }

    // Test seam: when non-negative, writing fails once this many bytes
    // have gone into a file (simulates a full disk).
    static inline long long failAfterBytesForTest = -1;

private:
    std::string path_;
    std::string tmp_;
    std::FILE* f_ = nullptr;
    std::string* memory_ = nullptr;  // the temporary file, when it lives in MemoryFiles
    long long written_ = 0;
};

// `name` as it is when its file-name part holds a "."; otherwise name + ext
// (ext given with its dot, e.g. ".Hex").
std::string WithDefaultExtension(const std::string& name, std::string_view ext);

// Sets the modification time of a file (seconds since the epoch, local
// time already resolved by the caller).
void SetFileTime(const std::string& path, std::int64_t unixSeconds);

// Reads a text file line by line. A line ends at LF, CR LF or a lone CR;
// the end-of-line characters are not part of the line.
class TextReader {
public:
    TextReader() = default;
    explicit TextReader(const std::string& path) { Open(path); }
    void Open(const std::string& path);
    // Text already in memory (tests, in-memory include sets).
    void OpenText(std::string text);
    void Close();
    bool IsOpen() const { return open_; }
    bool AtEnd() const { return !open_ || pos_ >= data_.size(); }
    // Next line; an empty string at the end.
    std::string ReadLine();
    // Everything not read yet, line ends included.
    std::string_view Rest() const { return AtEnd() ? std::string_view() : std::string_view(data_).substr(pos_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string data_;
    std::size_t pos_ = 0;
    bool open_ = false;
};

}  // namespace z51
