#pragma once
// The entry functions of the fuzz targets. The libFuzzer executables call
// one of them per input; test_fuzz_regressions replays the seed corpora and
// the regression inputs through the same functions with gcc, so whatever a
// fuzzer once found stays covered by `make test`.
//
// An entry raises nothing: every input is legal. A broken invariant ends the
// run through FuzzCheck. Flags that make an input expensive (a limit that
// takes thousands of lines, labels or entries to reach) need the high
// nibble 5 of the flag byte besides their own bit, so that mutated flag
// bytes seldom set them and the fuzzers keep their pace.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace z51 {
struct Workspace;
}

namespace z51::fuzz {

using Input = std::span<const std::uint8_t>;

struct Target {
    const char* name;  // also the folder of its corpus and regressions
    void (*run)(Input data);
};

// Every target, in the order `make fuzz` runs them.
std::span<const Target> Targets();
const Target* FindTarget(std::string_view name);

// What happens when an invariant breaks: by default a message on stderr and
// abort() (the fuzzer keeps the input); the regression test installs a
// handler that raises instead, so one bad input fails one test.
using CheckHandler = void (*)(const std::string& what);
void SetCheckHandler(CheckHandler handler);
void FuzzCheck(bool ok, std::string_view what);

// The entries.
void FuzzRazborStr(Input data);    // many lines through one assembler
void FuzzEvaluator(Input data);    // operand expressions with a symbol table
void FuzzAssemble(Input data);     // a whole file with include files, both passes
void FuzzHexRead(Input data);      // Intel HEX reader, HEX -> binary -> HEX
void FuzzDisasm(Input data);       // both disassemblers, optionally assembled back
void FuzzEmulator(Input data);     // steps from an arbitrary state over arbitrary code
void FuzzPhoneBook(Input data);    // tolvane's line rules and a whole upload
void FuzzCompare(Input data);      // binary compare of two files
void FuzzCondition(Input data);    // breakpoint conditions and texts, evaluated

// A workspace as constructed, one per slot (0 or 1) for the life of the
// process: the source map's line table keeps its storage (half a megabyte
// that every final pass fills and a new one would map afresh), everything
// else is as new. For entries that run a final pass.
Workspace& FreshWorkspace(std::size_t slot);

// A folder of this process for the files the entries write, removed at
// exit; the fuzzers put it under $TMPDIR.
const std::string& ScratchDir();
std::string ScratchFile(std::string_view name);
// A folder in it, created on disk.
std::string ScratchFolder(std::string_view name);
// Plain writes and reads of test files (not the programs' own writers),
// in memory inside the folder of an installed MemoryFiles.
void PutFile(const std::string& path, std::string_view bytes);
std::string GetFile(const std::string& path);
bool Exists(const std::string& path);
void RemoveFile(const std::string& path);

}  // namespace z51::fuzz
