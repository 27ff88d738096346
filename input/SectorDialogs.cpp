#include "input/SectorDialogs.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberInput.h"
#include "input/RadioButtons.h"
#include "windows/NumberSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

QGroupBox* Group(const QString& caption, QWidget* parent = nullptr) {
    auto* g = new QGroupBox(caption, parent);
    new QVBoxLayout(g);
    return g;
}

void Add(QWidget* group, QWidget* w) {
    static_cast<QBoxLayout*>(group->layout())->addWidget(w);
}

void Add(QWidget* group, QLayout* l) {
    static_cast<QBoxLayout*>(group->layout())->addLayout(l);
}

// A page of option groups stacked from the top.
QWidget* Page(std::initializer_list<QWidget*> groups) {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget* g : groups)
        l->addWidget(g);
    l->addStretch();
    return page;
}

// Grey (128, 128, 128) while the control it names is disabled, black otherwise.
void Grey(QWidget* w, bool grey) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, grey ? QColor(128, 128, 128) : QColor(Qt::black));
    w->setPalette(p);
}

} // namespace

// ---------------------------------------------------------------- common part

SectorDialog::SectorDialog(Model& m, UserHost& host, int sector, bool permanentDefault,
                           QWidget* parent)
    : InputDialog(m, host, sector, permanentDefault, parent) {}

QCheckBox* SectorDialog::AddCheck(QWidget* parent, const char* caption, int k) {
    auto* box = new QCheckBox(Tr(caption), parent);
    // Toggled, not clicked: a keyboard or screen-reader toggle writes the switch too.
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) {
        if (!refreshing_) SetSwitch(k, on ? 1 : 0);
    });
    refreshers_.push_back([this, box, k] { box->setChecked(m_.Sw(k) == 1); });
    return box;
}

QComboBox* SectorDialog::AddCombo(QWidget* parent, std::vector<const char*> items, int k) {
    auto* combo = new QComboBox(parent);
    for (const char* item : items)
        combo->addItem(Tr(item));
    connect(combo, &QComboBox::activated, this, [this, k](int index) { SetSwitch(k, index); });
    refreshers_.push_back([this, combo, k] { combo->setCurrentIndex(m_.Sw(k)); });
    return combo;
}

QRadioButton* SectorDialog::AddRadio(QWidget* parent, const char* caption, int k, int value,
                                     std::function<bool()> writes) {
    auto* radio = new QRadioButton(Tr(caption), parent);
    DecoupleRadioButton(radio); // the switches decide what is checked
    connect(radio, &QRadioButton::clicked, this, [this, k, value, writes] {
        if (!writes || writes())
            SetSwitch(k, value);
        else
            ShowPage();
    });
    return radio;
}

QSpinBox* SectorDialog::AddSpin(QWidget* parent, int k, int low, int high) {
    auto* spin = new NumberSpinBox(parent);
    spin->setRange(low, high);
    spin->OnNotANumber = [this] { RefuseNotANumber(host_); };
    // A typed number is applied when it is complete (Enter, leaving the box), not after its
    // first digit: applying rebuilds the page.
    spin->setKeyboardTracking(false);
    connect(spin, &QSpinBox::valueChanged, this, [this, k, low, high](int v) {
        if (refreshing_) return;
        SetSwitch(k, std::clamp(v, low, high));
    });
    refreshers_.push_back([this, spin, k, low, high] {
        spin->setValue(std::clamp(static_cast<int>(m_.Sw(k)), low, high));
    });
    return spin;
}

void SectorDialog::UseFullWidth(bool full) {
    // The stacked pages size to the widest one: bound the narrow pages explicitly.
    SetFormulaVisible(!full);
    Notebook->setMinimumWidth(full ? 540 : 150);
    Notebook->setMaximumWidth(full ? QWIDGETSIZE_MAX : 190);
}

void SectorDialog::Ready() {
    ready_ = true;
    ShowPage();
}

void SectorDialog::PageShown(int page) {
    if (!ready_) return;
    refreshing_ = true;
    for (auto& refresh : refreshers_)
        refresh();
    RefreshPage(page);
    refreshing_ = false;
}

// ---------------------------------------------------------------- goods demand

DemandDialog::DemandDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent)
    : SectorDialog(m, host, 1, permanentDefault, parent) {
    SetHelpTopics(113, {0, 114, 115, 116, 117});

    auto* form = Group(Tr("Funktionalform##Functional Options"));
    Add(form, AddCheck(form, "&verteilungsabhängig##Income &Group Dependent", 1));
    Add(form, AddCheck(form, "F&ehlerkorrektur##&Error Correction", 2));
    SetOptionPage(1, Page({form}));

    auto* invest = Group(Tr("Funktionalform##Functional Options"));
    Accelerator = AddCheck(invest, "Ak&zelerator##Acce&lerator", 3);
    WithDepreciation = new QCheckBox(invest);
    WithDepreciation->setText(Tr("mit##with") + QStringLiteral(" ") +
                              Tr("A&bschreibung##Dep&reciation"));
    WithDepreciation->setToolTip(Tr("| Falls markiert, stellt die negative Abschreibung die "
                                    "Untergrenze für akzeleratorinduzierte Investitionen dar##| "
                                    "If checked, negative depreciation is the lower limit of "
                                    "accelerator-induced investment")
                                     .mid(2));
    connect(WithDepreciation, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) SetSwitch(4, on ? 1 : 0);
    });
    Add(invest, Accelerator);
    auto* indent = new QHBoxLayout;
    indent->addSpacing(18);
    indent->addWidget(WithDepreciation);
    Add(invest, indent);
    Add(invest, AddCheck(invest, "F&ehlerkorrektur##&Error Correction", 5));
    SetOptionPage(2, Page({invest}));
    Ready();
}

void DemandDialog::RefreshPage(int) {
    WithDepreciation->setChecked(m_.Sw(4) == 1);
    WithDepreciation->setEnabled(m_.Sw(3) == 1);
}

// ---------------------------------------------------------------- goods supply

SupplyDialog::SupplyDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent)
    : SectorDialog(m, host, 2, permanentDefault, parent) {
    SetHelpTopics(22, {0, 121, 123, 122, 124});

    auto* tech = Group(Tr("Technologie##Technology"));
    Add(tech, AddCombo(tech, {"limitational", "substitutional"}, 6));
    QCheckBox* limit = AddCheck(tech, "abs&ol. ", 7);
    limit->setText(Tr("abs&ol. ") + Tr("Kapazitätsgrenze##Capacity Limit"));
    limit->setToolTip(Tr("Falls markiert, kann Kapazitätsgrenze auch kurzfristig nicht "
                         "überschritten werden##If checked, the capacity limit cannot be exceeded "
                         "even in the short run"));
    QCheckBox* stock = AddCheck(tech, "e&xog. ", 8);
    stock->setText(Tr("e&xog. ") + Tr("Kapitalstock##Capital Stock"));
    stock->setToolTip(Tr("Falls markiert, gilt der exogen vorgegebene Kapitalstock, "
                         "andernfalls wird der Wert für t=0 ab t=1 gemäß Investitionsfunktion "
                         "fortgeschrieben##If checked, the exogenous capital stock holds; "
                         "otherwise the value for t=0 is carried forward from t=1 by the "
                         "investment function"));
    Add(tech, limit);
    Add(tech, stock);
    SetOptionPage(1, Page({tech}));

    auto* view = Group(Tr("Sichtweise##Perspective"));
    Add(view, AddCombo(view,
                       {"angebotsgesteuert##supply-side driven",
                        "nachfragegesteuert##demand-side driven"},
                       9));
    auto* foreign = Group(Tr("Auslandspreisniveau##Foreign Price Level"));
    Add(foreign, AddCombo(foreign, {"statisch##static", "dynamisch##dynamic"}, 11));
    SetOptionPage(2, Page({view, foreign}));

    auto* pricing = Group(Tr("Preissetzung##Pricing"));
    Add(pricing, AddCombo(pricing,
                          {"exogen##exogenous", "gewinnmaximierend##profit maximizing",
                           "Markup-Preisbildung##markup pricing"},
                          12));
    auto* variation = Group(Tr("Preisanpassung##Price Variation"));
    auto* row = new QHBoxLayout;
    QSpinBox* adjust = AddSpin(variation, 13, 1, 99);
    auto* excess = new QLabel(Tr("NÜ##ED"), variation);
    excess->setToolTip(Tr("rel. ") + Tr("Nachfrageüberschuss##Excess Demand"));
    row->addWidget(adjust);
    row->addWidget(new QLabel(QStringLiteral("% * rel."), variation));
    row->addWidget(excess);
    row->addStretch();
    Add(variation, row);
    SetOptionPage(3, Page({pricing, variation}));

    auto* wage = Group(Tr("Lohnniveau##Wage Level"));
    wage->setToolTip(Tr("ELA = Effektivlohnanpassung##AAE = Adjustement of Actual Wages"));
    const QString withoutAaw = Tr("endog. (") + Tr("ohne##without") + QStringLiteral(" ") +
                               Tr("ELA##AAW") + QStringLiteral(")");
    const QString withAaw = Tr("endog. (") + Tr("mit##with") + QStringLiteral(" ") +
                            Tr("ELA##AAW") + QStringLiteral(")");
    QComboBox* level = AddCombo(wage, {"exogen##exogenous", "", ""}, 14);
    level->setItemText(1, withoutAaw);
    level->setItemText(2, withAaw);
    Add(wage, level);
    WagePeriodGroup = Group(Tr("Tarifzeitraumlänge##Length of Wage Period"));
    auto* periodRow = new QHBoxLayout;
    WagePeriods = AddSpin(WagePeriodGroup, 23, 1, 15);
    WagePeriodLabel = new QLabel(WagePeriodGroup);
    periodRow->addWidget(WagePeriods);
    periodRow->addWidget(WagePeriodLabel);
    periodRow->addStretch();
    Add(WagePeriodGroup, periodRow);
    SetOptionPage(4, Page({wage, WagePeriodGroup}));
    Ready();
}

void SupplyDialog::RefreshPage(int) {
    const bool on = m_.Sw(14) != 0;
    WagePeriods->setEnabled(on);
    WagePeriodLabel->setText(Tr("Periode##Period") +
                             (WagePeriods->value() >= 2 ? Tr("n##s") : QString()));
    Grey(WagePeriodGroup, !on);
    Grey(WagePeriodLabel, !on);
}

// ---------------------------------------------------------------- (re-)distribution

DistributionDialog::DistributionDialog(Model& m, UserHost& host, bool permanentDefault,
                                       QWidget* parent)
    : SectorDialog(m, host, 3, permanentDefault, parent) {
    SetHelpTopics(24, {0, 28, 26, 112});

    auto* share = Group(Tr("Lohnquote##Wage Share Ratio"));
    WageShareEndogenous = AddCheck(share, "endogen##endogenous", 15);
    Add(share, WageShareEndogenous);
    SetOptionPage(1, Page({share}));

    auto* form = Group(Tr("Funktionalform##Functional Options"));
    Add(form, AddCheck(form, "&verteilungsabhängig##Income &Group Dependent", 16));
    SetOptionPage(2, Page({form}));

    // Endogenous prices or wages leave no room for an exogenous wage share.
    wageShareForced_ = m_.Sw(12) != 0 || m_.Sw(14) != 0;
    if (wageShareForced_) m_.Switch[15] = 1;
    Ready();
}

void DistributionDialog::RefreshPage(int) {
    WageShareEndogenous->setEnabled(!wageShareForced_);
}

// ---------------------------------------------------------------- bond market

BondMarketDialog::BondMarketDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent)
    : SectorDialog(m, host, 4, permanentDefault, parent) {
    SetHelpTopics(27, {0, 118, 120, 119});

    auto* rate = Group(Tr("Zinsniveau##Interest Rate"));
    RateExogenous = AddRadio(rate, "exogen##exogenous", 17, 0);
    RateClearing = AddRadio(rate, "&wertpapiermarkträumend##clearing the &bond market", 17, 2,
                            [this] { return m_.Sw(17) == 0; });
    Add(rate, RateExogenous);
    Add(rate, RateClearing);
    auto* bonds = Group(Tr("Abbildung des Wertpapiermarktes##Modelling of the Bond Market"));
    BondComplete = AddRadio(
        bonds, "vollständig (Geld- und Kapitalmarkt)##complete (Money Market and Capital Market)",
        17, 1);
    BondMoneyOnly =
        AddRadio(bonds, "unvollständig (nur Geldmarkt)##simplified (only Money Market)", 17, 2);
    Add(bonds, BondComplete);
    Add(bonds, BondMoneyOnly);
    auto* ratePage = new QWidget;
    auto* rl = new QHBoxLayout(ratePage);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(rate, 0, Qt::AlignTop);
    rl->addWidget(bonds, 1, Qt::AlignTop);
    SetOptionPage(1, ratePage);

    auto* supply = Group(Tr("Funktionalform##Functional Options"));
    QCheckBox* creation = AddCheck(supply, "GKS##MCC", 18);
    creation->setToolTip(QStringLiteral("multiple ") +
                         Tr("Geld- und Kreditschöpfung##Money and Credit Creation"));
    QCheckBox* bop = AddCheck(supply, "ZB##BP", 19);
    bop->setText(Tr("ZB##BP") + QStringLiteral("-") + Tr("Einfluß##Influence"));
    bop->setToolTip(Tr("Zahlungsbilanz##Balance of Payments") + QStringLiteral("-") +
                    Tr("Einfluß##Influence"));
    QCheckBox* dynamic = AddCheck(supply, "dyn. ", 20);
    dynamic->setText(QStringLiteral("dyn. ") + Tr("für##for"));
    dynamic->setToolTip(Tr("Wachstumsrate##Growth Rate") + Tr("n##s") + QStringLiteral(" ") +
                        Tr("für##for").remove(QLatin1Char('&')) + QStringLiteral(" ") +
                        Tr("Geldangebot##Money Supply"));
    auto* row = new QHBoxLayout;
    TargetPeriods = AddSpin(supply, 22, 1, 15);
    TargetPeriodsLabel = new QLabel(QStringLiteral("Per."), supply);
    row->addWidget(dynamic);
    row->addWidget(TargetPeriods);
    row->addWidget(TargetPeriodsLabel);
    row->addStretch();
    Add(supply, creation);
    Add(supply, bop);
    Add(supply, row);
    SetOptionPage(3, Page({supply}));
    Ready();
}

void BondMarketDialog::RefreshPage(int page) {
    const int rate = m_.Sw(17);
    RateExogenous->setChecked(rate == 0);
    RateClearing->setChecked(rate != 0);
    BondComplete->setChecked(rate == 1);
    BondMoneyOnly->setChecked(rate == 2);
    BondComplete->setEnabled(rate != 0);
    BondMoneyOnly->setEnabled(rate != 0);
    const bool dynamic = m_.Sw(20) == 1;
    TargetPeriods->setEnabled(dynamic);
    Grey(TargetPeriodsLabel, !dynamic);
    UseFullWidth(page == 1);
}

// ---------------------------------------------------------------- foreign-exchange market

ExchangeMarketDialog::ExchangeMarketDialog(Model& m, UserHost& host, bool permanentDefault,
                                           QWidget* parent)
    : SectorDialog(m, host, 5, permanentDefault, parent) {
    SetHelpTopics(127, {0, 128, 129});

    auto* system = Group(Tr("Wechselkurssystem##Exchange Rate System"));
    QRadioButton* fixed = AddRadio(system, "feste Wechselkurse##fixed exchange rates", 21, 0);
    QRadioButton* flexible =
        AddRadio(system, "flexible Wechselkurse##flexible exchange rates", 21, 1);
    Add(system, fixed);
    Add(system, flexible);
    MarketEquation = new QLabel(system);
    Add(system, MarketEquation);
    fixedRate_ = fixed;
    flexibleRate_ = flexible;
    SetOptionPage(1, Page({system}));
    Ready();
}

void ExchangeMarketDialog::RefreshPage(int page) {
    const bool flexible = m_.Sw(21) == 1;
    fixedRate_->setChecked(!flexible);
    flexibleRate_->setChecked(flexible);
    MarketEquation->setText(
        flexible ? Tr("Devisenmarkt##Foreign Exchange Market") + QStringLiteral(": FN = FA (") +
                       Tr("GG-Bedingung##Equilibrium Condition") + QStringLiteral(")")
                 : Tr("Devisenmarkt##Foreign Exchange Market") + QStringLiteral(": Z = FA - FN"));
    UseFullWidth(page == 1);
}

} // namespace tv
