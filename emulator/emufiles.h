#pragma once
// The emulation files of the main window's emulation menu: the program
// (into the code image), the 266-byte register dump (internal RAM, R0..R7,
// PC) and the external RAM. All three are raw bytes without header.
//
// The window picks the file names in its dialogs; a cancelled dialog means
// the window does not call these at all (nothing loaded, nothing written).
//
// Loads never raise. They return a LoadResult:
//   Loaded  - the file went in. The window then runs its panel refresh
//             (and, after LoadProgram, enables mnuEmul).
//   Failed  - the file could not be opened or read (missing, unreadable,
//             a directory, an empty register dump). The window stays
//             silent, as the emulator's loads always have; `message` holds
//             the reason for the console and the tests.
//   Refused - the file is larger than the memory it is meant for (a program
//             or external RAM file over 65,536 bytes). Nothing changes; the
//             window shows `message` in a message box.
// A failed or refused load changes nothing, apart from the empty register
// dump, which sets the shared external RAM count to 0 as its read of zero
// bytes always has.
//
// Saves write through AtomicFile and raise FileError on failure; the file
// on disk is then the old one (or none).

#include <cstdint>
#include <span>
#include <string>

#include "core/workspace.h"
#include "emulator/cpu51.h"

namespace z51 {

enum class LoadStatus { Loaded, Failed, Refused };

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::string message;  // code page 1251; empty when Loaded
    bool Ok() const { return status == LoadStatus::Loaded; }
};

// Reads the file into code image 0000H upward; the bytes beyond it keep
// their values. A file of exactly 65,536 bytes fills the whole image. Sets
// the code load count, forgets the simple model's notice about the program
// before and fetches the current instruction anew.
LoadResult LoadProgram(Workspace& ws, Cpu51& cpu, const std::string& name);

// Reads at most 266 bytes into the register dump record (internal RAM
// first, then the staging bytes), then sets R0..R7 (in the chip models:
// the bank that the loaded PSW selects) and PC from the staging bytes and
// fetches the current instruction. A shorter file leaves the
// staging bytes it does not reach as the previous dump command left them,
// and those are what R0..R7 and PC receive. The byte count read becomes the
// external RAM count: the two loads share one count, so an external RAM
// save after a dump load writes that many bytes.
LoadResult LoadRegs(Cpu51& cpu, const CodeMemory& code, const std::string& name);

// Copies R0..R7 (in the chip models: the selected bank) and PC into the
// staging bytes and writes all 266 bytes.
void SaveRegs(Cpu51& cpu, const std::string& name);

// Reads the file into external RAM 0000H upward and sets the external RAM
// count to its size (65,536 bytes fill it whole).
LoadResult LoadExt(Cpu51& cpu, const std::string& name);

// Writes external RAM bytes 0 .. count-1, the count being that of the last
// external RAM or register dump load (0 before any).
void SaveExt(const Cpu51& cpu, const std::string& name);

// The files of a binary compare as the emulator takes them: the first is
// the program (already in the code image), the second the external RAM
// from 0000H; both sizes become the load counts.
void TakeComparedFiles(Cpu51& cpu, std::uint32_t programSize, std::span<const std::uint8_t> externalRam);

}  // namespace z51
