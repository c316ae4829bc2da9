// Fuzz entry of tolvane: the line rules of the phone book and a whole
// upload of an input file to a port in memory.

#include <sstream>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "uploader/phonebook.h"
#include "uploader/uploader.h"

namespace z51::fuzz {
namespace {

class MemoryPort : public tolvane::Port {
public:
    explicit MemoryPort(std::string& sent) : sent_(sent) {}
    void WriteByte(char c) override { sent_ += c; }
    std::string Read(std::chrono::milliseconds) override { return {}; }
    bool IsTerminal() const override { return false; }
    void Close() override {}

private:
    std::string& sent_;
};

class NoPause : public tolvane::Sleeper {
public:
    void Pause(std::chrono::milliseconds) override {}
};

// The lines of a file as tolvane reads them: LF, CR LF or a lone CR end a
// line; every line keeps its first 255 characters.
std::vector<std::string> InputLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(i, std::min(end - i, tolvane::kMaxLineLength)));
        i = end;
        if (i < text.size()) i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    }
    return lines;
}

}  // namespace

// Byte 0: bit 0 repeats a rest without any line end until its one line is
// longer than a line is kept. The rest is the input file. Every line goes
// through the line rules; the whole file through RunTolvane with a port in
// memory, whose bytes must be ATZ, ATE0 and one AT+CPBW per qualifying
// line; a file that needs index 1000 sends nothing. (A file with more
// entries than the phone book holds takes a thousand lines, as much as a
// few hundred small runs; the uploader's tests cover it.)
void FuzzPhoneBook(Input data) {
    if (data.empty()) return;
    std::string text(reinterpret_cast<const char*>(data.data()) + 1, data.size() - 1);
    if ((data[0] & 1) && !text.empty() && text.find_first_of("\r\n") == std::string::npos) {
        const std::string unit = text;
        while (text.size() <= tolvane::kMaxLineLength) text += unit;
    }

    std::string expected = "ATZ\rATE0\r";
    int index = tolvane::kFirstIndex;
    bool tooMany = false;
    for (const std::string& line : InputLines(text)) {
        const auto entry = tolvane::ParseEntry(line);
        if (!entry) continue;
        FuzzCheck(entry->ba.size() <= 24 && entry->m.size() <= 5, "a field is wider than its columns");
        if (index > tolvane::kLastIndex) {
            tooMany = true;
            break;
        }
        const std::string command = tolvane::CpbwCommand(index, *entry);
        FuzzCheck(command.starts_with("AT+CPBW=") && command.back() == '\r', "a command of the wrong form");
        expected += command;
        ++index;
    }

    const std::string file = ScratchFile("phonebook.txt");
    PutFile(file, text);
    std::string sent;
    std::ostringstream out, err;
    NoPause sleeper;
    if (tooMany) expected.clear();
    const int status = tolvane::RunTolvane(
        {"fuzzport", file}, {out, err},
        [&](const std::string&, const tolvane::PortSettings&, std::string&) {
            return std::make_unique<MemoryPort>(sent);
        },
        sleeper);
    FuzzCheck(status == (tooMany ? tolvane::kRefused : tolvane::kCompleted), "tolvane ended with the wrong status");
    FuzzCheck(sent == expected, "tolvane sent other bytes than its line rules give");
}

}  // namespace z51::fuzz
