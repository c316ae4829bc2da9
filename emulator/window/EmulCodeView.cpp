#include "emulator/window/EmulCodeView.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "core/cp1251.h"
#include "core/file_error.h"
#include "core/fileio.h"
#include "emulator/exec.h"
#include "isa/opcode_map.h"
#include "shell/qt_pane.h"

namespace z51 {
namespace {

QString FromCore(const std::string& s) { return QString::fromUtf8(Cp1251ToUtf8(s)); }

const QColor kCurrent(255, 236, 150), kSelected(205, 222, 255), kBreak(220, 30, 30);
// Column of the source text: after the longest disassembled line
// ("0000  12 34 56  ACALL 01234H" and "MOV 0E0H,#0FFH" fit).
constexpr int kSourceColumn = 34;

}  // namespace

EmulCodeView::EmulCodeView(Session& session, QWidget* parent) : QWidget(parent), s_(session) {
    setObjectName(QStringLiteral("pnlCode"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60, LineHeight() * 8);
    setToolTip(QStringLiteral("Щелчок по левому полю ставит или снимает точку останова; щелчок по строке выбирает её"));
}

int EmulCodeView::LineHeight() const { return fontMetrics().height() + 2; }
int EmulCodeView::MarginWidth() const { return fontMetrics().height() + 6; }
int EmulCodeView::Rows() const { return std::max(1, height() / LineHeight()); }

void EmulCodeView::SelectAddress(std::uint16_t address) {
    selected_ = address;
    update();
}

// The start of the instruction `lines` instructions before `from`, found
// by decoding forward from a little earlier until the walk lands on `from`.
std::uint16_t EmulCodeView::Back(std::uint16_t from, int lines) const {
    const CodeMemory& code = s_.ws.CodeImage;
    std::vector<std::uint16_t> best, starts;
    for (int d = std::min<int>(from, 3 * lines); d > 0; --d) {
        starts.clear();
        std::uint32_t a = from - d;
        while (a < from) {
            starts.push_back(static_cast<std::uint16_t>(a));
            a += kInstructionLength[code[a]];
        }
        if (a == from && starts.size() > best.size()) best = starts;
        if (best.size() >= static_cast<std::size_t>(lines)) break;
    }
    if (best.empty()) return from;
    return best[best.size() - std::min<std::size_t>(best.size(), static_cast<std::size_t>(lines))];
}

QString EmulCodeView::SourceText(const SourceLine& l) {
    const SourceMap& map = s_.ws.Sources;
    if (l.file >= map.files.size()) return {};
    auto it = fileLines_.find(l.file);
    if (it == fileLines_.end()) {
        QStringList lines;
        try {
            // The same line breaks as the assembler's reading.
            TextReader reader(map.files[l.file]);
            while (!reader.AtEnd()) lines << FromCore(reader.ReadLine());
        } catch (const FileError&) {
        }
        it = fileLines_.emplace(l.file, lines).first;
    }
    const QString name = QFileInfo(QString::fromUtf8(map.files[l.file].c_str())).fileName();
    QString text = QStringLiteral("%1:%2").arg(name).arg(l.line);
    if (l.line <= static_cast<std::uint32_t>(it->second.size()))
        text += QStringLiteral("  ") + it->second[static_cast<qsizetype>(l.line - 1)].simplified();
    return text;
}

void EmulCodeView::Build() {
    const CodeMemory& code = s_.ws.CodeImage;
    const SourceMap& map = s_.ws.Sources;
    const bool mapped = map.Describes(code);
    if (map.serial != sourcesSerial_) {
        fileLines_.clear();
        sourcesSerial_ = map.serial;
    }
    lines_.clear();
    const std::size_t rows = static_cast<std::size_t>(Rows());
    for (std::uint32_t a = top_; lines_.size() < rows && a <= 0xFFFF;) {
        const auto address = static_cast<std::uint16_t>(a);
        if (mapped) {
            if (const SourceSymbol* label = map.LabelAt(address))
                lines_.push_back({address, true, FromCore(label->name) + QLatin1Char(':'), {}});
        }
        const std::array<std::uint8_t, 3> bytes = {code[address], code[static_cast<std::uint16_t>(a + 1)],
                                                   code[static_cast<std::uint16_t>(a + 2)]};
        const DecodedInstruction d = DecodeInstruction(address, bytes);
        QString hex;
        for (int k = 0; k < d.length; ++k) hex += QHex2(bytes[static_cast<std::size_t>(k)]) + QLatin1Char(' ');
        const QString text = QHex4(address) + QStringLiteral("  ") + hex.leftJustified(10) +
                             QString::fromLatin1(d.mnemonic.c_str()).leftJustified(6) +
                             QString::fromLatin1(d.operands.c_str());
        const SourceLine* line = mapped ? map.At(address) : nullptr;
        lines_.push_back({address, false, text, line ? SourceText(*line) : QString()});
        a += static_cast<std::uint32_t>(d.length);
    }
}

void EmulCodeView::Refresh() {
    const std::uint16_t pc = s_.cpu.PC;
    auto shown = [&] {
        // PC counts as shown when it is not on the last two rows.
        const int rows = Rows();
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (!lines_[i].label && lines_[i].address == pc) return static_cast<int>(i) < std::max(1, rows - 2);
        return false;
    };
    Build();
    if (!shown()) {
        top_ = Back(pc, Rows() / 4);
        Build();
        if (!shown()) {
            top_ = pc;
            Build();
        }
    }
    update();
}

int EmulCodeView::CurrentLine() const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].label && lines_[i].address == s_.cpu.PC) return static_cast<int>(i);
    return -1;
}

std::optional<std::uint16_t> EmulCodeView::AddressAt(int row) const {
    if (row < 0 || row >= static_cast<int>(lines_.size())) return std::nullopt;
    return lines_[static_cast<std::size_t>(row)].address;
}

QStringList EmulCodeView::LineTexts() const {
    QStringList out;
    for (const Line& l : lines_) out << (l.source.isEmpty() ? l.text : l.text.leftJustified(kSourceColumn) + l.source);
    return out;
}

void EmulCodeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int lh = LineHeight(), margin = MarginWidth(), cw = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int current = CurrentLine();
    const Breakpoints& bps = s_.debugger.breakpoints;
    p.fillRect(QRect(0, 0, margin, height()), QColor(238, 238, 238));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        const QRect row(margin, static_cast<int>(i) * lh, width() - margin, lh);
        if (static_cast<int>(i) == current) p.fillRect(row, kCurrent);
        else if (!l.label && selected_ == l.address) p.fillRect(row, kSelected);
        if (!l.label) {
            if (const auto b = bps.FindAddress(l.address)) {
                const bool on = bps.Items()[*b].enabled;
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(kBreak, 1.5));
                p.setBrush(on ? QBrush(kBreak) : Qt::NoBrush);
                const int d = lh - 6;
                p.drawEllipse(QRect((margin - d) / 2, row.top() + 3, d, d));
            }
        }
        const int y = row.top() + fontMetrics().ascent() + 1;
        p.setPen(l.label ? QColor(0, 0, 128) : Qt::black);
        p.drawText(margin + cw, y, l.text);
        if (!l.source.isEmpty()) {
            p.setPen(QColor(0, 110, 0));
            p.drawText(margin + cw * (1 + kSourceColumn), y, l.source);
        }
    }
}

void EmulCodeView::mousePressEvent(QMouseEvent* e) {
    const int row = static_cast<int>(e->position().y()) / LineHeight();
    const auto address = AddressAt(row);
    if (!address || e->button() != Qt::LeftButton) return;
    if (e->position().x() < MarginWidth() && !lines_[static_cast<std::size_t>(row)].label) {
        if (onToggleBreakpoint) onToggleBreakpoint(*address);
    } else {
        selected_ = *address;
    }
    update();
}

void EmulCodeView::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 40;
    if (steps > 0) {
        top_ = Back(top_, steps);
    } else if (steps < 0) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].label) continue;
            top_ = lines_[i].address;
            if (static_cast<int>(i) >= -steps) break;
        }
    }
    Build();
    update();
}

void EmulCodeView::resizeEvent(QResizeEvent*) { Refresh(); }

}  // namespace z51
