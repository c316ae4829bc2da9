#include "uploader/phonebook.h"

#include <cstdio>

#include "uploader/codepage.h"

namespace tolvane {

namespace {

// Columns [first, last] that exist in the line, counted from 1.
std::string_view Columns(std::string_view strln, std::size_t first, std::size_t last) {
    if (first > strln.size()) return {};
    return strln.substr(first - 1, last - first + 1);
}

bool StartsLikeAnEntry(std::string_view strln) {
    const char first = strln.front();
    return first == ' ' || (first >= '1' && first <= '9');
}

}  // namespace

std::string ScanNumberColumns(std::string_view strln, std::size_t first, std::size_t last,
                              bool dashAsHash) {
    std::string number;
    for (std::size_t column = first; column <= last && column <= strln.size(); ++column) {
        const char c = strln[column - 1];
        const bool nextIsBlank = column < strln.size() && strln[column] == ' ';
        if (c == ' ' && nextIsBlank) {
            number += "00";
            break;
        }
        if (c == '.') {
            number += "00";
            break;
        }
        if (c == ' ') {
            number += '0';
        } else if (c == '-' && dashAsHash) {
            number += '#';
        } else if (c != ':') {
            number += c;
        }
    }
    return number;
}

std::optional<PhoneBookEntry> ParseEntry(std::string_view strln) {
    if (strln.size() < kMinEntryLength || !StartsLikeAnEntry(strln)) return std::nullopt;

    PhoneBookEntry entry;
    entry.ba = Columns(strln, 104, 127);
    if (entry.ba.empty()) return std::nullopt;
    entry.alf = ScanNumberColumns(strln, 5, 12, false);
    entry.del = ScanNumberColumns(strln, 16, 24, true);
    entry.m = Columns(strln, 42, 46);
    return entry;
}

std::string Namestar(int index) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", index);
    return digits;
}

std::string CpbwCommand(int index, const PhoneBookEntry& entry, TextCoding coding) {
    const char quote = '"';
    std::string strout = "AT+CPBW=" + std::to_string(index);
    strout += ',';
    strout += quote + entry.alf + entry.del + quote;
    strout += ",129,";
    const std::string text = Namestar(index) + " " + entry.ba + " /" + entry.m;
    strout += quote + (coding == TextCoding::kUcs2Hex ? Cp1251ToUcs2Hex(text) : text) + quote;
    strout += '\r';
    return strout;
}

}  // namespace tolvane
