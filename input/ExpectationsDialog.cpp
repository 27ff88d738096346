#include "input/ExpectationsDialog.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberInput.h"
#include "core/RuleServer.h"
#include "core/UserHost.h"
#include "input/RadioButtons.h"
#include "services/HelpSystem.h"
#include "windows/EquationSystem.h"
#include "windows/NumberSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace tv {

using namespace expect;

namespace {

constexpr int kRulePageIndex = ExpectationCount;
constexpr const char* kErrorTitle = "Regel-Server##Rule Server";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* FirstMethodCaption(int k) {
    switch (k) {
    case Income:
    case WageIncome:
    case ProfitIncome:
        return "tatsächliches Einkommen##Actual Income";
    case Demand:
        return "tatsächliche Nachfrage##Actual Demand";
    case Imports:
        return "tatsächlicher Importwert##Actual Import Value";
    case Inflation:
        return "Nullinflation##Zero Inflation";
    case Productivity:
        return "Nullwachstum##Zero Growth";
    default:
        return "aktueller Wert##Current Value";
    }
}

} // namespace

QRadioButton* ExpectationsDialog::ConventionalPage::Method(int method) const {
    for (const auto& [n, button] : methods)
        if (n == method) return button;
    return nullptr;
}

ExpectationsDialog::ExpectationsDialog(Model& m, UserHost& host, QWidget* parent)
    : QDialog(parent), m_(m), host_(host), edit_(m) {
    setObjectName(QStringLiteral("ExpectationsDialog"));
    setWindowTitle(Tr("Modellbaudialog##Modelling Dialog") + QStringLiteral(": ") +
                   Q(Translate(SectorTitle(6), m_.Language)).remove(QLatin1Char('&')));

    auto* layout = new QVBoxLayout(this);
    ComboBoxVariables = new QComboBox;
    ComboBoxVariables->setObjectName(QStringLiteral("ComboBoxVariables"));
    for (int k = 0; k < ExpectationCount; ++k)
        ComboBoxVariables->addItem(ItemText(k));
    layout->addWidget(ComboBoxVariables);

    auto* kind = new QHBoxLayout;
    Conventional = new QRadioButton(Tr("konventionell##conventional"));
    Conventional->setObjectName(QStringLiteral("RBKonventionell"));
    RuleBased = new QRadioButton(QStringLiteral("rule-based via KALIRON"));
    RuleBased->setObjectName(QStringLiteral("RBRuleBased"));
    kind->addWidget(Conventional);
    kind->addWidget(RuleBased);
    kind->addStretch();
    layout->addLayout(kind);

    Pages = new QStackedWidget;
    for (int k = 0; k < ExpectationCount; ++k)
        Pages->addWidget(BuildConventionalPage(k));
    RulePage = BuildRulePage();
    Pages->addWidget(RulePage);
    layout->addWidget(Pages, 1);
    // F1: the page of the focused control, else the dialog's.
    SetHelpContext(this, 29);
    for (int k = 0; k < Pages->count(); ++k)
        SetHelpContext(Pages->widget(k), k == kRulePageIndex ? 126 : 125);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OkButton = new QPushButton(QStringLiteral("OK"));
    OkButton->setObjectName(QStringLiteral("BBOk"));
    CancelButton = new QPushButton(Tr("Abbruch##Cancel"));
    CancelButton->setObjectName(QStringLiteral("BBAbbruch"));
    HelpButton = new QPushButton(Tr("&Hilfe##&Help"));
    HelpButton->setObjectName(QStringLiteral("BBHilfe"));
    for (QPushButton* b : {OkButton, CancelButton, HelpButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        // The conventional pages share one topic, the rule-based page has its own.
        const int topic = Pages->currentIndex() == kRulePageIndex ? 126 : 125;
        if (showHelp) showHelp(topic);
    });
    connect(ComboBoxVariables, &QComboBox::currentIndexChanged, this, [this](int k) {
        if (!refreshing_ && k >= 0) Select(k);
    });
    DecoupleRadioButton(Conventional); // the record decides what is checked
    DecoupleRadioButton(RuleBased);
    OnChoice(Conventional, [this] { edit_.SetRuleBased(selected_, false); });
    OnChoice(RuleBased, [this] { edit_.SetRuleBased(selected_, true); });

    int start = DialogStartPage()[5];
    if (start < 0 || start >= ExpectationCount) start = 0;
    Select(start);
}

void ExpectationsDialog::OnChoice(QAbstractButton* button, std::function<void()> choose) {
    // Toggled rather than clicked, so that keyboard and accessibility actions choose too;
    // unticking a choice only shows the record again.
    connect(button, &QAbstractButton::toggled, this, [this, choose = std::move(choose)](bool on) {
        if (refreshing_) return;
        if (on) choose();
        Refresh();
    });
}

QString ExpectationsDialog::Tr(const char* text) const {
    return Q(Translate(text, m_.Language));
}

QString ExpectationsDialog::ItemText(int k) const {
    const Expectation& e = m_.Expect[k];
    return Q(Translate(e.Name, m_.Language) + ": " + VarSymbol(e.TargetVariable, m_.Language));
}

QWidget* ExpectationsDialog::BuildConventionalPage(int k) {
    ConventionalPage& p = Conventionals[k];
    p.page = new QWidget;
    auto* outer = new QVBoxLayout(p.page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(Q(Translate(m_.Expect[k].Name, m_.Language)));
    group->setObjectName(QStringLiteral("GroupMethods"));
    auto* grid = new QGridLayout(group);
    int row = 0;
    if (k == WageIncome || k == ProfitIncome) {
        p.followGeneral =
            new QCheckBox(Tr("wie allgemeine Einkommenserwartung##use settings from general income "
                             "expectations"));
        grid->addWidget(p.followGeneral, row++, 0, 1, 4);
        connect(p.followGeneral, &QCheckBox::toggled, this, [this, k](bool on) {
            if (refreshing_) return;
            edit_.SetOwnSettings(k, !on);
            Refresh();
        });
    }
    for (int method : MethodsOf(k)) {
        if (method == 2 || method == 3) continue; // the rows with a spin box follow
        if (method == 5) continue;                // the second money-growth choice
        const char* caption = method == 1 ? FirstMethodCaption(k)
                              : k == Imports
                                  ? "synchronisiert mit heim. Produktion##Coordinated with Dom. "
                                    "Production"
                                  : "MN-Wachstum##MN-Growth";
        auto* radio = new QRadioButton(Tr(caption));
        DecoupleRadioButton(radio); // the records decide what is checked
        p.methods.push_back({method, radio});
        grid->addWidget(radio, row, 0, 1, method == 4 && k == Inflation ? 1 : 4);
        OnChoice(radio, [this, k, method] {
            // Money growth keeps the choice between observed and announced it had.
            const int current = m_.Expect[k].Method;
            if (!(method == 4 && k == Inflation && current == 5)) edit_.SetMethod(k, method);
        });
        if (method == 4 && k == Inflation) {
            p.observed = new QRadioButton(Tr("beobachtet##observed"));
            p.announced = new QRadioButton(Tr("angekündigt##announced"));
            for (QRadioButton* r : {p.observed, p.announced})
                DecoupleRadioButton(r);
            grid->addWidget(p.observed, row, 1);
            grid->addWidget(p.announced, row, 2, 1, 2);
            OnChoice(p.observed, [this, k] { edit_.SetMethod(k, 4); });
            OnChoice(p.announced, [this, k] { edit_.SetMethod(k, 5); });
        }
        ++row;
    }
    auto* extrapolative = new QRadioButton(Tr("extrapolativ##Extrapolative") + QStringLiteral(" ") +
                                           Tr("auf der Basis von##Using"));
    DecoupleRadioButton(extrapolative);
    p.methods.push_back({2, extrapolative});
    p.lags = new NumberSpinBox;
    p.lags->setRange(1, 5);
    p.lags->OnNotANumber = [this] { RefuseNotANumber(host_); };
    p.lagsLabel = new QLabel;
    grid->addWidget(extrapolative, row, 0);
    grid->addWidget(p.lags, row, 1);
    grid->addWidget(p.lagsLabel, row, 2, 1, 2);
    ++row;
    auto* adaptive = new QRadioButton(Tr("adaptiv mit Korrekturfaktor##Adaptive Using Correction "
                                         "Factor"));
    DecoupleRadioButton(adaptive);
    p.methods.push_back({3, adaptive});
    p.weight = new NumberSpinBox;
    p.weight->setRange(1, 100);
    p.weight->OnNotANumber = [this] { RefuseNotANumber(host_); };
    p.weight->setSuffix(QStringLiteral(" %"));
    grid->addWidget(adaptive, row, 0);
    grid->addWidget(p.weight, row, 1);
    ++row;
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);
    for (int method : {2, 3})
        OnChoice(p.Method(method), [this, k, method] { edit_.SetMethod(k, method); });
    connect(p.lags, &QSpinBox::valueChanged, this, [this, k](int v) {
        if (refreshing_) return;
        edit_.SetLags(k, v);
        Refresh();
    });
    connect(p.weight, &QSpinBox::valueChanged, this, [this, k](int v) {
        if (refreshing_) return;
        edit_.SetWeight(k, v);
        Refresh();
    });
    outer->addWidget(group);
    return p.page;
}

QWidget* ExpectationsDialog::BuildRulePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("RuleBased"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("List of Disposable Series")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Antecedents exported to KALIRON")), 0, 2);
    SrcList = new QListWidget;
    SrcList->setObjectName(QStringLiteral("SrcList"));
    DstList = new QListWidget;
    DstList->setObjectName(QStringLiteral("DstList"));
    for (QListWidget* l : {SrcList, DstList}) {
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setMinimumSize(300, 150);
    }
    lists->addWidget(SrcList, 1, 0);
    lists->addWidget(DstList, 1, 2);
    auto* moves = new QVBoxLayout;
    MoveOne = new QPushButton(QStringLiteral(">"));
    MoveAll = new QPushButton(QStringLiteral(">>"));
    BackOne = new QPushButton(QStringLiteral("<"));
    BackAll = new QPushButton(QStringLiteral("<<"));
    moves->addStretch();
    for (QPushButton* b : {MoveOne, MoveAll, BackOne, BackAll}) {
        b->setAutoDefault(false);
        b->setFixedWidth(40);
        moves->addWidget(b);
    }
    moves->addStretch();
    lists->addLayout(moves, 1, 1);
    layout->addLayout(lists, 1);
    connect(MoveOne, &QPushButton::clicked, this, [this] { MoveSeries(true, false); });
    connect(MoveAll, &QPushButton::clicked, this, [this] { MoveSeries(true, true); });
    connect(BackOne, &QPushButton::clicked, this, [this] { MoveSeries(false, false); });
    connect(BackAll, &QPushButton::clicked, this, [this] { MoveSeries(false, true); });
    connect(SrcList, &QListWidget::itemDoubleClicked, this, [this] { MoveSeries(true, false); });
    connect(DstList, &QListWidget::itemDoubleClicked, this, [this] { MoveSeries(false, false); });

    auto* groups = new QHBoxLayout;
    auto* init = new QGroupBox(QStringLiteral("Initialization (new Fuzzy Rule Base)"));
    auto* initLayout = new QGridLayout(init);
    initLayout->addWidget(new QLabel(QStringLiteral("from Period 0 to Period")), 0, 0);
    SpinEditTo = new NumberSpinBox;
    SpinEditTo->setObjectName(QStringLiteral("SpinEditTo"));
    initLayout->addWidget(SpinEditTo, 0, 1);
    ToCurrent = new QPushButton(QStringLiteral("Current Period"));
    ToRightEdge = new QPushButton(QStringLiteral("Right Edge"));
    initLayout->addWidget(ToCurrent, 1, 0);
    initLayout->addWidget(ToRightEdge, 1, 1);
    StartInitialisation =
        new QPushButton(QStringLiteral("Start Initialization (transfer data to KALIRON)"));
    initLayout->addWidget(StartInitialisation, 2, 0, 1, 2);
    groups->addWidget(init, 3);

    auto* existing = new QGroupBox(QStringLiteral("Use existing Fuzzy Rule Base"));
    auto* existingLayout = new QVBoxLayout(existing);
    OpenServer = new QPushButton(QStringLiteral("Open KALIRON"));
    CloseServer = new QPushButton(QStringLiteral("Close KALIRON"));
    GetAntecedents = new QPushButton(QStringLiteral("Get Antecedent List"));
    for (QPushButton* b : {OpenServer, CloseServer, GetAntecedents})
        existingLayout->addWidget(b);
    groups->addWidget(existing, 2);
    for (QPushButton* b :
         {ToCurrent, ToRightEdge, StartInitialisation, OpenServer, CloseServer, GetAntecedents})
        b->setAutoDefault(false);
    layout->addLayout(groups);

    connect(SpinEditTo, &QSpinBox::valueChanged, this, [this](int v) {
        if (!refreshing_) edit_.SetInitTo(selected_, v);
    });
    connect(ToCurrent, &QPushButton::clicked, this,
            [this] { SpinEditTo->setValue(m_.Periods.CurrentPeriod); });
    connect(ToRightEdge, &QPushButton::clicked, this,
            [this] { SpinEditTo->setValue(m_.Periods.RightEdge); });
    connect(StartInitialisation, &QPushButton::clicked, this, [this] { Initialise(); });
    connect(OpenServer, &QPushButton::clicked, this, [this] { OpenOrShowServer(); });
    connect(CloseServer, &QPushButton::clicked, this, [this] { CloseServerConnection(); });
    connect(GetAntecedents, &QPushButton::clicked, this, [this] { TakeOverAntecedents(); });
    return page;
}

void ExpectationsDialog::Select(int k) {
    selected_ = std::clamp(k, 0, ExpectationCount - 1);
    FillLists();
    Refresh();
}

void ExpectationsDialog::Refresh() {
    refreshing_ = true;
    ComboBoxVariables->setCurrentIndex(selected_);
    const Expectation& e = m_.Expect[selected_];
    Conventional->setChecked(e.RuleBased != 1);
    RuleBased->setChecked(e.RuleBased == 1);
    Pages->setCurrentIndex(e.RuleBased == 1 ? kRulePageIndex : selected_);
    for (int k = 0; k < ExpectationCount; ++k)
        RefreshConventional(k);
    RefreshRulePage();
    refreshing_ = false;
}

void ExpectationsDialog::RefreshConventional(int k) {
    ConventionalPage& p = Conventionals[k];
    const Expectation& e = m_.Expect[k];
    const bool follows = p.followGeneral && e.OwnSettings == 0;
    if (p.followGeneral) p.followGeneral->setChecked(follows);
    for (const auto& [method, radio] : p.methods) {
        const bool checked = e.Method == method || (k == Inflation && method == 4 && e.Method == 5);
        radio->setChecked(checked);
        radio->setEnabled(!follows && MethodEnabled(m_, k, method));
    }
    if (p.observed) {
        const bool moneyGrowth = e.Method == 4 || e.Method == 5;
        p.observed->setChecked(e.Method == 4);
        p.announced->setChecked(e.Method == 5);
        p.observed->setEnabled(moneyGrowth);
        p.announced->setEnabled(moneyGrowth);
    }
    p.lags->setValue(e.Lags);
    p.lags->setEnabled(!follows && e.Method == 2);
    p.lagsLabel->setEnabled(p.lags->isEnabled());
    p.weight->setValue(e.Weight);
    p.weight->setEnabled(!follows && e.Method == 3);
    const bool plural = e.Lags > 1;
    QString unit;
    if (e.PerWagePeriod == 1) {
        unit = plural ? Tr("Tarifzeiträumen##Wage Periods") : Tr("Tarifzeitraum##Wage Period");
        // Over wage periods of several periods the rule averages each one.
        if (m_.TZR() > 1) unit += QStringLiteral(" (") + Tr("Mittel##Mean") + QStringLiteral(")");
    } else {
        unit = Tr("Periode##Period") + (plural ? Tr("n##s") : QString());
    }
    p.lagsLabel->setText(unit);
}

void ExpectationsDialog::FillLists() {
    SrcList->clear();
    DstList->clear();
    auto add = [this](QListWidget* list, int n) {
        auto* item = new QListWidgetItem(Q(SeriesName(m_, n, m_.Language)), list);
        item->setData(Qt::UserRole, n);
    };
    for (int n : edit_.Available(selected_))
        add(SrcList, n);
    for (int n : m_.Expect[selected_].Antecedents)
        add(DstList, n);
}

bool ExpectationsDialog::Connected() const {
    return m_.Rules && m_.Rules->Serves(selected_);
}

void ExpectationsDialog::RefreshRulePage() {
    const Expectation& e = m_.Expect[selected_];
    SpinEditTo->setRange(0, m_.Periods.RightEdge);
    SpinEditTo->setValue(
        std::clamp(static_cast<int>(e.InitTo), 0, static_cast<int>(m_.Periods.RightEdge)));
    const bool available = m_.Rules != nullptr;
    const bool connected = Connected();
    StartInitialisation->setEnabled(available && DstList->count() > 0);
    OpenServer->setEnabled(available);
    OpenServer->setText(connected ? QStringLiteral("Show KALIRON")
                                  : QStringLiteral("Open KALIRON"));
    CloseServer->setEnabled(connected);
    GetAntecedents->setEnabled(connected);
    MoveOne->setEnabled(SrcList->count() > 0);
    MoveAll->setEnabled(SrcList->count() > 0);
    BackOne->setEnabled(DstList->count() > 0);
    BackAll->setEnabled(DstList->count() > 0);
}

void ExpectationsDialog::MoveSeries(bool toAntecedents, bool all) {
    QListWidget* from = toAntecedents ? SrcList : DstList;
    std::vector<int> series;
    for (int row = 0; row < from->count(); ++row) {
        QListWidgetItem* item = from->item(row);
        if (all || item->isSelected()) series.push_back(item->data(Qt::UserRole).toInt());
    }
    if (series.empty() && from->currentItem())
        series.push_back(from->currentItem()->data(Qt::UserRole).toInt());
    if (series.empty()) return;
    if (toAntecedents)
        edit_.AddAntecedents(selected_, series);
    else
        edit_.RemoveAntecedents(selected_, series);
    FillLists();
    Refresh();
}

bool ExpectationsDialog::ServerCall(const std::function<void()>& call) {
    try {
        call();
        return true;
    } catch (const std::exception& error) {
        host_.ShowMessage(kErrorTitle, FillIn("Der Regel-Server meldet einen Fehler: %1##The "
                                              "rule server reports an error: %1",
                                              error.what()));
    } catch (...) {
        host_.ShowMessage(kErrorTitle, "Der Regel-Server meldet einen unbekannten Fehler.##The "
                                       "rule server reports an unknown error.");
    }
    Refresh();
    return false;
}

void ExpectationsDialog::Initialise() {
    if (!m_.Rules || m_.Expect[selected_].Antecedents.empty()) return;
    const int k = selected_;
    const int to = SpinEditTo->value();
    edit_.SetInitTo(k, to);
    const bool ok = ServerCall([this, k, to] {
        if (!m_.Rules->Connect(m_, k)) {
            host_.ShowMessage(kErrorTitle,
                              "Der Regel-Server ist nicht verfügbar.##The rule server is not "
                              "available.");
            return;
        }
        m_.Rules->SendNames(m_, k);
        m_.Rules->Initialise(m_, k, 0, to);
        edit_.RuleBaseChanged(k);
    });
    (void)ok;
    Refresh();
}

void ExpectationsDialog::OpenOrShowServer() {
    if (!m_.Rules) return;
    const int k = selected_;
    const bool wasConnected = Connected();
    ServerCall([this, k, wasConnected] {
        if (wasConnected) {
            m_.Rules->Show(k);
        } else if (!m_.Rules->Connect(m_, k)) {
            host_.ShowMessage(kErrorTitle,
                              "Der Regel-Server ist nicht verfügbar.##The rule server is not "
                              "available.");
        }
    });
    Refresh();
}

void ExpectationsDialog::CloseServerConnection() {
    if (!m_.Rules) return;
    m_.Rules->Disconnect(selected_);
    Refresh();
}

void ExpectationsDialog::TakeOverAntecedents() {
    const int k = selected_;
    if (!Connected()) {
        host_.ShowMessage("Information", "Connect to KALIRON and create/open Fuzzy Rule Base "
                                         "before requesting antecedent list.");
        return;
    }
    int result = 3;
    std::vector<std::string> unknown;
    if (!ServerCall([&] { result = m_.Rules->AdoptAntecedents(m_, k, &unknown); })) return;
    if (!unknown.empty()) {
        std::string names;
        for (const std::string& s : unknown)
            names += (names.empty() ? "" : ", ") + s;
        host_.ShowMessage("Information", "Unknown antecedents left out: " + names);
    }
    switch (result) {
    case 0:
        edit_.RuleBaseChanged(k);
        FillLists();
        break;
    case 1:
        host_.ShowMessage("Information",
                          "No workable Fuzzy Rule Base in KALIRON (missing output variable)");
        break;
    case 2:
        host_.ShowMessage("Information", "FRB-Output does not explain " +
                                             VarSymbol(m_.Expect[k].SourceVariable) +
                                             " (wrong output variable)");
        break;
    default:
        host_.ShowMessage("Information",
                          "No workable Fuzzy Rule Base in KALIRON (missing antecedents)");
        break;
    }
    Refresh();
}

void ExpectationsDialog::WarnUnservedRuleBases() {
    // Without a server a rule-based expectation has no forecast and is taken as 0.
    std::string names[2];
    for (int k = 0; k < ExpectationCount; ++k) {
        const Expectation& e = m_.Expect[k];
        if (e.RuleBased != 1 || e.Antecedents.empty() || (m_.Rules && m_.Rules->Serves(k)))
            continue;
        for (int lang : {1, 2})
            names[lang - 1] += "\r\n" + Translate(e.Name, lang);
    }
    if (names[0].empty()) return;
    host_.ShowMessage("Hinweis##Note",
                      FillIn("Ohne Verbindung zum Regel-Server erhalten diese regelbasierten "
                             "Erwartungen den Wert 0:%1##Without a connection to the rule server "
                             "these rule-based expectations take the value 0:%2",
                             {names[0], names[1]}));
}

void ExpectationsDialog::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click(); // Enter on a focused button presses it
            return;
        }
        accept();
        return;
    case Qt::Key_F1:
        if (showHelp) showHelp(HelpSystem::ContextOf(focusWidget() ? focusWidget() : this));
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}

void ExpectationsDialog::done(int r) {
    if (!closed_) {
        closed_ = true;
        DialogStartPage()[5] = selected_;
        if (r == Accepted) {
            edit_.Accept();
            WarnUnservedRuleBases();
        } else {
            edit_.Cancel();
        }
    }
    QDialog::done(r);
}

} // namespace tv
