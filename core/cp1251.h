#pragma once
// Code page 1251 is the core's text encoding; Unicode lives only at the
// edges (the Qt panes and the console).

#include <string>
#include <string_view>

namespace z51 {

// UTF-8 to code page 1251. Characters the code page lacks become '?'.
std::string Utf8To1251(std::string_view utf8);
// Code page 1251 to UTF-8. The unassigned byte 98H becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view text);
// The same, appended to out (whose storage a caller can reuse).
void AppendCp1251AsUtf8(std::string& out, std::string_view text);
// The same, written at out, which has room for 3 * text.size() + 8 bytes;
// returns the end of what was written.
char* PutCp1251AsUtf8(char* out, std::string_view text);

// Source literals are UTF-8; cp() turns a message into core text.
inline std::string cp(std::string_view utf8) { return Utf8To1251(utf8); }
// cp() of a fixed message (a string literal), converted on first use and
// kept: lines that fail repeat the same few messages many times.
const std::string& CpMessage(const char* utf8);

}  // namespace z51
