#pragma once

#include "logic/AnalysisInterval.h"
#include "logic/ModelFile.h"
#include "logic/Settings.h"
#include "services/CommandHost.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QStyle>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QAbstractButton;
class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QProgressBar;
class QToolButton;
class QTranslator;

namespace tv {

class Baseline;
class Model;
class QtUserHost;
class WorkingWindow;
class SolveControlDialog;
class TaskWindow;
class PeriodNavigator;

// A status-bar panel that reports clicks with their button and modifiers.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void clicked(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// A label that ends its text with "…" where it does not fit (the status hint), instead of
// cutting a word in half.
class ElidingLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

  protected:
    void paintEvent(QPaintEvent* e) override;
};

// How the main window starts. The defaults are the program's; tests switch off what
// needs a user or the program directory.
struct MainWindowOptions {
    QString programDirectory;    // settings file and sounds; empty: the executable's
    QString userConfigDirectory; // empty: the per-user configuration directory
    bool readSettings = true;
    bool writeSettingsAtEnd = true;
    std::string commandLineFile; // opened after the start-up solution
};

// The main window: menus, function bar, navigator, bars and status bar around the
// multiple-document area; it runs every command, the model-changed and period-changed
// steps and the language switch.
class MainWindow : public QMainWindow, public CommandHost {
    Q_OBJECT
  public:
    MainWindow(Model& m, MainWindowOptions options = {});
    ~MainWindow() override;

    // WindowFrame
    Model& model() override { return m_; }
    UserHost& host() override;
    QMdiArea* mdiArea() override { return mdi_; }
    QRect baseArea() const override;
    QPrinter& printer() override;
    QFont printerFont() const override { return printerFont_; }
    QColor printerFontColour() const override;
    QFont screenFont() const override { return screenFont_; }
    QString modelBaseName() const override;
    int assignedPeriod(int pair) const override;
    const Settings* userSettings() const override { return &settings_; }
    WindowSettings* windowSettings() override { return &settings_.Windows; }
    bool solving() const override { return solving_; }
    const Baseline* baseline() const override { return baseline_.get(); }
    // True while the period-run window steps through the interval.
    bool periodRunning() const override;
    bool revolvingInterval() const override { return interval_.Revolving(); }
    // The settings the options dialogs change (written at program end).
    Settings& EditSettings() override { return settings_; }

    // CommandHost
    QWidget* widget() override { return this; }
    QtUserHost& userHost() override { return *host_; }
    ModelFile& modelFile() override { return *file_; }
    const FileNameProvider& FileNames() const override { return fileNameProvider; }
    void OnModelChangeBroadcast(QObject* receiver, std::function<void()> react) override;
    void OnLanguageChanged(QObject* receiver, std::function<void()> react) override;
    AnalysisInterval& interval() { return interval_; }

    // The two central steps.
    void ModelChanged() override;
    void PeriodChanged(int kind) override;
    PeriodNavigator* Navigator() const override { return navigator_; }
    // Runs a modal input dialog; unless it was cancelled, the model-changed step follows.
    bool RunInputDialog(QDialog& dialog) override;

    // Messages to the child windows, synchronously, in creation order.
    void SendToChildren(int msg, long wParam, long lParam) override;
    bool SendToChild(const std::string& caption, int msg, long wParam, long lParam) override;
    bool ChildExists(const std::string& caption) const override;
    WorkingWindow* FindChild(const std::string& caption) const override;
    // Adds a working window to the frame and shows it; an open window of the same caption
    // is brought forward instead (the new one is then discarded). Returns the shown one.
    WorkingWindow* OpenChild(WorkingWindow* window) override;

    // The solution status, bilingual; the panel shows it in the current language.
    void SetStatusText(const QString& bilingual);
    // Its German half ("Ok", "Alles lösen!", ...), for comparisons.
    QString StatusText() const override;
    void SetLanguage(int language);
    void Solve() override;

    // File names for the file commands; replaceable so that tests need no dialog.
    // save: the save dialog; returns an empty name when cancelled.
    FileNameProvider fileNameProvider;

    // Lets a subsystem run one of the menu's placeholder entries (by its object name, e.g.
    // "MIModellbauNachfrage"): the entry and the function-bar button linked to it are
    // enabled and run `run`; `hint` ("short|long", bilingual) replaces the status hint.
    // Each subsystem binds its entries from its own folder (InstallXxxCommands).
    void BindCommand(const QString& actionName, std::function<void()> run,
                     const char* hint = nullptr) override;

    // Commands of the main window's own menus.
    void onNewModel();
    void onOpenModel();
    void onSaveModel();
    void onSaveModelAs();
    void onPrint();
    void onPrinterSetup();
    void onCalculator();
    void onClearAll();
    void onSolveOptions();
    // Keeps the solved run as the baseline (solving first when the results are stale);
    // replacing an existing baseline asks first.
    void onFreezeBaseline();
    void onDiscardBaseline() { DiscardBaseline(nullptr); }
    // A prediction task: opens a task file (with the model beside it, when there is one),
    // freezes the solved model as the baseline and shows the task; writes a task (and the
    // baseline's model beside it) from the parameter changes since the baseline.
    void onOpenTask();
    void onCreateTask();
    // Drops the baseline, if any, and tells the windows; a bilingual `note` says why.
    void DiscardBaseline(const char* note);
    void onZoom();
    void onHalfScreen();
    void onWebSupport();
    void onAbout();
    void ArrangeBase(int percent);
    void SetBaseAssignment(int pair, bool followsCurrent);
    void SetNumberFormat(int integerDigits, int decimals);
    void SetFlatButtons(bool flat);
    void ShowHelp(int context) override;
    void InstallHelp();

    // Widgets and actions by role (also for tests).
    QAction* Action(const QString& name) const override;
    QMenu* Menu(const QString& name) const;
    QToolButton* Button(const QString& name) const;
    QWidget* FunctionBar = nullptr;
    QWidget* NavigatorPanel = nullptr;
    QWidget* WageBar = nullptr;
    QWidget* MoneyBar = nullptr;
    QWidget* RuleBar = nullptr;
    ElidingLabel* HintLine = nullptr;
    ClickLabel* SolveStatusPanel = nullptr;
    ClickLabel* ModelFilePanel = nullptr;
    QLabel* BaselinePanel = nullptr; // hidden while there is no baseline
    QComboBox* IntegerDigitsBox = nullptr;
    QComboBox* DecimalPlacesBox = nullptr;
    QToolButton* StripLeftButton = nullptr;
    QToolButton* StripRightButton = nullptr;
    SolveControlDialog* SolveControl = nullptr;

    // Half-screen step remembered per child window.
    int HalfScreenStep(QMdiSubWindow* w) const;
    bool Closing() const override { return closing_; }
    bool StartupDone() const { return startupDone_; }
    int StripOffset() const { return stripOffset_; }
    void ScrollStrip(bool right);

  signals:
    void startupFinished();
    // The model-changed step begins, or its broadcast to the child windows (the period run
    // stops on it).
    void modelChangeBroadcast();
    // The language was switched and the main window's own texts re-applied.
    void languageChanged();

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    struct Labelled {
        QPointer<QObject> object;
        std::string caption; // bilingual
        std::string hint;    // bilingual "short|long"
    };

    void BuildMenus();
    void BuildFunctionBar();
    void BuildBars();
    void BuildStatusBar();
    void ApplySettings();
    void CreateBaseWindows();
    void StartUp();
    void RelabelAll();
    void ApplyStandardDialogLanguage();
    // The screen font's colour from the settings, for a window's content.
    void ApplyFontColour(QMdiSubWindow* window);
    void UpdateFilePanel();
    void BuildBaselinePanel();
    void UpdateBaselineMark();
    // A revolving shift renumbers the periods: the baseline no longer matches the run.
    void CheckBaselineShift();
    void DiscardBaselineOfPreviousModel();
    void ShowPendingBaselineNote();
    void PeriodMessages(int kind);
    void UpdateBaseButtons();
    void UpdateWindowMenu();
    void ReLayoutStrip();
    void ApplyBarVisibility();
    void ShowSolveControl(bool visible);
    void BroadcastModelChanged();
    void RunSolveCommand(const std::function<void()>& run);
    bool SaveAsLoop();
    // Asks before the model is replaced; true when it may go. "No" lets it go unsaved, but
    // the mark stays until something replaces it: a cancelled file dialog keeps the changes.
    bool MayReplaceModel();
    // `suffix`: what a saved name without an extension gets.
    QString AskFileName(bool save, const QString& title, const QString& filter,
                        const QString& start, const QString& suffix = QStringLiteral("TV5"));
    void SolveTask(TaskWindow& window);
    void OpenPolicyBar(QAction* entry, QWidget* bar, bool used);

    QAction* Cmd(QMenu* menu, const QString& name, const char* caption, const QKeySequence& key,
                 std::function<void()> run, const char* hint = "");
    QAction* Later(QMenu* menu, const QString& name, const char* caption,
                   const QKeySequence& key = {});
    QMenu* SubMenu(QMenu* parent, const QString& name, const char* caption);
    QToolButton* BarButton(QWidget* parent, const QString& name, QAction* action, const char* text,
                           const char* hint, QStyle::StandardPixmap icon);
    void Register(QObject* o, const char* caption, const char* hint);
    QString T(const char* bilingual) const;

    Model& m_;
    MainWindowOptions options_;
    std::unique_ptr<QtUserHost> host_;
    AnalysisInterval interval_;
    std::unique_ptr<ModelFile> file_;
    std::unique_ptr<SettingsFile> settingsFile_;
    Settings settings_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<Baseline> baseline_;
    int baselineShifted_ = 0; // the periods shifted out when it was frozen
    bool baselineNotePending_ = false;
    QFont printerFont_, screenFont_;

    QMdiArea* mdi_ = nullptr;
    QWidget* stripViewport_ = nullptr;
    QWidget* strip_ = nullptr;
    PeriodNavigator* navigator_ = nullptr;
    QWidget* progressPanel_ = nullptr;
    std::vector<Labelled> labelled_;
    std::vector<QPointer<QToolButton>> flatButtons_;
    QToolButton* equalButton_ = nullptr;
    QToolButton* equationButton_ = nullptr;
    QToolButton* resultButton_ = nullptr;
    QToolButton* solveAlwaysButton_ = nullptr;
    QToolButton* bf1Button_ = nullptr;
    QToolButton* bf2Button_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::unique_ptr<QTranslator> qtTranslator_;
    int standardLanguage_ = 0; // the language Qt's own texts are in, 0 before the first

    bool pair1Current_ = false;
    bool pair2Current_ = false;
    int arrangement_ = 100;
    int stripOffset_ = 0;
    bool closing_ = false;
    bool shownOnce_ = false;
    bool startupDone_ = false;
    bool solving_ = false;
    bool wageEntryWasEnabled_ = false;
    bool pdfChosenForUser_ = false; // the PDF file name is ours, not the user's
    bool moneyEntryWasEnabled_ = false;
    QString status_;
};

} // namespace tv
