// The English interface: after a switch to English no text the main window and its four
// base windows show (captions, menus, tooltips, status tips, status bar, tree and grid
// cells, headers) is German. German is recognised as the text check does: umlauts, or a
// word of its list of German words (read from tests/i18n/check_texts.py, so that there is
// one list), proper names excepted. The same assembled program also has its shortcuts
// checked: none is claimed twice, and each one a menu shows reaches its entry.

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "exchange/BookingLink.h"
#include "exchange/ExportDialog.h"
#include "services/PolicyBars.h"
#include "services/Printing.h"
#include "services/QtUserHost.h"
#include "services/SolveWindows.h"
#include "windows/EquationWindow.h"
#include "windows/FormulaText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QShortcutEvent>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace tv;

namespace {

// The word lists of the text check.
struct GermanDetector {
    QSet<QString> words, properNames;

    static GermanDetector FromCheckScript(const QString& path) {
        GermanDetector d;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return d;
        const QString script = QString::fromUtf8(f.readAll());
        const auto words =
            QRegularExpression(QStringLiteral(R"re(GERMAN_WORDS = set\("""(.*?)""")re"),
                               QRegularExpression::DotMatchesEverythingOption)
                .match(script);
        for (const QString& w : words.captured(1).split(QRegularExpression(QStringLiteral("\\s+")),
                                                        Qt::SkipEmptyParts))
            d.words.insert(w);
        const auto names = QRegularExpression(QStringLiteral(R"re(PROPER_NAMES = \{(.*?)\n\})re"),
                                              QRegularExpression::DotMatchesEverythingOption)
                               .match(script);
        auto it = QRegularExpression(QStringLiteral("\"([^\"]*)\"")).globalMatch(names.captured(1));
        while (it.hasNext())
            d.properNames.insert(it.next().captured(1));
        return d;
    }

    bool German(const QString& text) const {
        static const QRegularExpression umlaut(QStringLiteral("[äöüÄÖÜß]"));
        static const QRegularExpression word(QStringLiteral("[A-Za-zäöüÄÖÜß]+"));
        if (umlaut.match(text).hasMatch()) return true;
        auto it = word.globalMatch(text);
        while (it.hasNext()) {
            const QString w = it.next().captured(0);
            if (!properNames.contains(w) && words.contains(w.toLower())) return true;
        }
        return false;
    }
};

// Every text a user can see or point at, with where it was found.
class TextCollector {
  public:
    explicit TextCollector(const tv::Model& m) : m_(m) {}

    void Add(const QString& where, const QString& text) {
        if (!text.trimmed().isEmpty()) texts.append({where, text});
    }

    void Menu(QMenu* menu, const QString& path) {
        const QString here = path + QStringLiteral(" > ") + menu->title();
        Add(here, menu->title());
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            if (a->menu()) {
                Menu(a->menu(), here);
                continue;
            }
            Add(here + QStringLiteral(" > ") + a->objectName(), a->text());
            Add(here + QStringLiteral(" > ") + a->objectName() + QStringLiteral(" tooltip"),
                a->toolTip());
            Add(here + QStringLiteral(" > ") + a->objectName() + QStringLiteral(" status tip"),
                a->statusTip());
        }
    }

    void Items(QAbstractItemView* view, const QString& where) {
        QAbstractItemModel* model = view->model();
        if (!model) return;
        const bool formulas = qobject_cast<EquationTree*>(view) != nullptr;
        for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
            const int n = o == Qt::Horizontal ? model->columnCount() : model->rowCount();
            for (int k = 0; k < n; ++k)
                for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                    Add(where + QStringLiteral(" header"),
                        model->headerData(k, o, role).toString());
        }
        Walk(model, QModelIndex(), where, formulas);
    }

    void Widget(QWidget* w) {
        const QString where = w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
        if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w))
            Add(where + QStringLiteral(" title"), w->windowTitle());
        Add(where + QStringLiteral(" tooltip"), w->toolTip());
        Add(where + QStringLiteral(" status tip"), w->statusTip());
        Add(where + QStringLiteral(" what's this"), w->whatsThis());
        if (auto* l = qobject_cast<QLabel*>(w)) Add(where, l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) Add(where, b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) Add(where, g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            Add(where, e->text());
            Add(where + QStringLiteral(" placeholder"), e->placeholderText());
        }
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int k = 0; k < c->count(); ++k)
                Add(where, c->itemText(k));
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int k = 0; k < t->count(); ++k)
                Add(where, t->tabText(k));
        if (auto* v = qobject_cast<QAbstractItemView*>(w)) Items(v, where);
    }

    // The widget and its visible descendants.
    void Tree(QWidget* root, bool visibleOnly = true) {
        Widget(root);
        for (QWidget* w : root->findChildren<QWidget*>())
            if (!visibleOnly || w->isVisibleTo(root)) Widget(w);
    }

    QList<QPair<QString, QString>> texts;

  private:
    void Walk(QAbstractItemModel* model, const QModelIndex& parent, const QString& where,
              bool formulas) {
        for (int r = 0; r < model->rowCount(parent); ++r)
            for (int c = 0; c < model->columnCount(parent); ++c) {
                const QModelIndex i = model->index(r, c, parent);
                QString shown = i.data(Qt::DisplayRole).toString();
                // Equation lines keep their markup; the tree draws them in the window's
                // language.
                if (formulas && m_.Language == 2)
                    shown =
                        QString::fromStdString(StripMarkup(EnglishFormula(shown.toStdString())));
                Add(where + QStringLiteral(" cell"), shown);
                Add(where + QStringLiteral(" cell tooltip"), i.data(Qt::ToolTipRole).toString());
                Add(where + QStringLiteral(" cell status tip"),
                    i.data(Qt::StatusTipRole).toString());
                if (c == 0 && model->hasChildren(i)) Walk(model, i, where, formulas);
            }
    }

    const tv::Model& m_;
};

} // namespace

class EnglishInterfaceTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void detectorKnowsGermanAndProperNames();
    void noGermanAfterSwitchingToEnglish();
    void messagesWhileLoadingAreEnglish();
    void switchingBackRestoresGerman();
    void dialogsAndPrintsOfAnEnglishWindowAreEnglish();
    void exportDialogMovesItemsAndKeepsTheFocus();
    void eachBookingLinkKeepsItsOwnJournal();
    void noKeySequenceIsClaimedTwice();
    void everyMenuShortcutReachesItsEntry();

  private:
    void OpenExample();
    QStringList GermanTexts();

    GermanDetector german_ = GermanDetector::FromCheckScript(
        QStringLiteral(TERVALIS_SOURCE_DIR "/tests/i18n/check_texts.py"));
    std::unique_ptr<TestProgram> program_;
    Model* m_ = nullptr;
    MainWindow* w_ = nullptr;
    QStringList said_;
    qsizetype collected_ = 0;
};

void EnglishInterfaceTest::init() {
    // The program with the hints and entries every layer binds.
    program_ = std::make_unique<TestProgram>();
    m_ = &program_->model();
    w_ = &program_->window();
    said_.clear();
    w_->userHost().scriptAsk = [this](const QString& t, const QString& text) {
        said_ << t << text;
        return true;
    };
    w_->userHost().scriptMessage = [this](const QString& t, const QString& text) {
        said_ << t << text;
    };
    QSignalSpy done(w_, &MainWindow::startupFinished);
    w_->resize(1024, 720);
    w_->show();
    QVERIFY(done.wait(10000));
}

void EnglishInterfaceTest::cleanup() {
    w_->close();
    program_.reset();
    m_ = nullptr;
    w_ = nullptr;
}

void EnglishInterfaceTest::OpenExample() {
    const QString file =
        QStringLiteral(TERVALIS_SOURCE_DIR "/examples/03-as-ad-prices-and-wages.TV5");
    w_->fileNameProvider = [file](bool, const QString&, const QString&, const QString&) {
        return file;
    };
    w_->onOpenModel();
    // Both policy bars where the model uses the policy.
    for (const char* bar : {"MIOptionenTarifleiste", "MIOptionenGeldleiste"})
        if (QAction* a = w_->Action(QString::fromLatin1(bar)); a->isEnabled() && !a->isChecked())
            a->trigger();
    QTest::qWait(50);
}

QStringList EnglishInterfaceTest::GermanTexts() {
    TextCollector c(*m_);
    c.Add(QStringLiteral("main window title"), w_->windowTitle());
    for (QAction* a : w_->menuBar()->actions())
        if (a->menu()) c.Menu(a->menu(), QStringLiteral("menu"));
    // The main window with the bars, the status bar and the four base windows.
    c.Tree(w_);
    // The stepwise-solving dialog belongs to the main window even while hidden.
    c.Tree(w_->SolveControl, false);
    collected_ = c.texts.size();
    // TERVALIS_DUMP_TEXTS=1 lists what was collected, for a review by eye.
    if (qEnvironmentVariableIsSet("TERVALIS_DUMP_TEXTS"))
        for (const auto& [where, text] : c.texts)
            qInfo().noquote() << where << "|" << text;
    QStringList bad;
    for (const auto& [where, text] : c.texts)
        if (german_.German(text)) bad << where + QStringLiteral(": ") + text;
    bad.removeDuplicates();
    return bad;
}

void EnglishInterfaceTest::detectorKnowsGermanAndProperNames() {
    QVERIFY(german_.words.size() > 100);
    QVERIFY(german_.properNames.contains(QStringLiteral("TERVALIS")));
    QVERIFY(german_.German(QStringLiteral("Lösung")));
    QVERIFY(german_.German(QStringLiteral("Linker Rand")));
    QVERIFY(!german_.German(QStringLiteral("Left border of the analysis interval")));
    QVERIFY(!german_.German(QStringLiteral("Deutsch")));
}

void EnglishInterfaceTest::noGermanAfterSwitchingToEnglish() {
    OpenExample();
    QVERIFY(w_->WageBar->isVisible());
    // German first: the texts must follow the switch of an open window, also the hint of
    // a widget the mouse points at.
    QStatusTipEvent pointed(w_->mdiArea()->subWindowList().first()->statusTip());
    QCoreApplication::sendEvent(w_, &pointed);
    QVERIFY(german_.German(w_->HintLine->text()));
    QVERIFY(!GermanTexts().isEmpty());
    w_->SetLanguage(2);
    QTest::qWait(50);
    const QStringList bad = GermanTexts();
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    // The base windows' cells were really collected.
    QCOMPARE(w_->mdiArea()->subWindowList().size(), 4);
    QVERIFY(collected_ > 500);
}

void EnglishInterfaceTest::messagesWhileLoadingAreEnglish() {
    w_->SetLanguage(2);
    // A narrower interval makes loading ask whether to adjust it.
    w_->interval().SetInterval(0, 20, false);
    said_.clear();
    OpenExample();
    QVERIFY(!said_.isEmpty());
    QStringList bad;
    for (const QString& s : said_)
        if (german_.German(s)) bad << s;
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    QCOMPARE(w_->SolveStatusPanel->text(), QStringLiteral("Ok"));
}

void EnglishInterfaceTest::switchingBackRestoresGerman() {
    OpenExample();
    m_->Options.SolveAfterInput = 0;
    m_->Periods.CurrentPeriod = 4;
    w_->PeriodChanged(KindCurrentPeriod);
    w_->SetStatusText(QStringLiteral("Lösen: t > 7##Solve: t > 7"));
    auto* wage = static_cast<PolicyBar*>(w_->WageBar);
    w_->SetLanguage(2);
    QCOMPARE(wage->StatusLabel()->text(), QStringLiteral("Wage bargaining"));
    // Abbreviations too: the print and copy buttons, the wage period of the wage bar.
    QCOMPARE(w_->Button(QStringLiteral("SBDrucken"))->text(), QStringLiteral("Pr"));
    QCOMPARE(w_->Button(QStringLiteral("SBKopieren"))->text(), QStringLiteral("Co"));
    QVERIFY(wage->Label()->text().startsWith(QStringLiteral("WP: ")));
    QCOMPARE(w_->SolveStatusPanel->text(), QStringLiteral("Solve: t > 7"));
    QCOMPARE(w_->StatusText(), QStringLiteral("Lösen: t > 7"));
    // Every state text of both bars fits the narrow status field in both languages.
    QLabel* field = wage->StatusLabel();
    QVERIFY(field->width() > 50);
    for (int language : {1, 2})
        for (int current : {4, 5}) {
            for (const std::string& text : {AnalysisInterval::WageStatus(current, 4, language),
                                            AnalysisInterval::MoneyStatus(current, 4, language)}) {
                const QString shown = QString::fromStdString(text).trimmed();
                QVERIFY2(field->fontMetrics().horizontalAdvance(shown) <= field->width(),
                         qPrintable(shown));
            }
        }
    w_->SetLanguage(1);
    QCOMPARE(wage->StatusLabel()->text(), QStringLiteral("Tarifverhandlung"));
    QCOMPARE(w_->Button(QStringLiteral("SBDrucken"))->text(), QStringLiteral("Dr"));
    QVERIFY(wage->Label()->text().startsWith(QStringLiteral("TZR: ")));
    QCOMPARE(w_->SolveStatusPanel->text(), QStringLiteral("Lösen: t > 7"));
}

void EnglishInterfaceTest::dialogsAndPrintsOfAnEnglishWindowAreEnglish() {
    w_->SetLanguage(2);
    // A dialog of another layer finds the language through its parent window.
    PeriodPrintDialog range(3, 10, 40, w_->mdiArea()->subWindowList().first());
    QCOMPARE(range.windowTitle(), QStringLiteral("Print range"));
    QCOMPARE(range.FromLeftEdgeButton->text(), QStringLiteral("t = 3 (left border)"));
    QCOMPARE(range.ToCurrentButton->text(), QStringLiteral("t = 10 (current)"));
    const QDateTime when(QDate(2026, 12, 9), QTime(8, 30, 5));
    QCOMPARE(SourceFooterText(QStringLiteral("M"), when, QStringLiteral(", p. 2"), 2),
             QStringLiteral("Source: TERVALIS 5.1, model: \"M\" (printed on 09.12.2026 at "
                            "08:30:05), p. 2"));
    QCOMPARE(SourceFooterText(QStringLiteral("M"), when),
             QStringLiteral("Quelle: TERVALIS 5.1, Modell: \"M\" (Druckdatum: 09.12.2026; "
                            "Druckzeit: 08:30:05)"));
    w_->SetLanguage(1);
    PeriodPrintDialog german(3, 10, 40, w_);
    QCOMPARE(german.FromLeftEdgeButton->text(), QStringLiteral("t = 3 (linker Rand)"));
}

// The export dialog's lists: ">" and "<" move the selected items (from the bottom up),
// ">>" and "<<" all in order; the buttons are enabled only when they can act; the focus
// stays on the list the items came from, with the item at the first moved position
// selected.
void EnglishInterfaceTest::exportDialogMovesItemsAndKeepsTheFocus() {
    ExportDialog d(*m_, w_);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QMap<QString, QPushButton*> button;
    for (QPushButton* b : d.findChildren<QPushButton*>())
        button[b->text()] = b;
    for (const char* text : {">", "<", ">>", "<<"})
        QVERIFY2(button.contains(QString::fromLatin1(text)), text);
    auto enabled = [&] {
        return QString::fromLatin1("%1%2%3%4")
            .arg(button[">"]->isEnabled())
            .arg(button[">>"]->isEnabled())
            .arg(button["<"]->isEnabled())
            .arg(button["<<"]->isEnabled());
    };
    const int all = d.Source->count();
    QCOMPARE(all, 63 + 64);
    QCOMPARE(d.Destination->count(), 0);
    QCOMPARE(enabled(), QStringLiteral("1100"));
    const QString second = d.Source->item(1)->text(), fifth = d.Source->item(4)->text();

    // Two selected items arrive in reverse order; the focus stays on the source.
    d.Source->clearSelection();
    d.Source->item(1)->setSelected(true);
    d.Source->item(4)->setSelected(true);
    button[">"]->click();
    QCOMPARE(d.Destination->count(), 2);
    QCOMPARE(d.Destination->item(0)->text(), fifth);
    QCOMPARE(d.Destination->item(1)->text(), second);
    QCOMPARE(d.Source->count(), all - 2);
    QCOMPARE(QApplication::focusWidget(), d.Source);
    QCOMPARE(d.Source->currentRow(), 1);
    QVERIFY(d.Source->item(1)->isSelected());
    QCOMPARE(enabled(), QStringLiteral("1111"));
    QCOMPARE(d.Choice().items.size(), 2u);

    // A double click moves one item back to the end of the source.
    const QPoint at = d.Destination->visualItemRect(d.Destination->item(0)).center();
    QTest::mouseClick(d.Destination->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(d.Destination->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(d.Destination->count(), 1);
    QCOMPARE(d.Source->item(d.Source->count() - 1)->text(), fifth);
    QCOMPARE(QApplication::focusWidget(), d.Destination);

    // ">>" empties the source in order, "<<" the destination.
    button[">>"]->click();
    QCOMPARE(d.Source->count(), 0);
    QCOMPARE(d.Destination->count(), all);
    QCOMPARE(enabled(), QStringLiteral("0011"));
    button["<<"]->click();
    QCOMPARE(d.Destination->count(), 0);
    QCOMPARE(d.Source->count(), all);
    QCOMPARE(enabled(), QStringLiteral("1100"));
    QCOMPARE(QApplication::focusWidget(), d.Destination);
    QVERIFY(d.Choice().items.empty());
}

// The two links (ESA, BPM) write a journal each; neither overwrites the other.
void EnglishInterfaceTest::eachBookingLinkKeepsItsOwnJournal() {
    const QString folder = QString::fromStdString(w_->EditSettings().DataDirectory);
    w_->Action(QStringLiteral("MIDateiValdaESA"))->trigger();
    w_->Action(QStringLiteral("MIDateiValdaBPM"))->trigger();
    w_->Action(QStringLiteral("MIDateiValdaESA"))->trigger(); // a second transfer appends
    auto read = [&folder](const char* name) {
        QFile f(folder + QString::fromLatin1(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    const QString esa = read("VALDA-journal-ESA.txt"), bpm = read("VALDA-journal-BPM.txt");
    QVERIFY2(esa.contains(QStringLiteral("\n5 0\n")) && !esa.contains(QStringLiteral("\n5 1\n")),
             qPrintable(esa));
    QVERIFY2(bpm.contains(QStringLiteral("\n5 1\n")) && !bpm.contains(QStringLiteral("\n5 0\n")),
             qPrintable(bpm));
    QCOMPARE(esa.count(QStringLiteral("\n5 0\n")), 2);
    QVERIFY(!QFile::exists(folder + QStringLiteral("VALDA-journal.txt")));
}

namespace {

// The subwindow an action lives in (its own system menu, a window's context menu), or null
// for the main window's actions.
QMdiSubWindow* OwningSubWindow(QObject* o) {
    for (; o; o = o->parent())
        if (auto* s = qobject_cast<QMdiSubWindow*>(o)) return s;
    return nullptr;
}

// Catches the shortcut events of actions instead of running the commands behind them.
struct ShortcutRecorder : QObject {
    QList<QAction*> reached;
    QList<QAction*> ambiguous;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Shortcut) return false;
        auto* a = qobject_cast<QAction*>(o);
        (static_cast<QShortcutEvent*>(e)->isAmbiguous() ? ambiguous : reached) << a;
        return true;
    }
};

QList<QAction*> MenuActions(QMenu* menu) {
    QList<QAction*> all;
    for (QAction* a : menu->actions()) {
        if (a->menu())
            all << MenuActions(a->menu());
        else if (!a->isSeparator())
            all << a;
    }
    return all;
}

} // namespace

void EnglishInterfaceTest::noKeySequenceIsClaimedTwice() {
    // Every kind of window the keys may reach: the base windows and the total input.
    w_->Action(QStringLiteral("MIModellbauTotal"))->trigger();
    QTest::qWait(50);
    QMap<QString, QList<QAction*>> byKey;
    for (QAction* a : w_->findChildren<QAction*>())
        for (const QKeySequence& k : a->shortcuts())
            byKey[k.toString()] << a;
    QStringList clashes;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        const QList<QAction*>& actions = it.value();
        for (int i = 0; i < actions.size(); ++i)
            for (int j = i + 1; j < actions.size(); ++j) {
                QMdiSubWindow* a = OwningSubWindow(actions[i]);
                QMdiSubWindow* b = OwningSubWindow(actions[j]);
                // Two windows' own keys never meet; the main window's meet every window's.
                if (a && b && a != b) continue;
                clashes << it.key() + QStringLiteral(": ") + actions[i]->text() +
                               QStringLiteral(" / ") + actions[j]->text();
            }
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
}

void EnglishInterfaceTest::everyMenuShortcutReachesItsEntry() {
    QList<QAction*> entries;
    for (QAction* a : w_->menuBar()->actions())
        if (a->menu()) entries << MenuActions(a->menu());
    ShortcutRecorder recorder;
    int keys = 0;
    for (QAction* a : entries)
        a->installEventFilter(&recorder);
    // The focus in each base window in turn, as a user who clicked into it has it.
    for (QMdiSubWindow* window : w_->mdiArea()->subWindowList()) {
        w_->mdiArea()->setActiveSubWindow(window);
        QWidget* target = window->widget() ? window->widget() : window;
        target->setFocus();
        QTest::qWait(10);
        QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : w_;
        for (QAction* a : entries) {
            if (a->shortcut().isEmpty() || !a->isEnabled()) continue;
            // F1 is context help: a window with a help topic of its own answers it.
            if (a->shortcut() == QKeySequence(QKeySequence::HelpContents)) continue;
            recorder.reached.clear();
            recorder.ambiguous.clear();
            const QKeyCombination k = a->shortcut()[0];
            QTest::keyClick(focused, k.key(), k.keyboardModifiers());
            ++keys;
            const QString what = a->shortcut().toString() + QStringLiteral(" ") + a->text() +
                                 QStringLiteral(" in ") + window->windowTitle();
            QVERIFY2(recorder.ambiguous.isEmpty(), qPrintable(what + QStringLiteral(" ambiguous")));
            QVERIFY2(recorder.reached == QList<QAction*>{a}, qPrintable(what));
        }
    }
    QVERIFY(keys > 4 * 20);
    for (QAction* a : entries)
        a->removeEventFilter(&recorder);
}

QTEST_MAIN(EnglishInterfaceTest)
#include "EnglishInterfaceTest.moc"
