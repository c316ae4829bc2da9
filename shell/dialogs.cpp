#include "shell/dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QStringList>

namespace z51 {
namespace {

constexpr const char* kBinFilter = "Binary|*.Bin|Absolute|*.Abs|Dump|*.Dmp|Exec|*.Exe|Bce|*.*";

constexpr DialogInfo kDialogs[] = {
    {"openAsm", false, "*.M51|*.M51|*.A51|*.A51|*.Asm|*.Asm|ALL|*.*", "*.M51|*.A51"},
    {"openHex", false, "*.Hex|*.Hex", "*.Hex"},
    {"saveBin", true, kBinFilter, "*.Bin|*.Dmp"},
    {"openBin", false, kBinFilter, ""},
    {"saveHex", true, "Hex|*.Hex|ALL|*.*", ""},
};

}  // namespace

const DialogInfo& InfoOf(Dlg d) { return kDialogs[static_cast<int>(d)]; }

QString QtFilter(const char* pairs) {
    QStringList parts = QString::fromLatin1(pairs).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + " (" + parts[i + 1] + ")";
    return filters.join(";;");
}

void SetUpFileDialog(QFileDialog& dlg, Dlg d) {
    const DialogInfo& info = InfoOf(d);
    // Qt's own dialog on every platform: its file list is the one the
    // rule for "*.*" below can reach.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(info.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(info.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(QtFilter(info.filter));
    // "*.Bin|*.Dmp" -> the first extension, without "*."
    QString ext = QString::fromLatin1(info.defaultExt).section('|', 0, 0);
    if (ext.startsWith("*.")) dlg.setDefaultSuffix(ext.mid(2));

    // "*.*" stands for every file, as on the system these filters were
    // written for; Qt matches it literally and hides names without a dot.
    // Once the dialog has applied a chosen filter, a "*.*" in it widens the
    // file list to every name.
    auto* model = dlg.findChild<QFileSystemModel*>();
    auto* types = dlg.findChild<QComboBox*>("fileTypeCombo");
    if (!model || !types) return;
    const QStringList parts = QString::fromLatin1(info.filter).split('|');
    QObject::connect(
        types, &QComboBox::currentIndexChanged, &dlg,
        [model, types, parts] {
            if (parts.value(2 * types->currentIndex() + 1) == QLatin1String("*.*"))
                model->setNameFilters({QStringLiteral("*")});
        },
        Qt::QueuedConnection);
}

std::optional<QString> QtDialogs::Pick(Dlg d) {
    QString& last = last_[static_cast<int>(d)];
    QFileDialog dlg(owner_);
    SetUpFileDialog(dlg, d);
    if (!last.isEmpty()) dlg.selectFile(last);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    last = dlg.selectedFiles().first();
    return last;
}

void QtDialogs::Error(const QString& text) { QMessageBox::critical(owner_, QStringLiteral("Ошибка"), text); }

}  // namespace z51
