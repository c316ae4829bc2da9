#include "emulator/window/EmulDebug.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/cp1251.h"
#include "emulator/cycles.h"
#include "emulator/window/EmulCodeView.h"
#include "shell/qt_pane.h"

namespace z51 {
namespace {

QString FromCore(const std::string& s) { return QString::fromUtf8(Cp1251ToUtf8(s)); }
std::string ToCore(const QString& s) { return Utf8To1251(s.toStdString()); }

const char* const kKindNames[] = {"Адрес", "Условие", "Чтение", "Запись"};

// "1.500 мкс", "12.000 мс", "3.250000 с".
QString Duration(double seconds) {
    if (seconds < 1e-3) return QString::number(seconds * 1e6, 'f', 3) + QStringLiteral(" мкс");
    if (seconds < 1.0) return QString::number(seconds * 1e3, 'f', 3) + QStringLiteral(" мс");
    return QString::number(seconds, 'f', 6) + QStringLiteral(" с");
}

}  // namespace

EmulDebugPanel::EmulDebugPanel(Session& session, std::function<void()> refresh, QWidget* parent)
    : QWidget(parent), s_(session), dbg_(session.debugger), refresh_(std::move(refresh)) {
    setObjectName(QStringLiteral("pnlDebugger"));
    code_ = new EmulCodeView(session, this);
    code_->onToggleBreakpoint = [this](std::uint16_t address) {
        dbg_.breakpoints.ToggleAddress(address);
        ShowBreakpoints();
        code_->update();
    };

    auto* right = new QVBoxLayout;
    right->addWidget(BuildRunControls());
    right->addWidget(BuildStopwatch());
    right->addWidget(BuildBreakpoints(), 1);

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(10, 0, 10, 10);
    top->setSpacing(12);
    top->addWidget(code_, 5);
    top->addLayout(right, 3);

    tmrRun_ = new QTimer(this);
    tmrRun_->setObjectName(QStringLiteral("tmrRun"));
    tmrRun_->setInterval(0);
    connect(tmrRun_, &QTimer::timeout, this, [this] { Slice(); });
    EnableControls();
}

EmulDebugPanel::~EmulDebugPanel() { tmrRun_->stop(); }

QWidget* EmulDebugPanel::BuildRunControls() {
    auto* box = new QGroupBox(QStringLiteral("Отладка"), this);
    box->setObjectName(QStringLiteral("pnlRunDebug"));
    auto* g = new QGridLayout(box);
    struct Control {
        QPushButton*& button;
        const char* name;
        const char* caption;
        const char* tip;
        QKeySequence key;
        void (EmulDebugPanel::*handler)();
    };
    const Control controls[] = {
        {btnRun_, "btnRun", "Пуск", "Выполнять с полной скоростью до точки останова, цикла останова или «Стоп»",
         QKeySequence(Qt::Key_F9), &EmulDebugPanel::btnRunClick},
        {btnStop_, "btnStop", "Стоп", "Остановить выполнение", QKeySequence(Qt::Key_Escape),
         &EmulDebugPanel::btnStopClick},
        {btnRunToLine_, "btnRunToLine", "До строки", "Выполнять до строки, выбранной в окне кода",
         QKeySequence(Qt::Key_F4), &EmulDebugPanel::btnRunToLineClick},
        {btnStepOver_, "btnStepOver", "Шаг с обходом", "Шаг; вызов подпрограммы выполняется целиком",
         QKeySequence(Qt::Key_F8), &EmulDebugPanel::btnStepOverClick},
        {btnStepOut_, "btnStepOut", "Выход", "Выполнять до возврата из текущей подпрограммы",
         QKeySequence(Qt::SHIFT | Qt::Key_F8), &EmulDebugPanel::btnStepOutClick},
        {btnStepBack_, "btnStepBack", "Шаг назад", "Отменить последнюю выполненную команду",
         QKeySequence(Qt::SHIFT | Qt::Key_F7), &EmulDebugPanel::btnStepBackClick},
    };
    int i = 0;
    for (const Control& c : controls) {
        c.button = new QPushButton(QString::fromUtf8(c.caption), box);
        c.button->setObjectName(QLatin1String(c.name));
        c.button->setToolTip(QString::fromUtf8(c.tip) + QStringLiteral(" (") + c.key.toString(QKeySequence::NativeText) +
                             QLatin1Char(')'));
        const auto handler = c.handler;
        connect(c.button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("actDebug") + QLatin1String(c.name + 3));
        action->setShortcut(c.key);
        connect(action, &QAction::triggered, this, [this, button = c.button] {
            if (button->isEnabled()) button->click();
        });
        addAction(action);
        g->addWidget(c.button, i / 3, i % 3);
        ++i;
    }
    lblDebugState_ = new QLabel(box);
    lblDebugState_->setObjectName(QStringLiteral("lblDebugState"));
    lblDebugState_->setWordWrap(true);
    g->addWidget(lblDebugState_, 2, 0, 1, 3);
    return box;
}

QWidget* EmulDebugPanel::BuildStopwatch() {
    auto* box = new QGroupBox(QStringLiteral("Секундомер"), this);
    box->setObjectName(QStringLiteral("pnlStopwatch"));
    auto* g = new QGridLayout(box);
    auto label = [&](const char* name) {
        auto* l = new QLabel(box);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    lblInstructions_ = label("lblInstructions");
    lblCycles_ = label("lblCycles");
    lblTime_ = label("lblTime");
    txtXtal_ = new QLineEdit(QStringLiteral("12"), box);
    txtXtal_->setObjectName(QStringLiteral("txtXtal"));
    txtXtal_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("11.059200")) + 16);
    connect(txtXtal_, &QLineEdit::textChanged, this, [this] { ShowStopwatch(); });
    auto* reset = new QPushButton(QStringLiteral("Сброс"), box);
    reset->setObjectName(QStringLiteral("btnStopwatchReset"));
    reset->setToolTip(QStringLiteral("Обнулить счётчики команд и циклов"));
    connect(reset, &QPushButton::clicked, this, &EmulDebugPanel::btnStopwatchResetClick);
    g->addWidget(lblInstructions_, 0, 0);
    g->addWidget(lblCycles_, 0, 1, 1, 2);
    g->addWidget(lblTime_, 1, 0);
    g->addWidget(new QLabel(QStringLiteral("Кварц, МГц:"), box), 1, 1, Qt::AlignRight);
    g->addWidget(txtXtal_, 1, 2);
    g->addWidget(reset, 1, 3);
    ShowStopwatch();
    return box;
}

QWidget* EmulDebugPanel::BuildBreakpoints() {
    auto* box = new QGroupBox(QStringLiteral("Точки останова"), this);
    box->setObjectName(QStringLiteral("pnlBreaks"));
    auto* v = new QVBoxLayout(box);
    lstBreaks_ = new QTreeWidget(box);
    lstBreaks_->setObjectName(QStringLiteral("lstBreaks"));
    lstBreaks_->setRootIsDecorated(false);
    lstBreaks_->setHeaderLabels({QStringLiteral("Вкл"), QStringLiteral("Вид"), QStringLiteral("Где / условие"),
                                 QStringLiteral("Попадания")});
    for (int column : {0, 1, 3}) lstBreaks_->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    lstBreaks_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    lstBreaks_->header()->setStretchLastSection(false);
    lstBreaks_->setMinimumHeight(fontMetrics().height() * 5);
    connect(lstBreaks_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (filling_ || column != 0) return;
        const int i = lstBreaks_->indexOfTopLevelItem(item);
        dbg_.breakpoints.SetEnabled(static_cast<std::size_t>(i), item->checkState(0) == Qt::Checked);
        code_->update();
    });
    connect(lstBreaks_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int i = SelectedBreakpoint();
        if (filling_ || i < 0) return;
        const Breakpoint& b = dbg_.breakpoints.Items()[static_cast<std::size_t>(i)];
        cmbBreakKind_->setCurrentIndex(static_cast<int>(b.kind));
        txtBreak_->setText(FromCore(b.Where()));
        spnBreakHit_->setValue(static_cast<int>(std::min<std::uint32_t>(b.hitTarget, INT32_MAX)));
    });
    v->addWidget(lstBreaks_, 1);

    auto* edit = new QHBoxLayout;
    cmbBreakKind_ = new QComboBox(box);
    cmbBreakKind_->setObjectName(QStringLiteral("cmbBreakKind"));
    for (const char* k : kKindNames) cmbBreakKind_->addItem(QString::fromUtf8(k));
    if (!Debugger::kAccessBreakpoints) {
        // Runs would never see these: offered once the core reports accesses.
        auto* model = static_cast<QStandardItemModel*>(cmbBreakKind_->model());
        for (int k : {2, 3}) {
            model->item(k)->setEnabled(false);
            model->item(k)->setToolTip(QStringLiteral("Ядро эмулятора не сообщает об обращениях к памяти"));
        }
    }
    txtBreak_ = new QLineEdit(box);
    txtBreak_->setObjectName(QStringLiteral("txtBreak"));
    txtBreak_->setPlaceholderText(QStringLiteral("0123H, LOOP, A == 5AH, R7 = 0 AND ACC.7 ..."));
    connect(txtBreak_, &QLineEdit::returnPressed, this, &EmulDebugPanel::btnBreakAddClick);
    spnBreakHit_ = new QSpinBox(box);
    spnBreakHit_->setObjectName(QStringLiteral("spnBreakHit"));
    spnBreakHit_->setRange(1, 1'000'000'000);
    spnBreakHit_->setToolTip(QStringLiteral("Остановиться на этом попадании и на каждом следующем"));
    edit->addWidget(cmbBreakKind_);
    edit->addWidget(txtBreak_, 1);
    edit->addWidget(new QLabel(QStringLiteral("№:"), box));
    edit->addWidget(spnBreakHit_);
    v->addLayout(edit);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* caption, void (EmulDebugPanel::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(caption), box);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        buttons->addWidget(b);
    };
    button("btnBreakAdd", "Добавить", &EmulDebugPanel::btnBreakAddClick);
    button("btnBreakEdit", "Изменить", &EmulDebugPanel::btnBreakEditClick);
    button("btnBreakDelete", "Удалить", &EmulDebugPanel::btnBreakDeleteClick);
    buttons->addStretch(1);
    v->addLayout(buttons);
    lblBreakError_ = new QLabel(box);
    lblBreakError_->setObjectName(QStringLiteral("lblBreakError"));
    lblBreakError_->setStyleSheet(QStringLiteral("color: red"));
    lblBreakError_->setWordWrap(true);
    v->addWidget(lblBreakError_);
    return box;
}

bool EmulDebugPanel::Running() const { return tmrRun_->isActive(); }

void EmulDebugPanel::Refresh() {
    code_->Refresh();
    ShowStopwatch();
    ShowBreakpoints();
}

void EmulDebugPanel::EnableControls() {
    const bool running = Running();
    for (QPushButton* b : {btnRun_, btnStepOver_, btnStepOut_, btnRunToLine_}) b->setEnabled(!running);
    btnStop_->setEnabled(running);
    btnStepBack_->setEnabled(!running && dbg_.CanStepBack());
}

void EmulDebugPanel::ShowStopwatch() {
    lblInstructions_->setText(QStringLiteral("Команд: %1").arg(dbg_.Instructions()));
    lblCycles_->setText(QStringLiteral("Машинных циклов: %1").arg(dbg_.Cycles()));
    bool ok = false;
    const double mhz = QString(txtXtal_->text()).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    lblTime_->setText(ok && mhz > 0 ? QStringLiteral("Время: ") + Duration(CycleSeconds(dbg_.Cycles(), mhz * 1e6))
                                    : QStringLiteral("Время: ? (частота кварца)"));
}

void EmulDebugPanel::ShowBreakpoints() {
    const auto& items = dbg_.breakpoints.Items();
    filling_ = true;
    while (lstBreaks_->topLevelItemCount() > static_cast<int>(items.size())) delete lstBreaks_->takeTopLevelItem(0);
    while (lstBreaks_->topLevelItemCount() < static_cast<int>(items.size())) new QTreeWidgetItem(lstBreaks_);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Breakpoint& b = items[i];
        QTreeWidgetItem* it = lstBreaks_->topLevelItem(static_cast<int>(i));
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(0, b.enabled ? Qt::Checked : Qt::Unchecked);
        it->setText(1, QString::fromUtf8(kKindNames[static_cast<int>(b.kind)]));
        it->setText(2, FromCore(b.Where()));
        it->setText(3, b.hitTarget > 1 ? QStringLiteral("%1 / %2").arg(b.hits).arg(b.hitTarget) : QString::number(b.hits));
    }
    filling_ = false;
}

int EmulDebugPanel::SelectedBreakpoint() const {
    const QList<QTreeWidgetItem*> sel = lstBreaks_->selectedItems();
    return sel.isEmpty() ? -1 : lstBreaks_->indexOfTopLevelItem(sel.front());
}

std::optional<Breakpoint> EmulDebugPanel::EditedBreakpoint() {
    const SymbolLookup symbols = [this](std::string_view name) { return s_.ws.Sources.Value(name); };
    const auto kind = static_cast<BreakKind>(cmbBreakKind_->currentIndex());
    Condition::Error e;
    auto bp = ParseBreakpoint(kind, ToCore(txtBreak_->text()), e, &symbols);
    if (!bp) {
        lblBreakError_->setText(QStringLiteral("Позиция %1: ").arg(e.column) + FromCore(e.message));
        return std::nullopt;
    }
    lblBreakError_->clear();
    // A ",N" in the text wins over the box.
    if (!txtBreak_->text().contains(QLatin1Char(','))) bp->hitTarget = static_cast<std::uint32_t>(spnBreakHit_->value());
    return bp;
}

void EmulDebugPanel::btnBreakAddClick() {
    if (auto bp = EditedBreakpoint()) {
        dbg_.breakpoints.Add(std::move(*bp));
        ShowBreakpoints();
        code_->update();
    }
}

void EmulDebugPanel::btnBreakEditClick() {
    const int i = SelectedBreakpoint();
    if (i < 0) {
        lblBreakError_->setText(QStringLiteral("Выберите точку останова в списке"));
        return;
    }
    if (auto bp = EditedBreakpoint()) {
        bp->enabled = dbg_.breakpoints.Items()[static_cast<std::size_t>(i)].enabled;
        dbg_.breakpoints.Replace(static_cast<std::size_t>(i), std::move(*bp));
        ShowBreakpoints();
        code_->update();
    }
}

void EmulDebugPanel::btnBreakDeleteClick() {
    const int i = SelectedBreakpoint();
    if (i < 0) return;
    dbg_.breakpoints.Remove(static_cast<std::size_t>(i));
    ShowBreakpoints();
    code_->update();
}

void EmulDebugPanel::btnStopwatchResetClick() {
    dbg_.ResetStopwatch();
    ShowStopwatch();
}

// Run control.

void EmulDebugPanel::Start(const RunGoal& goal) {
    goal_ = goal;
    slices_ = 0;
    lblDebugState_->setText(QStringLiteral("Выполнение…"));
    tmrRun_->start();
    EnableControls();
}

void EmulDebugPanel::Slice() {
    ++slices_;
    QElapsedTimer clock;
    clock.start();
    DebugResult r;
    do {
        r = dbg_.Run(kChunk, goal_);
    } while (r.reason == DebugStop::Budget && clock.elapsed() < kSliceMs);
    if (r.reason == DebugStop::Budget) refresh_();
    else Stopped(r);
}

void EmulDebugPanel::Stopped(const DebugResult& r) {
    tmrRun_->stop();
    const QString at = QHex4(s_.cpu.PC) + QLatin1Char('H');
    switch (r.reason) {
        case DebugStop::Breakpoint: {
            const Breakpoint& b = dbg_.breakpoints.Items()[static_cast<std::size_t>(r.breakpoint)];
            lblDebugState_->setText(QStringLiteral("Останов в %1: точка останова %2 (%3), попадание %4")
                                        .arg(at).arg(r.breakpoint + 1).arg(FromCore(b.Where())).arg(b.hits));
            break;
        }
        case DebugStop::Halt:
            lblDebugState_->setText(QStringLiteral("Останов в %1: цикл останова (команда переходит сама на себя)").arg(at));
            break;
        case DebugStop::Goal:
            lblDebugState_->setText(goal_.kind == RunGoal::Reach ? QStringLiteral("Останов в %1: строка достигнута").arg(at)
                                                                 : QStringLiteral("Останов в %1: возврат из подпрограммы").arg(at));
            break;
        case DebugStop::Budget:
            break;
    }
    refresh_();
    EnableControls();
}

void EmulDebugPanel::btnRunClick() { Start({}); }

void EmulDebugPanel::btnStopClick() {
    if (!Running()) return;
    tmrRun_->stop();
    lblDebugState_->setText(QStringLiteral("Остановлено в %1H").arg(QHex4(s_.cpu.PC)));
    refresh_();
    EnableControls();
}

void EmulDebugPanel::btnStepOverClick() {
    const RunGoal goal = dbg_.StepOverGoal();
    if (goal.kind != RunGoal::None) return Start(goal);
    dbg_.Step();
    lblDebugState_->clear();
    refresh_();
}

void EmulDebugPanel::btnStepOutClick() { Start(dbg_.StepOutGoal()); }

void EmulDebugPanel::btnStepBackClick() {
    // The core keeps no undo log yet; the button stays disabled until it does.
}

void EmulDebugPanel::btnRunToLineClick() {
    const auto address = code_->SelectedAddress();
    if (!address) {
        lblDebugState_->setText(QStringLiteral("Выберите строку в окне кода"));
        return;
    }
    Start(Debugger::ReachGoal(*address));
}

}  // namespace z51
