// The help window over the pages the build made: every context in both languages, the missing
// page, back and forward, search, the language switch, F1, and the main window's help
// commands.

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "logic/HelpPages.h"
#include "services/HelpSystem.h"
#include "services/QtUserHost.h"
#include "windows/ExplanationWindow.h"
#include "windows/WorkingWindow.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace tv;

namespace {

QString Text(HelpWindow* w) {
    return w->Browser()->toPlainText();
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
    int language_ = 1;
    QWidget owner_;

  private slots:
    void init() {
        language_ = 1;
        HelpSystem::Install(&owner_, QStringLiteral(HELP_BUILD_DIR), [this] { return language_; });
    }

    void everyContextOpensItsPageInBothLanguages() {
        for (int language : {1, 2}) {
            language_ = language;
            for (const HelpTarget& t : HelpTargets()) {
                HelpSystem::show(t.context);
                HelpWindow* w = HelpSystem::Window();
                QVERIFY(w && w->isVisible());
                QCOMPARE(w->CurrentPage(), QString::fromLatin1(t.page));
                QCOMPARE(w->Browser()->source().fragment(), QString::fromLatin1(t.anchor));
                QVERIFY2(w->Browser()->source().toLocalFile().contains(
                             QStringLiteral("/%1/").arg(HelpLanguageFolder(language))),
                         qPrintable(w->Browser()->source().toString()));
                const QString title = QString::fromStdString(HelpPageTitle(t.page, language));
                QVERIFY2(Text(w).startsWith(title), qPrintable(title));
                QVERIFY(w->windowTitle().endsWith(title));
            }
        }
    }

    void aContextWithoutPageSaysSo() {
        HelpSystem::show(9999);
        HelpWindow* w = HelpSystem::Window();
        QVERIFY(w->CurrentPage().isEmpty());
        QVERIFY(Text(w).contains(QStringLiteral("Die Hilfeseite 9999 ist nicht vorhanden.")));
        language_ = 2;
        HelpSystem::show(9998);
        QVERIFY(Text(w).contains(QStringLiteral("The help page 9998 is not available.")));
    }

    void helpWithoutPagesSaysSo() {
        HelpSystem::Install(&owner_, QStringLiteral("/nonexistent"), [] { return 1; });
        HelpSystem::show(help::Contents);
        QVERIFY(Text(HelpSystem::Window()).contains(QStringLiteral("242 ist nicht vorhanden")));
    }

    void backAndForwardRetraceThePages() {
        HelpSystem::show(help::FileMenu);
        HelpSystem::show(help::SolveOptions);
        HelpWindow* w = HelpSystem::Window();
        w->Browser()->backward();
        QCOMPARE(w->CurrentPage(), QStringLiteral("menu-file"));
        w->Browser()->forward();
        QCOMPARE(w->CurrentPage(), QStringLiteral("solution-options"));
        // Links between pages.
        w->Browser()->setSource(
            w->Browser()->source().resolved(QUrl(QStringLiteral("index.html"))));
        QCOMPARE(w->CurrentPage(), QStringLiteral("index"));
    }

    void contentsListEveryPage() {
        HelpSystem::show(help::Contents);
        HelpWindow* w = HelpSystem::Window();
        QStringList pages;
        for (QTreeWidgetItemIterator it(w->ContentsTree()); *it; ++it)
            pages << (*it)->data(0, Qt::UserRole).toString();
        QCOMPARE(pages.size(), int(HelpPages().size()));
        // Every page but the start page is linked from the start page.
        for (const HelpPage& p : HelpPages())
            if (QLatin1String(p.name) != QLatin1String("index"))
                QVERIFY2(w->Browser()->toHtml().contains(QStringLiteral("%1.html").arg(p.name)),
                         p.name);
    }

    void searchFindsThePagesWithEveryWord() {
        struct Case {
            int language;
            QString query;
            QString page; // among the hits; empty: no hits at all
        };
        const Case cases[] = {
            {1, QStringLiteral("Akzelerator"), QStringLiteral("sector-demand")},
            {2, QStringLiteral("accelerator"), QStringLiteral("sector-demand")},
            {2, QStringLiteral("Speculative money"), QStringLiteral("sector-bonds")},
            {1, QStringLiteral("f[NK]"), QStringLiteral("sector-exchange")},
            {2, QStringLiteral("STOP"), QStringLiteral("solution-control")},
            {2, QStringLiteral("zzqx nothing"), QString()},
        };
        for (const Case& c : cases) {
            language_ = c.language;
            HelpSystem::show(help::Contents);
            HelpWindow* w = HelpSystem::Window();
            const QStringList hits = w->Search(c.query);
            if (c.page.isEmpty()) {
                QVERIFY(hits.isEmpty());
                w->RunSearch(c.query);
                QCOMPARE(w->SearchResults()->count(), 1);
                QVERIFY(!(w->SearchResults()->item(0)->flags() & Qt::ItemIsEnabled));
                continue;
            }
            QVERIFY2(hits.contains(c.page), qPrintable(c.query + ": " + hits.join(',')));
            w->RunSearch(c.query);
            QCOMPARE(w->SearchResults()->count(), hits.size());
            QCOMPARE(w->CurrentPage(), hits.front());
        }
    }

    void exampleLinksOpenTheModel() {
        QStringList opened;
        HelpSystem::Install(
            &owner_, QStringLiteral(HELP_BUILD_DIR), [this] { return language_; },
            [&opened](const QString& f) { opened << f; });
        HelpSystem::show(help::Examples);
        HelpWindow* w = HelpSystem::Window();
        QVERIFY(w->Browser()->toHtml().contains(QStringLiteral("01-keynesian-cross.TV5")));
        emit w->Browser()->anchorClicked(
            QUrl(QStringLiteral("../../examples/01-keynesian-cross.TV5")));
        QCOMPARE(opened.size(), 1);
        QVERIFY(QFileInfo(opened.front()).isFile());
        QVERIFY(opened.front().endsWith(QStringLiteral("/examples/01-keynesian-cross.TV5")));
        // Links to other pages open them.
        emit w->Browser()->anchorClicked(QUrl(QStringLiteral("menu-file.html")));
        QCOMPARE(w->CurrentPage(), QStringLiteral("menu-file"));
    }

    void theWindowFollowsTheLanguage() {
        HelpSystem::show(116);
        HelpWindow* w = HelpSystem::Window();
        QVERIFY(Text(w).startsWith(QStringLiteral("Güternachfrage")));
        language_ = 2;
        HelpSystem::RefreshLanguage();
        QCOMPARE(w->CurrentPage(), QStringLiteral("sector-demand"));
        QCOMPARE(w->Browser()->source().fragment(), QStringLiteral("cat3"));
        QVERIFY(Text(w).startsWith(QStringLiteral("Demand for Goods")));
        QCOMPARE(w->ContentsTree()->topLevelItem(0)->text(0), QStringLiteral("Contents"));
    }

    void f1OpensTheHelpOfTheWindowItIsPressedIn() {
        QDialog dialog(&owner_);
        SetHelpContext(&dialog, help::SolveOptions);
        auto* edit = new QLineEdit(&dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(HelpSystem::Window()->CurrentPage(), QStringLiteral("solution-options"));
        // A menu of the main menu, by its name.
        QMenu menu;
        menu.setObjectName(QStringLiteral("MIOptionen"));
        QCOMPARE(HelpSystem::ContextOf(&menu), help::OptionsMenu);
        QMenu sub(&menu);
        QCOMPARE(HelpSystem::ContextOf(&sub), help::OptionsMenu);
        // A window without a context of its own keeps the key.
        QWidget plain;
        QCOMPARE(HelpSystem::ContextOf(&plain), 0);
    }

    void dataFoldersAreFoundBesideOrInstalled() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(QDir().mkpath(root + "/build/help"));
        QVERIFY(QDir().mkpath(root + "/usr/lib/tervalis"));
        QVERIFY(QDir().mkpath(root + "/usr/share/tervalis/help"));
        QVERIFY(QDir().mkpath(root + "/usr/share/tervalis/examples"));
        QCOMPARE(ProgramDataFolder(QStringLiteral("help"), root + "/build"), root + "/build/help");
        QCOMPARE(ProgramDataFolder(QStringLiteral("help"), root + "/usr/lib/tervalis"),
                 root + "/usr/share/tervalis/help");
        QCOMPARE(ProgramDataFolder(QStringLiteral("examples"), root + "/usr/lib/tervalis"),
                 root + "/usr/share/tervalis/examples");
        QCOMPARE(ProgramDataFolder(QStringLiteral("examples"), root + "/build"), QString());
    }

    // The main window: its help menu, F1 in a base window, and Web-Support.
    void mainWindowHelp() {
        QTemporaryDir dir;
        Model m;
        m.InitialiseForProgramStart();
        MainWindow w(m, TestProgramOptions(dir.path()));
        QStringList told;
        w.userHost().scriptMessage = [&](const QString& t, const QString& text) {
            told << t + QStringLiteral(": ") + text;
        };
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(!w.findChildren<WorkingWindow*>().isEmpty());
        // The program directory of this test has no pages: the build folder's are found.
        HelpSystem::Install(&w, QStringLiteral(HELP_BUILD_DIR), [&m] { return int(m.Language); });

        struct Case {
            const char* action;
            const char* page;
        };
        for (const Case& c :
             {Case{"MIHilfeHilfe", "using-help"}, Case{"MIHilfeInhalt", "index"},
              Case{"MIHilfeSymbole", "symbols"}, Case{"MIHilfeShortcuts", "shortcuts"}}) {
            w.Action(QString::fromLatin1(c.action))->trigger();
            QCOMPARE(HelpSystem::Window()->CurrentPage(), QString::fromLatin1(c.page));
        }

        // F1 in an equation window opens its page, not the contents.
        QWidget* eq = nullptr;
        for (QWidget* c : w.findChildren<QWidget*>())
            if (c->inherits("tv::EquationWindow")) eq = c;
        QVERIFY(eq);
        QWidget* target = eq->focusWidget() ? eq->focusWidget() : eq;
        QCOMPARE(HelpSystem::ContextOf(target), help::EquationWindow);
        w.activateWindow();
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(HelpSystem::Window()->CurrentPage(), QStringLiteral("equation-windows"));
        // And in the explanation window, its own page.
        ExplanationWindow* why = OpenExplanation(w, var::Y, 2);
        QCOMPARE(HelpSystem::ContextOf(why->Tree), help::Explanation);
        why->Tree->setFocus();
        QTest::keyClick(why->Tree, Qt::Key_F1);
        QCOMPARE(HelpSystem::Window()->CurrentPage(), QStringLiteral("explanation"));
        // Ctrl+W and Escape close the help window; neither reaches the main window.
        for (auto [key, mods] :
             {std::pair{Qt::Key_W, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}}) {
            HelpSystem::show(help::Contents);
            QTest::keyClick(HelpSystem::Window()->Browser(), key, mods);
            QVERIFY(!HelpSystem::Window()->isVisible());
        }
        // Elsewhere in the main window F1 is Help > Contents.
        QCOMPARE(w.Action(QStringLiteral("MIHilfeInhalt"))->shortcut(),
                 QKeySequence(QKeySequence::HelpContents));
        QCOMPARE(HelpSystem::ContextOf(&w), 0);

        // Web-Support without a settings file, then with one that has no address.
        w.Action(QStringLiteral("MIHilfeWebSupport"))->trigger();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.back().contains(QStringLiteral("keine Adresse")), qPrintable(told.back()));
        QFile ini(dir.filePath(QStringLiteral("tv5.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Internet]\nHomepage=\n");
        ini.close();
        w.Action(QStringLiteral("MIHilfeWebSupport"))->trigger();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told.back().contains(QStringLiteral("Ini-Datei enthält keine URL")),
                 qPrintable(told.back()));
        m.Language = 2;
        QFile::remove(dir.filePath(QStringLiteral("tv5.ini")));
        w.Action(QStringLiteral("MIHilfeWebSupport"))->trigger();
        QVERIFY2(told.back().contains(QStringLiteral("No address")), qPrintable(told.back()));
        w.userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        HelpSystem::Install(&owner_, QStringLiteral(HELP_BUILD_DIR), [this] { return language_; });
    }

    // Pictures of the help window for a look at it (TERVALIS_SCREENSHOTS=folder).
    void screenshots() {
        const QString folder = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        for (int language : {1, 2}) {
            language_ = language;
            HelpSystem::show(114);
            HelpWindow* w = HelpSystem::Window();
            QTest::qWait(50);
            w->grab().save(QStringLiteral("%1/help-%2.png")
                               .arg(folder, QString::fromLatin1(HelpLanguageFolder(language))));
        }
    }

    void cleanupTestCase() { HelpSystem::close(); }
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
