#include "fileutil/isa_listing.h"

#include <string>

#include "core/cp1251.h"
#include "isa/hex.h"
#include "isa/tables.h"

namespace z51 {
namespace {

void Heading(Pane& pane, Color color, std::string_view utf8) {
    pane.SetColor(color);
    pane.AddLine(cp(utf8));
}

// Items join a line with " | " while the line is shorter than `limit`; the
// item that arrives at a longer line closes it without a separator. With
// the item widths of the instruction tables this gives four per line.
class LimitGrouper {
public:
    LimitGrouper(Pane& pane, std::size_t limit) : pane_(pane), limit_(limit) {}
    void Add(std::string_view item) {
        bool lineGoesOn = line_.size() < limit_;
        line_ += item;
        if (lineGoesOn) {
            line_ += " | ";
        } else {
            pane_.AddLine(line_);
            line_.clear();
        }
    }
    void Finish() {
        if (!line_.empty()) pane_.AddLine(line_);
        line_.clear();
    }

private:
    Pane& pane_;
    std::size_t limit_;
    std::string line_;
};

// Name and address items, seven to a line.
void ListNames(Pane& pane, std::span<const NameRecord> table) {
    std::string line;
    int onLine = 0;
    for (const NameRecord& r : table) {
        std::string item(r.Name());
        if (item.size() < 10) item.resize(10, ' ');
        AppendHex2(item, r.addr);
        line += item;
        if (++onLine < 7) {
            line += " | ";
        } else {
            pane.AddLine(line);
            line.clear();
            onLine = 0;
        }
    }
    if (!line.empty()) pane.AddLine(line);
}

}  // namespace

void PrintInstructionSet(Pane& pane) {
    pane.Clear();
    Heading(pane, clr::Red, "Перечень ассемблерных команд и их НЕХ-кодов, прописанных в программных таблицах.");
    Heading(pane, clr::Purple, "Однобайтовые команды:");
    pane.SetColor(clr::Black);

    // All 19 text bytes, zero padding and the tab shown as blanks.
    LimitGrouper oneByte(pane, 72);
    for (const OneByteRecord& r : OneByteCmds) {
        std::string item;
        for (char c : r.text) item += (c == '\0' || c == '\t') ? ' ' : c;
        AppendHex2(item, r.opcode);
        oneByte.Add(item);
    }
    oneByte.Finish();

    Heading(pane, clr::Purple, "Двух- и трёхбайтовые команды:");
    pane.SetColor(clr::Black);

    // All 13 pattern bytes, placeholders spelt out as their operand words.
    LimitGrouper multiByte(pane, 60);
    for (const MultiByteRecord& r : MultiByteCmds) {
        std::string item;
        for (char c : r.pattern) {
            auto b = static_cast<std::uint8_t>(c);
            if (b == 0 || c == '\t') item += ' ';
            else if (b < kAddr11 || b > 8) item += c;
            else item += OperandWord(b);
        }
        if (item.size() < 23) item.resize(23, ' ');
        AppendHex2(item, r.opcode);
        multiByte.Add(item);
    }
    multiByte.Finish();

    Heading(pane, clr::Red,
            "Перечень регистров ввода-вывода и их адреса (EQU) жёстко прописанные в программе:");
    Heading(pane, clr::Purple, "Основные регистры процессора:");
    pane.SetColor(clr::Black);
    ListNames(pane, SfrTable);

    Heading(pane, clr::Purple, "Бит-адресуемые регистры процессора:");
    pane.SetColor(clr::Black);
    ListNames(pane, BitTable);
}

}  // namespace z51
