#pragma once
// Where the code image came from: for each code address the source file
// and line whose code put its byte there, and the symbols of that
// assembly. Every final pass of the assembler fills it; the emulator
// window's code view and the console's trace read it. Other producers of
// the code image (loads, conversions, the disassembler) do not touch it, so
// a reader first asks whether it still Describes() the image.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_image.h"

namespace z51 {

struct SourceLine {
    std::uint32_t line = 0;  // 1-based; 0: no source line
    std::uint16_t file = 0;  // index into SourceMap::files
};

struct SourceSymbol {
    std::string name;  // as the symbol table holds it: upper case, code page 1251
    std::int32_t value = 0;
    bool codeLabel = false;  // the label of a code line, not an equate
};

struct SourceMap {
    // File names as the assembler opened them (file system encoding):
    // [0] the source, then the include files in order of first use.
    std::vector<std::string> files;
    std::vector<SourceLine> lines;       // one per code address; empty before an assembly
    std::vector<SourceSymbol> symbols;   // defined symbols, in the symbol table's order
    std::vector<std::uint8_t> image;     // the code image as the assembly left it
    std::uint32_t serial = 0;            // changes with every assembly

    // The map describes `code` when the image is still what the assembly left.
    bool Describes(const CodeMemory& code) const;
    // The line that produced the byte at `address`, or nullptr.
    const SourceLine* At(std::uint16_t address) const;
    // "prog.a51:12" for `address`, or "" without a line.
    std::string Where(std::uint16_t address) const;
    // The first code label whose value is `address`, or nullptr.
    const SourceSymbol* LabelAt(std::uint16_t address) const;
    // The value of a symbol (name in upper case), or nothing.
    std::optional<std::int32_t> Value(std::string_view name) const;
};

}  // namespace z51
