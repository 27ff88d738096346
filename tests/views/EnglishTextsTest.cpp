// The diagram and chart windows after a switch to English: every caption, button, label,
// selector entry and tool tip follows, and none is left German. Offscreen; with
// TERVALIS_SHOT_DIR set, each window is also saved as a PNG in English.
#include "DiagramTestFrame.h"
#include "views/AsAdWindow.h"
#include "views/ChartWindows.h"
#include "views/DerivationWindows.h"
#include "views/IncomeWindows.h"
#include "views/QuickGraphWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

using namespace tv;
using namespace tv::test;

namespace {

// Words that give a German text away; umlauts and ß do so on their own.
const QStringList GermanWords = {"und",        "der",
                                 "die",        "für",
                                 "nicht",      "ein",
                                 "mit",        "Kurve",
                                 "Periode",    "Rand",
                                 "Zeigt",      "Blendet",
                                 "Herleitung", "Punkt",
                                 "Pfad",       "Muster",
                                 "Stapel",     "Stapelt",
                                 "Einkommen",  "Zins",
                                 "nichts",     "aktuelle",
                                 "Legende",    "Schaltet",
                                 "Setzt",      "Referenzkurven",
                                 "Kurven",     "Zoomen",
                                 "Vergrößert", "Analyseintervalls",
                                 "Falls",      "rechte",
                                 "immer",      "Abstand"};

QString GermanIn(const QString& text) {
    if (text.contains(QRegularExpression(QStringLiteral("[äöüÄÖÜß]")))) return text;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("[^A-Za-z]+")), Qt::SkipEmptyParts))
        if (GermanWords.contains(word)) return text;
    return {};
}

// Every text a user can see or point at in the window.
QStringList VisibleTexts(WorkingWindow* w) {
    QStringList texts{w->windowTitle()};
    const auto tips = [&texts](QWidget* x) { texts << x->toolTip() << x->statusTip(); };
    tips(w);
    for (QWidget* x : w->findChildren<QWidget*>()) {
        tips(x);
        if (auto* b = qobject_cast<QAbstractButton*>(x)) texts << b->text();
        if (auto* l = qobject_cast<QLabel*>(x)) texts << l->text();
        if (auto* g = qobject_cast<QGroupBox*>(x)) texts << g->title();
        if (auto* c = qobject_cast<QComboBox*>(x))
            for (int k = 0; k < c->count(); ++k)
                texts << c->itemText(k);
        if (auto* t = qobject_cast<QTabWidget*>(x))
            for (int k = 0; k < t->count(); ++k)
                texts << t->tabText(k);
    }
    for (QAction* a : w->findChildren<QAction*>())
        texts << a->text() << a->toolTip();
    texts.removeAll(QString());
    return texts;
}

} // namespace

class EnglishTextsTest : public QObject {
    Q_OBJECT
  private slots:
    void everyWindowFollowsASwitchToEnglish();
};

void EnglishTextsTest::everyWindowFollowsASwitchToEnglish() {
    Model m = OpenFiscalShock();
    m.Language = 1;
    TestFrame f(std::move(m));
    struct Opened {
        const char* name;
        WorkingWindow* window;
    };
    const auto open = [&f](WorkingWindow* w) {
        f.area.addSubWindow(w);
        w->show();
        QCoreApplication::processEvents();
        return w;
    };
    const std::vector<Opened> windows = {
        {"income-price", open(WorkingWindow::Create<AsAdWindow>(f, AsAdPlane::Price))},
        {"income-inflation", open(WorkingWindow::Create<AsAdWindow>(f, AsAdPlane::Inflation))},
        {"income-interest", open(WorkingWindow::Create<IncomeInterestWindow>(f))},
        {"income-expenditure", open(WorkingWindow::Create<IncomeExpenditureWindow>(f))},
        {"lm-derivation", open(WorkingWindow::Create<LMDerivationWindow>(f))},
        {"is-derivation", open(WorkingWindow::Create<ISDerivationWindow>(f))},
        {"z-derivation", open(WorkingWindow::Create<ZDerivationWindow>(f))},
        {"quick-graph", open(WorkingWindow::Create<QuickGraphWindow>(f))},
        {"sequence-chart", open(WorkingWindow::Create<SequenceChartWindow>(f, 1))},
        {"structure", open(WorkingWindow::Create<StructureWindow>(f))},
    };
    // Opened in German, the windows show German.
    for (const Opened& o : windows) {
        bool german = false;
        for (const QString& text : VisibleTexts(o.window))
            german = german || !GermanIn(text).isEmpty();
        QVERIFY2(german, o.name);
    }

    f.m.Language = 2;
    for (const Opened& o : windows)
        o.window->RefreshLanguage();
    for (const Opened& o : windows)
        for (const QString& text : VisibleTexts(o.window))
            QVERIFY2(GermanIn(text).isEmpty(),
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(o.name), text)));

    const QString dir = qEnvironmentVariable("TERVALIS_SHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    for (const Opened& o : windows) {
        for (bool maximised : {false, true}) {
            if (maximised)
                o.window->showMaximized();
            else
                o.window->showNormal();
            // Charts delete replaced items later, as the event loop would.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            o.window->grab().save(dir + QStringLiteral("/%1-en%2.png")
                                            .arg(QLatin1String(o.name),
                                                 maximised ? QStringLiteral("-max") : QString()));
        }
        o.window->showNormal();
    }
}

QTEST_MAIN(EnglishTextsTest)
#include "EnglishTextsTest.moc"
