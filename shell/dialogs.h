#pragma once
// The five file dialogs of the main window and its error box, behind one
// small interface so that tests can answer them.

#include <QFileDialog>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

namespace z51 {

enum class Dlg { openAsm, openHex, saveBin, openBin, saveHex };

// Filters as description|pattern pairs, and the default extension.
struct DialogInfo {
    const char* name;
    bool save;
    const char* filter;
    const char* defaultExt;
};
const DialogInfo& InfoOf(Dlg d);
// "*.Hex|*.Hex" -> "*.Hex (*.Hex)", pairs joined by ";;".
QString QtFilter(const char* pairs);
// Mode, filters and default suffix of dialog `d`; a "*.*" filter, when
// chosen, lists every file, also names without an extension.
void SetUpFileDialog(QFileDialog& dlg, Dlg d);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen file name, or nothing when the user cancelled.
    virtual std::optional<QString> Pick(Dlg d) = 0;
    virtual void Error(const QString& text) = 0;
};

// QFileDialog and QMessageBox; each dialog starts where it was left.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    std::optional<QString> Pick(Dlg d) override;
    void Error(const QString& text) override;

private:
    QWidget* owner_;
    std::array<QString, 5> last_;
};

}  // namespace z51
