#pragma once
// The rich-text pane of the main window. Fragments are collected and put
// into the document in one edit block when control returns to the event
// loop (or on Flush), so a listing of tens of thousands of coloured
// fragments is laid out once, not per fragment.

#include <QPlainTextEdit>
#include <QString>
#include <QTextCharFormat>
#include <cstdint>
#include <vector>

#include "core/pane.h"

namespace z51 {

QColor ToQColor(Color bgr);

// The hexadecimal digits of a byte and of a 16-bit value (isa/hex.h) as Qt
// text, for the boxes and views of the emulator window.
QString QHex2(std::uint8_t b);
QString QHex4(std::uint16_t w);

class QtPane : public Pane {
public:
    explicit QtPane(QPlainTextEdit* edit);
    void AddLine(std::string_view text) override;
    void Append(std::string_view text) override;
    void SetColor(Color color) override;
    void Clear() override;
    // Puts everything pending into the document.
    void Flush();
    QPlainTextEdit* Edit() const { return edit_; }

private:
    struct Run {
        Color color;
        QString text;
    };
    void Add(std::string_view text);
    void ScheduleFlush();
    QPlainTextEdit* edit_;
    std::vector<Run> pending_;
    Color color_ = clr::Black;
    bool hasLines_ = false;
    bool flushScheduled_ = false;
};

}  // namespace z51
