// The panel refresh, the decoded current instruction and the handlers that
// change the processor state from the window.

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdint>
#include <limits>

#include "core/pane.h"
#include "emulator/chip.h"
#include "emulator/debugger.h"
#include "emulator/exec.h"
#include "emulator/window/Emul51.h"
#include "emulator/window/EmulDebug.h"
#include "isa/hex.h"
#include "isa/opcode_map.h"
#include "shell/qt_pane.h"

namespace z51 {

namespace {

using namespace sfr;

const QString& StartCaption() {
    static const QString s = QStringLiteral("Пуск по таймеру");
    return s;
}
const QString& StopCaption() {
    static const QString s = QStringLiteral("Останов таймера");
    return s;
}

QString Latin(const std::string& s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

}  // namespace

std::optional<std::int32_t> ParseIntText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    if (text[i] == '$') {
        const std::size_t first = ++i;
        for (; i < text.size(); ++i) {
            const int d = HexDigitValue(text[i]);
            if (d < 0) return std::nullopt;
            value = value * 16 + d;
        }
        if (i == first || i - first > 8) return std::nullopt;
        // Eight digits fill the 32 bits; the top one is the sign.
        std::uint32_t bits = static_cast<std::uint32_t>(value);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

PanelInstr DecodeForPanel(const std::array<std::uint8_t, 3>& cur, std::uint16_t pc) {
    const DecodedInstruction d = DecodeInstruction(pc, cur);
    PanelInstr p;
    p.cmd = d.mnemonic;
    p.length = d.length;
    const std::uint8_t op = cur[0];
    const OpcodeInfo& info = kOpcodeMap[op];
    if (info.mnemonic == Mnemonic::AJMP || info.mnemonic == Mnemonic::ACALL) {
        // AJMP/ACALL: the four target digits need no leading "0" unless
        // they begin with a letter (0312H, but 0A312H).
        p.op1 = d.operands;
        if (p.op1.size() == 6 && p.op1[1] <= '9') p.op1.erase(0, 1);
    } else if (op == 0x85 || (info.mnemonic != Mnemonic::None && info.fieldCount == 0)) {
        // Instructions of the one-byte table, and MOV direct,direct, show
        // each operand in a label of its own; the rest show them in lblOP1.
        std::string_view rest = d.operands;
        std::string* ops[3] = {&p.op1, &p.op2, &p.op3};
        int n = 0;
        for (std::size_t comma; n < 2 && (comma = rest.find(',')) != std::string_view::npos; ++n) {
            *ops[n] = std::string(rest.substr(0, comma));
            rest = rest.substr(comma + 1);
        }
        *ops[n] = std::string(rest);
        p.shown = n + 1;
    } else {
        p.op1 = d.operands;
    }
    return p;
}

QString BytesCaption(int length) {
    QString s = QStringLiteral("[ ") + QString::number(length) + QStringLiteral(" байт");
    if (length > 1) s += QLatin1Char('a');
    return s + QStringLiteral(" ]");
}

void TfrmEmul::IndicPorts() {
    ++refreshCount_;
    const std::uint8_t* ram = cpu_.iram();
    static const QColor pen1 = ToQColor(clr::Fuchsia), fill1 = ToQColor(clr::Red);
    static const QColor pen0 = ToQColor(clr::Blue), fill0 = ToQColor(clr::Black);
    static const QString cap1 = QStringLiteral("1->0"), cap0 = QStringLiteral("0->1");

    // 1. Port pins. In the chip models a pin shows the latch AND the level
    // from outside, and its button is that outside level.
    for (int x = 0; x < 4; ++x) {
        const std::uint8_t pins = PortPins(cpu_, static_cast<unsigned>(x));
        const std::uint8_t button = cpu_.IsChip() ? cpu_.chip.pinsIn[x] : pins;
        for (int y = 0; y < 8; ++y) {
            const bool one = (pins >> y) & 1;
            shpP_[x * 8 + y]->SetColors(one ? pen1 : pen0, one ? fill1 : fill0);
            QPushButton* b = btnP_[x * 8 + y];
            const QString& cap = (button >> y) & 1 ? cap1 : cap0;
            if (b->text() != cap) b->setText(cap);
        }
    }

    // 2. Internal RAM list.
    ShowMemory();

    // 3. Boxes and flags. Writing a new text into txtR0 or txtDPTR runs its
    // change handler, which stores the same value and refreshes once more.
    txtA_->setText('$' + QHex2(ram[ACC]));
    txtB_->setText('$' + QHex2(ram[B]));
    const std::uint8_t psw = ram[PSW];
    lblC_->setText(psw & 0x80 ? "1" : "0");
    lblAC_->setText(psw & 0x40 ? "1" : "0");
    lblOV_->setText(psw & 0x04 ? "1" : "0");
    lblP_->setText(psw & 0x01 ? "1" : "0");
    txtPC_->setText('$' + QHex4(cpu_.PC));
    txtDPTR_->setText('$' + QHex2(ram[DPH]) + QHex2(ram[DPL]));
    txtSP_->setText('$' + QHex2(ram[SP]));
    for (int r = 0; r < 8; ++r) txtR_[r]->setText('$' + QHex2(cpu_.Regs()[r]));

    // 4.-6. The instruction the next step runs.
    FetchCurrent(cpu_, ws_.CodeImage);
    ShowInstruction();
    ShowModel();
    if (debug_) debug_->Refresh();
}

void TfrmEmul::ShowMemory() {
    const std::uint8_t* ram = cpu_.iram();
    QString text;
    text.reserve(256 * 7);
    for (int a = 0; a < 256; ++a) {
        text += QHex2(static_cast<std::uint8_t>(a));
        text += QLatin1String(": ");
        text += QHex2(ram[a]);
        if (a != 0xFF) text += QLatin1Char('\n');
    }
    if (text == memText_) return;
    memText_ = text;
    // The list is rebuilt whole; the place the user scrolled to stays.
    QScrollBar* bar = reResisters_->verticalScrollBar();
    const int scroll = bar->value();
    reResisters_->setPlainText(text);
    bar->setValue(scroll);
}

void TfrmEmul::ShowInstruction() {
    const PanelInstr d = DecodeForPanel(cpu_.cur, cpu_.PC);
    lblCmd_->setText(Latin(d.cmd));
    lblOP1_->setText(Latin(d.op1));
    lblOP2_->setText(Latin(d.op2));
    lblOP3_->setText(Latin(d.op3));
    lblOP1_->setVisible(true);
    lblRazd1_->setVisible(d.shown >= 2);
    lblOP2_->setVisible(d.shown >= 2);
    lblRazd2_->setVisible(d.shown >= 3);
    lblOP3_->setVisible(d.shown >= 3);
    cpu_.curLen = static_cast<std::uint16_t>(d.length);
    lblBytes_->setText(BytesCaption(d.length));
}

// Run control.

void TfrmEmul::btnGoStepClick() {
    dbg_.Count(cpu_.cur[0]);
    Shag1(cpu_, ws_.CodeImage);
    IndicPorts();
}

void TfrmEmul::tmrShagTimer() {
    dbg_.Count(cpu_.cur[0]);
    Shag1(cpu_, ws_.CodeImage);
    IndicPorts();
}

void TfrmEmul::btnGoTmrClick() {
    if (btnGoTmr_->text() == StartCaption()) {
        const auto n = ParseIntText(txtTmrInt_->text().toStdString());
        if (!n) return;
        // The box counts hundredths of a second; its low 16 bits are used.
        int ticks = static_cast<std::uint16_t>(*n);
        if (ticks < 2) ticks = 2;
        tmrShag_->setInterval(ticks * 10);
        tmrShag_->start();
        btnGoTmr_->setText(StopCaption());
    } else {
        btnGoTmr_->setText(StartCaption());
        tmrShag_->stop();
    }
}

void TfrmEmul::tmrXTALTimer() {
    static const QColor pen1 = ToQColor(clr::Fuchsia), fill1 = ToQColor(clr::Red);
    static const QColor pen0 = ToQColor(clr::Blue), fill0 = ToQColor(clr::Black);
    ++cpu_.xtalPhase;
    const bool even = cpu_.xtalPhase % 2 == 0;
    (even ? shpXTAL2_ : shpXTAL1_)->SetColors(pen1, fill1);
    (even ? shpXTAL1_ : shpXTAL2_)->SetColors(pen0, fill0);
}

// Pins and flags.

void TfrmEmul::btnPClick(int port, int bit) {
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    if (cpu_.IsChip()) SetPinsIn(cpu_, static_cast<unsigned>(port), cpu_.chip.pinsIn[port] ^ mask);
    else cpu_.iram()[P0 + 0x10 * port] ^= mask;
    IndicPorts();
}

void TfrmEmul::lblFlagClick(std::uint8_t mask) {
    cpu_.iram()[PSW] ^= mask;
    StateEdited(cpu_);
    IndicPorts();
}

// Register boxes, poke and PC arrows.

void TfrmEmul::RegBoxChange(const RegBox& box) {
    const auto v = ParseIntText(box.edit->text().toStdString());
    if (!v) return;
    box.store(cpu_, *v);
    StateEdited(cpu_);
    IndicPorts();
}

void TfrmEmul::btnValueClick() {
    auto complain = [this](const QString& text) {
        // The application's error box, captioned like the main window's.
        auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Ошибка"),
                                    QStringLiteral("'%1' is not a valid integer value").arg(text),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("msgConvertError"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    const auto index = ParseIntText(txtIndx_->text().toStdString());
    if (!index) return complain(txtIndx_->text());
    const auto value = ParseIntText(txtValue_->text().toStdString());
    if (!value) return complain(txtValue_->text());
    cpu_.iram()[static_cast<std::uint8_t>(*index)] = static_cast<std::uint8_t>(*value);
    StateEdited(cpu_);
    IndicPorts();
}

void TfrmEmul::bbUPClick() {
    if (cpu_.PC + cpu_.curLen <= 0xFFFF) cpu_.PC = static_cast<std::uint16_t>(cpu_.PC + cpu_.curLen);
    IndicPorts();
}

void TfrmEmul::bbDnClick() {
    if (cpu_.PC >= cpu_.curLen) cpu_.PC = static_cast<std::uint16_t>(cpu_.PC - cpu_.curLen);
    IndicPorts();
}

}  // namespace z51
