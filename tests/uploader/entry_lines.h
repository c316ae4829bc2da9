#pragma once
// Builds input lines for the tests: blanks of the given length with texts
// placed at their columns (counted from 1), the way the lines of a real
// phone-book file are laid out.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace tolvane::testing {

using Field = std::pair<std::size_t, std::string_view>;

inline std::string LineOf(std::size_t length, std::initializer_list<Field> fields = {}) {
    std::string line(length, ' ');
    for (const auto& [column, text] : fields) line.replace(column - 1, text.size(), text);
    return line.substr(0, length);
}

// A complete entry line: number 12:30456 / 123-45, M "OFFIC", name at 104.
inline std::string EntryLine(std::string_view name, std::string_view first = "101") {
    return LineOf(103 + name.size(),
                  {{1, first}, {5, "12:30456"}, {16, "123-45"}, {42, "OFFIC"}, {104, name}});
}

// The command EntryLine(name) gives at the index, written out by hand.
inline std::string EntryCommand(std::string_view index, std::string_view namestar,
                                std::string_view name) {
    return "AT+CPBW=" + std::string(index) + ",\"1230456123#4500\",129,\"" + std::string(namestar) +
           " " + std::string(name) + " /OFFIC\"\r";
}

}  // namespace tolvane::testing
