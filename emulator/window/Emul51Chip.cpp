// The emulator window's parts for the chip models: the line that names the
// model (with the simple model's notice), the compact panel of the timer,
// interrupt and serial registers, and the terminal of the serial port.

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/cp1251.h"
#include "emulator/chip.h"
#include "emulator/window/Emul51.h"
#include "shell/qt_pane.h"

namespace z51 {

namespace {

QString ModelText(Model m) {
    switch (m) {
    case Model::I8051: return QStringLiteral("Модель: кристалл 8051 (банки регистров, таймеры, прерывания, порт)");
    case Model::I8052: return QStringLiteral("Модель: кристалл 8052 (банки регистров, таймеры 0-2, прерывания, порт)");
    default: return QStringLiteral("Модель: упрощённая (без банков регистров и периферии)");
    }
}

// The simple model's notice: what the program did and where.
QString NoticeText(const SimpleNotice& n) {
    QString what;
    switch (n.kind) {
    case SimpleNotice::RegisterBankByte: what = QStringLiteral("прямое обращение к ячейке %1H банков регистров").arg(QHex2(n.detail)); break;
    case SimpleNotice::BankSelect: what = QStringLiteral("выбор банка регистров %1").arg(n.detail); break;
    case SimpleNotice::ParityRead: what = QStringLiteral("чтение флага чётности P"); break;
    case SimpleNotice::Peripheral:
        what = n.detail == sfr::TCON ? QStringLiteral("запуск таймера")
               : n.detail == sfr::IE ? QStringLiteral("разрешение прерываний")
                                     : QStringLiteral("включение приёмника порта");
        break;
    case SimpleNotice::MovxPage: what = QStringLiteral("MOVX @Ri при P2 = %1H").arg(QHex2(n.detail)); break;
    default: return {};
    }
    const QString at = QHex4(n.pc);
    return QStringLiteral("На кристалле иначе: %1 (адрес %2H). Выберите модель 8051 в меню «Режим эмуляции».")
        .arg(what, at);
}

}  // namespace

Emul51Terminal::Emul51Terminal(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
}

void Emul51Terminal::keyPressEvent(QKeyEvent* e) {
    std::string bytes;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) bytes = "\r";
    else if (e->key() == Qt::Key_Backspace) bytes = "\b";
    else if (!e->text().isEmpty() && !(e->modifiers() & Qt::ControlModifier)) bytes = Utf8To1251(e->text().toStdString());
    if (bytes.empty() || !typed) return QPlainTextEdit::keyPressEvent(e);
    typed(bytes);
}

QWidget* TfrmEmul::BuildModelLine() {
    auto* w = new QWidget(this);
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    lblModel_ = new QLabel(w);
    lblModel_->setObjectName(QStringLiteral("lblModel"));
    QFont bold = font();
    bold.setBold(true);
    lblModel_->setFont(bold);
    lblNotice_ = new QLabel(w);
    lblNotice_->setObjectName(QStringLiteral("lblNotice"));
    QPalette pal = lblNotice_->palette();
    pal.setColor(QPalette::WindowText, ToQColor(clr::Maroon));
    lblNotice_->setPalette(pal);
    lblNotice_->hide();
    v->addWidget(lblModel_);
    v->addWidget(lblNotice_);
    return w;
}

QWidget* TfrmEmul::BuildPeripheralPanel() {
    pnlPeriph_ = new QGroupBox(QStringLiteral("Таймеры, прерывания, порт"), this);
    pnlPeriph_->setObjectName(QStringLiteral("pnlPeriph"));
    auto* g = new QGridLayout(pnlPeriph_);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    struct Field {
        const char* name;
        std::uint8_t address;
        bool only8052;
    };
    const Field fields[] = {
        {"TCON", sfr::TCON, false},    {"TMOD", sfr::TMOD, false}, {"TH0", sfr::TH0, false},
        {"TL0", sfr::TL0, false},      {"TH1", sfr::TH1, false},   {"TL1", sfr::TL1, false},
        {"IE", sfr::IE, false},        {"IP", sfr::IP, false},     {"SCON", sfr::SCON, false},
        {"SBUF", sfr::SBUF, false},    {"PCON", sfr::PCON, false}, {"T2CON", sfr::T2CON, true},
        {"RCAP2H", sfr::RCAP2H, true}, {"RCAP2L", sfr::RCAP2L, true}, {"TH2", sfr::TH2, true},
        {"TL2", sfr::TL2, true},
    };
    constexpr int kColumns = 6;
    int k = 0;
    for (const Field& f : fields) {
        auto* title = new QLabel(QLatin1String(f.name) + QLatin1Char(':'), pnlPeriph_);
        title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* value = new QLabel(QStringLiteral("$00"), pnlPeriph_);
        value->setObjectName(QStringLiteral("lbl") + QLatin1String(f.name));
        g->addWidget(title, k / kColumns, (k % kColumns) * 2);
        g->addWidget(value, k / kColumns, (k % kColumns) * 2 + 1);
        periph_.emplace_back(f.address, value);
        if (f.only8052) {
            periph8052_.push_back(title);
            periph8052_.push_back(value);
        }
        ++k;
    }
    lblCycles_ = new QLabel(pnlPeriph_);
    lblCycles_->setObjectName(QStringLiteral("lblChipCycles"));
    g->addWidget(lblCycles_, k / kColumns + 1, 0, 1, 2 * kColumns);
    g->setColumnStretch(2 * kColumns, 1);
    return pnlPeriph_;
}

QWidget* TfrmEmul::BuildTerminalPanel() {
    pnlTerm_ = new QGroupBox(QStringLiteral("Терминал последовательного порта (клавиши идут на RXD)"), this);
    pnlTerm_->setObjectName(QStringLiteral("pnlTerm"));
    auto* v = new QVBoxLayout(pnlTerm_);
    reTerm_ = new Emul51Terminal(pnlTerm_);
    reTerm_->setObjectName(QStringLiteral("reTerm"));
    reTerm_->setMinimumHeight(QFontMetrics(font()).height() * 5);
    reTerm_->typed = [this](const std::string& bytes) { TerminalTyped(bytes); };
    v->addWidget(reTerm_);
    return pnlTerm_;
}

void TfrmEmul::TerminalTyped(const std::string& bytes) {
    line_.Queue(bytes);
    LineWaiting(cpu_);
}

void TfrmEmul::ShowPeripherals() {
    for (const auto& [address, label] : periph_) {
        const QString text = '$' + QHex2(cpu_.dump[address]);
        if (label->text() != text) label->setText(text);
    }
    for (QWidget* w : periph8052_) w->setVisible(cpu_.model == Model::I8052);
    lblCycles_->setText(QStringLiteral("Машинных циклов с начала: %1").arg(cpu_.cycles));
    const std::string sent = line_.TakeTransmitted();
    if (!sent.empty()) {
        reTerm_->moveCursor(QTextCursor::End);
        reTerm_->insertPlainText(QString::fromStdString(Cp1251ToUtf8(sent)).remove(QLatin1Char('\r')));
        reTerm_->verticalScrollBar()->setValue(reTerm_->verticalScrollBar()->maximum());
    }
}

void TfrmEmul::ShowModel() {
    const bool chip = cpu_.IsChip();
    lblModel_->setText(ModelText(cpu_.model));
    const QString notice = chip ? QString() : NoticeText(cpu_.notice);
    lblNotice_->setText(notice);
    lblNotice_->setVisible(!notice.isEmpty());
    pnlPeriph_->setVisible(chip);
    pnlTerm_->setVisible(chip);
    if (chip) ShowPeripherals();
}

}  // namespace z51
