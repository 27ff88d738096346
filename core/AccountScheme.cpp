#include "core/AccountScheme.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tv {

namespace {

using A = SchemeAccount;
constexpr int Left = 0, Right = 1;

// What a sector entry changes; the sector closing of the monetary script restates these.
enum Sym { SymL, SymW, SymGV, SymSV, SymNegW, SymM, SymWR, SymF, SymNone, SymCount = SymNone };
static_assert(SymCount == 8);
const char* const SymText[SymCount] = {
    "dL = ", "dW = ", "dGV = ", "dSV = ", "-dW = ", "dM = ", "dWR = ", "dF = "};
const int SymSide[SymCount] = {Left, Left, Right, Left, Right, Right, Left, Left};

} // namespace

const char* SchemeAccountTitle(SchemeAccount a) {
    switch (a) {
    case A::Households:
        return "private Haushalte##Private Households";
    case A::Firms:
        return "Unternehmen##Business Sector";
    case A::Financial:
        return "finanzieller Sektor##Monetary Sector";
    case A::Government:
        return "Staat##Government";
    case A::World:
        return "Ausland##Rest of the World";
    case A::BondMarket:
        return "Wertpapiermarkt##Bond Market";
    case A::ForexMarket:
        return "Devisenmarkt##Foreign Exchange Market";
    }
    return "";
}

const char* SchemeColumnHeading(SchemeAccount a, int column) {
    if (a == A::BondMarket) return column == Left ? "WA" : "WN";
    if (a == A::ForexMarket) return column == Left ? "FN" : "FA";
    return column == Left ? "A" : "P";
}

// Where one replay writes: the state, the tag of the booking being made and the changes of
// the phase per sector and symbol.
struct AccountScheme::Sink {
    SchemeState& state;
    int tag = 0;
    std::array<std::array<double, SymCount>, SchemeAccountCount> change{};

    std::string Tag(bool counter) const {
        return std::to_string(tag) + (counter ? "')" : ")") + " ";
    }
    void Entry(A a, int column, bool counter, const std::string& text, double amount,
               Sym sym = SymNone) {
        state.Column(a, column).push_back({Tag(counter) + text, tag, counter, amount});
        if (sym != SymNone) change[static_cast<int>(a)][sym] += amount;
    }
    void Stock(A a, int column, const std::string& text) {
        state.Column(a, column).push_back({text, 0, false, 0});
    }
    // Pads the shorter column with blanks, then draws a line under both.
    void Separator(A a, int width) {
        auto& l = state.Column(a, Left);
        auto& r = state.Column(a, Right);
        while (l.size() < r.size())
            l.push_back({"", 0, false, 0});
        while (r.size() < l.size())
            r.push_back({"", 0, false, 0});
        l.push_back({std::string(width, '-'), 0, false, 0});
        r.push_back({std::string(width, '-'), 0, false, 0});
    }
    void Line(SchemeLine::Style kind, const std::string& text, int lineTag = 0) {
        state.Lines.push_back({kind, text, lineTag});
    }
    void First(const std::string& text) { Line(SchemeLine::First, Tag(false) + text, tag); }
    void Counter(const std::string& text) { Line(SchemeLine::Counter, Tag(true) + text, tag); }
};

AccountScheme::AccountScheme(const Model& m) : m_(m) {}

std::string AccountScheme::Num(double x) const {
    return m_.FormatNumber(x);
}

std::string AccountScheme::Tr(const char* text) const {
    return Translate(text, m_.Language);
}

bool AccountScheme::FormatsToZero(double x) const {
    std::string s = m_.FormatNumber(x);
    std::replace(s.begin(), s.end(), m_.DecimalSeparator, '.');
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    return end != s.c_str() && v == 0;
}

double AccountScheme::ColumnSum(SchemeAccount a, int column) const {
    double sum = 0;
    for (const SchemeEntry& e : state_.Column(a, column))
        sum += e.Amount;
    return sum;
}

void AccountScheme::Load() {
    t_ = m_.Periods.CurrentPeriod;
    monetary_ = m_.Sw(17) == 1;
    ComputePhases();
    if (phase_ < 1 || phase_ > PhaseCount()) phase_ = 1;
    DecideVisibility();
    Initial();
}

void AccountScheme::SetPhase(int k) {
    phase_ = std::clamp(k, 1, PhaseCount());
    DecideVisibility();
    Initial();
}

void AccountScheme::Restart() {
    Initial();
}

// An account is shown when its condition holds or when a booking of the phase writes a
// non-zero amount to it, so that every visible account balances. A dry run of the whole
// phase finds the second kind; closings depend on visibility, so it repeats until stable.
void AccountScheme::DecideVisibility() {
    auto v = [this](int n) { return m_.GetVar(t_, n); };
    visible_.fill(false);
    visible_[static_cast<int>(A::Households)] = true;
    visible_[static_cast<int>(A::Firms)] = true;
    visible_[static_cast<int>(A::BondMarket)] = true;
    visible_[static_cast<int>(A::Financial)] = monetary_;
    visible_[static_cast<int>(A::Government)] =
        m_.GetPar(t_, par::SBAut) + m_.GetPar(t_, par::SubAut) != 0 || v(var::T) != 0 ||
        v(var::G) != 0;
    visible_[static_cast<int>(A::World)] =
        v(var::Ex) != 0 || v(var::Im) != 0 || (monetary_ && v(var::NK) != 0);
    visible_[static_cast<int>(A::ForexMarket)] = monetary_ && visible_[static_cast<int>(A::World)];
    for (int round = 0; round < SchemeAccountCount; ++round) {
        Initial();
        while (Step()) {
        }
        bool changed = false;
        for (int a = 0; a < SchemeAccountCount; ++a) {
            if (visible_[a]) continue;
            for (int c = 0; c < 2 && !visible_[a]; ++c)
                for (const SchemeEntry& e : state_.Columns[a][c])
                    if (e.Tag != 0 && !FormatsToZero(e.Amount)) {
                        visible_[a] = changed = true;
                        break;
                    }
        }
        if (monetary_ && visible_[static_cast<int>(A::World)] &&
            !visible_[static_cast<int>(A::ForexMarket)])
            visible_[static_cast<int>(A::ForexMarket)] = changed = true;
        if (!changed) break;
    }
}

// The phases of the period in one pass: each phase's money supply is the previous one's
// plus its reserve inflow, and its rate clears the bond market for that money.
void AccountScheme::ComputePhases() {
    phases_.assign(1, SchemePhase{});
    if (!monetary_) return;
    const int t = t_;
    const int n = MoneySubsteps(m_, t);
    phases_.assign(n, SchemePhase{});
    double money = PlannedRealMoney(m_, t, IsMonetaryPeriodStart(m_, t));
    for (SchemePhase& p : phases_) {
        p.Money = money;
        p.Rate = InterestRate(m_, t, money);
        money = money + ReserveInflowStep(m_, t, p.Rate);
    }
    // Balances carried into phase 1 come from the previous period's last phase; later
    // phases all carry the same transactions balances of period t.
    auto carried = [this](int s, int count, SchemePhase& p) {
        auto v = [&](int k) { return m_.GetVar(s, k); };
        const double lY = m_.GetPar(s, par::lY);
        const double tExp = TaxesExp(m_, s, v(var::YErw));
        p.Households = (v(var::YV) - v(var::YVErw)) / count + lY / 2 * (v(var::YErw) - tExp);
        p.Firms = ((v(var::N) - v(var::Im)) - v(var::Y)) / count + lY / 2 * v(var::Y);
        p.Government =
            (BudgetSurplus(m_, s, v(var::Y)) - BudgetSurplusExp(m_, s, v(var::YErw))) / count +
            lY / 2 * tExp;
    };
    // Every unit of the money stock a phase opens with is held by someone: what the
    // transactions balances do not hold is the households' speculative balance. (A
    // speculative balance carried at the previous rate's demand leaves the money that
    // the reserve inflows and the phase rates moved unheld, and the bond market of the
    // phase does not clear by that amount.)
    auto speculative = [](SchemePhase& p) {
        p.Speculative = p.OpeningMoney - p.Households - p.Firms - p.Government;
    };
    SchemePhase& first = phases_[0];
    carried(t - 1, MoneySubsteps(m_, t - 1), first);
    first.OpeningMoney = m_.GetVar(t - 1, var::M);
    speculative(first);
    if (n > 1) {
        SchemePhase later;
        carried(t, n, later);
        for (int k = 1; k < n; ++k) {
            SchemePhase& p = phases_[k];
            p.Households = later.Households;
            p.Firms = later.Firms;
            p.Government = later.Government;
            p.OpeningMoney = p.Money;
            speculative(p);
        }
    }
}

void AccountScheme::Initial() {
    for (auto& account : state_.Columns)
        for (auto& column : account)
            column.clear();
    state_.Lines.clear();
    done_.fill(false);
    amounts_.clear();
    bookingCount_ = 0;
    next_ = 1;
    finished_ = false;
    wa_ = wn_ = fa_ = fn_ = 0;
    const SchemePhase& p = phases_[phase_ - 1];
    lth_ = p.Households;
    ltu_ = p.Firms;
    lts_ = p.Government;
    Sink sink{state_};
    WriteOpening(sink);
    changes_ = sink.change;
}

void AccountScheme::WriteOpening(Sink& sink) {
    const std::string t = std::to_string(t_);
    if (!monetary_ || phase_ == 1)
        sink.Line(SchemeLine::Heading,
                  Tr("Ausgangssituation am Beginn der Periode t = ##Initial situation at the "
                     "beginning of period t = ") +
                      t + ":");
    else
        sink.Line(SchemeLine::Heading,
                  Tr("Ausgangssituation am Beginn der ##Initial situation at the beginning of "
                     "transaction phase ") +
                      std::to_string(phase_) +
                      Tr(". Transaktionsphase von Periode t = ## of period t = ") + t + ":");
    const bool gov = Visible(A::Government), world = Visible(A::World);
    if (!monetary_) {
        sink.Stock(A::Households, Left, "W(t-1)");
        sink.Stock(A::Households, Right, "GV(t-1)");
        sink.Stock(A::Firms, Left, "SV(t-1)");
        sink.Stock(A::Firms, Right, "-W(t-1)");
        sink.Line(SchemeLine::Plain,
                  Tr("Die Haushalte halten ihr gesamtes Geldvermögen GV(t-1) in Wertpapieren "
                     "W(t-1), dem einzigen finanziellen Aktivum in der Modellvolkswirtschaft.##"
                     "The households hold all their financial wealth GV(t-1) in bonds W(t-1), "
                     "the only financial asset of the model economy."));
        sink.Line(SchemeLine::Plain,
                  Tr("Die Unternehmen haben ihr Sachvermögen SV(t-1) durch die Ausgabe von "
                     "Wertpapieren (-W(t-1)) finanziert.##The firms have financed their real "
                     "wealth SV(t-1) by issuing bonds (-W(t-1))."));
    } else {
        const SchemePhase& p = phases_[phase_ - 1];
        sink.Stock(A::Households, Left, "W(t-1)");
        sink.Stock(A::Households, Left, "LS(t-1) = " + Num(p.Speculative));
        sink.Stock(A::Households, Left, "LT(t-1) = " + Num(p.Households));
        sink.Stock(A::Households, Right, "GV(t-1)");
        sink.Stock(A::Firms, Left, "SV(t-1)");
        sink.Stock(A::Firms, Left, "LT(t-1) = " + Num(p.Firms));
        sink.Stock(A::Firms, Right, "-W(t-1)");
        sink.Stock(A::Financial, Left, "W(t-1)");
        sink.Stock(A::Financial, Left, "WR(t-1)");
        sink.Stock(A::Financial, Right, "M = " + Num(p.OpeningMoney));
        sink.Line(SchemeLine::Plain,
                  Tr("Die Haushalte halten ihr Geldvermögen GV(t-1) in Wertpapieren W(t-1) und "
                     "Geld L = LT(t-1) + LS(t-1).##The households hold their financial wealth "
                     "GV(t-1) in bonds W(t-1) and money L = LT(t-1) + LS(t-1)."));
        sink.Line(SchemeLine::Plain,
                  Tr("Die Unternehmen haben ihr Sachvermögen SV(t-1) und ihre Kasse LT(t-1) "
                     "durch die Ausgabe von Wertpapieren (-W(t-1)) finanziert.##The firms have "
                     "financed their real wealth SV(t-1) and their cash LT(t-1) by issuing "
                     "bonds (-W(t-1))."));
        sink.Line(SchemeLine::Plain,
                  Tr("Der finanzielle Sektor hat die Geldmenge M gegen Wertpapiere W(t-1) und "
                     "Währungsreserven WR(t-1) ausgegeben.##The monetary sector has issued the "
                     "money supply M against bonds W(t-1) and currency reserves WR(t-1)."));
    }
    if (gov) {
        sink.Stock(A::Government, Left, "W(t-1)");
        if (monetary_)
            sink.Stock(A::Government, Left, "LT(t-1) = " + Num(phases_[phase_ - 1].Government));
        sink.Stock(A::Government, Right, "GV(t-1)");
        sink.Line(SchemeLine::Plain,
                  monetary_ ? Tr("Der Staat hält sein gesamtes Geldvermögen GV(t-1) in "
                                 "Wertpapieren W(t-1) und Geld L = LT(t-1).##The government "
                                 "holds all its financial wealth GV(t-1) in bonds W(t-1) and "
                                 "money L = LT(t-1).")
                            : Tr("Der Staat hält sein gesamtes Geldvermögen GV(t-1) in "
                                 "Wertpapieren W(t-1).##The government holds all its "
                                 "financial wealth GV(t-1) in bonds W(t-1)."));
    }
    if (world) {
        sink.Stock(A::World, Left, "W(t-1)");
        sink.Stock(A::World, Right, "GV(t-1)");
        sink.Line(SchemeLine::Plain,
                  Tr("Das Ausland hält sein Geldvermögen GV(t-1) gegenüber dem Inland in "
                     "Wertpapieren W(t-1).##The rest of the world holds its financial wealth "
                     "GV(t-1) against the domestic economy in bonds W(t-1)."));
    }
    for (A a : {A::Households, A::Firms, A::Financial, A::Government, A::World})
        if (Visible(a)) sink.Separator(a, 50);
}

bool AccountScheme::Step() {
    if (finished_) return false;
    Sink sink{state_};
    sink.change = changes_;
    while (next_ <= ScriptLength()) {
        const int b = next_++;
        done_[b] = true;
        if (Book(b, sink)) {
            changes_ = sink.change;
            return true;
        }
    }
    WriteEnd();
    return true;
}

void AccountScheme::WriteEnd() {
    const std::string t = std::to_string(t_);
    std::string text;
    if (PhaseCount() > 1)
        text = Tr("Ende der ##End of transaction phase ") + std::to_string(phase_) +
               Tr(". Transaktionsphase von Periode t = ## of period t = ") + t;
    else
        text = Tr("Ende der Periode t = ##End of period t = ") + t;
    state_.Lines.push_back({SchemeLine::End, text, 0});
    finished_ = true;
}

void AccountScheme::Undo() {
    Replay(bookingCount_ - 1);
}

void AccountScheme::Finish() {
    while (Step()) {
    }
}

void AccountScheme::Replay(int count) {
    Initial();
    while (bookingCount_ < count && !finished_)
        Step();
}

void AccountScheme::Refresh() {
    const int count = bookingCount_;
    const bool finished = finished_;
    Replay(count);
    // The end line comes back only when no booking is left (a new number format can make
    // a skipped booking visible).
    if (finished && !finished_) {
        Step();
        if (bookingCount_ != count) Replay(count);
    }
}

void AccountScheme::Begin(Sink& sink, double amount) {
    ++bookingCount_;
    sink.tag = bookingCount_;
    amounts_.push_back(amount);
}

bool AccountScheme::Book(int booking, Sink& sink) {
    return monetary_ ? BookMonetary(booking, sink) : BookReal(booking, sink);
}

// Real script: every payment is made in bonds, the only financial asset.
bool AccountScheme::BookReal(int booking, Sink& k) {
    auto v = [this](int n) { return m_.GetVar(t_, n); };
    const A H = A::Households, F = A::Firms, G = A::Government, W = A::World, B = A::BondMarket;
    // A flow booking between two sectors; the amount decides whether it is made at all.
    auto flow = [&](double x) {
        if (FormatsToZero(x)) return false;
        Begin(k, x);
        return true;
    };
    // A sector closing: the saldo of the period on both sides, or the unchanged stocks.
    auto close = [&](A a, double x, const char* heading, const char* assets,
                     const char* liabilities) {
        Begin(k, x);
        k.Separator(a, 44);
        k.Line(SchemeLine::Heading, Tr(heading));
        if (FormatsToZero(x)) {
            const bool firms = a == F;
            k.Entry(a, Left, false, firms ? "SV(t) = SV(t-1)" : "W(t) = W(t-1)", 0);
            k.Entry(a, Right, false, firms ? "-W(t) = -W(t-1)" : "GV(t) = GV(t-1)", 0);
            k.First(Tr("Die Bestände haben sich in der Periode per Saldo nicht verändert.##The "
                       "stocks have not changed over the period."));
            return false;
        }
        k.Entry(a, Left, false, assets, 0);
        k.Entry(a, Right, false, std::string(liabilities) + Num(x), 0);
        return true;
    };
    switch (booking) {
    case 1: {
        const double x = v(var::Y);
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dW = +Y", x);
        k.Entry(H, Right, true, "dGV = " + Num(x), x);
        k.Entry(F, Left, true, "dSV = +Y", x);
        k.Entry(F, Right, false, "-dW = " + Num(x), x);
        k.First(Tr("Unternehmen beschaffen heimische Produktionsfaktoren (Y) bei den pr. "
                   "Haushalten und entgelten diese mit Wertpapieren (dW).##Firms buy domestic "
                   "factor services (Y) from the households and pay for them with bonds (dW)."));
        k.Counter(Tr("Das Geldvermögen der pr. Haushalte steigt in Höhe der verkauften "
                     "Faktorleistungen (dGV = Y); mit diesen produzieren die Unternehmen Güter "
                     "auf Lager und erhöhen so ihr Sachvermögen (dSV = Y).##The households' "
                     "financial wealth rises by the factor services sold (dGV = Y); with them the "
                     "firms produce goods for stock and so raise their real wealth (dSV = Y)."));
        return true;
    }
    case 2: {
        const double x = v(var::Im);
        if (!flow(x)) return false;
        k.Entry(W, Left, false, "dW = +Im", x);
        k.Entry(W, Right, true, "dGV = " + Num(x), x);
        k.Entry(F, Left, true, "dSV = +Im", x);
        k.Entry(F, Right, false, "-dW = " + Num(x), x);
        k.First(Tr("Unternehmen beschaffen Vorleistungen im Ausland (Im) und entgelten diese mit "
                   "Wertpapieren (dW).##Firms buy inputs abroad (Im) and pay for them with "
                   "bonds (dW)."));
        k.Counter(Tr("Das Geldvermögen des Auslands steigt in Höhe der verkauften Vorleistungen "
                     "(dGV = Im); die Unternehmen nehmen die Importe auf Lager (dSV = Im).##The "
                     "financial wealth of the rest of the world rises by the inputs sold "
                     "(dGV = Im); the firms take the imports into stock (dSV = Im)."));
        return true;
    }
    case 3: {
        const double x = v(var::T);
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dW = -T", -x);
        k.Entry(H, Right, true, "dGV = " + Num(-x), -x);
        k.Entry(G, Left, false, "dW = +T", x);
        k.Entry(G, Right, true, "dGV = " + Num(x), x);
        k.First(Tr("Der Staat erhebt Abgaben (T), die die pr. Haushalte durch Abtretung von "
                   "Wertpapieren (dW) an den Staat entrichten.##The government levies taxes (T), "
                   "which the households pay by handing bonds (dW) over to the government."));
        k.Counter(Tr("Das Geldvermögen der pr. Haushalte sinkt in Höhe der Abgaben (dGV = -T), "
                     "das des Staates steigt entsprechend (dGV = T).##The households' financial "
                     "wealth falls by the taxes (dGV = -T), the government's rises accordingly "
                     "(dGV = T)."));
        return true;
    }
    case 4: {
        const double x = m_.GetPar(t_, par::SBAut) + m_.GetPar(t_, par::SubAut);
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dW = +Tr", x);
        k.Entry(H, Right, true, "dGV = " + Num(x), x);
        k.Entry(G, Left, false, "dW = -Tr", -x);
        k.Entry(G, Right, true, "dGV = " + Num(-x), -x);
        k.First(Tr("Der Staat leistet Übertragungen (Tr) an die die pr. Haushalte, indem er ihnen "
                   "Wertpapiere (dW) abtritt.##The government pays transfers (Tr) to the "
                   "households by handing bonds (dW) over to them."));
        k.Counter(Tr("Das Geldvermögen der pr. Haushalte steigt in Höhe der Übertragungen "
                     "(dGV = Tr), das des Staates sinkt entsprechend (dGV = -Tr).##The "
                     "households' financial wealth rises by the transfers (dGV = Tr), the "
                     "government's falls accordingly (dGV = -Tr)."));
        return true;
    }
    case 5: {
        const double x = v(var::C);
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dW = -C", -x);
        k.Entry(H, Right, true, "dGV = " + Num(-x), -x);
        k.Entry(F, Left, true, "dSV = -C", -x);
        k.Entry(F, Right, false, "-dW = " + Num(-x), -x);
        k.First(Tr("Pr. Haushalte kaufen Konsumgüter (C) bei den Unternehmen und bezahlen diese "
                   "mit Wertpapieren (dW).##Households buy consumer goods (C) from the firms and "
                   "pay for them with bonds (dW)."));
        k.Counter(Tr("Das Geldvermögen der pr. Haushalte sinkt in Höhe der Konsumausgaben "
                     "(dGV = -C); das Sachvermögen der Unternehmen sinkt um die verkauften Güter "
                     "(dSV = -C).##The households' financial wealth falls by their consumption "
                     "spending (dGV = -C); the firms' real wealth falls by the goods sold "
                     "(dSV = -C)."));
        return true;
    }
    case 6: {
        const double x = v(var::G);
        if (!flow(x)) return false;
        k.Entry(G, Left, false, "dW = -G", -x);
        k.Entry(G, Right, true, "dGV = " + Num(-x), -x);
        k.Entry(F, Left, true, "dSV = -G", -x);
        k.Entry(F, Right, false, "-dW = " + Num(-x), -x);
        k.First(Tr("Der Staat kauft Güter (G) bei den Unternehmen und bezahlt diese mit "
                   "Wertpapieren (dW).##The government buys goods (G) from the firms and pays "
                   "for them with bonds (dW)."));
        k.Counter(Tr("Das Geldvermögen des Staates sinkt in Höhe der Güterausgaben (dGV = -G); "
                     "das Sachvermögen der Unternehmen sinkt um die verkauften Güter "
                     "(dSV = -G).##The government's financial wealth falls by its purchases "
                     "(dGV = -G); the firms' real wealth falls by the goods sold (dSV = -G)."));
        return true;
    }
    case 7: {
        const double x = v(var::Ex);
        if (!flow(x)) return false;
        k.Entry(W, Left, false, "dW = -Ex", -x);
        k.Entry(W, Right, true, "dGV = " + Num(-x), -x);
        k.Entry(F, Left, true, "dSV = -Ex", -x);
        k.Entry(F, Right, false, "-dW = " + Num(-x), -x);
        k.First(Tr("Ausländer kaufen Güter (Ex) bei den Unternehmen und bezahlen diese mit "
                   "Wertpapieren (dW).##Foreigners buy goods (Ex) from the firms and pay for "
                   "them with bonds (dW)."));
        k.Counter(Tr("Das Geldvermögen des Auslands sinkt in Höhe der Exportausgaben "
                     "(dGV = -Ex); das Sachvermögen der Unternehmen sinkt um die exportierten "
                     "Güter (dSV = -Ex).##The financial wealth of the rest of the world falls "
                     "by its spending on exports (dGV = -Ex); the firms' real wealth falls by "
                     "the goods exported (dSV = -Ex)."));
        return true;
    }
    case 8: {
        const double x = v(var::YV) - v(var::C);
        if (!close(H, x, "Periodenabschluss der pr. Haushalte:##Closing of the households:",
                   "dW = S", "dGV = "))
            return true;
        if (x >= 0)
            k.Entry(B, Right, false, "S = " + Num(x), x);
        else
            k.Entry(B, Left, false, "-S = " + Num(-x), -x);
        k.First(x >= 0
                    ? Tr("In Höhe ihrer Ersparnis (S) hat sich das Geldvermögen der pr. Haushalte "
                         "in der Periode per Saldo erhöht (dGV = S), so daß sie als Nachfrager am "
                         "Wertpapiermarkt auftreten.##By their saving (S) the households' "
                         "financial wealth has risen over the period (dGV = S), so that they "
                         "demand bonds on the bond market.")
                    : Tr("Da die pr. Haushalte mehr ausgegeben als eingenommen haben (S < 0), ist "
                         "ihr Geldvermögen gesunken (dGV = S); sie treten als Anbieter am "
                         "Wertpapiermarkt auf.##Since the households have spent more than they "
                         "received (S < 0), their financial wealth has fallen (dGV = S); they "
                         "supply bonds on the bond market."));
        return true;
    }
    case 9: {
        if (!Visible(G)) return false;
        const double x = (v(var::Y) - v(var::YV)) - v(var::G);
        if (!close(G, x, "Periodenabschluss des Staates:##Closing of the government:", "dW = BS",
                   "dGV = "))
            return true;
        if (x >= 0)
            k.Entry(B, Right, false, "BS = " + Num(x), x);
        else
            k.Entry(B, Left, false, "-BS = " + Num(-x), -x);
        k.First(x >= 0 ? Tr("Mit seinem Budgetüberschuss (BS) hat der Staat sein Geldvermögen "
                            "erhöht (dGV = BS); er tritt als Nachfrager am Wertpapiermarkt "
                            "auf.##With its budget surplus (BS) the government has raised its "
                            "financial wealth (dGV = BS); it demands bonds on the bond market.")
                       : Tr("Das Budgetdefizit (-BS) des Staates hat sein Geldvermögen gemindert "
                            "(dGV = BS); er tritt als Anbieter am Wertpapiermarkt auf.##The "
                            "government's budget deficit (-BS) has lowered its financial wealth "
                            "(dGV = BS); it supplies bonds on the bond market."));
        return true;
    }
    case 10: {
        if (!Visible(W)) return false;
        const double ab = v(var::Ex) - v(var::Im);
        const bool moved =
            close(W, -ab,
                  "Periodenabschluss des Auslands:##Closing of the rest of the world:", "dW = -AB",
                  "dGV = ");
        amounts_.back() = ab; // the booking's amount is the trade surplus itself
        if (!moved) return true;
        if (-ab >= 0)
            k.Entry(B, Right, false, "-AB = " + Num(-ab), -ab);
        else
            k.Entry(B, Left, false, "AB = " + Num(ab), ab);
        k.First(-ab >= 0
                    ? Tr("Das Ausland hat mehr an das Inland verkauft als dort gekauft (Defizit "
                         "-AB im Außenbeitrag des Inlands); sein Geldvermögen ist gestiegen "
                         "(dGV = -AB), es fragt Wertpapiere nach.##The rest of the world has "
                         "sold more to the domestic economy than it bought there (a trade "
                         "deficit -AB of the domestic economy); its financial wealth has risen "
                         "(dGV = -AB) and it demands bonds.")
                    : Tr("Das Ausland hat mehr im Inland gekauft als dorthin verkauft "
                         "(Außenbeitragsüberschuss AB des Inlands); sein Geldvermögen ist "
                         "gesunken (dGV = -AB), es bietet Wertpapiere an.##The rest of the "
                         "world has bought more in the domestic economy than it sold there (a "
                         "trade surplus AB of the domestic economy); its financial wealth has "
                         "fallen (dGV = -AB) and it supplies bonds."));
        return true;
    }
    case 11: {
        // Investment includes the unplanned change of stocks, so that the bond market clears.
        const double x = v(var::I) + (v(var::X) - v(var::N));
        if (!close(F, x, "Periodenabschluss der Unternehmen:##Closing of the firms:", "dSV = I",
                   "-dW = "))
            return true;
        if (x > 0)
            k.Entry(B, Left, false, "I = " + Num(x), x);
        else
            k.Entry(B, Right, false, "-I = " + Num(-x), -x);
        k.First(x >= 0 ? Tr("Die Unternehmen haben ihr Sachvermögen um die Investitionen "
                            "einschließlich der ungeplanten Lageränderung erhöht (dSV = I + X - N) "
                            "und durch die Ausgabe von Wertpapieren finanziert; sie treten als "
                            "Anbieter am Wertpapiermarkt auf.##The firms have raised their real "
                            "wealth by investment including the unplanned change of stocks "
                            "(dSV = I + X - N) and financed it by issuing bonds; they supply bonds "
                            "on the bond market.")
                       : Tr("Das Sachvermögen der Unternehmen ist gesunken (dSV = I + X - N < 0); "
                            "sie lösen Wertpapiere ein und treten als Nachfrager am "
                            "Wertpapiermarkt auf.##The firms' real wealth has fallen "
                            "(dSV = I + X - N < 0); they redeem bonds and demand bonds on the bond "
                            "market."));
        return true;
    }
    default:
        return false;
    }
}

// Monetary script, one transaction phase: money balances and financing on the bond market,
// the foreign-exchange market, then the goods transactions paid in money, then the closing.
bool AccountScheme::BookMonetary(int booking, Sink& k) {
    auto v = [this](int n) { return m_.GetVar(t_, n); };
    const int t = t_;
    const A H = A::Households, F = A::Firms, Fin = A::Financial, G = A::Government, W = A::World,
            B = A::BondMarket, X = A::ForexMarket;
    const SchemePhase& p = phases_[phase_ - 1];
    const double n = PhaseCount();
    const double i = p.Rate;
    const double re = ExpectedRealRate(m_, t, i);
    const double yErw = v(var::YErw);
    const double lY = m_.GetPar(t, par::lY);
    auto flow = [&](double x) {
        if (FormatsToZero(x)) return false;
        Begin(k, x);
        return true;
    };
    switch (booking) {
    case 1: {
        if (phase_ != 1) return false;
        const double x = p.Money - p.OpeningMoney;
        if (!flow(x)) return false;
        k.Entry(Fin, Right, false, "dM = dW", x, SymM);
        k.Entry(Fin, Left, false, "dW = " + Num(x), x, SymW);
        k.Entry(B, Right, true, "dM = " + Num(x), x);
        wn_ += x;
        k.First(Tr("Der finanzielle Sektor passt die Geldmenge an das geplante Geldangebot der "
                   "Periode an (dM) und kauft dafür Wertpapiere (dW).##The monetary sector "
                   "adjusts the money supply to the planned money supply of the period (dM) "
                   "and buys bonds for it (dW)."));
        k.Counter(Tr("Die Geldschöpfung erscheint als Nachfrage am Wertpapiermarkt (dM).##The "
                     "creation of money appears as demand on the bond market (dM)."));
        return true;
    }
    case 2: {
        const double x = lY / 2 * (yErw - TaxesExp(m_, t, yErw)) - p.Households;
        lth_ = p.Households + x;
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dLTH = YN,erw*l[Y]/2-LTH(-1)", x, SymL);
        k.Entry(H, Left, false, "dW = " + Num(-x), -x, SymW);
        k.Entry(B, Left, true, "dLTH = " + Num(x), x);
        wa_ += x;
        k.First(Tr("Die pr. Haushalte bringen ihre Transaktionskasse auf den Bedarf der Phase "
                   "(l[Y]/2 des erwarteten Nettoeinkommens YN,erw) und verkaufen dafür "
                   "Wertpapiere (dW).##The households bring their transactions balance to the "
                   "need of the phase (l[Y]/2 of expected net income YN,exp) and sell bonds "
                   "for it (dW)."));
        k.Counter(Tr("Ihr Geldvermögen bleibt gleich; am Wertpapiermarkt bieten sie "
                     "Wertpapiere an (dLTH).##Their financial wealth is unchanged; they supply "
                     "bonds on the bond market (dLTH)."));
        return true;
    }
    case 3: {
        const double x = lY / 2 * v(var::Y) - p.Firms;
        ltu_ = p.Firms + x;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "dLTU = Y*l[Y]/2-LTU(-1)", x, SymL);
        k.Entry(F, Right, false, "-dW = " + Num(x), x, SymNegW);
        k.Entry(B, Left, true, "dLTU = " + Num(x), x);
        wa_ += x;
        k.First(Tr("Die Unternehmen bringen ihre Transaktionskasse auf den Bedarf der Phase "
                   "(l[Y]/2 der Produktion Y) und geben dafür Wertpapiere aus (-dW).##The firms "
                   "bring their transactions balance to the need of the phase (l[Y]/2 of "
                   "output Y) and issue bonds for it (-dW)."));
        k.Counter(Tr("Am Wertpapiermarkt bieten sie Wertpapiere an (dLTU).##They supply bonds "
                     "on the bond market (dLTU)."));
        return true;
    }
    case 4: {
        const double x = lY / 2 * TaxesExp(m_, t, yErw) - p.Government;
        lts_ = p.Government + x;
        if (!flow(x)) return false;
        k.Entry(G, Left, false, "dLTS = T,erw*l[Y]/2-LTS(-1)", x, SymL);
        k.Entry(G, Left, false, "dW = " + Num(-x), -x, SymW);
        k.Entry(B, Left, true, "dLTS = " + Num(x), x);
        wa_ += x;
        k.First(Tr("Der Staat bringt seine Transaktionskasse auf den Bedarf der Phase (l[Y]/2 "
                   "der erwarteten Abgaben T,erw) und verkauft dafür Wertpapiere (dW).##The "
                   "government brings its transactions balance to the need of the phase (l[Y]/2 "
                   "of expected taxes T,exp) and sells bonds for it (dW)."));
        k.Counter(Tr("Am Wertpapiermarkt bietet er Wertpapiere an (dLTS).##It supplies bonds on "
                     "the bond market (dLTS)."));
        return true;
    }
    case 5: {
        double x = 0;
        switch (MoneyMarketRegime(m_, t, i)) {
        case 0:
            x = p.Money - lth_ - ltu_ - lts_ - p.Speculative;
            break;
        case 1:
            x = (m_.GetPar(t, par::LAut) - m_.GetPar(t, par::li) * i) - p.Speculative;
            break;
        default:
            x = -p.Speculative;
        }
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dLS = -dW", x, SymL);
        k.Entry(H, Left, false, "dW = " + Num(-x), -x, SymW);
        k.Entry(B, Left, true, "dLS = " + Num(x), x);
        wa_ += x;
        k.First(Tr("Beim Zinssatz der Phase (i = ##At the interest rate of the phase (i = ") +
                Num(i) +
                Tr(") passen die pr. Haushalte ihre Spekulationskasse an (dLS) und tauschen dafür "
                   "Wertpapiere (dW).##) the households adjust their speculative balance (dLS) "
                   "and exchange bonds for it (dW)."));
        k.Counter(Tr("Die Änderung der Spekulationskasse erscheint am Wertpapiermarkt "
                     "(dLS).##The change of the speculative balance appears on the bond market "
                     "(dLS)."));
        return true;
    }
    case 6: {
        const double x = SavingExp(m_, t, re, yErw) / n;
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dL = -S", -x, SymL);
        k.Entry(H, Left, false, "dW = " + Num(x), x, SymW);
        k.Entry(B, Right, true, "S = " + Num(x), x);
        wn_ += x;
        k.First(Tr("Die pr. Haushalte legen ihre geplante Ersparnis der Phase (S) in "
                   "Wertpapieren an (dW) und geben dafür Geld hin (dL = -S).##The households "
                   "invest their planned saving of the phase (S) in bonds (dW) and pay money "
                   "for them (dL = -S)."));
        k.Counter(Tr("Am Wertpapiermarkt fragen sie Wertpapiere nach (S).##They demand bonds on "
                     "the bond market (S)."));
        return true;
    }
    case 7: {
        const double x = Investment(m_, t, re, yErw) / n;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "dL = I", x, SymL);
        k.Entry(F, Right, false, "-dW = " + Num(x), x, SymNegW);
        k.Entry(B, Left, true, "I = " + Num(x), x);
        wa_ += x;
        k.First(Tr("Die Unternehmen finanzieren ihre geplanten Investitionen der Phase (I) durch "
                   "die Ausgabe von Wertpapieren (-dW) und erhalten dafür Geld (dL = I).##The "
                   "firms finance their planned investment of the phase (I) by issuing bonds "
                   "(-dW) and receive money for them (dL = I)."));
        k.Counter(Tr("Am Wertpapiermarkt bieten sie Wertpapiere an (I).##They supply bonds on "
                     "the bond market (I)."));
        return true;
    }
    case 8: {
        const double b = BudgetSurplusExp(m_, t, yErw) / n;
        if (!flow(b)) return false;
        if (b >= 0) {
            k.Entry(G, Left, false, "dL = -BS", -b, SymL);
            k.Entry(G, Left, false, "dW = " + Num(b), b, SymW);
            k.Entry(B, Right, true, "BS = " + Num(b), b);
            wn_ += b;
            k.First(Tr("Der Staat legt seinen geplanten Budgetüberschuss der Phase (BS) in "
                       "Wertpapieren an (dW).##The government invests its planned budget "
                       "surplus of the phase (BS) in bonds (dW)."));
            k.Counter(Tr("Am Wertpapiermarkt fragt er Wertpapiere nach (BS).##It demands bonds "
                         "on the bond market (BS)."));
        } else {
            k.Entry(G, Left, false, "dL = BD", -b, SymL);
            k.Entry(G, Right, false, "-dW = " + Num(-b), -b, SymNegW);
            k.Entry(B, Left, true, "BD = " + Num(-b), -b);
            wa_ += -b;
            k.First(Tr("Der Staat finanziert sein geplantes Budgetdefizit der Phase (BD) durch "
                       "die Ausgabe von Wertpapieren (-dW).##The government finances its "
                       "planned budget deficit of the phase (BD) by issuing bonds (-dW)."));
            k.Counter(Tr("Am Wertpapiermarkt bietet er Wertpapiere an (BD).##It supplies bonds "
                         "on the bond market (BD)."));
        }
        return true;
    }
    case 9: {
        const double x = CapitalInflow(m_, t, m_.GetPar(t, par::fNK), i) / n;
        if (!flow(x)) return false;
        if (x > 0) {
            k.Entry(X, Right, false, "NK = " + Num(x), x);
            fa_ += x;
            k.Entry(W, Left, false, "dL = NK", x, SymL);
            k.Entry(W, Right, false, "-dW = " + Num(x), x, SymNegW);
            k.Entry(W, Left, true, "dL = -NK", -x, SymL);
            k.Entry(W, Left, true, "dW = " + Num(x), x, SymW);
            k.Entry(B, Right, true, "NK = " + Num(x), x);
            wn_ += x;
            k.First(Tr("Ausländer bieten Devisen an (NK), um inländisches Geld zu erhalten "
                       "(dL = NK).##Foreigners supply foreign exchange (NK) to obtain domestic "
                       "money (dL = NK)."));
            k.Counter(Tr("Mit dem Geld kaufen sie inländische Wertpapiere (dW); am "
                         "Wertpapiermarkt fragen sie Wertpapiere nach (NK).##With the money "
                         "they buy domestic bonds (dW); they demand bonds on the bond market "
                         "(NK)."));
        } else {
            const double y = -x;
            k.Entry(W, Left, false, "dL = -NK", y, SymL);
            k.Entry(W, Right, false, "-dW = " + Num(y), y, SymNegW);
            k.Entry(B, Left, false, "-NK = " + Num(y), y);
            wa_ += y;
            k.Entry(X, Left, true, "-NK = " + Num(y), y);
            fn_ += y;
            k.Entry(W, Left, true, "-dL = -NK", -y, SymL);
            k.Entry(W, Right, true, "-dW = " + Num(-y), -y, SymNegW);
            k.First(Tr("Inländer kaufen ausländische Wertpapiere (Kapitalexport -NK); das "
                       "Ausland bietet sie am Wertpapiermarkt an.##Residents buy foreign bonds "
                       "(capital exports -NK); the rest of the world supplies them on the bond "
                       "market."));
            k.Counter(Tr("Das Ausland tauscht das erhaltene Geld am Devisenmarkt in Devisen "
                         "(-NK).##The rest of the world exchanges the money received into "
                         "foreign exchange (-NK)."));
        }
        return true;
    }
    case 10: {
        const double x = v(var::Ex) / n;
        if (!flow(x)) return false;
        k.Entry(W, Left, false, "dL = Ex", x, SymL);
        k.Entry(W, Right, false, "-dW = " + Num(x), x, SymNegW);
        k.Entry(X, Right, true, "Ex = " + Num(x), x);
        fa_ += x;
        k.First(Tr("Ausländer beschaffen sich für ihre Güterkäufe der Phase (Ex) inländisches "
                   "Geld (dL = Ex).##Foreigners obtain domestic money for their purchases of "
                   "goods in the phase (dL = Ex)."));
        k.Counter(Tr("Dafür bieten sie Devisen an (Ex).##They supply foreign exchange for it "
                     "(Ex)."));
        return true;
    }
    case 11: {
        const double x = v(var::Im) / n;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "-dL = Im", -x, SymL);
        k.Entry(F, Left, false, "dF = " + Num(x), x, SymF);
        k.Entry(X, Left, true, "Im = " + Num(x), x);
        fn_ += x;
        k.First(Tr("Die Unternehmen tauschen Geld in Devisen (dF) für ihre Importe der Phase "
                   "(Im).##The firms exchange money into foreign exchange (dF) for their "
                   "imports of the phase (Im)."));
        k.Counter(Tr("Am Devisenmarkt fragen sie Devisen nach (Im).##They demand foreign "
                     "exchange on the foreign-exchange market (Im)."));
        return true;
    }
    case 12: {
        if (m_.Sw(21) == 1) return false;
        // The intervention clears the foreign-exchange market at this period's real exchange
        // rate; the rate and the reserve inflow were planned at the previous period's.
        const double fNK = m_.GetPar(t, par::fNK);
        const double z =
            BopSurplus(m_, t, fNK, i, RealExchangeRate(m_, t), ImportIncome(m_, t)) / n;
        const double planned =
            BopSurplus(m_, t, fNK, i, PrevRealExchangeRate(m_, t), ImportIncome(m_, t)) / n;
        const double total = ReserveInflowStep(m_, t, i);
        if (!flow(z)) return false;
        if (z > 0) {
            k.Entry(X, Left, false, "dWR = " + Num(z), z);
            fn_ += z;
        } else {
            k.Entry(X, Right, false, "-dWR = " + Num(-z), -z);
            fa_ += -z;
        }
        k.Entry(Fin, Left, false, "dWR = Z", z, SymWR);
        k.Entry(Fin, Right, false, "dM = " + Num(z), z, SymM);
        k.First(z > 0 ? Tr("Die Zentralbank interveniert am Devisenmarkt und gleicht den "
                           "dortigen Angebotsüberschuß in Höhe des Zahlungsbilanzsaldos (Z) "
                           "durch eigene Devisennachfrage aus (dWR = Z).##The central bank "
                           "intervenes on the foreign-exchange market and takes up the excess "
                           "supply there, equal to the balance-of-payments surplus (Z), by its "
                           "own demand for foreign exchange (dWR = Z).")
                      : Tr("Die Zentralbank interveniert am Devisenmarkt und gleicht den "
                           "dortigen Nachfrageüberschuß in Höhe des negativen "
                           "Zahlungsbilanzsaldos (-Z) durch Hergabe eigener Devisenbestände "
                           "aus (dWR = Z).##The central bank intervenes on the foreign-exchange "
                           "market and meets the excess demand there, equal to the negative "
                           "balance of payments (-Z), from its own reserves (dWR = Z)."));
        k.Line(SchemeLine::Plain,
               z > 0 ? Tr("Hierdurch steigt die Geldmenge in Höhe der zusätzl. "
                          "Währungsreserven (dM = dWR).##This raises the money supply by the "
                          "additional currency reserves (dM = dWR).")
                     : Tr("Hierdurch sinkt die Geldmenge in Höhe der abgeflossenen "
                          "Währungsreserven (dM = dWR).##This lowers the money supply by the "
                          "reserves lost (dM = dWR)."));
        const double rest = total - z;
        if (!FormatsToZero(rest)) {
            k.Entry(Fin, Left, true, "dW = " + Num(rest), rest, SymW);
            k.Entry(Fin, Right, true, "dM = " + Num(rest), rest, SymM);
            k.Entry(B, Right, true, "dM = " + Num(rest), rest);
            wn_ += rest;
            k.Counter(Tr("In Abhängigkeit der Neutralisierungspolitik der Zentralbank (n) ändert "
                         "sich die Geldmenge zusätzlich durch Wertpapierkäufe oder -verkäufe "
                         "(dW = GSM*(1-n)*Z - dWR).##Depending on the central bank's "
                         "neutralisation policy (n) the money supply changes further through "
                         "purchases or sales of bonds (dW = GSM*(1-n)*Z - dWR)."));
            k.Line(SchemeLine::Plain,
                   Tr("Dies schlägt sich als zusätzliche Nachfrage am Wertpapiermarkt nieder "
                      "(dWN = dM).##This shows as additional demand on the bond market "
                      "(dWN = dM)."));
        }
        // What the balance of payments brought beyond the planned one stays with the firms
        // (exports and imports are theirs), who hold it in bonds: the bond market clears at
        // the planned rate.
        const double surprise = z - planned;
        if (!FormatsToZero(surprise)) {
            k.Entry(F, Left, true, "dL = " + Num(-surprise), -surprise, SymL);
            k.Entry(F, Left, true, "dW = " + Num(surprise), surprise, SymW);
            k.Entry(B, Right, true, "dZ = " + Num(surprise), surprise);
            wn_ += surprise;
            k.Line(SchemeLine::Plain,
                   Tr("Der Zahlungsbilanzsaldo weicht um dZ von dem beim Realwechselkurs der "
                      "Vorperiode geplanten ab; die Unternehmen legen den Unterschied in "
                      "Wertpapieren an (dWN = dZ).##The balance of payments differs by dZ from "
                      "the one planned at the previous period's real exchange rate; the firms "
                      "invest the difference in bonds (dWN = dZ)."));
        }
        k.Line(SchemeLine::Plain,
               std::to_string(k.tag) + "*) " +
                   Tr("Insgesamt hat sich damit die Geldmenge um dM = GSM*(1-n)*Z = ##In total "
                      "the money supply has thus changed by dM = GSM*(1-n)*Z = ") +
                   Num(total) + Tr(" geändert.##."),
               k.tag);
        return true;
    }
    case 13:
    case 14: {
        const bool bonds = booking == 13;
        if (!bonds && !Visible(X)) return false;
        const double left = bonds ? wa_ : fn_, right = bonds ? wn_ : fa_;
        if (FormatsToZero(left) && FormatsToZero(right)) return false;
        Begin(k, bonds ? wa_ : fa_);
        const A mk = bonds ? B : X;
        k.Separator(mk, 50);
        k.Entry(mk, Left, false, std::string(bonds ? "WA = " : "FN = ") + Num(left), 0);
        k.Entry(mk, Right, false, std::string(bonds ? "WN = " : "FA = ") + Num(right), 0);
        k.First(bonds ? Tr("*** Abschluss des Wertpapiermarktes ***##*** Closing of the bond "
                           "market ***")
                      : Tr("*** Abschluss des Devisenmarktes ***##*** Closing of the "
                           "foreign-exchange market ***"));
        // At the interest floor the rate cannot fall far enough to clear the bond market
        // (liquidity trap): the gap is shown as what it is.
        if (bonds && MoneyMarketRegime(m_, t, i) == 0 && !FormatsToZero(right - left))
            k.Line(SchemeLine::Plain,
                   Tr("Hinweis: Der Zinssatz liegt an seiner Untergrenze (i = ##Note: the interest "
                      "rate is at its floor (i = ") +
                       Num(i) +
                       Tr("); tiefer kann er nicht sinken, so dass der Wertpapiermarkt nicht "
                          "geräumt wird (Liquiditätsfalle). Lücke WN - WA = ##); it cannot fall "
                          "further, so the bond market does not clear (liquidity trap). Gap "
                          "WN - WA = ") +
                       Num(right - left) + ".");
        return true;
    }
    case 15: {
        const double x = v(var::Im) / n;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "dSV = Im", x, SymSV);
        k.Entry(F, Left, false, "dF = " + Num(-x), -x, SymF);
        k.Entry(W, Right, true, "dGV = Im", x, SymGV);
        k.Entry(W, Right, true, "-dW = " + Num(-x), -x, SymNegW);
        k.First(Tr("Die Unternehmen führen die Beschaffung von Importgütern durch. Ihr "
                   "Sachvermögen steigt (dSV = Im), ihr Devisenbestand sinkt (dF = -Im).##The "
                   "firms take delivery of the imported goods. Their real wealth rises "
                   "(dSV = Im), their foreign exchange falls (dF = -Im)."));
        k.Counter(Tr("Das Geldvermögen des Auslands steigt um die verkauften Güter (dGV = Im); "
                     "es erhält seine Devisen zurück (-dW = -Im).##The financial wealth of the "
                     "rest of the world rises by the goods sold (dGV = Im); it gets its foreign "
                     "exchange back (-dW = -Im)."));
        return true;
    }
    case 16: {
        const double x = v(var::Y) / n;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "dSV = Y", x, SymSV);
        k.Entry(F, Right, false, "-dW = " + Num(x), x, SymNegW);
        k.Entry(H, Left, true, "dW = " + Num(x), x, SymW);
        k.Entry(H, Right, true, "dGV = " + Num(x), x, SymGV);
        k.First(Tr("Die Unternehmen produzieren mit den Faktorleistungen der pr. Haushalte "
                   "Güter auf Lager (dSV = Y); die Faktorentgelte schulden sie bis zur Zahlung "
                   "(-dW = Y).##The firms produce goods for stock with the households' factor "
                   "services (dSV = Y); they owe the factor incomes until payment (-dW = Y)."));
        k.Counter(Tr("Das Geldvermögen der pr. Haushalte steigt um die Forderung auf "
                     "Faktorentgelte (dGV = Y).##The households' financial wealth rises by "
                     "their claim to factor incomes (dGV = Y)."));
        return true;
    }
    case 17: {
        const double x = v(var::Tr) / n;
        if (!flow(x)) return false;
        k.Entry(G, Left, false, "dL = -Tr", -x, SymL);
        k.Entry(G, Right, false, "dGV = " + Num(-x), -x, SymGV);
        k.Entry(H, Left, true, "dL = Tr", x, SymL);
        k.Entry(H, Right, true, "dGV = " + Num(x), x, SymGV);
        k.First(Tr("Der Staat zahlt Übertragungen an die pr. Haushalte. Seine Kasse und sein "
                   "Geldvermögen sinken (dL = dGV = -Tr).##The government pays transfers to the "
                   "households. Its cash and financial wealth fall (dL = dGV = -Tr)."));
        k.Counter(Tr("Kasse und Geldvermögen der pr. Haushalte steigen (dL = dGV = Tr).##The "
                     "households' cash and financial wealth rise (dL = dGV = Tr)."));
        return true;
    }
    case 18: {
        const double x = v(var::C) / n;
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dL = -C", -x, SymL);
        k.Entry(H, Right, false, "dGV = " + Num(-x), -x, SymGV);
        k.Entry(F, Left, true, "dL = C", x, SymL);
        k.Entry(F, Left, true, "dSV = " + Num(-x), -x, SymSV);
        k.First(Tr("Die pr. Haushalte kaufen Konsumgüter. Ihre Kasse und ihr Geldvermögen "
                   "sinken (dL = dGV = -C).##The households buy consumer goods. Their cash and "
                   "financial wealth fall (dL = dGV = -C)."));
        k.Counter(Tr("Die Kasse der Unternehmen steigt (dL = C), ihr Lager sinkt "
                     "(dSV = -C).##The firms' cash rises (dL = C), their stock falls "
                     "(dSV = -C)."));
        return true;
    }
    case 19: {
        const double x = v(var::G) / n;
        if (!flow(x)) return false;
        k.Entry(G, Left, false, "dL = -G", -x, SymL);
        k.Entry(G, Right, false, "dGV = " + Num(-x), -x, SymGV);
        k.Entry(F, Left, true, "dL = G", x, SymL);
        k.Entry(F, Left, true, "dSV = " + Num(-x), -x, SymSV);
        k.First(Tr("Der Staat kauft Güter. Seine Kasse und sein Geldvermögen sinken "
                   "(dL = dGV = -G).##The government buys goods. Its cash and financial wealth "
                   "fall (dL = dGV = -G)."));
        k.Counter(Tr("Die Kasse der Unternehmen steigt (dL = G), ihr Lager sinkt "
                     "(dSV = -G).##The firms' cash rises (dL = G), their stock falls "
                     "(dSV = -G)."));
        return true;
    }
    case 20: {
        const double x = v(var::Ex) / n;
        if (!flow(x)) return false;
        k.Entry(W, Left, false, "dL = -Ex", -x, SymL);
        k.Entry(W, Right, false, "dGV = " + Num(-x), -x, SymGV);
        k.Entry(F, Left, true, "dL = Ex", x, SymL);
        k.Entry(F, Left, true, "dSV = " + Num(-x), -x, SymSV);
        k.First(Tr("Ausländer kaufen Güter mit dem zuvor beschafften Geld. Ihre Kasse und ihr "
                   "Geldvermögen sinken (dL = dGV = -Ex).##Foreigners buy goods with the money "
                   "obtained before. Their cash and financial wealth fall (dL = dGV = -Ex)."));
        k.Counter(Tr("Die Kasse der Unternehmen steigt (dL = Ex), ihr Lager sinkt "
                     "(dSV = -Ex).##The firms' cash rises (dL = Ex), their stock falls "
                     "(dSV = -Ex)."));
        return true;
    }
    case 21: {
        const double x = v(var::Y) / n;
        if (!flow(x)) return false;
        k.Entry(F, Left, false, "dL = -Y", -x, SymL);
        k.Entry(F, Right, false, "-dW = " + Num(-x), -x, SymNegW);
        k.Entry(H, Left, true, "dL = Y", x, SymL);
        k.Entry(H, Left, true, "dW = " + Num(-x), -x, SymW);
        k.First(Tr("Die Unternehmen zahlen die Faktoreinkommen aus. Ihre Kasse sinkt, ihre "
                   "Schuld gegenüber den pr. Haushalten erlischt (dL = -dW = -Y).##The firms "
                   "pay the factor incomes. Their cash falls and their debt to the households "
                   "is settled (dL = -dW = -Y)."));
        k.Counter(Tr("Die Kasse der pr. Haushalte steigt, ihre Forderung erlischt (dL = Y, "
                     "dW = -Y).##The households' cash rises and their claim is settled "
                     "(dL = Y, dW = -Y)."));
        return true;
    }
    case 22: {
        const double x = v(var::T) / n;
        if (!flow(x)) return false;
        k.Entry(H, Left, false, "dL = -T", -x, SymL);
        k.Entry(H, Right, false, "dGV = " + Num(-x), -x, SymGV);
        k.Entry(G, Left, true, "dL = T", x, SymL);
        k.Entry(G, Right, true, "dGV = " + Num(x), x, SymGV);
        k.First(Tr("Die pr. Haushalte entrichten Abgaben an den Staat. Ihr Kassenbestand und "
                   "ihr Geldvermögen sinken (dL = dGV = -T).##The households pay taxes to the "
                   "government. Their cash and financial wealth fall (dL = dGV = -T)."));
        k.Counter(Tr("Kasse und Geldvermögen des Staates steigen (dL = dGV = T).##The "
                     "government's cash and financial wealth rise (dL = dGV = T)."));
        return true;
    }
    case 23: {
        Begin(k, 0);
        for (A a : {H, F, Fin, G, W}) {
            if (!Visible(a)) continue;
            k.Separator(a, 50);
            const auto& c = k.change[static_cast<int>(a)];
            for (int s = 0; s < SymCount; ++s)
                if (!FormatsToZero(c[s])) k.Entry(a, SymSide[s], false, SymText[s] + Num(c[s]), 0);
        }
        k.First(Tr("*** Sektoraler Kontenabschluss ***##*** Closing of the sector accounts ***"));
        return true;
    }
    default:
        return false;
    }
}

} // namespace tv
