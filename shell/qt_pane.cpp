#include "shell/qt_pane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "core/cp1251.h"
#include "isa/hex.h"

namespace z51 {

QColor ToQColor(Color bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QString QHex2(std::uint8_t b) {
    char d[2];
    PutHex2(d, b);
    return QString::fromLatin1(d, 2);
}

QString QHex4(std::uint16_t w) {
    char d[4];
    PutHex4(d, w);
    return QString::fromLatin1(d, 4);
}

QtPane::QtPane(QPlainTextEdit* edit) : edit_(edit) {}

void QtPane::Add(std::string_view text) {
    if (text.empty()) return;
    QString s = QString::fromUtf8(Cp1251ToUtf8(text));
    s.remove(QChar(0));  // a NUL shows nothing
    if (!pending_.empty() && pending_.back().color == color_)
        pending_.back().text += s;
    else
        pending_.push_back({color_, s});
    ScheduleFlush();
}

void QtPane::AddLine(std::string_view text) {
    if (hasLines_) {
        if (!pending_.empty() && pending_.back().color == color_)
            pending_.back().text += QChar('\n');
        else
            pending_.push_back({color_, QString(QChar('\n'))});
    }
    hasLines_ = true;
    Add(text);
    ScheduleFlush();
}

void QtPane::Append(std::string_view text) {
    hasLines_ = true;
    Add(text);
}

void QtPane::SetColor(Color color) { color_ = color; }

void QtPane::Clear() {
    pending_.clear();
    hasLines_ = false;
    edit_->clear();
}

void QtPane::ScheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QTimer::singleShot(0, edit_, [this] { Flush(); });
}

void QtPane::Flush() {
    flushScheduled_ = false;
    if (pending_.empty()) return;
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QTextCharFormat fmt;
    for (const Run& r : pending_) {
        fmt.setForeground(ToQColor(r.color));
        cursor.insertText(r.text, fmt);
    }
    cursor.endEditBlock();
    pending_.clear();
}

}  // namespace z51
