#pragma once
// The phone-book side of tolvane: which lines of the input file become
// entries, how their columns are read, and the AT+CPBW command that writes
// an entry into the phone.

#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// Input lines are short strings: anything past this is cut off.
inline constexpr std::size_t kMaxLineLength = 255;
// A line shorter than this is never an entry.
inline constexpr std::size_t kMinEntryLength = 95;
// The first entry sent is written to phone-book index 2.
inline constexpr int kFirstIndex = 2;
// NAMESTAR holds three digits; index 1000 would be cut to 100 and overwrite
// an earlier entry, so 999 is the last index ever sent.
inline constexpr int kLastIndex = 999;

// The fields of one qualifying line. Columns 1-3 (MAP) are read by nobody
// and therefore not kept.
struct PhoneBookEntry {
    std::string alf;  // first part of the number, columns 5-12
    std::string del;  // second part of the number, columns 16-24
    std::string m;    // columns 42-46
    std::string ba;   // the entry's name, columns 104-127
};

// Reads the number field from columns first..last (counted from 1). Two
// blanks in a row end it with "00", a lone blank stands for "0", "." ends
// it with "00", ":" is dropped; with dashAsHash, "-" becomes "#". Every
// other byte is kept as it is.
std::string ScanNumberColumns(std::string_view strln, std::size_t first, std::size_t last,
                              bool dashAsHash);

// The entry a line stands for, or nothing when the line is skipped: shorter
// than 95 characters, first character neither a blank nor 1-9, or no
// name (the line ends before column 104).
std::optional<PhoneBookEntry> ParseEntry(std::string_view strln);

// The index as three digits padded with "0": 002, 010, 123.
std::string Namestar(int index);

// How the text field reaches the phone: as the file's code page 1251 bytes,
// or, after AT+CSCS="UCS2", as UCS-2 hexadecimal.
enum class TextCoding { kAsInFile, kUcs2Hex };

// AT+CPBW=<index>,"<ALF><DEL>",129,"<NAMESTAR> <BA> /<M>"<CR>. Only the
// text field follows the coding: the number is digits either way.
std::string CpbwCommand(int index, const PhoneBookEntry& entry,
                        TextCoding coding = TextCoding::kAsInFile);

}  // namespace tolvane
