#pragma once
// Include files: where the named file is looked for, and the text that is
// read in place of the source. The parser hooks HandleInclude and
// HandleConditional (assembler/directives_ext.h) live beside these.

#include <string>
#include <string_view>

namespace z51 {

// Folder of the source file: everything before its last "\" or "/".
// "." for a bare file name, "" for a file in the root folder.
std::string SourceFolder(std::string_view sourceName);

// Joins the name written after $INCLUDE with the source folder. "\" and
// "/" both separate folders; the path built uses "/".
// - A name that begins with neither "." nor a separator is used as written
//   (absolute, or relative to the current working folder).
// - A name that begins with a separator is taken below the source folder.
// - A name that begins with "." climbs one folder per leading "../" and
//   stays in the source folder for each leading "./"; a name that then is
//   empty or still begins with "." gives an empty path (which cannot be
//   opened).
std::string SetPath(std::string_view folder, std::string_view name);

// The file to open for `path`: the path itself when such a file exists,
// else a file in the same folder whose name differs only in letter case
// (sources written for case-insensitive file systems name REG51.INC for
// reg51.inc), else the path unchanged so that opening it fails with the
// path as written.
std::string FindIncludeFile(const std::string& path);

// Whether `line` is a control line of Intel's assembler: "$" in column 1
// and a control that is known ($NOLIST, $TITLE(...), $INCLUDE(file) ...).
// The parser reads such lines only from column 1.
bool IsControlLine(std::string_view line);

}  // namespace z51
