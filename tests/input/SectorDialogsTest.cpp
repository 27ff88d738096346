#include "input/SectorDialogs.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Catalogue.h"
#include "core/InputSession.h"
#include "input/InputCommands.h"
#include "windows/EquationSystem.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>

using namespace tv;

namespace {

Model At(int current) {
    Model m = test::StartModel();
    m.Periods.CurrentPeriod = current;
    m.Periods.LastSolved = m.Periods.RightEdge;
    return m;
}

QString Plain(QString s) {
    return s.remove(QLatin1Char('&'));
}

// The option control whose caption starts with `caption`, on the dialog's current page.
template <class T> T* Find(InputDialog& d, const QString& caption) {
    for (T* w : d.Notebook->currentWidget()->findChildren<T*>())
        if (Plain(w->text()).startsWith(caption)) return w;
    return nullptr;
}

bool Shows(const InputDialog& d, int n) {
    const auto& c = d.VisibleColumns();
    return std::find(c.begin(), c.end(), n) != c.end();
}

enum class Flag { None, Interval, All };

} // namespace

class SectorDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { DialogStartPage() = {1, 1, 1, 1, 1, 0}; }

    // Each option writes its switch at once, the grid follows the new structure, and
    // closing sets the recalculation flag that the switch asks for.
    void optionsWriteTheirSwitches() {
        struct Case {
            int sector, page;
            const char* control; // caption start, or "combo:<index on page>"
            int k, before, after;
            int shown, hidden; // parameters the grid shows / no longer shows (0: none)
            Flag flag;
        };
        const Case cases[] = {
            {1, 1, "verteilungsabhängig", 1, 0, 1, 3, 2, Flag::All},
            {1, 1, "Fehlerkorrektur", 2, 0, 1, 0, 0, Flag::Interval},
            {1, 2, "Akzelerator", 3, 0, 1, 8, 7, Flag::Interval},
            {1, 2, "mit Abschreibung", 4, 0, 1, 0, 0, Flag::None}, // accelerator off: inert
            {2, 1, "combo:0", 6, 0, 1, 18, 16, Flag::All},
            {2, 1, "abs", 7, 0, 1, 0, 0, Flag::All},
            {2, 2, "combo:1", 11, 0, 1, 27, 26, Flag::Interval},
            {2, 3, "combo:0", 12, 0, 2, 28, 31, Flag::All},
            {2, 4, "combo:0", 14, 0, 1, 33, 32, Flag::All},
            {3, 2, "verteilungsabhängig", 16, 0, 1, 41, 39, Flag::All},
            {4, 1, "wertpapiermarkträumend", 17, 0, 2, 0, 47, Flag::All},
            {4, 1, "vollständig", 17, 2, 1, 0, 0, Flag::Interval},
            {4, 3, "GKS", 18, 0, 1, 57, 52, Flag::All},
            {4, 3, "dyn.", 20, 0, 1, 54, 52, Flag::All},
            {5, 1, "flexible", 21, 0, 1, 0, 0, Flag::All},
            {5, 1, "feste", 21, 1, 0, 0, 0, Flag::All},
        };
        for (const Case& c : cases) {
            const QString what = QStringLiteral("sector %1 switch %2 via %3")
                                     .arg(c.sector)
                                     .arg(c.k)
                                     .arg(QString::fromUtf8(c.control));
            Model m = At(5);
            m.Switch[c.k] = static_cast<uint8_t>(c.before);
            test::RecordingHost host;
            auto d = CreateSectorDialog(c.sector, m, host, true, nullptr);
            d->SelectPage(c.page);
            const QString control = QString::fromUtf8(c.control);
            if (control.startsWith(QStringLiteral("combo:"))) {
                const auto combos = d->Notebook->currentWidget()->findChildren<QComboBox*>();
                QComboBox* combo = combos.value(control.mid(6).toInt());
                QVERIFY2(combo, qPrintable(what));
                QCOMPARE(combo->currentIndex(), c.before);
                combo->setCurrentIndex(c.after);
                emit combo->activated(c.after);
            } else if (auto* box = Find<QCheckBox>(*d, control)) {
                QVERIFY2(box->isChecked() == (c.before == 1), qPrintable(what));
                if (box->isEnabled())
                    box->click();
                else
                    continue; // a disabled box writes nothing; its case only checks that
            } else {
                auto* radio = Find<QRadioButton>(*d, control);
                QVERIFY2(radio, qPrintable(what));
                radio->click();
                QVERIFY2(radio->isChecked(), qPrintable(what));
            }
            QVERIFY2(m.Sw(c.k) == c.after, qPrintable(what));
            QCOMPARE(d->CurrentPage(), c.page);
            if (c.shown) QVERIFY2(Shows(*d, c.shown), qPrintable(what));
            if (c.hidden) QVERIFY2(!Shows(*d, c.hidden), qPrintable(what));
            m.RecalcAll = m.RecalcInterval = 0;
            QVERIFY(d->CloseWith(InputClose::All));
            QVERIFY2(m.Sw(c.k) == c.after, qPrintable(what));
            QVERIFY2(m.RecalcAll == (c.flag == Flag::All), qPrintable(what));
            QVERIFY2(m.RecalcInterval == (c.flag == Flag::Interval), qPrintable(what));
        }
    }

    void cancelRestoresSwitchesAndParameterName() {
        Model m = At(5);
        test::RecordingHost host;
        BondMarketDialog d(m, host, true);
        d.SelectPage(3);
        const std::string before = ParamName(54, m.Sw(18) == 1);
        Find<QCheckBox>(d, QStringLiteral("GKS"))->click();
        Find<QCheckBox>(d, QStringLiteral("dyn."))->click();
        QCOMPARE(m.Sw(18), 1);
        QVERIFY(Shows(d, 54));
        QVERIFY(ParamName(54, m.Sw(18) == 1).find("gMBN") != std::string::npos);
        d.reject();
        QCOMPARE(m.Sw(18), 0);
        QCOMPARE(m.Sw(20), 0);
        QCOMPARE(ParamName(54, m.Sw(18) == 1), before);
        QCOMPARE(ParamName(54), before); // the catalogue never changes
        QCOMPARE(m.RecalcAll, 0);
    }

    void bondButtonsFollowTheRate() {
        Model m = At(5);
        m.Switch[17] = 0;
        test::RecordingHost host;
        BondMarketDialog d(m, host, true);
        QVERIFY(!d.BondComplete->isEnabled());
        QVERIFY(d.RateExogenous->isChecked());
        QVERIFY(d.Formula->isHidden());
        d.RateClearing->click();
        QCOMPARE(m.Sw(17), 2);
        QVERIFY(d.BondMoneyOnly->isChecked() && d.BondComplete->isEnabled());
        d.BondComplete->click();
        d.RateClearing->click(); // already endogenous: keeps the bond-market choice
        QCOMPARE(m.Sw(17), 1);
        d.SelectPage(2);
        QVERIFY(!d.Formula->isHidden());
        d.reject();
    }

    void spinsStayInTheirBoundsAndEnable() {
        Model m = At(5);
        m.Switch[14] = 0;
        test::RecordingHost host;
        SupplyDialog d(m, host, true);
        d.SelectPage(4);
        QVERIFY(!d.WagePeriods->isEnabled());
        QCOMPARE(d.WagePeriodGroup->palette().color(QPalette::WindowText), QColor(128, 128, 128));
        auto* level = d.Notebook->currentWidget()->findChildren<QComboBox*>().value(0);
        level->setCurrentIndex(2);
        emit level->activated(2);
        QVERIFY(d.WagePeriods->isEnabled());
        d.WagePeriods->setValue(40);
        QCOMPARE(m.Sw(23), 15);
        d.WagePeriods->setValue(0);
        QCOMPARE(m.Sw(23), 1);
        QCOMPARE(d.WagePeriodLabel->text(), QStringLiteral("Periode"));
        d.WagePeriods->setValue(3);
        QCOMPARE(d.WagePeriodLabel->text(), QStringLiteral("Perioden"));
        d.SelectPage(3);
        auto* adjust = d.Notebook->currentWidget()->findChildren<QSpinBox*>().value(0);
        adjust->setValue(500);
        QCOMPARE(m.Sw(13), 99);
        // Typed: a sign clamps to the bound; no whole number is refused with a message.
        for (auto [typed, value, said] : {std::tuple{"-5", 1, 0u}, {"2,5", 1, 1u}}) {
            adjust->selectAll();
            QTest::keyClicks(adjust, QString::fromLatin1(typed));
            adjust->interpretText(); // as Enter or leaving the box does
            QTRY_COMPARE(host.messages.size(), size_t(said));
            QCOMPARE(m.Sw(13), value);
        }
        d.reject();
        QCOMPARE(m.Sw(14), 0);
    }

    // Digits typed into an option spin box stay in that spin box, however often the page is
    // rebuilt while typing: no digit may land in the parameter grid.
    void typedDigitsStayInTheSpinBox() {
        int spins = 0;
        const Model reference = At(5);
        for (int sector = 1; sector <= 5; ++sector) {
            Model probe = At(5);
            const int pages = InputSession(probe, sector, true).PageCount();
            for (int page = 1; page <= pages; ++page) {
                for (const char* typed : {"12", "25", "40"}) {
                    Model m = At(5);
                    m.Switch[14] = 1; // the wage-period spin is enabled
                    m.Switch[20] = 1; // the monetary-period spin is enabled
                    m.Switch[12] = 1;
                    test::RecordingHost host;
                    auto d = CreateSectorDialog(sector, m, host, true, nullptr);
                    d->SelectPage(page);
                    d->show();
                    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
                    const auto boxes = d->Notebook->currentWidget()->findChildren<QSpinBox*>();
                    for (int i = 0; i < boxes.size(); ++i) {
                        // Each spin box is found again: a rebuild may replace widgets.
                        QSpinBox* box =
                            d->Notebook->currentWidget()->findChildren<QSpinBox*>().value(i);
                        QVERIFY(box && box->isEnabled());
                        if (QString::fromLatin1(typed) == QStringLiteral("12")) ++spins;
                        const QString what = QStringLiteral("sector %1 page %2 spin %3 '%4'")
                                                 .arg(sector)
                                                 .arg(page)
                                                 .arg(i)
                                                 .arg(QString::fromLatin1(typed));
                        const auto cell = [&d](int c) {
                            QTableWidgetItem* item = d->Grid->item(1, c);
                            return item ? item->text() : QString();
                        };
                        std::vector<QString> cells;
                        for (int c = 0; c < d->Grid->columnCount(); ++c)
                            cells.push_back(cell(c));
                        QTest::mouseClick(box, Qt::LeftButton);
                        box->setFocus();
                        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
                        QVERIFY2(box->hasFocus(), qPrintable(what));
                        QVERIFY2(!d->Editing(), qPrintable(what));
                        const int shown = std::clamp(QString::fromLatin1(typed).toInt(),
                                                     box->minimum(), box->maximum());
                        // What is typed stays as typed; beyond the range it clamps on leaving.
                        QVERIFY2(box->cleanText() == QString::fromLatin1(typed), qPrintable(what));
                        QTest::keyClick(box, Qt::Key_Tab); // leaving the box applies it
                        QVERIFY2(box->value() == shown, qPrintable(what));
                        // A step by arrow key applies at once and keeps the focus too.
                        box->setFocus();
                        QTest::keyClick(box, Qt::Key_Up);
                        QVERIFY2(box->hasFocus(), qPrintable(what));
                        QVERIFY2(box->value() == std::min(shown + 1, box->maximum()),
                                 qPrintable(what));
                        QTest::keyClicks(box, QStringLiteral("7"));
                        QVERIFY2(box->hasFocus() && !d->Editing(), qPrintable(what));
                        for (int c = 0; c < d->Grid->columnCount(); ++c)
                            QVERIFY2(cell(c) == cells[c], qPrintable(what));
                        for (int n = 1; n <= ParCount; ++n)
                            QVERIFY2(d->Session().WorkValue(n) == d->Session().OpeningValue(n),
                                     qPrintable(what));
                    }
                    QVERIFY(d->CloseWith(InputClose::All));
                    for (int t = 0; t <= m.Periods.RightEdge; ++t)
                        for (int n = 1; n <= ParCount; ++n)
                            QVERIFY2(
                                m.ModelPar(t, n) == reference.ModelPar(t, n),
                                qPrintable(QStringLiteral("sector %1 page %2 parameter %3 t %4")
                                               .arg(sector)
                                               .arg(page)
                                               .arg(n)
                                               .arg(t)));
                }
            }
        }
        QCOMPARE(spins, 3); // price variation, wage period, monetary target period
    }

    // What assistive technology sees and does: a toggled check box writes its switch, radio
    // buttons are radio buttons, grid headings read as the plain symbol.
    void accessibleOptionsAndHeadings() {
        int boxes = 0, radios = 0, headings = 0;
        for (int sector = 1; sector <= 5; ++sector) {
            Model probe = At(5);
            const int pages = InputSession(probe, sector, true).PageCount();
            for (int page = 1; page <= pages; ++page) {
                Model m = At(5);
                m.Switch[3] = 1; // "mit Abschreibung" is enabled
                test::RecordingHost host;
                auto d = CreateSectorDialog(sector, m, host, true, nullptr);
                d->SelectPage(page);
                d->show();
                QVERIFY(QTest::qWaitForWindowExposed(d.get()));
                for (QCheckBox* box : d->Notebook->currentWidget()->findChildren<QCheckBox*>()) {
                    if (!box->isEnabled()) continue;
                    const Switches before = m.Switch;
                    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
                    QVERIFY(a && a->actionInterface());
                    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
                    QVERIFY2(m.Switch != before, qPrintable(box->text()));
                    ++boxes;
                }
                for (QRadioButton* r :
                     d->Notebook->currentWidget()->findChildren<QRadioButton*>()) {
                    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(r);
                    QVERIFY2(a && a->role() == QAccessible::RadioButton, qPrintable(r->text()));
                    ++radios;
                }
                QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(d->Grid);
                QVERIFY(grid && grid->tableInterface());
                const auto& columns = d->VisibleColumns();
                for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
                    QAccessibleInterface* cell = grid->tableInterface()->cellAt(0, k + 1);
                    QVERIFY(cell);
                    const QString name = cell->text(QAccessible::Name);
                    QCOMPARE(name,
                             QString::fromStdString(ParamSymbol(columns[k], 5, 1, m.Sw(18) == 1)));
                    QVERIFY2(!name.contains(QLatin1Char('~')) && !name.contains(QChar(0xA7)),
                             qPrintable(name));
                    ++headings;
                }
                d->reject();
            }
        }
        QVERIFY(boxes >= 8);
        QCOMPARE(radios, 6);
        QVERIFY(headings > 30);
    }

    // "Seite Ok" by its shortcut leaves the focus in the spin box: the typed number counts.
    void closingTakesTheNumberBeingTyped() {
        Model m = At(5);
        m.Switch[14] = 1;
        test::RecordingHost host;
        SupplyDialog d(m, host, true);
        d.SelectPage(4);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.WagePeriods->setFocus();
        QTest::keyClick(d.WagePeriods, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d.WagePeriods, QStringLiteral("9"));
        QVERIFY(d.CloseWith(InputClose::Page));
        QCOMPARE(m.Sw(23), 9);
        QCOMPARE(m.RecalcAll, 1);
    }

    void wageShareIsForcedByEndogenousPrices() {
        Model m = At(5);
        m.Switch[12] = 1;
        m.Switch[15] = 0;
        test::RecordingHost host;
        DistributionDialog d(m, host, true);
        QCOMPARE(m.Sw(15), 1);
        QVERIFY(d.WageShareEndogenous->isChecked());
        QVERIFY(!d.WageShareEndogenous->isEnabled());
        d.reject();

        m.Switch[12] = 0;
        m.Switch[14] = 0;
        DistributionDialog free(m, host, true);
        QVERIFY(free.WageShareEndogenous->isEnabled());
        free.reject();
    }

    void englishCaptions() {
        Model m = At(5);
        m.Language = 2;
        m.Switch[21] = 1;
        test::RecordingHost host;
        ExchangeMarketDialog d(m, host, true);
        QVERIFY(Find<QRadioButton>(d, QStringLiteral("flexible exchange rates"))->isChecked());
        QCOMPARE(d.MarketEquation->text(),
                 QStringLiteral("Foreign Exchange Market: FN = FA (Equilibrium Condition)"));
        d.reject();
    }

    void flexibleRatesEndActualIncomeExpectations() {
        struct Case {
            int rate;
            std::array<int, 3> methods, expected;
            bool changed;
        };
        const Case cases[] = {
            {1, {1, 1, 3}, {2, 2, 3}, true},
            {1, {2, 3, 4}, {2, 3, 4}, false},
            {0, {1, 1, 1}, {1, 1, 1}, false},
        };
        for (const Case& c : cases) {
            Model m = At(5);
            m.Switch[21] = static_cast<uint8_t>(c.rate);
            for (int i = 0; i < 3; ++i)
                m.Expect[i].Method = static_cast<uint8_t>(c.methods[i]);
            m.Expect[3].Method = 1;
            m.RecalcInterval = 0;
            QCOMPARE(SwitchIncomeExpectationsForFlexibleRates(m), c.changed);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(int(m.Expect[i].Method), c.expected[i]);
            QCOMPARE(int(m.Expect[3].Method), 1); // the demand expectation is not income
            QCOMPARE(m.RecalcInterval, c.changed ? 1 : 0);
        }
    }

    // Offscreen pictures of one page per sector in both languages, to look at.
    void screenshots() {
        const QString dir = qEnvironmentVariable("TERVALIS_SHOTS");
        if (dir.isEmpty()) QSKIP("TERVALIS_SHOTS not set");
        QDir().mkpath(dir);
        const int pages[] = {2, 4, 1, 3, 1};
        for (int language : {1, 2})
            for (int sector = 1; sector <= 5; ++sector) {
                Model m = At(5);
                m.Language = language;
                m.Switch[14] = 1;
                m.Switch[17] = 2;
                test::RecordingHost host;
                auto d = CreateSectorDialog(sector, m, host, true, nullptr);
                d->SelectPage(pages[sector - 1]);
                d->show();
                QTest::qWait(50);
                d->grab().save(QStringLiteral("%1/sector%2-%3.png")
                                   .arg(dir)
                                   .arg(sector)
                                   .arg(language == 1 ? "de" : "en"));
                d->reject();
            }
    }
};

QTEST_MAIN(SectorDialogsTest)
#include "SectorDialogsTest.moc"
