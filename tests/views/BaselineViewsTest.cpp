// The baseline in the main window: the commands, the status mark, the sequence tables and
// the result windows compared with it, and what keeps or ends it.

#include "PdfText.h"
#include "RecordingHost.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "logic/ModelFile.h"
#include "services/QtUserHost.h"
#include "views/SequenceTableWindow.h"
#include "views/ViewCommands.h"
#include "windows/BaseArrangement.h"
#include "windows/ResultWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace tv;

namespace {

const std::string Example2 = EXAMPLES_DIR "/02-closed-is-lm.TV5";
constexpr int ShockFrom = 10;
constexpr double MoreMoney = 60;

// A child window that records the baseline messages.
class Listener : public WorkingWindow {
  public:
    explicit Listener(WindowFrame& f) : WorkingWindow(f) {
        setWindowTitle(QStringLiteral("Lauscher"));
        setWidget(new QWidget);
    }
    long Message(int msg, long w, long l) override {
        if (msg == MSG_BASELINE_CHANGED) got.push_back(w);
        return WorkingWindow::Message(msg, w, l);
    }
    std::vector<long> got;
};

// Example 2 solved on its own, optionally with more money from period 10, recalculated
// from the start.
std::unique_ptr<Model> SolveExample(bool shock) {
    auto m = std::make_unique<Model>();
    m->InitialiseForProgramStart();
    test::RecordingHost host;
    SolveAtProgramStart(*m, host);
    ModelFile file(*m, host, QDir::tempPath().toStdString() + "/");
    if (!file.OpenModel(Example2)) return nullptr;
    if (shock) {
        test::RecordingHost quiet;
        for (int t = ShockFrom; t <= m->Periods.RightEdge; ++t)
            m->SetPar(t, par::MNAut, m->GetPar(t, par::MNAut) + MoreMoney);
        RecalculateAll(*m, quiet);
    }
    return m;
}

// Every text a table shows: headings and cells, row by row.
QStringList TableTexts(const SequenceTableWindow* w) {
    const SequenceTableModel* t = w->TableModel;
    QStringList out;
    QString header;
    for (int c = 0; c < t->columnCount(); ++c)
        header += t->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + QLatin1Char('|');
    out << header;
    for (int r = 0; r < t->rowCount(); ++r) {
        QString row = QString::number(t->PeriodOfRow(r)) + QLatin1Char(':');
        for (int c = 0; c < t->columnCount(); ++c)
            row += t->CellText(r, c) + QLatin1Char('|');
        out << row;
    }
    return out;
}

QStringList ResultTexts(const ResultWindow* w) {
    QStringList out;
    QString header;
    for (const std::string& h : w->Table().Headings)
        header += QString::fromStdString(h) + QLatin1Char('|');
    out << header;
    for (const ResultRow& r : w->Table().Rows) {
        QString row = QString::fromStdString(r.Label) + QLatin1Char(':');
        for (const std::string& c : r.Cells)
            row += QString::fromStdString(c) + QLatin1Char('|');
        out << row;
    }
    return out;
}

int Column(const SequenceTableModel* t, int var, SequenceColumnKind kind) {
    for (int c = 0; c < t->columnCount(); ++c)
        if (t->ColumnAt(c) == SequenceColumn{var, kind}) return c;
    return -1;
}

} // namespace

class BaselineViewsTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void freezingAndAShockGiveTheDifferenceOfTwoSolutions();
    void discardingRestoresEveryTableView();
    void survivesPeriodChangesAndSolvingNotAnotherModel();
    void revolvingShiftDiscardsWithANote();
    void staleResultsAreSolvedBeforeFreezing();
    void earlyStopFreezesTheSolvedPeriodsAfterAQuestion();
    void selectionDialogChoosesComparisonColumns();
    void screenshots();

  private:
    void RaiseMoney();
    SequenceTableWindow* OpenTable(bool differences);
    ResultWindow* Results(int window);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Model> m_;
    std::unique_ptr<MainWindow> w_;
    QStringList messages_, questions_;
    bool answer_ = true;
};

void BaselineViewsTest::init() {
    SharedSequenceTableState() = SequenceTableState{};
    ResultWindow::Options() = ResultOptions{};
    CreateTestMainWindow(dir_, m_, w_);
    messages_.clear();
    questions_.clear();
    answer_ = true;
    w_->userHost().scriptMessage = [this](const QString& title, const QString& text) {
        messages_ << title + QStringLiteral(": ") + text;
    };
    w_->userHost().scriptAsk = [this](const QString& title, const QString& text) {
        questions_ << title + QStringLiteral(": ") + text;
        return answer_;
    };
    InstallViewCommands(*w_);
    QSignalSpy done(w_.get(), &MainWindow::startupFinished);
    w_->resize(1200, 800);
    w_->show();
    QVERIFY(done.wait(10000));
    QVERIFY(w_->modelFile().OpenModel(Example2));
    messages_.clear();
    questions_.clear();
}

void BaselineViewsTest::cleanup() {
    w_->close();
    w_.reset();
    m_.reset();
}

void BaselineViewsTest::RaiseMoney() {
    for (int t = ShockFrom; t <= m_->Periods.RightEdge; ++t)
        m_->SetPar(t, par::MNAut, m_->GetPar(t, par::MNAut) + MoreMoney);
    MarkUnsolvedFrom(*m_, ShockFrom - 1);
    w_->ModelChanged();
}

SequenceTableWindow* BaselineViewsTest::OpenTable(bool differences) {
    w_->Action(differences ? QStringLiteral("MIAufbTabelleDifferenzen")
                           : QStringLiteral("MIAufbTabelleAbsolut"))
        ->trigger();
    return qobject_cast<SequenceTableWindow*>(
        w_->FindChild(differences ? SequenceDifferencesCaption : SequenceAbsoluteCaption));
}

ResultWindow* BaselineViewsTest::Results(int window) {
    return qobject_cast<ResultWindow*>(w_->FindChild(
        BaseWindowCaption(window == 1 ? BaseWindowRole::Results1 : BaseWindowRole::Results2)));
}

void BaselineViewsTest::freezingAndAShockGiveTheDifferenceOfTwoSolutions() {
    QAction* freeze = w_->Action(QStringLiteral("MILoesungBasisEinfrieren"));
    QAction* discard = w_->Action(QStringLiteral("MILoesungBasisVerwerfen"));
    QVERIFY(freeze && discard);
    QVERIFY(freeze->isEnabled());
    QVERIFY(!discard->isEnabled());
    QVERIFY(!w_->BaselinePanel->isVisibleTo(w_.get()));
    auto* listener = static_cast<Listener*>(w_->OpenChild(new Listener(*w_)));
    SequenceTableWindow* table = OpenTable(false);
    QVERIFY(table);
    const int columnsBefore = table->TableModel->columnCount();

    freeze->trigger();
    QVERIFY(w_->baseline());
    QCOMPARE(listener->got, (std::vector<long>{1}));
    QVERIFY(discard->isEnabled());
    QVERIFY(w_->BaselinePanel->isVisibleTo(w_.get()));
    QCOMPARE(w_->BaselinePanel->text(), QStringLiteral("Basislauf 0-100"));
    QVERIFY(questions_.isEmpty()); // a solved model is frozen as it stands
    // By default one deviation column per variable.
    QCOMPARE(table->TableModel->columnCount(), 2 * columnsBefore);

    RaiseMoney();
    const auto base = SolveExample(false), scenario = SolveExample(true);
    QVERIFY(base && scenario);
    QVERIFY(scenario->GetVar(20, var::Y) != base->GetVar(20, var::Y));
    const SequenceTableModel* t = table->TableModel;
    for (int v : {var::Y, var::i, var::N}) {
        const int value = Column(t, v, SequenceColumnKind::Value);
        const int dev = Column(t, v, SequenceColumnKind::Deviation);
        QVERIFY(value >= 0 && dev == value + 1);
        for (int r = 0; r < t->rowCount(); ++r) {
            const int p = t->PeriodOfRow(r);
            QCOMPARE(t->CellText(r, value),
                     QString::fromStdString(m_->FormatNumber(scenario->GetVar(p, v))));
            QCOMPARE(t->CellText(r, dev), QString::fromStdString(m_->FormatNumber(
                                              scenario->GetVar(p, v) - base->GetVar(p, v))));
        }
    }

    // The statistics of a marked comparison column are of its own numbers.
    table->TableModel->SetMarkedColumn(Column(t, var::Y, SequenceColumnKind::Deviation));
    std::string caption;
    const std::vector<std::string> lines = table->SelectionStatistics(&caption);
    QCOMPARE(QString::fromStdString(caption), QStringLiteral("Einkommen (Y) [Y Abw.]: 0 - 100"));
    QVERIFY(!lines.empty());
    QCOMPARE(QString::fromStdString(lines[2]),
             QStringLiteral("Durchschnitt: ") + QString::fromStdString(m_->FormatNumber([&] {
                 double sum = 0;
                 for (int p = 0; p <= 100; ++p)
                     sum += scenario->GetVar(p, var::Y) - base->GetVar(p, var::Y);
                 return sum / 101;
             }())));
    table->TableModel->SetMarkedColumn(-1);

    // The result windows compare with the baseline once asked to.
    ResultWindow* results = Results(2);
    QVERIFY(results && results->BaselineDeviationEntry->isEnabled());
    results->BaselineDeviationEntry->trigger();
    QVERIFY(Results(1)->BaselineDeviationEntry->isChecked());
    const int shown = results->Periods().Shown;
    const ResultRow* income = nullptr;
    for (const ResultRow& r : results->Table().Rows)
        if (r.Label.rfind("Einkommen", 0) == 0) income = &r;
    QVERIFY(income);
    QCOMPARE(income->Cells[1],
             m_->FormatNumber(scenario->GetVar(shown, var::Y) - base->GetVar(shown, var::Y)));
    QCOMPARE(QString::fromStdString(results->Table().Headings[2]), QStringLiteral("Abw. Basis"));

    // Printing shows the same columns.
    for (WorkingWindow* printed :
         {static_cast<WorkingWindow*>(table), static_cast<WorkingWindow*>(results)}) {
        const QString path = dir_->filePath(QStringLiteral("out.pdf"));
        w_->printer().setOutputFormat(QPrinter::PdfFormat);
        w_->printer().setOutputFileName(path);
        // The table asks for its print range first.
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->accept();
        });
        printed->Message(MSG_PRINT, 1, 1);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QString text = pdftext::Extract(pdf.readAll());
        QVERIFY2(text.contains(printed == table ? QStringLiteral("Y Abw.")
                                                : QStringLiteral("Abw. Basis")),
                 qPrintable(text));
        pdf.close();
        QFile::remove(path);
    }

    // Everything follows the language.
    w_->SetLanguage(2);
    QCOMPARE(w_->BaselinePanel->text(), QStringLiteral("Baseline 0-100"));
    QCOMPARE(t->headerData(Column(t, var::Y, SequenceColumnKind::Deviation), Qt::Horizontal,
                           Qt::DisplayRole)
                 .toString(),
             QStringLiteral("Y Dev."));
    QCOMPARE(results->BaselineDeviationEntry->text(), QStringLiteral("&Deviation from Baseline"));
    QCOMPARE(freeze->text(), QStringLiteral("Freeze as Baseline"));
}

void BaselineViewsTest::discardingRestoresEveryTableView() {
    SequenceTableWindow* absolute = OpenTable(false);
    SequenceTableWindow* differences = OpenTable(true);
    QVERIFY(absolute && differences);
    const QStringList absoluteBefore = TableTexts(absolute);
    const QStringList differencesBefore = TableTexts(differences);
    const QStringList results1 = ResultTexts(Results(1)), results2 = ResultTexts(Results(2));
    const QImage pictureBefore = absolute->RenderPicture(600, 400);

    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    // Every comparison column on, in both tables, and the result windows' deviation.
    QAction* values = absolute->findChild<QAction*>(QStringLiteral("SequenzBasisWerte"));
    QAction* percent = differences->findChild<QAction*>(QStringLiteral("SequenzBasisProzent"));
    QVERIFY(values && percent && values->isEnabled());
    values->trigger();
    percent->trigger();
    Results(1)->BaselineDeviationEntry->trigger();
    QCOMPARE(absolute->TableModel->columnCount(), 4 * differences->TableModel->Columns().size());
    QVERIFY(TableTexts(absolute) != absoluteBefore);
    QVERIFY(TableTexts(differences) != differencesBefore);
    QVERIFY(ResultTexts(Results(1)) != results1);
    QVERIFY(absolute->RenderPicture(600, 400) != pictureBefore); // copying shows them too

    w_->Action(QStringLiteral("MILoesungBasisVerwerfen"))->trigger();
    QVERIFY(!w_->baseline());
    QVERIFY(messages_.isEmpty()); // discarding by command needs no note
    QCOMPARE(TableTexts(absolute), absoluteBefore);
    QCOMPARE(TableTexts(differences), differencesBefore);
    QCOMPARE(ResultTexts(Results(1)), results1);
    QCOMPARE(ResultTexts(Results(2)), results2);
    QCOMPARE(absolute->RenderPicture(600, 400), pictureBefore);
    QVERIFY(!values->isEnabled());
    QVERIFY(!Results(1)->BaselineDeviationEntry->isEnabled());
    QVERIFY(!w_->Action(QStringLiteral("MILoesungBasisVerwerfen"))->isEnabled());
    QVERIFY(!w_->BaselinePanel->isVisibleTo(w_.get()));
}

void BaselineViewsTest::survivesPeriodChangesAndSolvingNotAnotherModel() {
    auto* listener = static_cast<Listener*>(w_->OpenChild(new Listener(*w_)));
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    const Baseline* frozen = w_->baseline();
    QVERIFY(frozen);
    const double y30 = frozen->Var(30, var::Y);
    SequenceTableWindow* table = OpenTable(false);

    // Period and interval changes, more money and complete recalculations keep it.
    w_->interval().SetCurrentPeriod(30);
    w_->interval().SetInterval(5, 60, false);
    RaiseMoney();
    w_->Action(QStringLiteral("MILoesungKomplett"))->trigger();
    w_->Action(QStringLiteral("MILoesungIntervall"))->trigger();
    QCOMPARE(w_->baseline(), frozen);
    QCOMPARE(frozen->Var(30, var::Y), y30);
    QCOMPARE(w_->BaselinePanel->text(), QStringLiteral("Basislauf 0-100"));
    QCOMPARE(listener->got, (std::vector<long>{1}));
    // Periods beyond the baseline compare with nothing.
    w_->interval().SetInterval(5, 120, false);
    w_->Solve();
    const SequenceTableModel* t = table->TableModel;
    const int dev = Column(t, var::Y, SequenceColumnKind::Deviation);
    QCOMPARE(t->PeriodOfRow(t->rowCount() - 1), 120);
    QVERIFY(!t->CellText(100 - 5, dev).isEmpty());
    QVERIFY(t->CellText(101 - 5, dev).isEmpty());

    // A file that cannot be read changes nothing.
    QVERIFY(!w_->modelFile().OpenModel((dir_->path() + QStringLiteral("/none.TV5")).toStdString()));
    QCOMPARE(w_->baseline(), frozen);
    messages_.clear();

    // Another model ends it, with a note once the other model is solved and shown.
    QString statusAtNote;
    w_->userHost().scriptMessage = [this, &statusAtNote](const QString& title,
                                                         const QString& text) {
        messages_ << title + QStringLiteral(": ") + text;
        statusAtNote = w_->StatusText();
    };
    QVERIFY(w_->modelFile().OpenModel(Example2));
    QVERIFY(!w_->baseline());
    QCOMPARE(listener->got, (std::vector<long>{1, 0}));
    QCOMPARE(messages_.filter(QStringLiteral("Hinweis: Der Basislauf")).size(), 1);
    QCOMPARE(statusAtNote, QStringLiteral("Ok"));
    QCOMPARE(Column(t, var::Y, SequenceColumnKind::Deviation), -1);

    // So does New model.
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    messages_.clear();
    w_->modelFile().ModelModified = false;
    w_->onNewModel();
    QVERIFY(!w_->baseline());
    QCOMPARE(listener->got, (std::vector<long>{1, 0, 1, 0}));
    QCOMPARE(messages_.filter(QStringLiteral("Hinweis: Der Basislauf")).size(), 1);
}

// A revolving shift renumbers the periods (the old right edge becomes period 0): the
// baseline would compare different periods, so it goes, with a note.
void BaselineViewsTest::revolvingShiftDiscardsWithANote() {
    w_->interval().SetAnalysisForm(true);
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QVERIFY(w_->baseline());
    w_->interval().SetCurrentPeriod(20); // period moves keep it
    QVERIFY(w_->baseline());
    messages_.clear();
    QVERIFY(w_->interval().PrepareShift());
    w_->interval().ApplyShift(0, ShiftKeepData);
    QVERIFY(!w_->baseline());
    QCOMPARE(messages_.filter(QStringLiteral("Hinweis: Die Perioden wurden verschoben")).size(), 1);
}

void BaselineViewsTest::staleResultsAreSolvedBeforeFreezing() {
    m_->Options.SolveAfterInput = 0;
    RaiseMoney(); // not solved now
    QVERIFY(w_->StatusText() != QStringLiteral("Ok"));
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
    QVERIFY(w_->baseline());
    QCOMPARE(w_->baseline()->To(), 100);
    const auto scenario = SolveExample(true);
    QCOMPARE(w_->baseline()->Var(40, var::Y), scenario->GetVar(40, var::Y));

    // Freezing again replaces it only when the user agrees.
    const Baseline* first = w_->baseline();
    answer_ = false;
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QCOMPARE(questions_.size(), 1);
    QVERIFY(questions_.first().startsWith(QStringLiteral("Sicherheitsabfrage")));
    QCOMPARE(w_->baseline(), first);
    answer_ = true;
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QVERIFY(w_->baseline() != first);
}

// A solution that stops early is frozen with the periods it reached, and only when the user
// agrees.
void BaselineViewsTest::earlyStopFreezesTheSolvedPeriodsAfterAQuestion() {
    m_->Options.StepwiseSolve = 1; // each solution step solves one period
    RaiseMoney();
    const int reached = m_->Periods.LastSolved;
    QVERIFY(reached < 100);
    answer_ = false;
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QVERIFY(!w_->baseline());
    QCOMPARE(questions_.size(), 1);
    QVERIFY(questions_.first().startsWith(QStringLiteral("Was nun?: Die Lösung meldet:")));
    answer_ = true;
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QVERIFY(w_->baseline());
    QCOMPARE(w_->baseline()->To(), m_->Periods.LastSolved);
    QVERIFY(w_->baseline()->To() < 100);
    QCOMPARE(w_->BaselinePanel->text(), QStringLiteral("Basislauf 0-%1").arg(w_->baseline()->To()));
}

// The series selection of a table also chooses its comparison columns, for both tables.
void BaselineViewsTest::selectionDialogChoosesComparisonColumns() {
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    SequenceTableWindow* absolute = OpenTable(false);
    SequenceTableWindow* differences = OpenTable(true);
    const int vars = static_cast<int>(absolute->TableModel->Columns().size());
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<SeriesSelectionDialog*>(QApplication::activeModalWidget());
        QVERIFY(d && d->BaselineGroup->isVisible());
        QVERIFY(d->BaselineDeviationBox->isChecked());
        d->BaselineValuesBox->setChecked(true);
        d->BaselineDeviationBox->setChecked(false);
        d->BaselinePercentBox->setChecked(true);
        d->accept();
    });
    absolute->OpenSelectionDialog();
    QCOMPARE(SharedSequenceTableState().BaselineColumns, (BaselineColumnChoice{true, false, true}));
    QCOMPARE(absolute->TableModel->ColumnAt(1).Kind, SequenceColumnKind::Baseline);
    QCOMPARE(absolute->TableModel->ColumnAt(2).Kind, SequenceColumnKind::DeviationPercent);
    QCOMPARE(absolute->TableModel->columnCount(), 3 * vars);
    QCOMPARE(differences->TableModel->columnCount(),
             3 * static_cast<int>(differences->TableModel->Columns().size()));
    QVERIFY(differences->findChild<QAction*>(QStringLiteral("SequenzBasisWerte"))->isChecked());
}

// The sequence table after a money-supply shock, German and English, default size and
// maximised, when TERVALIS_SCREENSHOTS names a folder.
void BaselineViewsTest::screenshots() {
    const QString dir = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (dir.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
    QDir().mkpath(dir);
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    RaiseMoney();
    w_->interval().SetCurrentPeriod(ShockFrom);
    SequenceTableWindow* table = OpenTable(false);
    for (int language : {1, 2}) {
        w_->SetLanguage(language);
        const QString suffix = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        table->showNormal();
        w_->mdiArea()->setActiveSubWindow(table);
        table->Grid->scrollTo(table->TableModel->index(ShockFrom - 3, 0),
                              QAbstractItemView::PositionAtTop);
        QTest::qWait(50);
        w_->grab().save(dir + QStringLiteral("/sequence-table-baseline-%1.png").arg(suffix));
        table->showMaximized();
        table->Grid->scrollTo(table->TableModel->index(ShockFrom - 3, 0),
                              QAbstractItemView::PositionAtTop);
        QTest::qWait(50);
        w_->grab().save(dir +
                        QStringLiteral("/sequence-table-baseline-%1-maximised.png").arg(suffix));
        QTimer::singleShot(0, [dir, suffix] {
            if (QWidget* d = QApplication::activeModalWidget()) {
                d->grab().save(dir + QStringLiteral("/series-selection-%1.png").arg(suffix));
                static_cast<QDialog*>(d)->reject();
            }
        });
        table->OpenSelectionDialog();
    }
    QMenu* solution = w_->Menu(QStringLiteral("MILoesung"));
    solution->adjustSize();
    solution->grab().save(dir + QStringLiteral("/solution-menu-en.png"));
    // The copied picture with every comparison column.
    table->SetBaselineColumns({true, true, true});
    table->RenderPicture(900, 500).save(dir + QStringLiteral("/sequence-table-picture-en.png"));
    table->SetBaselineColumns({});
    // The result windows with the deviation as their difference column.
    table->showMinimized();
    Results(1)->BaselineDeviationEntry->trigger();
    for (int language : {1, 2}) {
        w_->SetLanguage(language);
        QTest::qWait(50);
        w_->grab().save(dir +
                        QStringLiteral("/result-windows-baseline-%1.png")
                            .arg(language == 1 ? QStringLiteral("de") : QStringLiteral("en")));
    }
}

QTEST_MAIN(BaselineViewsTest)
#include "BaselineViewsTest.moc"
