#pragma once
// The listing and the output files: the prefix of each listed line, the
// symbol listing, the .Bin file with its .IDENT date and the .Hex file.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace z51 {

struct AsmState;
class Pane;

// Line number (maroon), address (teal) and up to three code bytes (black).
void PrintNumCodeStr(const AsmState& st, Pane& pane);
// Labels and equates with their values, then the register declarations.
void SymbolListing(const AsmState& st, Pane& pane);
// Writes the .Bin file (temporary file, then rename) and reports its size;
// sets its modification time from .IDENT. Raises FileError.
void WriteBinFile(AsmState& st, Pane& pane);
// Writes the .Hex file of LowAddr..HighAddr. Raises FileError.
void WriteHexFile(AsmState& st, Pane& pane);

// Output names: the source name up to and including its last "." followed
// by `ext`; a file name without "." gets "." + ext appended, and so does a
// name that already ends in "." + ext (the source is never overwritten).
std::string OutputName(std::string_view sourceName, std::string_view ext);
// The .IDENT text without its delimiters, read as dd.mm.yyyy hh:mm[:ss]
// local time; nothing when it is no valid date.
std::optional<std::time_t> ParseIdentDate(std::string_view text);

}  // namespace z51
