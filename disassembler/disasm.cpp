#include "disassembler/disasm.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "assembler/symtab.h"
#include "core/cp1251.h"
#include "core/fileio.h"
#include "disassembler/encoder_choice.h"
#include "isa/hex.h"
#include "isa/opcode_map.h"
#include "isa/tables.h"

namespace z51 {
namespace {

const std::array<std::string, 256>& BitNames() {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> n;
        for (int b = 0; b < 256; ++b) n[static_cast<std::size_t>(b)] = BitDecode(static_cast<std::uint8_t>(b));
        return n;
    }();
    return names;
}

const std::array<std::string, 256>& SfrNames() {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> n;
        for (int b = 0; b < 256; ++b) n[static_cast<std::size_t>(b)] = DecodData8(static_cast<std::uint8_t>(b));
        return n;
    }();
    return names;
}

// One listing line under construction. The longest line (label, mnemonic,
// three operands, character comment) stays far below the capacity.
class LineText {
public:
    void Clear() { len_ = 0; }
    void Put(char c) { data_[len_++] = c; }
    // The pieces are a few characters long: a plain loop beats a call. The
    // length is kept in a local: a char store could otherwise change it.
    void Put(std::string_view s) {
        std::size_t n = len_;
        for (char c : s) data_[n++] = c;
        len_ = n;
    }
    void Hex2(std::uint8_t b) {
        PutHex2(data_ + len_, b);
        len_ += 2;
    }
    void Hex4(unsigned v) {
        PutHex4(data_ + len_, static_cast<std::uint16_t>(v));
        len_ += 4;
    }
    void Decimal(unsigned v, std::size_t minWidth = 0) {
        char digits[12];
        std::size_t d = 0;
        do {
            digits[d++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        std::size_t n = len_;
        for (std::size_t i = d; i < minWidth; ++i) data_[n++] = ' ';
        while (d > 0) data_[n++] = digits[--d];
        len_ = n;
    }
    // Operands are written as assembler source: "0", the digits, "H", so
    // that they never begin with a letter.
    void Num2(std::uint8_t v) {
        Put('0');
        Hex2(v);
        Put('H');
    }
    void Num4(unsigned v) {
        Put('0');
        Hex4(v);
        Put('H');
    }
    void Label(unsigned address) {
        Put("LBL");
        Hex4(address);
    }
    std::size_t Size() const { return len_; }
    void Truncate(std::size_t len) { len_ = len; }
    std::string_view View() const { return {data_, len_}; }
    std::string_view View(std::size_t from, std::size_t to) const { return {data_ + from, to - from}; }

private:
    char data_[224];
    std::size_t len_ = 0;
};

constexpr std::uint16_t kVectors[] = {0x03, 0x0B, 0x13, 0x1B, 0x23};

// Whether a field is a branch, call or address operand: the targets of
// AJMP / ACALL, rel8, and addr16 (LJMP, LCALL and MOV DPTR,#).
constexpr bool IsTarget(Operand k) {
    return k == Operand::Rel || k == Operand::Addr11 || k == Operand::Addr16 || k == Operand::Immediate16;
}

// The length of the line at p: the instruction's, or 1 when the end of
// the file cuts it off. Then its first byte is a DB line and decoding
// resumes at the next byte; no byte beyond the file is read as code.
int LineLength(std::uint8_t op, long p, long n) {
    const int length = kInstructionLength[op];
    return length > n - p ? 1 : length;
}

// The marks of the plain sweep without its text: instruction starts, and
// the targets inside the file.
void MarkOnly(const std::vector<std::uint8_t>& code, std::vector<std::uint8_t>& marks) {
    const long n = static_cast<long>(code.size());
    for (long p = 0; p < n;) {
        const std::uint8_t* b = code.data() + p;
        const OpcodeInfo& info = kOpcodeMap[b[0]];
        const int length = LineLength(b[0], p, n);
        marks[static_cast<std::size_t>(p)] |= 1;
        if (length == info.length) {
            for (int i = 0; i < info.fieldCount; ++i) {
                const OperandSlot& f = info.Field(i);
                if (!IsTarget(f.kind)) continue;
                const unsigned t = FieldValue(info, f, static_cast<std::uint16_t>(p), b[0], b[1], length > 2 ? b[2] : 0);
                if (static_cast<long>(t) < n) marks[t] |= 2;
            }
        }
        p += length;
    }
}

// One sweep over the code, plain or labelled.
class Sweep {
public:
    Sweep(const std::vector<std::uint8_t>& code, std::vector<std::uint8_t>& marks, bool labels,
          const Disassembler* dis, Pane& pane, AtomicFile& file)
        : code_(code), n_(static_cast<long>(code.size())), marks_(marks), labels_(labels), dis_(dis), pane_(pane),
          file_(file) {
        text_.reserve(kTextBlock + 256);
    }

    void Run() {
        for (long p = 0; p < n_;) {
            const std::uint8_t op = code_[static_cast<std::size_t>(p)];
            const int length = LineLength(op, p, n_);
            Begin(p, length);
            if (length < kInstructionLength[op]) {
                line_.Put("DB\t");
                line_.Decimal(op);
            } else {
                Render(p, op, false);
            }
            Finish(p, length);
            p += length;
        }
        file_.Write(text_);
        text_.clear();
    }

    // The sink of SpellInstruction: the literal parts of the spelling, the
    // fields, and the byte of a DB line.
    void Text(std::string_view t) { line_.Put(t); }
    void Decimal(unsigned v) { line_.Decimal(v); }
    void Field(const OperandSlot& f, unsigned v) {
        switch (f.kind) {
        case Operand::Rel:
        case Operand::Addr11:
        case Operand::Addr16:
        case Operand::Immediate16:
            Target(v);
            return;
        case Operand::Direct: {
            // Direct addresses by SFR name in the labelled listing, apart
            // from MOV direct,direct; immediate data stays a number.
            const std::string& name = SfrNames()[v];
            if (labels_ && !numbersOnly_ && op_ != 0x85 && !name.empty()) {
                line_.Put(name);
                named_ = true;
                namedValue_ = static_cast<std::uint8_t>(v);
            } else {
                line_.Num2(static_cast<std::uint8_t>(v));
            }
            return;
        }
        case Operand::Bit:
        case Operand::NotBit:
            if (v >= 0x80 && numbersOnly_) {
                line_.Num2(static_cast<std::uint8_t>(v));
            } else {
                line_.Put(BitNames()[v]);
                if (v >= 0x80) {
                    named_ = true;
                    namedValue_ = static_cast<std::uint8_t>(v);
                }
            }
            return;
        default:
            line_.Num2(static_cast<std::uint8_t>(v));
            return;
        }
    }

private:
    void Render(long p, std::uint8_t op, bool numbersOnly) {
        line_.Truncate(textStart_);
        const int length = kInstructionLength[op];
        const std::uint8_t b1 = length > 1 ? code_[static_cast<std::size_t>(p + 1)] : 0;
        const std::uint8_t b2 = length > 2 ? code_[static_cast<std::size_t>(p + 2)] : 0;
        op_ = op;
        numbersOnly_ = numbersOnly;
        named_ = false;
        SpellInstruction(static_cast<std::uint16_t>(p), op, b1, b2, *this);
        // A name must not make the assembler choose another record (INC ACC
        // is the one-byte INC A); such lines keep their numbers. At most one
        // operand of an instruction is named (immediates and MOV
        // direct,direct stay numbers), and the record the encoder picks
        // does not depend on label or number operands, so the answer is
        // kept per opcode and named value.
        if (named_ && !numbersOnly) {
            if (nameKnown_.empty()) {
                nameKnown_.assign(0x10000, false);
                nameSafe_.assign(0x10000, false);
            }
            const std::size_t key = static_cast<std::size_t>(op) << 8 | namedValue_;
            if (!nameKnown_[key]) {
                nameKnown_[key] = true;
                nameSafe_[key] = EncodesAs(line_.View(textStart_, line_.Size()), false, op);
            }
            if (!nameSafe_[key]) Render(p, op, true);
        }
    }

    // A branch, call or address operand: marked in the plain sweep, a label
    // reference in the labelled one when it lies inside the file.
    void Target(unsigned t) {
        const bool inFile = static_cast<long>(t) < n_;
        if (!labels_) {
            if (inFile) marks_[t] |= 2;
        } else if (inFile) {
            const long label = dis_->LabelAtOrBelow(static_cast<std::uint16_t>(t));
            if (label >= 0) {
                line_.Label(static_cast<unsigned>(label));
                if (static_cast<unsigned>(label) != t) {
                    line_.Put('+');
                    line_.Decimal(t - static_cast<unsigned>(label));
                }
                return;
            }
        }
        line_.Num4(t);
    }

    // The line: counter, address and bytes for the pane, then the line
    // start (a tab or the label definition) and the text for both.
    void Begin(long p, int length) {
        const std::uint8_t* bytes = code_.data() + p;
        NextCounter();
        line_.Clear();
        line_.Put(std::string_view(counterText_, sizeof counterText_));
        line_.Put(' ');
        counterEnd_ = line_.Size();
        line_.Hex4(static_cast<unsigned>(p));
        line_.Put(' ');
        addressEnd_ = line_.Size();
        for (int i = 0; i < length; ++i) {
            line_.Hex2(bytes[i]);
            line_.Put(' ');
        }
        while (line_.Size() < addressEnd_ + 9) line_.Put(' ');
        bytesEnd_ = line_.Size();
        if (labels_ && dis_->IsLabel(static_cast<std::uint16_t>(p))) {
            line_.Label(static_cast<unsigned>(p));
            line_.Put(": ");
        } else {
            line_.Put('\t');
        }
        textStart_ = line_.Size();
    }

    void Finish(long p, int length) {
        const std::uint8_t* bytes = code_.data() + p;
        if (!labels_) marks_[static_cast<std::size_t>(p)] |= 1;
        if (labels_ && p <= 0x23 && std::find(std::begin(kVectors), std::end(kVectors), p) != std::end(kVectors) &&
                   bytes[0] != 0x00 && bytes[0] != 0xFF) {
            text_ += "\tORG\t";
            AppendHex2(text_, static_cast<std::uint8_t>(p));
            text_ += "H\r\n";
        }
        // Character comment: the bytes above 1FH as characters.
        bool comment = false;
        for (int i = 0; i < length; ++i) {
            if (bytes[i] > 0x1F) {
                if (!comment) line_.Put("\t;");
                comment = true;
                line_.Put(static_cast<char>(bytes[i]));
            }
        }
        const std::size_t textEnd = line_.Size();
        line_.Put("\r\n");

        // Pane: the counter (blue), the address (maroon), the bytes padded
        // to 9 characters (green), then the text (black; the plain listing
        // shows no line start).
        pane_.SetColor(clr::Blue);
        pane_.Append(line_.View(0, counterEnd_));
        pane_.SetColor(clr::Maroon);
        pane_.Append(line_.View(counterEnd_, addressEnd_));
        pane_.SetColor(clr::Green);
        pane_.Append(line_.View(addressEnd_, bytesEnd_));
        pane_.SetColor(clr::Black);
        pane_.Append(line_.View(labels_ ? bytesEnd_ : textStart_, textEnd));
        pane_.AddLine("");

        // The file's lines go out in blocks, so that memory stays small
        // whatever the size of the listing.
        text_ += line_.View(bytesEnd_, line_.Size());
        if (text_.size() >= kTextBlock) {
            file_.Write(text_);
            text_.clear();
        }
    }

    // The instruction counter in decimal, right-aligned in 5 characters;
    // 16 bits, so it wraps to 0 after 65535.
    void NextCounter() {
        if (++counter_ == 0) {
            std::memcpy(counterText_, "    0", sizeof counterText_);
            return;
        }
        for (std::size_t i = sizeof counterText_; i-- > 0;) {
            char& c = counterText_[i];
            if (c == ' ') {
                c = '1';
                return;
            }
            if (c != '9') {
                ++c;
                return;
            }
            c = '0';
        }
    }

    const std::vector<std::uint8_t>& code_;
    const long n_;
    std::vector<std::uint8_t>& marks_;
    const bool labels_;
    const Disassembler* dis_;
    Pane& pane_;
    AtomicFile& file_;
    static constexpr std::size_t kTextBlock = 1 << 16;
    std::string text_;  // lines not yet written
    std::uint16_t counter_ = 0;  // wraps after 65535, as the listing's counter does
    // Per opcode and named value: whether the answer is known, and whether
    // the name is safe.
    std::vector<bool> nameKnown_, nameSafe_;
    char counterText_[5] = {' ', ' ', ' ', ' ', '0'};
    LineText line_;
    std::size_t counterEnd_ = 0, addressEnd_ = 0, bytesEnd_ = 0, textStart_ = 0;
    // The instruction being rendered.
    std::uint8_t op_ = 0;
    bool numbersOnly_ = false;
    bool named_ = false;
    std::uint8_t namedValue_ = 0;
};

}  // namespace

Disassembler::Disassembler(Workspace& ws) : ws_(ws) {}

std::string Disassembler::D51Name(const std::string& binName) {
    std::size_t slash = binName.find_last_of('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = binName.find_last_of('.');
    if (dot == std::string::npos || dot < base) return binName + ".D51";
    std::string name = binName.substr(0, dot + 1) + "D51";
    // A binary whose extension is already D51 is never overwritten.
    return name == binName ? binName + ".D51" : name;
}

void Disassembler::PrepareLabels() const {
    // The labelled file must assemble again: the assembler's symbol table
    // holds LabelCapacity names, so only that many label addresses get
    // names; operands at or above the first address left without one are
    // written as numbers.
    // Address 0 is always a label, so every address has one at or below.
    labelBelow_.resize(code_.size());
    firstUnlabelled_ = static_cast<long>(code_.size());
    std::int32_t labels = 0;
    for (std::size_t a = 0; a < code_.size(); ++a) {
        bool label = marks_[a] == 3;
        if (label && labels == LabelCapacity && firstUnlabelled_ == static_cast<long>(code_.size()))
            firstUnlabelled_ = static_cast<long>(a);
        label = label && static_cast<long>(a) < firstUnlabelled_;
        labels += label;
        labelBelow_[a] = label ? static_cast<std::uint16_t>(a) : labelBelow_[a - 1];
    }
    labelsReady_ = true;
}

long Disassembler::LabelAtOrBelow(std::uint16_t target) const {
    if (!labelsReady_) PrepareLabels();
    if (target >= firstUnlabelled_ || target >= labelBelow_.size()) return -1;
    return labelBelow_[target];
}

std::string Disassembler::FindLBL(std::uint16_t target) const {
    const long label = LabelAtOrBelow(target);
    if (label < 0) return {};
    LineText s;
    s.Label(static_cast<unsigned>(label));
    if (label != target) {
        s.Put('+');
        s.Decimal(target - static_cast<unsigned>(label));
    }
    return std::string(s.View());
}

void Disassembler::Deas(Pane& pane, const std::string& binName, bool listing) {
    std::vector<std::uint8_t> code = ReadCodeFile(binName);
    std::copy(code.begin(), code.end(), ws_.CodeImage.begin());
    ws_.BinName = binName;

    std::vector<std::uint8_t> marks(0x10000, 0);
    marks[0] = 3;  // address 0 is always a label
    const std::string outName = D51Name(binName);

    if (!listing) {
        MarkOnly(code, marks);
    } else {
        pane.Clear();
        static const std::string kTitle = cp("TITLE === Дизассемблирование файла ");
        // File names come in UTF-8; the pane and the .D51 are code page 1251.
        const std::string title = "\t" + kTitle + Utf8To1251(binName) + " ===";
        pane.SetColor(clr::Red);
        pane.AddLine(title);
        AtomicFile file(outName);
        file.Write(title + "\r\n\tORG\t0\r\n");
        pane.SetColor(clr::Black);
        pane.AddLine("");

        Sweep(code, marks, false, this, pane, file).Run();

        file.Write("\tEND\r\n");
        pane.Append("         \tEND");
        file.Commit();
    }

    // The labelled sweep works on exactly these bytes and marks.
    code_ = std::move(code);
    marks_ = std::move(marks);
    fileName_ = binName;
    outName_ = outName;
    labelsReady_ = false;
    hasRun_ = true;
    if (!listing) return;

    static const std::string kListHeader = cp("Список выяленных адресов меток:");
    pane.AddLine(kListHeader);
    std::string buffer;
    long count = 0;
    for (std::size_t a = 0; a < code_.size(); ++a) {
        if (marks_[a] != 3) continue;
        ++count;
        buffer += "LBL";
        AppendHex4(buffer, static_cast<std::uint16_t>(a));
        if (buffer.size() < 100) {
            buffer += " | ";
        } else {
            pane.AddLine(buffer);
            buffer.clear();
        }
    }
    if (!buffer.empty()) pane.AddLine(buffer);
    static const std::string kTotal1 = cp("Всего выялено ");
    static const std::string kTotal2 = cp(" меток.");
    pane.AddLine(kTotal1 + std::to_string(count) + kTotal2);
    static const std::string kCreated = cp("Создан файл ");
    pane.SetColor(clr::Purple);
    pane.AddLine(kCreated + Utf8To1251(outName_));
    pane.SetColor(clr::Black);
}

void Disassembler::DeasLbl(Pane& pane, Pane& pane2) {
    if (!hasRun_) return;
    pane.Clear();
    pane2.Clear();
    static const std::string kTitle = cp("TITLE === Меточное дизассемблирование файла ");
    const std::string title = "\t" + kTitle + Utf8To1251(fileName_) + " ===";
    pane.SetColor(clr::Red);
    pane.AddLine(title);
    pane.AddLine("");
    AtomicFile file(outName_);
    file.Write(title + "\r\n\tORG\t0\r\n");
    pane.SetColor(clr::Black);

    Sweep(code_, marks_, true, this, pane, file).Run();

    file.Write("\tEND\r\n");
    pane.Append("         \tEND");
    file.Commit();
    static const std::string kUpdated = cp("Обновлён файл ");
    pane.SetColor(clr::Purple);
    pane.AddLine(kUpdated + Utf8To1251(outName_));
    if (!labelsReady_) PrepareLabels();
    if (firstUnlabelled_ < Size()) {
        static const std::string kTooMany1 = cp("Меток больше, чем вмещает таблица меток ассемблера (");
        static const std::string kTooMany2 = cp("): адреса от ");
        static const std::string kTooMany3 = cp("H записаны числами.");
        std::string at;
        AppendHex4(at, static_cast<std::uint16_t>(firstUnlabelled_));
        pane.AddLine(kTooMany1 + std::to_string(LabelCapacity) + kTooMany2 + at + kTooMany3);
    }
    pane.SetColor(clr::Black);
}

}  // namespace z51
