#include "emulator/emufiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "core/cp1251.h"
#include "core/file_error.h"
#include "core/fileio.h"
#include "emulator/chip.h"
#include "emulator/exec.h"

namespace z51 {
namespace {

constexpr std::uint64_t kMemorySize = 0x10000;

// Reads at most `limit` bytes from the start of the file; raises FileError.
std::vector<std::uint8_t> ReadPrefix(const std::string& path, std::size_t limit) {
    if (path.empty()) throw FileError(path, std::strerror(ENOENT));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw FileError(path, std::strerror(errno));
    std::vector<std::uint8_t> data(limit);
    const std::size_t n = limit ? std::fread(data.data(), 1, limit, f) : 0;
    const int err = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (err) throw FileError(path, std::strerror(err));
    data.resize(n);
    return data;
}

LoadResult Failure(const FileError& e) { return {LoadStatus::Failed, e.Path() + ": " + e.Reason()}; }

// A program or external RAM image: at most 65,536 bytes.
LoadResult ReadImage(const std::string& name, std::vector<std::uint8_t>& data) {
    try {
        const std::uint64_t size = FileSize(name);
        if (size > kMemorySize)
            return {LoadStatus::Refused,
                    cp("Файл ") + name + cp(" больше 65536 байт (") + std::to_string(size) +
                        cp(" байт) и не загружен")};
        data = ReadPrefix(name, static_cast<std::size_t>(size));
    } catch (const FileError& e) {
        return Failure(e);
    }
    return {};
}

}  // namespace

LoadResult LoadProgram(Workspace& ws, Cpu51& cpu, const std::string& name) {
    std::vector<std::uint8_t> data;
    LoadResult r = ReadImage(name, data);
    if (!r.Ok()) return r;
    std::copy(data.begin(), data.end(), ws.CodeImage.begin());
    cpu.codeLoadCount = static_cast<std::uint32_t>(data.size());
    cpu.notice = {};  // what the simple model noted was about the program before
    FetchCurrent(cpu, ws.CodeImage);
    return r;
}

LoadResult LoadExt(Cpu51& cpu, const std::string& name) {
    std::vector<std::uint8_t> data;
    LoadResult r = ReadImage(name, data);
    if (!r.Ok()) return r;
    std::copy(data.begin(), data.end(), cpu.xram.begin());
    cpu.extRamCount = static_cast<std::uint32_t>(data.size());
    return r;
}

void TakeComparedFiles(Cpu51& cpu, std::uint32_t programSize, std::span<const std::uint8_t> externalRam) {
    const std::size_t n = std::min(externalRam.size(), cpu.xram.size());
    std::copy_n(externalRam.begin(), n, cpu.xram.begin());
    cpu.codeLoadCount = programSize;
    cpu.extRamCount = static_cast<std::uint32_t>(n);
}

LoadResult LoadRegs(Cpu51& cpu, const CodeMemory& code, const std::string& name) {
    std::vector<std::uint8_t> data;
    try {
        data = ReadPrefix(name, kDumpSize);
    } catch (const FileError& e) {
        return Failure(e);
    }
    cpu.extRamCount = static_cast<std::uint32_t>(data.size());
    if (data.empty()) return {LoadStatus::Failed, cp("Пустой файл дампа: ") + name};
    std::copy(data.begin(), data.end(), cpu.dump.begin());
    // Internal RAM first, so that in the chip models the registers go into
    // the bank of the PSW just loaded.
    std::copy_n(cpu.dump.begin() + kDumpStaging, 8, cpu.Regs());
    cpu.PC = static_cast<std::uint16_t>(cpu.dump[kDumpStaging + 9] << 8 | cpu.dump[kDumpStaging + 8]);
    StateReplaced(cpu);
    FetchCurrent(cpu, code);
    return {};
}

void SaveRegs(Cpu51& cpu, const std::string& name) {
    std::copy_n(cpu.Regs(), 8, cpu.dump.begin() + kDumpStaging);
    cpu.dump[kDumpStaging + 8] = static_cast<std::uint8_t>(cpu.PC);
    cpu.dump[kDumpStaging + 9] = static_cast<std::uint8_t>(cpu.PC >> 8);
    WriteFileAtomic(name, std::span<const std::uint8_t>(cpu.dump));
}

void SaveExt(const Cpu51& cpu, const std::string& name) {
    const std::size_t n = std::min<std::size_t>(cpu.extRamCount, cpu.xram.size());
    WriteFileAtomic(name, std::span<const std::uint8_t>(cpu.xram.data(), n));
}

}  // namespace z51
