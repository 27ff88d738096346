#include "app/MainWindow.h"
#include "services/HelpSystem.h"

#include "app/MainWindowShared.h"
#include "services/SettingsFonts.h"

#include "app/MainLogic.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "logic/ModelChange.h"
#include "services/PeriodNavigator.h"
#include "services/PolicyBars.h"
#include "services/Printing.h"
#include "services/QtUserHost.h"
#include "services/SolveWindows.h"
#include "windows/WorkingWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLatin1Char>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRect>
#include <QRectF>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// The program's icon, drawn rather than shipped: a "T" on the program's blue.
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0, 32, 96));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(size * 3 / 4);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("T"));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

void ElidingLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = contentsRect();
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}

void ClickLabel::mousePressEvent(QMouseEvent* e) {
    emit clicked(e->button(), e->modifiers());
    e->accept();
}

// ---------------------------------------------------------------- construction

MainWindow::MainWindow(Model& m, MainWindowOptions options)
    : m_(m), options_(std::move(options)), host_(std::make_unique<QtUserHost>(m, this)),
      interval_(m, *host_) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    QApplication::setWindowIcon(ProgramIcon());
    if (options_.programDirectory.isEmpty())
        options_.programDirectory = QCoreApplication::applicationDirPath();
    if (options_.userConfigDirectory.isEmpty())
        options_.userConfigDirectory =
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    host_->SoundDirectory = options_.programDirectory;

    // Settings first: the language and the data directory decide everything else.
    settingsFile_ =
        std::make_unique<SettingsFile>(options_.programDirectory.toStdString(),
                                       options_.userConfigDirectory.toStdString(), *host_);
    settings_.DataDirectory = WithTrailingSeparator(options_.programDirectory.toStdString());
    settings_.WorkingDirectory = settings_.DataDirectory;
    if (options_.readSettings) settings_ = settingsFile_->ReadSettings();
    m_.Language = static_cast<uint8_t>(settings_.Language == 2 ? 2 : 1);
    // Model values use the decimal separator of the user's locale (the batch tool keeps ".").
    const QString point = QLocale().decimalPoint();
    m_.DecimalSeparator = point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1() : '.';

    ModelFileHooks hooks;
    hooks.isRevolving = [this] { return interval_.Revolving(); };
    hooks.setArchiving = [this] { interval_.SetAnalysisForm(false); };
    hooks.setIntervalQuietly = [this](int l, int r) { interval_.SetInterval(l, r, false); };
    hooks.modelChanged = [this] { ModelChanged(); };
    hooks.periodChanged = [this] { PeriodChanged(KindCurrentPeriod); };
    hooks.fileNameChanged = [this] {
        UpdateFilePanel();
        ShowPendingBaselineNote();
    };
    hooks.modelReplaced = [this] { DiscardBaselineOfPreviousModel(); };
    file_ = std::make_unique<ModelFile>(m_, *host_, settings_.DataDirectory, hooks);

    host_->onStatus = [this](const QString& s) { SetStatusText(s); };
    host_->onBroadcastModelChanged = [this] { BroadcastModelChanged(); };
    host_->onShowSolveControl = [this](bool v) { ShowSolveControl(v); };
    host_->onCurrentPeriodChanged = [this] { PeriodChanged(KindCurrentPeriod); };
    InstallHelp();

    mdi_ = new QMdiArea;
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setBackground(QColor(128, 128, 128));
    mdi_->viewport()->installEventFilter(this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateWindowMenu(); });

    BuildMenus();
    BuildBars();
    BuildStatusBar();

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(NavigatorPanel);
    layout->addWidget(FunctionBar);
    layout->addWidget(WageBar);
    layout->addWidget(MoneyBar);
    layout->addWidget(RuleBar);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);

    SolveControl = new SolveControlDialog(this);
    connect(SolveControl, &SolveControlDialog::NextPeriod, this, [this] {
        host_->PlaySound("NextStep.wav");
        RunSolveCommand([this] {
            const uint8_t saved = m_.Options.StepwiseSolve;
            m_.Options.StepwiseSolve = 1;
            tv::Solve(m_, *host_);
            m_.Options.StepwiseSolve = saved;
        });
    });
    connect(SolveControl, &SolveControlDialog::RestInterval, this, [this] {
        host_->PlaySound("RestStep.wav");
        RunSolveCommand([this] {
            const uint8_t saved = m_.Options.StepwiseSolve;
            m_.Options.StepwiseSolve = 0;
            tv::Solve(m_, *host_);
            m_.Options.StepwiseSolve = saved;
        });
    });

    ApplySettings();
    CreateBaseWindows();
    resize(1024, 720);
    RelabelAll();
    UpdateFilePanel();
    SetStatusText(QStringLiteral("Alles lösen!##Solve all!"));
}

MainWindow::~MainWindow() {
    // The area still reports its windows' deactivation while QWidget tears the children
    // down, when this window is no longer whole.
    if (mdi_) disconnect(mdi_, nullptr, this, nullptr);
}

UserHost& MainWindow::host() {
    return *host_;
}

QString MainWindow::T(const char* bilingual) const {
    return Q(Translate(bilingual, m_.Language));
}

void MainWindow::ApplySettings() {
    host_->SoundOn = settings_.Sound;
    m_.Options.ShowSolveInfo = settings_.ShowSolveInfo ? 1 : 0;
    screenFont_ = FontFromSetting(settings_.ScreenFont);
    printerFont_ = FontFromSetting(settings_.PrinterFont);
    Action(QStringLiteral("MIOptionenSound"))->setChecked(settings_.Sound);
    // Without a sound output the option could change nothing.
    Action(QStringLiteral("MIOptionenSound"))->setEnabled(QtUserHost::HasSoundOutput());
    Action(QStringLiteral("MIOptionenDauerhaft"))->setChecked(settings_.DurableInputs);
    Action(QStringLiteral("MIOptionenFunktionsleiste"))->setChecked(settings_.FunctionBar);
    QAction* save = Action(QStringLiteral("MIOptionenEinstellungenSpeichern"));
    save->setChecked(settings_.SaveAtEnd && settings_.SaveOptionEnabled());
    save->setEnabled(settings_.SaveOptionEnabled());
    Action(m_.Language == 2 ? QStringLiteral("MIOptionenEnglisch")
                            : QStringLiteral("MIOptionenDeutsch"))
        ->setChecked(true);
    Action(QStringLiteral("MIOptionenFlacheSchalter"))->setChecked(settings_.FlatButtons);
    SetFlatButtons(settings_.FlatButtons);
    ApplyBarVisibility();
}

void MainWindow::ApplyFontColour(QMdiSubWindow* window) {
    if (!window || !window->widget()) return;
    QPalette p = window->widget()->palette();
    const QColor c = ColourFromSetting(settings_.ScreenFont.Colour);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::WindowText, c);
    window->widget()->setPalette(p);
}

void MainWindow::CreateBaseWindows() {
    for (BaseWindowRole w : {BaseWindowRole::Results2, BaseWindowRole::Equations2,
                             BaseWindowRole::Results1, BaseWindowRole::Equations1}) {
        BaseWindow* window = CreateBaseWindow(w, *this);
        mdi_->addSubWindow(window);
        ApplyFontColour(window);
        window->show();
    }
}

void MainWindow::ApplyStandardDialogLanguage() {
    if (standardLanguage_ == m_.Language) return;
    standardLanguage_ = m_.Language;
    if (!qtTranslator_) qtTranslator_ = std::make_unique<QTranslator>();
    QCoreApplication::removeTranslator(qtTranslator_.get());
    // Qt's own dialogs and buttons (open, save, font, printer, Yes/No) speak the program's
    // language; English is Qt's own.
    if (m_.Language == 1 &&
        qtTranslator_->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator_.get());
}

void MainWindow::RelabelAll() {
    ApplyStandardDialogLanguage();
    // Dialogs of other layers read the language from their top-level window.
    setProperty("language", int(m_.Language));
    navigator_->SetLanguage(m_.Language);
    for (const Labelled& l : labelled_) {
        if (!l.object) continue;
        const QString caption = Q(Translate(l.caption, m_.Language));
        QString hint = Q(Translate(l.hint, m_.Language));
        QString shortHint = hint, longHint = hint;
        if (const int bar = hint.indexOf(QLatin1Char('|')); bar >= 0) {
            shortHint = hint.left(bar).trimmed();
            longHint = hint.mid(bar + 1).trimmed();
            if (shortHint.isEmpty()) shortHint = longHint;
        }
        if (auto* a = qobject_cast<QAction*>(l.object)) {
            a->setText(caption);
            a->setStatusTip(longHint);
            a->setToolTip(shortHint.isEmpty() ? QString(caption).remove(QLatin1Char('&'))
                                              : shortHint);
        } else if (auto* menu = qobject_cast<QMenu*>(l.object)) {
            menu->setTitle(caption);
        } else if (auto* b = qobject_cast<QAbstractButton*>(l.object)) {
            if (!l.caption.empty()) b->setText(caption);
            if (!l.hint.empty()) {
                b->setToolTip(shortHint);
                b->setStatusTip(longHint);
            }
        } else if (auto* w = qobject_cast<QWidget*>(l.object)) {
            w->setToolTip(shortHint);
            w->setStatusTip(longHint);
        }
    }
    UpdateBaseButtons();
    UpdateFilePanel();
    UpdateBaselineMark();
    if (HintLine->text().isEmpty() || !HintLine->property("pointed").toBool())
        HintLine->setText(T(AppHint));
    if (auto* transfer = progressPanel_->findChild<QLabel*>())
        transfer->setText(T("Datentransfer ... bitte warten##Transferring data ... please wait"));
    if (SolveControl) SolveControl->SetLanguage(m_.Language);
    ReLayoutStrip();
}

void MainWindow::SetLanguage(int language) {
    m_.Language = static_cast<uint8_t>(language == 2 ? 2 : 1);
    settings_.Language = m_.Language;
    Action(m_.Language == 2 ? QStringLiteral("MIOptionenEnglisch")
                            : QStringLiteral("MIOptionenDeutsch"))
        ->setChecked(true);
    RelabelAll();
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<WorkingWindow*>(s)) w->RefreshLanguage();
    SendToChild(ModelMonitor, MSG_MONITOR_RELABEL, 0, 0);
    // A hint shown for the widget under the mouse is read again in the new language.
    if (HintLine->property("pointed").toBool()) {
        QString tip;
        for (QWidget* w = QApplication::widgetAt(QCursor::pos()); w && tip.isEmpty();
             w = w->parentWidget())
            tip = w->statusTip();
        HintLine->setProperty("pointed", !tip.isEmpty());
        HintLine->setText(tip.isEmpty() ? T(AppHint) : tip);
    }
    for (QWidget* bar : {WageBar, MoneyBar})
        if (bar->isVisible()) static_cast<PolicyBar*>(bar)->Refresh();
    emit languageChanged();
    HelpSystem::RefreshLanguage();
    SetStatusText(status_); // the panel width follows the font
}

void MainWindow::UpdateBaseButtons() {
    bf1Button_->setChecked(pair1Current_);
    bf2Button_->setChecked(pair2Current_);
    bf1Button_->setText(Q(BaseButtonLabel(1, pair1Current_, m_.Language)));
    bf2Button_->setText(Q(BaseButtonLabel(2, pair2Current_, m_.Language)));
    Action(pair1Current_ ? QStringLiteral("MIOptionenBF1Aktuell")
                         : QStringLiteral("MIOptionenBF1Links")) // verbatim
        ->setChecked(true);
    Action(pair2Current_ ? QStringLiteral("MIOptionenBF2Aktuell")
                         : QStringLiteral("MIOptionenBF2Rechts")) // verbatim
        ->setChecked(true);
}

void MainWindow::SetBaseAssignment(int pair, bool followsCurrent) {
    bool& state = pair == 1 ? pair1Current_ : pair2Current_;
    const bool changed = state != followsCurrent;
    state = followsCurrent;
    UpdateBaseButtons();
    if (!changed) return;
    SendToChildren(MSG_ASSIGN_EQ, pair, 0);
    SendToChildren(MSG_ASSIGN_RES, pair, 0);
}

int MainWindow::assignedPeriod(int pair) const {
    if (pair == 1) return pair1Current_ ? m_.Periods.CurrentPeriod : m_.Periods.LeftEdge;
    return pair2Current_ ? m_.Periods.CurrentPeriod : m_.Periods.RightEdge;
}

bool MainWindow::periodRunning() const {
    // The run window lives in the presentation layer; it tells through a property.
    const QWidget* run =
        findChild<QWidget*>(QStringLiteral("PeriodRunWindow"), Qt::FindDirectChildrenOnly);
    return run && run->property("running").toBool();
}

void MainWindow::SetNumberFormat(int integerDigits, int decimals) {
    const int bits = NumberFormatBits(m_.IntegerDigits, integerDigits, m_.DecimalPlaces, decimals);
    if (bits == 0) return;
    m_.IntegerDigits = static_cast<uint8_t>(integerDigits);
    m_.DecimalPlaces = static_cast<uint8_t>(decimals);
    {
        const QSignalBlocker b1(IntegerDigitsBox), b2(DecimalPlacesBox);
        IntegerDigitsBox->setCurrentIndex(integerDigits);
        DecimalPlacesBox->setCurrentIndex(decimals);
    }
    SendToChildren(MSG_NUMBER_FORMAT, bits, 1);
}

void MainWindow::SetFlatButtons(bool flat) {
    for (const auto& b : flatButtons_)
        if (b) b->setAutoRaise(flat);
}

void MainWindow::UpdateWindowMenu() {
    const bool any = mdi_->activeSubWindow() != nullptr;
    for (const char* name : {"MIFensterZoom", "MIFensterHalb", "MIFensterSchliessen"})
        Action(QString::fromLatin1(name))->setEnabled(any);
}

// ---------------------------------------------------------------- events

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
        HintLine->setProperty("pointed", !tip.isEmpty());
        HintLine->setText(tip.isEmpty() ? T(AppHint) : tip);
        return true;
    }
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == mdi_->viewport() && e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton &&
            !mdi_->viewport()->childAt(me->position().toPoint())) {
            host_->ShowMessage("Hallo, User!##Hello, user!",
                               "Schön, dass Sie einfach mal\r\nauf den Programmhintergrund "
                               "klicken.\r\n\r\nViele Grüße vom Entwickler\r\n;-)##"
                               "Nice of you to simply click\r\non the program background."
                               "\r\n\r\nKind regards from the developer\r\n;-)");
            return true;
        }
    }
    if (watched == mdi_->viewport() && e->type() == QEvent::Resize && startupDone_ && !closing_)
        QTimer::singleShot(0, this, [this] {
            if (!closing_) ArrangeBase(arrangement_);
        });
    if (watched == stripViewport_ && e->type() == QEvent::Resize) ReLayoutStrip();
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    ApplyBarVisibility();
    QTimer::singleShot(0, this, [this] { StartUp(); });
}

void MainWindow::StartUp() {
    RelabelAll();
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<WorkingWindow*>(s)) w->RefreshLanguage();
    solving_ = true;
    SolveAtProgramStart(m_, *host_); // broadcasts the model-changed messages itself
    solving_ = false;
    SetStatusText(Q(SolvedStatus(m_)));
    SendToChildren(MSG_TOGGLE_TREE, 1, 1);
    startupDone_ = true;
    ArrangeBase(arrangement_);
    if (!options_.commandLineFile.empty()) file_->OpenModel(options_.commandLineFile);
    emit startupFinished();
}

// ---------------------------------------------------------------- messages

void MainWindow::OnModelChangeBroadcast(QObject* receiver, std::function<void()> react) {
    connect(this, &MainWindow::modelChangeBroadcast, receiver, std::move(react));
}

void MainWindow::OnLanguageChanged(QObject* receiver, std::function<void()> react) {
    connect(this, &MainWindow::languageChanged, receiver, std::move(react));
}

void MainWindow::SendToChildren(int msg, long wParam, long lParam) {
    QList<QPointer<WorkingWindow>> children;
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<WorkingWindow*>(s)) children.append(w);
    // A handler may close windows; the guarded list skips them.
    for (const auto& w : children)
        if (w) w->Message(msg, wParam, lParam);
}

WorkingWindow* MainWindow::FindChild(const std::string& caption) const {
    const QString part = Q(Translate(caption, m_.Language));
    for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<WorkingWindow*>(s))
            if (w->windowTitle().contains(part)) return w;
    return nullptr;
}

bool MainWindow::SendToChild(const std::string& caption, int msg, long wParam, long lParam) {
    WorkingWindow* w = FindChild(caption);
    if (!w) return false;
    w->Message(msg, wParam, lParam);
    return true;
}

bool MainWindow::ChildExists(const std::string& caption) const {
    return FindChild(caption) != nullptr;
}

WorkingWindow* MainWindow::OpenChild(WorkingWindow* window) {
    for (QMdiSubWindow* s : mdi_->subWindowList())
        if (auto* w = qobject_cast<WorkingWindow*>(s))
            if (w != window && w->windowTitle() == window->windowTitle()) {
                delete window;
                w->showNormal();
                mdi_->setActiveSubWindow(w);
                return w;
            }
    mdi_->addSubWindow(window);
    ApplyFontColour(window);
    window->show();
    mdi_->setActiveSubWindow(window);
    return window;
}

void MainWindow::BroadcastModelChanged() {
    emit modelChangeBroadcast();
    SendToChildren(MSG_MODEL_CHANGED_EQ, 1, 1);
    SendToChildren(MSG_MODEL_CHANGED, 1, 1);
}

// ---------------------------------------------------------------- the two steps

void MainWindow::ModelChanged() {
    emit modelChangeBroadcast();
    CheckBaselineShift();
    // 1.-4. Expectation settings the structure no longer allows.
    EnforceExpectationRules(m_, *host_);
    // 5. Policy bars and the money-and-credit presentations.
    OpenPolicyBar(Action(QStringLiteral("MIOptionenTarifleiste")), WageBar, m_.Sw(14) != 0);
    QMenu* money = Menu(QStringLiteral("MIAufbGeld"));
    money->setEnabled(m_.Sw(18) == 1);
    if (m_.Sw(18) == 0 && (ChildExists(MoneyWorksheet) || ChildExists(MoneyAccounts))) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("So nicht!##Not possible!",
                           "Das Geldangebot ist ohne multiple Geld- und Kreditschöpfung "
                           "modelliert. Die hierfür geöffneten Aufbereitungsfenster werden "
                           "geschlossen.##The money supply is modelled without multiple creation "
                           "of money and credit. The presentation windows opened for it are "
                           "closed.");
        SendToChild(MoneyWorksheet, MSG_MODEL_CHANGED, 0, 0);
        SendToChild(MoneyAccounts, MSG_MODEL_CHANGED, 0, 0);
    }
    OpenPolicyBar(Action(QStringLiteral("MIOptionenGeldleiste")), MoneyBar, m_.Sw(20) != 0);
    navigator_->SetPolicyMarkVisible(WageBar->isVisibleTo(this) || MoneyBar->isVisibleTo(this));
    // 6. The model now differs from its file.
    file_->ModelModified = true;
    UpdateFilePanel();
    // 7. What must be recomputed.
    PeriodState& ps = m_.Periods;
    MarkWhatMustBeRecomputed(m_);
    // 8. Changes that reach back before the left edge.
    if (ps.LastSolved < 0 && ps.LeftEdge > 0 && !interval_.Revolving()) {
        if (host_->Ask("Achtung!##Attention!",
                       "Die Änderungen haben Einfluss\r\nauf das Ausgangsgleichgewicht.\r\n"
                       "Linken Rand auf t=0 zurücksetzen?##The changes affect\r\nthe initial "
                       "equilibrium.\r\nReset the left border to t=0?"))
            interval_.SetInterval(0, ps.RightEdge, false);
    } else if (ps.LastSolved == 0 && ps.LeftEdge > 1) {
        if (host_->Ask("Achtung!##Attention!",
                       "Die Modelländerungen haben Einfluss\r\nauf alle Intervallperioden "
                       "(t>0).\r\nLinken Rand auf t=1 zurücksetzen?##The model changes affect"
                       "\r\nall periods of the interval (t>0).\r\nReset the left border to t=1?"))
            interval_.SetInterval(1, ps.RightEdge, false);
    }
    // 9. Solve now or say what is due.
    if (m_.Options.SolveAfterInput) {
        if (ps.LastSolved < ps.RightEdge)
            Solve();
        else
            SetStatusText(QStringLiteral("Ok"));
    } else {
        if (ps.LastSolved < 0)
            SetStatusText(QStringLiteral("Alles lösen!##Solve all!"));
        else if (ps.LastSolved < ps.RightEdge)
            SetStatusText(QStringLiteral("Lösen: t > %1##Solve: t > %1").arg(ps.LastSolved));
        else
            SetStatusText(QStringLiteral("Ok"));
        BroadcastModelChanged();
    }
    // 10. The model monitor follows every change.
    SendToChild(ModelMonitor, MSG_MODEL_CHANGED, 0, 0);
}

void MainWindow::OpenPolicyBar(QAction* entry, QWidget* bar, bool used) {
    bool& wasEnabled = entry->objectName() == QStringLiteral("MIOptionenTarifleiste")
                           ? wageEntryWasEnabled_
                           : moneyEntryWasEnabled_;
    if (used) {
        if (!wasEnabled) entry->setChecked(true); // the bar appears with the policy
        entry->setEnabled(true);
        bar->setVisible(entry->isChecked());
        static_cast<PolicyBar*>(bar)->Refresh();
    } else {
        entry->setEnabled(false);
        bar->setVisible(false);
    }
    wasEnabled = used;
}

void MainWindow::PeriodChanged(int kind) {
    // The navigator clamps and shows the period, then reports back to PeriodMessages.
    navigator_->PeriodChanged(kind);
}

void MainWindow::PeriodMessages(int kind) {
    for (QWidget* bar : {WageBar, MoneyBar})
        if (bar->isVisible()) static_cast<PolicyBar*>(bar)->Refresh();
    SendToChildren(MSG_PERIOD_MOVED_EQ, kind, 1);
    SendToChildren(MSG_PERIOD_MOVED, kind, 1);
    SendToChild("Lernprozessmonitor##Learning Process Explorer", MSG_NFX_PERIOD, kind, 1);
    SendToChild("Inferenzmonitor##Inference Process Explorer", MSG_NFX_PERIOD, kind, 1);
}

bool MainWindow::RunInputDialog(QDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return false;
    ModelChanged();
    return true;
}

// ---------------------------------------------------------------- program end

void MainWindow::closeEvent(QCloseEvent* e) {
    if (solving_ || closing_) {
        e->ignore();
        return;
    }
    host_->PlaySound("WasNun.wav");
    const std::string question = ExitQuestion(file_->ModelModified, false, m_.Language);
    // With unsaved data, Enter keeps the program (and the data) open.
    if (!host_->AskWithHint(ExitTitle, question, ExitHint, !file_->ModelModified)) {
        host_->PlaySound("ProgGoOn.wav");
        e->ignore();
        return;
    }
    closing_ = true;
    showMinimized();
    host_->PlaySoundToEnd("ProgEnde.wav");
    SendToChildren(MSG_SAVE_SETTINGS, 0, 0);
    if (options_.writeSettingsAtEnd) {
        settings_.Language = m_.Language;
        settings_.Sound = host_->SoundOn;
        settings_.FlatButtons = Action(QStringLiteral("MIOptionenFlacheSchalter"))->isChecked();
        settings_.DurableInputs = Action(QStringLiteral("MIOptionenDauerhaft"))->isChecked();
        settings_.FunctionBar = Action(QStringLiteral("MIOptionenFunktionsleiste"))->isChecked();
        settings_.SaveAtEnd =
            Action(QStringLiteral("MIOptionenEinstellungenSpeichern"))->isChecked();
        settings_.ShowSolveInfo = m_.Options.ShowSolveInfo != 0;
        auto store = [](const QFont& f, FontSetting& s) {
            s.Name = f.family().toStdString();
            s.Size = std::max(1, f.pointSize());
            s.Italic = f.italic();
            s.Bold = f.bold();
            s.Underline = f.underline();
            s.StrikeOut = f.strikeOut();
        };
        store(screenFont_, settings_.ScreenFont);
        store(printerFont_, settings_.PrinterFont);
        settingsFile_->WriteSettings(settings_, file_->ModelFileName());
    }
    HelpSystem::close();
    e->accept();
}

} // namespace tv
