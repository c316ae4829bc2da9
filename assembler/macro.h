#pragma once
// Macros: a named block of lines recorded once (MacroTable, 65 slots) and
// replayed with positional parameters \0..\9. The parser hook is
// HandleMacroLine (assembler/directives_ext.h); these helpers are its
// pieces.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace z51 {

// Name of a stored macro: a slot holds LF + name + " MACRO" + (LF + body
// line) per line.
std::string_view MacroSlotName(std::string_view slot);

// The slot a call by `mnemonic` replays: a macro of exactly that name,
// else the first whose name begins with it (DEL calls DELAY). -1 when none.
// Slots are used from 0 without gaps; the first empty slot ends the search.
template <std::size_t N>
int FindMacroCall(const std::array<std::string, N>& table, std::string_view mnemonic) {
    int prefix = -1;
    for (std::size_t i = 0; i < N && !table[i].empty(); ++i) {
        const std::string_view name = MacroSlotName(table[i]);
        if (name == mnemonic) return static_cast<int>(i);
        if (prefix < 0 && !mnemonic.empty() && name.starts_with(mnemonic)) prefix = static_cast<int>(i);
    }
    return prefix;
}

// Parameters of a call: the text from `from` up to a blank, a tab, a
// comment or the end of the line, split at commas; at most ten, the rest
// empty. A blank or ";" between quotes belongs to the parameter ('a;b');
// blanks beside a comma are left out and do not end the list.
std::array<std::string, 10> SplitMacroParams(std::string_view line, std::size_t from);

// Replaces "\0".."\9" in a replayed body line by the parameters. The text
// put in is scanned again from its second character on, so a parameter may
// hold "\d" of another. Expansion stops once the line is longer than
// `limit` or the work exceeds a few times `limit` steps (parameters that
// expand into each other without end); returns false then.
bool ExpandMacroParams(std::string& line, const std::array<std::string, 10>& params, std::size_t limit);

// Names written as a list ("CHAN, VAL"): each trimmed and upper-cased;
// empty names are left out.
std::vector<std::string> SplitNames(std::string_view text);

// Replaces every whole word of `line` that equals one of the `words` (in
// either case) by its text, outside quotes and before the comment. A word
// is a run of letters, digits, "_" and "?"; "PORT.3" holds the word PORT.
// Returns false, with the line cut, once it grows longer than `limit`.
bool ReplaceMacroWords(std::string& line, const std::vector<std::pair<std::string, std::string>>& words,
                       std::size_t limit);

}  // namespace z51
