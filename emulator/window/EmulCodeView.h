#pragma once
// The code view of the emulator window: the disassembly around PC, with the
// labels of the last assembly and, where the code image came from it, the
// source file, line number and text of each address. The current
// instruction is highlighted; a click in the left margin toggles a
// breakpoint, a click on a line selects it (for "run to the line").

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "shell/session.h"

namespace z51 {

class EmulCodeView : public QWidget {
public:
    EmulCodeView(Session& session, QWidget* parent);

    // Follows PC and redraws (after every panel refresh).
    void Refresh();
    // Called with an address when its margin was clicked.
    std::function<void(std::uint16_t)> onToggleBreakpoint;

    std::optional<std::uint16_t> SelectedAddress() const { return selected_; }
    void SelectAddress(std::uint16_t address);

    // What the view shows, one text per line (for the tests and the
    // accessibility of the view): "0010  74 01     START: MOV A,#001H ...".
    QStringList LineTexts() const;
    // The line that shows the current instruction, -1 when none does.
    int CurrentLine() const;
    // The address of line `row`, if the row shows one.
    std::optional<std::uint16_t> AddressAt(int row) const;
    int MarginWidth() const;
    int LineHeight() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent*) override;

private:
    struct Line {
        std::uint16_t address;
        bool label;        // a label line above the instruction
        QString text;      // address, bytes, instruction
        QString source;    // "prog.a51:12  text of the line"
    };
    int Rows() const;
    std::uint16_t Back(std::uint16_t from, int lines) const;
    void Build();
    QString SourceText(const SourceLine& l);

    Session& s_;
    std::uint16_t top_ = 0;
    std::optional<std::uint16_t> selected_;
    std::vector<Line> lines_;
    // Lines of the source files of the last assembly, read once per assembly.
    std::uint32_t sourcesSerial_ = UINT32_MAX;
    std::map<std::uint16_t, QStringList> fileLines_;
};

}  // namespace z51
