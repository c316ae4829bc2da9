// The emulator window's construction: the chip picture, the register and
// flag boxes, the current-instruction panel, the poke panel and the run
// control. Geometry of the chip comes from the font's metrics, the rest from
// layouts, so the window reads the same at any scale factor.

#include "emulator/window/Emul51.h"

#include <QAction>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/pane.h"
#include "emulator/window/EmulDebug.h"
#include "shell/qt_pane.h"

namespace z51 {

namespace {

// Pin rows of the DIP-40 package, top to bottom: pin 1..20 on the left,
// pin 40..21 on the right. Each row is one label of 19 columns.
constexpr int kRows = 20;
constexpr int kRowColumns = 19;
const char* const kLeftPins[kRows] = {
    "P1.0", "P1.1", "P1.2", "P1.3", "P1.4", "P1.5", "P1.6", "P1.7", "RST", "P3.0(RXD)",
    "P3.1(TXD)", "P3.2(~INT0)", "P3.3(~INT1)", "P3.4(T0)", "P3.5(T1)", "P3.6(~WR)", "P3.7(~RD)",
    "XTAL2", "XTAL1", "GND"};
const char* const kRightPins[kRows] = {
    "VCC", "P0.0 (AD0)", "P0.1 (AD1)", "P0.2 (AD2)", "P0.3 (AD3)", "P0.4 (AD4)", "P0.5 (AD5)",
    "P0.6 (AD6)", "P0.7 (AD7)", "~EA/VPP", "ALE/~PROG", "~PSEN", "P2.7", "P2.6", "P2.5", "P2.4",
    "P2.3", "P2.2", "P2.1", "P2.0"};

QString RowText(int row) {
    if (row == kRows - 1) return QStringLiteral("GND   AT89C51  P2.0");
    const QString left = QLatin1String(kLeftPins[row]), right = QLatin1String(kRightPins[row]);
    return left + QString(kRowColumns - left.size() - right.size(), QLatin1Char(' ')) + right;
}

// Port pin (port, bit) on a row: the left side carries P1 and P3, the right
// side P0 and P2 (P2 counts down from pin 28).
int LeftPortPin(int row) {  // -1 when the pin is no port pin
    if (row < 8) return 1 * 8 + row;
    if (row >= 9 && row < 17) return 3 * 8 + row - 9;
    return -1;
}
int RightPortPin(int row) {
    if (row >= 1 && row <= 8) return 0 * 8 + row - 1;
    if (row >= 12) return 2 * 8 + (19 - row);
    return -1;
}

QString PinName(int index) {  // "00".."37": port digit, then bit digit
    return QString::number(index / 8) + QString::number(index % 8);
}

QFont WindowFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Mono")))
        f = QFont(QStringLiteral("Liberation Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSize(10);
    return f;
}

// Colours the internal RAM list: the address and ": " blue, the value black.
class MemoryColours : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        static const QColor blue = ToQColor(clr::Blue);
        QTextCharFormat address;
        address.setForeground(blue);
        setFormat(0, std::min<int>(4, int(text.size())), address);
    }
};

void SetTextColour(QWidget* w, const QColor& fg, const QColor& bg = QColor()) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, fg);
    pal.setColor(QPalette::Text, fg);
    pal.setColor(QPalette::ButtonText, fg);
    if (bg.isValid()) {
        pal.setColor(QPalette::Window, bg);
        w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
}

}  // namespace

// Shapes.

Emul51Shape::Emul51Shape(Kind kind, const QString& name, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Emul51Shape::SetColors(QColor pen, QColor fill) {
    if (pen == pen_ && fill == fill_) return;
    pen_ = pen;
    fill_ = fill;
    update();
}

void Emul51Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPen pen(pen_, 2);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (kind_) {
        case Rect:
            p.setPen(pen);
            p.setBrush(fill_);
            p.drawRect(r);
            break;
        case RoundRect:
            p.setPen(pen);
            p.setBrush(fill_);
            p.drawRoundedRect(r, 3, 3);
            break;
        case Ellipse:
            p.setPen(pen);
            p.setBrush(fill_);
            p.drawEllipse(r);
            break;
        case Crystal: {
            // A quartz between two plates, its leads running right to the
            // XTAL pins at the top and the bottom of the shape.
            const qreal w = width(), h = height(), cx = w * 0.4;
            const qreal yTop = h * 0.12, yBot = h * 0.88;
            const qreal plate1 = h * 0.30, plate2 = h * 0.70, half = w * 0.3;
            p.setPen(QPen(pen_, 1.5));
            p.drawLine(QPointF(w, yTop), QPointF(cx, yTop));
            p.drawLine(QPointF(cx, yTop), QPointF(cx, plate1));
            p.drawLine(QPointF(w, yBot), QPointF(cx, yBot));
            p.drawLine(QPointF(cx, yBot), QPointF(cx, plate2));
            p.setPen(QPen(pen_, 2.5, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(cx - half, plate1), QPointF(cx + half, plate1));
            p.drawLine(QPointF(cx - half, plate2), QPointF(cx + half, plate2));
            p.setPen(QPen(pen_, 1.5));
            p.setBrush(fill_);
            const qreal gap = (plate2 - plate1) * 0.22;
            p.drawRect(QRectF(cx - half * 0.75, plate1 + gap, half * 1.5, plate2 - plate1 - 2 * gap));
            break;
        }
    }
}

// The window.

TfrmEmul::TfrmEmul(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), ws_(session.ws), cpu_(session.cpu), dbg_(session.debugger) {
    setObjectName(QStringLiteral("frmEmul"));
    setWindowTitle(QStringLiteral("Эмуляция процессора I8051 (K1816BE51, AT89C51)"));
    setFont(WindowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* chip = new QWidget(this);
    chip->setObjectName(QStringLiteral("pnlChip"));
    BuildChip(chip);

    reResisters_ = new QPlainTextEdit(this);
    reResisters_->setObjectName(QStringLiteral("reResisters"));
    reResisters_->setReadOnly(true);
    reResisters_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reResisters_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    reResisters_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("FF: FF")) + 2 * 6 +
                                reResisters_->verticalScrollBar()->sizeHint().width() + 8);
    new MemoryColours(reResisters_->document());

    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    right->addWidget(BuildModelLine());
    right->addWidget(BuildRegisters());
    right->addWidget(BuildCommandPanel());
    right->addWidget(BuildPokePanel());
    right->addWidget(BuildRunPanel());
    right->addWidget(BuildPeripheralPanel());
    right->addWidget(BuildTerminalPanel());
    right->addStretch(1);

    // The chip panel on top; the debugger below it, in a splitter that
    // lets the user give either more room or fold the debugger away.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlEmul"));
    auto* top = new QHBoxLayout(panel);
    top->setContentsMargins(10, 10, 10, 10);
    top->setSpacing(12);
    top->addWidget(chip, 0, Qt::AlignTop);
    top->addWidget(reResisters_);
    top->addLayout(right, 1);
    debug_ = new EmulDebugPanel(session, [this] { IndicPorts(); }, this);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("splDebug"));
    split->addWidget(panel);
    split->addWidget(debug_);
    split->setCollapsible(0, false);
    split->setStretchFactor(1, 1);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(split);

    tmrShag_ = new QTimer(this);
    tmrShag_->setObjectName(QStringLiteral("tmrShag"));
    connect(tmrShag_, &QTimer::timeout, this, &TfrmEmul::tmrShagTimer);
    tmrXTAL_ = new QTimer(this);
    tmrXTAL_->setObjectName(QStringLiteral("tmrXTAL"));
    tmrXTAL_->setInterval(50);
    connect(tmrXTAL_, &QTimer::timeout, this, &TfrmEmul::tmrXTALTimer);

    // F7 steps, F5 starts or stops the timer run, like the two buttons.
    auto* step = new QAction(this);
    step->setObjectName(QStringLiteral("actStep"));
    step->setShortcut(Qt::Key_F7);
    connect(step, &QAction::triggered, this, &TfrmEmul::btnGoStepClick);
    addAction(step);
    auto* run = new QAction(this);
    run->setObjectName(QStringLiteral("actRun"));
    run->setShortcut(Qt::Key_F5);
    connect(run, &QAction::triggered, this, &TfrmEmul::btnGoTmrClick);
    addAction(run);

    // Creation: internal RAM, PC and R0..R7 start at zero (SP 00H and the
    // ports 00H, unlike a hardware reset), then the first refresh. The
    // serial port of the chip models talks to the terminal panel.
    std::fill(cpu_.dump.begin(), cpu_.dump.begin() + 256, std::uint8_t{0});
    cpu_.PC = 0;
    cpu_.R.fill(0);
    cpu_.xtalPhase = 0;
    cpu_.line = &line_;
    shpXTAL2_->SetColors(ToQColor(clr::Fuchsia), ToQColor(clr::Red));
    shpXTAL1_->SetColors(ToQColor(clr::Blue), ToQColor(clr::Black));
    IndicPorts();
    tmrXTAL_->start();
}

void TfrmEmul::BuildChip(QWidget* chip) {
    const QFontMetrics fm(font());
    const int cw = fm.horizontalAdvance(QLatin1Char('0'));
    const int lh = fm.height();

    // Buttons first: their size hint sets the row height.
    int bw = 0, bh = 0;
    for (int i = 0; i < 32; ++i) {
        auto* b = new QPushButton(QStringLiteral("0->1"), chip);
        b->setObjectName(QStringLiteral("btnP") + PinName(i));
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(QStringLiteral("P%1.%2").arg(i / 8).arg(i % 8));
        const int port = i / 8, bit = i % 8;
        connect(b, &QPushButton::clicked, this, [this, port, bit] { btnPClick(port, bit); });
        btnP_[i] = b;
        bw = std::max(bw, std::max(b->sizeHint().width(), fm.horizontalAdvance(QStringLiteral("1->0")) + 14));
        bh = std::max(bh, b->sizeHint().height());
    }
    bw = std::max(bw, 6 * cw);
    const int rh = std::max(bh + 2, lh + 8);
    const int gap = std::max(4, cw / 2);
    const int pinW = 2 * cw + 4, pinH = std::max(8, rh / 2);
    const int pkgW = (kRowColumns + 2) * cw;
    const int pad = rh / 3;
    const int margin = 4;
    const int notch = 3 * cw;

    const int xBtnL = margin, xPinL = xBtnL + bw + gap, xPkg = xPinL + pinW;
    const int xPinR = xPkg + pkgW, xBtnR = xPinR + pinW + gap;
    const int yPkg = margin + notch / 2;
    const int pkgH = kRows * rh + 2 * pad;
    auto rowCentre = [&](int row) { return yPkg + pad + row * rh + rh / 2; };

    auto* shpMK = new Emul51Shape(Emul51Shape::RoundRect, QStringLiteral("shpMK"), chip);
    shpMK->SetColors(QColor(0x20, 0x20, 0x20), QColor(0x3A, 0x3A, 0x3A));
    shpMK->setGeometry(xPkg, yPkg, pkgW, pkgH);

    // The notch: a white disc on the top edge, its upper half masked white.
    auto* shpLBL = new Emul51Shape(Emul51Shape::Ellipse, QStringLiteral("shpLBL"), chip);
    shpLBL->SetColors(QColor(0x20, 0x20, 0x20), Qt::white);
    shpLBL->setGeometry(xPkg + (pkgW - notch) / 2, yPkg - notch / 2, notch, notch);
    auto* shpWHT = new Emul51Shape(Emul51Shape::Rect, QStringLiteral("shpWHT"), chip);
    shpWHT->SetColors(Qt::white, Qt::white);
    shpWHT->setGeometry(xPkg + (pkgW - notch) / 2 - 1, yPkg - notch / 2 - 1, notch + 2, notch / 2 + 2);

    const QColor label(0xF2, 0xF2, 0xF2);
    for (int row = 0; row < kRows; ++row) {
        auto* l = new QLabel(RowText(row), chip);
        l->setObjectName(QStringLiteral("lblPin%1").arg(row + 1, 2, 10, QLatin1Char('0')));
        SetTextColour(l, label);
        l->setGeometry(xPkg + cw, rowCentre(row) - lh / 2, kRowColumns * cw + 2, lh);
        const int yPin = rowCentre(row) - pinH / 2;
        const int yBtn = rowCentre(row) - bh / 2;
        if (const int i = LeftPortPin(row); i >= 0) {
            shpP_[i] = new Emul51Shape(Emul51Shape::Rect, QStringLiteral("shpP") + PinName(i), chip);
            shpP_[i]->setGeometry(xPinL, yPin, pinW, pinH);
            btnP_[i]->setGeometry(xBtnL, yBtn, bw, bh);
        }
        if (const int i = RightPortPin(row); i >= 0) {
            shpP_[i] = new Emul51Shape(Emul51Shape::Rect, QStringLiteral("shpP") + PinName(i), chip);
            shpP_[i]->setGeometry(xPinR, yPin, pinW, pinH);
            btnP_[i]->setGeometry(xBtnR, yBtn, bw, bh);
        }
    }

    auto fixedPin = [&](const char* name, int row, bool left, QColor pen, QColor fill) {
        auto* s = new Emul51Shape(Emul51Shape::Rect, QLatin1String(name), chip);
        s->SetColors(pen, fill);
        s->setGeometry(left ? xPinL : xPinR, rowCentre(row) - pinH / 2, pinW, pinH);
        return s;
    };
    const QColor silverPen(0x70, 0x70, 0x70), silver(0xC8, 0xC8, 0xC8);
    fixedPin("shpRST", 8, true, ToQColor(clr::Black), ToQColor(clr::Blue));
    shpXTAL2_ = fixedPin("shpXTAL2", 17, true, ToQColor(clr::Blue), ToQColor(clr::Black));
    shpXTAL1_ = fixedPin("shpXTAL1", 18, true, ToQColor(clr::Blue), ToQColor(clr::Black));
    fixedPin("Shape3", 19, true, ToQColor(clr::Black), ToQColor(clr::Blue));  // GND
    fixedPin("Shape4", 0, false, ToQColor(clr::Red), ToQColor(clr::Fuchsia));  // VCC
    fixedPin("shpEA", 9, false, silverPen, silver);
    fixedPin("shpALE", 10, false, silverPen, silver);
    fixedPin("shpPSEN", 11, false, silverPen, silver);

    // The crystal hangs between XTAL2 and XTAL1 where the left buttons are.
    auto* shpQ = new Emul51Shape(Emul51Shape::Crystal, QStringLiteral("shpQ"), chip);
    shpQ->SetColors(QColor(0x30, 0x30, 0x30), QColor(0xE8, 0xE8, 0xF8));
    const int qTop = rowCentre(17), qBot = rowCentre(18);
    const int qh = int((qBot - qTop) / 0.76);
    shpQ->setGeometry(xBtnL + bw / 4, qTop - int(qh * 0.12), xPinL - xBtnL - bw / 4, qh);

    shpMK->lower();
    shpLBL->raise();
    shpWHT->raise();
    chip->setFixedSize(xBtnR + bw + margin, yPkg + pkgH + margin);
}

QLineEdit* TfrmEmul::MakeBox(const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    const QFontMetrics fm(font());
    // One width for all boxes keeps the grid even; "$FFFF" fits with room.
    e->setFixedWidth(fm.horizontalAdvance(QStringLiteral("$FFFFF")) + 16);
    e->installEventFilter(this);
    return e;
}

QLabel* TfrmEmul::MakeFlag(const char* name, std::uint8_t mask) {
    auto* l = new QLabel(QStringLiteral("0"), this);
    l->setObjectName(QLatin1String(name));
    QFont f = font();
    f.setBold(true);
    l->setFont(f);
    SetTextColour(l, Qt::white, ToQColor(clr::Teal));
    l->setAlignment(Qt::AlignCenter);
    const QFontMetrics fm(f);
    l->setFixedSize(fm.horizontalAdvance(QLatin1Char('0')) * 3, fm.height() + 6);
    l->setCursor(Qt::PointingHandCursor);
    l->setProperty("psw_mask", int(mask));
    l->installEventFilter(this);
    return l;
}

QWidget* TfrmEmul::BuildRegisters() {
    auto* box = new QGroupBox(QStringLiteral("Регистры"), this);
    box->setObjectName(QStringLiteral("pnlRegs"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(6);
    auto title = [&](const QString& text, int row, int col) {
        auto* l = new QLabel(text, box);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(l, row, col);
    };
    txtA_ = MakeBox("txtA");
    txtB_ = MakeBox("txtB");
    txtSP_ = MakeBox("txtSP");
    txtPC_ = MakeBox("txtPC");
    txtDPTR_ = MakeBox("txtDPTR");
    title(QStringLiteral("ACC:"), 0, 0);
    g->addWidget(txtA_, 0, 1);
    title(QStringLiteral("B:"), 0, 2);
    g->addWidget(txtB_, 0, 3);
    title(QStringLiteral("SP:"), 0, 4);
    g->addWidget(txtSP_, 0, 5);
    title(QStringLiteral("PC:"), 1, 0);
    g->addWidget(txtPC_, 1, 1);
    title(QStringLiteral("DPTR:"), 1, 2);
    g->addWidget(txtDPTR_, 1, 3);
    for (int r = 0; r < 8; ++r) {
        const std::string name = "txtR" + std::to_string(r);
        txtR_[r] = MakeBox(name.c_str());
        title(QStringLiteral("R%1:").arg(r), 2 + r / 4, (r % 4) * 2);
        g->addWidget(txtR_[r], 2 + r / 4, (r % 4) * 2 + 1);
    }
    lblC_ = MakeFlag("lblC", 0x80);
    lblAC_ = MakeFlag("lblAC", 0x40);
    lblOV_ = MakeFlag("lblOV", 0x04);
    lblP_ = MakeFlag("lblP", 0x01);
    const char* flagTitles[] = {"CY:", "AC:", "OV:", "P:"};
    QLabel* flags[] = {lblC_, lblAC_, lblOV_, lblP_};
    for (int i = 0; i < 4; ++i) {
        title(QLatin1String(flagTitles[i]), 4, i * 2);
        g->addWidget(flags[i], 4, i * 2 + 1, Qt::AlignLeft);
    }
    g->setColumnStretch(8, 1);

    // Each box stores its value's low bits in its register.
    using S = void (*)(Cpu51&, std::int32_t);
    boxes_ = {{
        {txtA_, S([](Cpu51& c, std::int32_t v) { c.A() = static_cast<std::uint8_t>(v); })},
        {txtB_, S([](Cpu51& c, std::int32_t v) { c.B() = static_cast<std::uint8_t>(v); })},
        {txtSP_, S([](Cpu51& c, std::int32_t v) { c.SP() = static_cast<std::uint8_t>(v); })},
        {txtPC_, S([](Cpu51& c, std::int32_t v) { c.PC = static_cast<std::uint16_t>(v); })},
        {txtDPTR_, S([](Cpu51& c, std::int32_t v) { c.SetDptr(static_cast<std::uint16_t>(v)); })},
        {txtR_[0], S([](Cpu51& c, std::int32_t v) { c.Regs()[0] = static_cast<std::uint8_t>(v); })},
        {txtR_[1], S([](Cpu51& c, std::int32_t v) { c.Regs()[1] = static_cast<std::uint8_t>(v); })},
        {txtR_[2], S([](Cpu51& c, std::int32_t v) { c.Regs()[2] = static_cast<std::uint8_t>(v); })},
        {txtR_[3], S([](Cpu51& c, std::int32_t v) { c.Regs()[3] = static_cast<std::uint8_t>(v); })},
        {txtR_[4], S([](Cpu51& c, std::int32_t v) { c.Regs()[4] = static_cast<std::uint8_t>(v); })},
        {txtR_[5], S([](Cpu51& c, std::int32_t v) { c.Regs()[5] = static_cast<std::uint8_t>(v); })},
        {txtR_[6], S([](Cpu51& c, std::int32_t v) { c.Regs()[6] = static_cast<std::uint8_t>(v); })},
        {txtR_[7], S([](Cpu51& c, std::int32_t v) { c.Regs()[7] = static_cast<std::uint8_t>(v); })},
    }};
    // txtR0 and txtDPTR take a value at once, on every change of their text
    // (the refresh's own writes included: it then stores the same value and
    // refreshes once more). Every box also takes its value on focus and on
    // a double-click (eventFilter), on Enter, and when the user typed into
    // it and then leaves it, so that a typed value is not dropped by the
    // next refresh.
    connect(txtR_[0], &QLineEdit::textChanged, this, [this] { RegBoxChange(boxes_[5]); });
    connect(txtDPTR_, &QLineEdit::textChanged, this, [this] { RegBoxChange(boxes_[4]); });
    for (const RegBox& b : boxes_) {
        const RegBox* p = &b;
        connect(b.edit, &QLineEdit::returnPressed, this, [this, p] { RegBoxChange(*p); });
        connect(b.edit, &QLineEdit::editingFinished, this, [this, p] {
            if (p->edit->isModified()) RegBoxChange(*p);
        });
    }
    return box;
}

QWidget* TfrmEmul::BuildCommandPanel() {
    auto* box = new QGroupBox(QStringLiteral("Выполняемая команда:"), this);
    box->setObjectName(QStringLiteral("pnlCmd"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(font().pointSize() + 2);
    auto label = [&](const char* name, Color colour, const QString& text = QString()) {
        auto* l = new QLabel(text, box);
        l->setObjectName(QLatin1String(name));
        l->setFont(bold);
        SetTextColour(l, ToQColor(colour));
        return l;
    };
    lblCmd_ = label("lblCmd", clr::Blue);
    lblOP1_ = label("lblOP1", clr::Green);
    lblRazd1_ = label("lblRazd1", clr::Black, QStringLiteral(","));
    lblOP2_ = label("lblOP2", clr::Fuchsia);
    lblRazd2_ = label("lblRazd2", clr::Black, QStringLiteral(","));
    lblOP3_ = label("lblOP3", clr::Red);
    lblBytes_ = new QLabel(QStringLiteral("[1 байт]"), box);
    lblBytes_->setObjectName(QStringLiteral("lblBytes"));

    bbUP_ = new QToolButton(box);
    bbUP_->setObjectName(QStringLiteral("bbUP"));
    bbUP_->setArrowType(Qt::UpArrow);
    bbUP_->setToolTip(QStringLiteral("PC на длину команды вперёд"));
    connect(bbUP_, &QToolButton::clicked, this, &TfrmEmul::bbUPClick);
    bbDn_ = new QToolButton(box);
    bbDn_->setObjectName(QStringLiteral("bbDn"));
    bbDn_->setArrowType(Qt::DownArrow);
    bbDn_->setToolTip(QStringLiteral("PC на длину команды назад"));
    connect(bbDn_, &QToolButton::clicked, this, &TfrmEmul::bbDnClick);

    auto* v = new QVBoxLayout(box);
    auto* line = new QHBoxLayout;
    line->setSpacing(0);
    const QFontMetrics fm(bold);
    lblCmd_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("ACALL ")));
    line->addWidget(lblCmd_);
    for (QLabel* l : {lblOP1_, lblRazd1_, lblOP2_, lblRazd2_, lblOP3_}) line->addWidget(l);
    line->addStretch(1);
    // The line keeps its height whatever the instruction.
    auto* strut = new QWidget(box);
    strut->setFixedSize(0, fm.height() + 4);
    line->addWidget(strut);
    v->addLayout(line);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblBytes_);
    bottom->addStretch(1);
    bottom->addWidget(bbUP_);
    bottom->addWidget(bbDn_);
    v->addLayout(bottom);
    return box;
}

QWidget* TfrmEmul::BuildPokePanel() {
    auto* panel = new QGroupBox(QStringLiteral("Запись в ОЗУ"), this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* g = new QGridLayout(panel);
    g->addWidget(new QLabel(QStringLiteral("Индекс[0..255]:"), panel), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Значение[0..255]:"), panel), 0, 1);
    txtIndx_ = new QLineEdit(QStringLiteral("0"), panel);
    txtIndx_->setObjectName(QStringLiteral("txtIndx"));
    txtValue_ = new QLineEdit(QStringLiteral("0"), panel);
    txtValue_->setObjectName(QStringLiteral("txtValue"));
    g->addWidget(txtIndx_, 1, 0);
    g->addWidget(txtValue_, 1, 1);
    btnValue_ = new QPushButton(QStringLiteral("Записать значение по индексу"), panel);
    btnValue_->setObjectName(QStringLiteral("btnValue"));
    connect(btnValue_, &QPushButton::clicked, this, &TfrmEmul::btnValueClick);
    g->addWidget(btnValue_, 2, 0, 1, 2);
    return panel;
}

QWidget* TfrmEmul::BuildRunPanel() {
    auto* panel = new QGroupBox(QStringLiteral("Выполнение"), this);
    panel->setObjectName(QStringLiteral("pnlRun"));
    auto* g = new QGridLayout(panel);
    btnGoStep_ = new QPushButton(QStringLiteral("1 ШАГ"), panel);
    btnGoStep_->setObjectName(QStringLiteral("btnGoStep"));
    btnGoStep_->setToolTip(QStringLiteral("F7"));
    connect(btnGoStep_, &QPushButton::clicked, this, &TfrmEmul::btnGoStepClick);
    btnGoTmr_ = new QPushButton(QStringLiteral("Пуск по таймеру"), panel);
    btnGoTmr_->setObjectName(QStringLiteral("btnGoTmr"));
    btnGoTmr_->setToolTip(QStringLiteral("F5"));
    connect(btnGoTmr_, &QPushButton::clicked, this, &TfrmEmul::btnGoTmrClick);
    auto* lbl = new QLabel(QStringLiteral("Интервал таймера (1/100 с):"), panel);
    lbl->setObjectName(QStringLiteral("lblTmrInterval"));
    txtTmrInt_ = new QLineEdit(QStringLiteral("100"), panel);
    txtTmrInt_->setObjectName(QStringLiteral("txtTmrInt"));
    txtTmrInt_->setFixedWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("$FFFFFF")) + 16);
    g->addWidget(btnGoStep_, 0, 0);
    g->addWidget(btnGoTmr_, 0, 1, 1, 2);
    g->addWidget(lbl, 1, 0, 1, 2);
    g->addWidget(txtTmrInt_, 1, 2);
    return panel;
}

TfrmEmul::~TfrmEmul() {
    // The boxes outlive this part of the object while the widget tears its
    // children down; a focus change then must not reach the handlers.
    tmrShag_->stop();
    tmrXTAL_->stop();
    if (cpu_.line == &line_) cpu_.line = nullptr;
    for (const RegBox& b : boxes_) {
        b.edit->removeEventFilter(this);
        QObject::disconnect(b.edit, nullptr, this, nullptr);
    }
}

void TfrmEmul::showEvent(QShowEvent* e) {
    // Shown centred on the main window the first time.
    if (!placed_ && parentWidget()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        QRect mine = frameGeometry();
        mine.moveCenter(owner.center());
        move(mine.topLeft());
    }
    placed_ = true;
    QWidget::showEvent(e);
}

bool TfrmEmul::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type t = e->type();
    if (t == QEvent::FocusIn || t == QEvent::MouseButtonDblClick) {
        for (const RegBox& b : boxes_) {
            if (b.edit == watched) {
                RegBoxChange(b);
                break;
            }
        }
    } else if (t == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (auto* l = qobject_cast<QLabel*>(watched); l && l->property("psw_mask").isValid()) {
            lblFlagClick(static_cast<std::uint8_t>(l->property("psw_mask").toInt()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace z51
