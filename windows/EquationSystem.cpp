#include "windows/EquationSystem.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/RuleServer.h"
#include "core/Symbols.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tv {

namespace {

constexpr const char* EquCond = "GG-Bed##Equ.-Cond.";

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

bool Contains(const std::string& s, std::string_view part) {
    return s.find(part) != std::string::npos;
}

// A composed line loses a leading plus after "=" or "(", a coefficient 1 and the double
// signs a negative value leaves behind.
std::string Tidy(std::string s) {
    ReplaceAll(s, " + -", " - ");
    ReplaceAll(s, " - -", " + ");
    ReplaceAll(s, "= + ", "= ");
    ReplaceAll(s, "= +", "= ");
    ReplaceAll(s, "( + ", "(");
    ReplaceAll(s, " 1*", " ");
    ReplaceAll(s, "(1*", "(");
    ReplaceAll(s, ";1*", ";");
    return s;
}

// Record numbers of the expectation settings the tree shows.
enum ExpRecord {
    ExpIncome = 0,
    ExpDemand = 3,
    ExpImports = 4,
    ExpInflation = 5,
    ExpProductivity = 6,
    ExpUnemployment = 7
};

class Builder {
  public:
    Builder(const Model& m, int t, int language) : m_(m), t_(t), lang_(language) {}

    EquationSystem Build() {
        GoodsMarket();
        if (PriceEndogenous()) LabourMarket();
        Distribution();
        BondMarket();
        ForeignExchange();
        EquationSystem s;
        s.Period = t_;
        s.Lines = std::move(lines_);
        return s;
    }

  private:
    // ---- helpers ----
    std::string Tr(std::string_view s) const { return Translate(s, lang_); }
    double P(int n) const { return m_.GetPar(t_, n); }
    double V(int n) const { return m_.GetVar(t_, n); }
    std::string Val(double x) const { return EquationValue(x, m_.DecimalSeparator); }
    // A summand made from a value: empty when the value writes as "0".
    std::string TermOf(double x, std::string_view before, std::string_view after) const {
        std::string v = Val(x);
        if (v == "0") return {};
        return std::string(before) + v + std::string(after);
    }
    std::string Term(int n, std::string_view before, std::string_view after) const {
        return TermOf(P(n), before, after);
    }
    void Add(int level, std::string text, int code) {
        lines_.push_back({Tidy(std::move(text)), level, code});
    }
    bool Has(std::string_view prefix) const {
        for (const auto& l : lines_)
            if (l.Text.rfind(prefix, 0) == 0) return true;
        return false;
    }

    bool PriceEndogenous() const { return m_.Sw(12) != 0; }
    bool RuleBased(int k) const {
        const Expectation& e = m_.Expect[k];
        return t_ > 0 && e.RuleBased == 1 && !e.Antecedents.empty() && m_.Rules &&
               m_.Rules->Serves(k);
    }

    // The expectation rule of record k for the quantity named `x` (its past values are
    // x(-1), ...); `actual` is the text of method 1.
    void ExpectationRule(int level, int k, const std::string& x, const std::string& actual,
                         const std::string& method4 = {}, const std::string& method5 = {}) {
        const std::string exp = x + "~erw~";
        if (RuleBased(k)) {
            Add(level, exp + " = f(rule base)", 70 + k);
            return;
        }
        const Expectation& e = m_.Expect[k];
        std::string rhs;
        switch (e.Method) {
        case 1:
            rhs = actual;
            break;
        case 2:
            if (e.Lags <= 1)
                rhs = x + "(-1)";
            else if (e.Lags == 2)
                rhs = "mittel[" + x + "(-1)," + x + "(-2)]";
            else
                rhs = "mittel[" + x + "(-1),..," + x + "(-" +
                      std::to_string(std::min<int>(e.Lags, 5)) + ")]";
            break;
        case 3:
            if (e.Weight >= 100)
                rhs = x + "(-1)";
            else
                rhs =
                    exp + "(-1) + " + Val(e.Weight / 100.0) + "*[" + x + "(-1) - " + exp + "(-1)]";
            break;
        case 4:
            rhs = method4;
            break;
        case 5:
            rhs = method5;
            break;
        default:
            break;
        }
        if (rhs.empty()) return; // a method this quantity does not know has no rule
        Add(level, exp + " = " + rhs, 60 + k);
    }

    // ---- goods market ----
    void GoodsMarket() {
        std::string top = Tr("Gütermarkt##Goods Market");
        if (t_ == 0) top += ": N = X (" + Tr(EquCond) + ")";
        Add(0, top, 10);

        // Behavioural lines first, so that the demand line can list what is present.
        std::string c;
        c += Term(par::CAut, " ", "");
        if (m_.Sw(1) == 1) {
            c += Term(par::cYL, " + ", "*YLV~erw~");
            c += Term(par::cYU, " + ", "*YUV~erw~");
        } else {
            c += Term(par::cY, " + ", "*YV~erw~");
        }
        c += Term(par::cr, " - ", "*r~erw~");
        if (m_.Sw(2) == 1) c += " + S~unw~(-1)";

        std::string inv = Term(par::IAut, " ", "");
        if (m_.Sw(3) == 1)
            inv += Term(par::bdY, " + ", "*dY~erw~");
        else
            inv += Term(par::bY, " + ", "*Y~erw~");
        inv += Term(par::bYU, " + ", "*YUV~erw~");
        inv += Term(par::br, " - ", "*r~erw~");
        if (m_.Sw(5) == 1) inv += " - I~unw~(-1)";
        const bool floorLine = m_.Sw(3) == 1 && m_.Sw(4) == 1 && !Term(par::bdY, "", "").empty();

        std::string g = Term(par::GAut, " ", "");
        const double gT = P(par::gT);
        if (gT < 0)
            g += TermOf(-gT, " - ", "*T~erw~");
        else
            g += Term(par::gT, " + ", "*T~erw~");

        std::string ex = Term(par::ExAut, " ", "");
        ex += Term(par::xe, " + ", "*e");

        std::string n;
        if (!c.empty()) n += " C";
        if (!inv.empty()) n += " + I";
        if (!g.empty()) n += " + G";
        if (!ex.empty()) n += " + Ex";
        Add(1, Tr("Nachfrage##Demand") + (n.empty() ? ": N = 0" : ": N =" + n), 10);
        if (!c.empty()) Add(2, "C =" + c, 11);
        if (!inv.empty()) Add(2, "I =" + inv, 12);
        if (floorLine) {
            const std::string k = TermOf(P(par::dK), "-", "*K");
            Add(2, "b[dY]*dY~erw~ >= " + (k.empty() ? std::string("0") : k), 12);
        }
        if (!g.empty()) Add(2, "G =" + g, 13);
        if (!ex.empty()) Add(2, "Ex =" + ex, 14);

        const std::string demand = c + inv + g;
        if (Contains(demand, "Y~erw~") || Contains(demand, "V~erw~") || Contains(demand, "T~erw~"))
            ExpectationRule(2, ExpIncome, "Y", "Y~tats~");
        if (Contains(c, "r~erw~") || Contains(inv, "r~erw~")) InterestLine(2);

        // Supply.
        std::string im = Term(par::ImAut, " ", "");
        im += Term(par::mY, " + ", m_.Sw(9) == 1 ? "*Y~erw~" : "*Y");
        im += Term(par::me, " + ", "/e");
        if (!im.empty() && m_.Sw(10) == 1) im += " - Im~unw~(-1)";
        const bool imports = !im.empty();
        Add(1, Tr("Angebot##Supply") + (imports ? ": X = Y + Im" : ": X = Y"), 20);
        Add(2, imports ? "Y = N~erw~ - Im~erw~" : "Y = N~erw~", 61);
        ExpectationRule(3, ExpDemand, "N", "N~tats~");
        if (imports) ExpectationRule(3, ExpImports, "Im", "Im~tats~", "X - Y");
        if (PriceEndogenous()) {
            // The capital stock of the period: exogenous, or accumulated after period 0.
            const std::string k = Val(m_.Sw(8) == 1 || t_ == 0 ? P(par::KExog) : V(var::K));
            if (m_.Sw(6) == 1)
                Add(2,
                    "Y  = " + Val(P(par::q)) + "*(A~" + Val(P(par::alpha)) + "~)*(" + k + "~" +
                        Val(P(par::beta)) + "~)" + Tr(" (Prod.fkt.)## (prod. fn.)"),
                    21);
            else
                Add(2,
                    "Y  = min(" + Val(P(par::a)) + "*A;" + Val(P(par::k)) + "*" + k + ")" +
                        Tr(" (Prod.fkt.)## (prod. fn.)"),
                    21);
        }
        if (imports) Add(2, "Im =" + im, 22);
        PriceLines(2);
    }

    // The real interest rate the demand lines use.
    void InterestLine(int level) {
        const bool endo = PriceEndogenous();
        std::string s = "r~erw~ = i";
        if (endo) s += " - gP~erw~";
        if (m_.Sw(17) == 0) {
            s += " = " + Val(P(par::iExog)) + "%";
            if (endo) s += " - gP~erw~";
        }
        Add(level, s, 41);
        if (Contains(s, "gP")) InflationRule(level + 1);
    }

    void InflationRule(int level) {
        ExpectationRule(level, ExpInflation, "gP", "0", "gMN(-1)", "gMN~plan~");
    }

    void PriceLines(int level) {
        switch (m_.Sw(12)) {
        case 0:
            Add(level, "P = " + Val(P(par::PExog)), 23);
            break;
        case 1:
            Add(level, "P = (dA/dY)*wN", 23);
            break;
        case 2:
        case 3: {
            std::string markup =
                "[1" + Term(par::jAut, " + ", "") + Term(par::jY, " + ", "*(Y/Y~pot~)") + "]*LSK";
            if (markup == "[1]*LSK") markup = "LSK";
            if (m_.Sw(12) == 3)
                Add(level, "P = (Y/X)*" + markup + " + (Im/X)*e,nom*PA", 23);
            else
                Add(level, "P = " + markup, 23);
            Add(level, "LSK = wN*A/Y", 24);
            Add(level, "P >= P,u = " + Val(P(par::Pu)), 23);
            break;
        }
        default:
            break; // a price mode the model does not know has no line
        }
    }

    // ---- labour market ----
    void LabourMarket() {
        const std::string tzr = std::to_string(m_.TZR());
        std::string rule;
        if (m_.Sw(14) == 0) {
            rule = Val(P(par::wNExog));
        } else {
            const bool round = IsWagePeriodStart(m_, t_);
            const std::string uTerm = Term(par::wu, " + ", "*(" + Val(P(par::uNat)) + " - u~erw~)");
            const std::string growth =
                Term(par::wgP, " + ", "*gP~erw~") + Term(par::wga, " + ", "*ga~erw~");
            const std::string constant = Term(par::wV, " + ", "");
            std::string inner;
            std::string base = "wN(-" + tzr + ")";
            if (round) {
                inner = growth + uTerm + constant;
            } else if (m_.Sw(14) == 2) {
                // Between rounds the round's growth stays, unemployment moves the wage.
                inner = (growth.empty() && constant.empty() ? std::string()
                                                            : std::string(" + gwNV(TVP)")) +
                        uTerm;
                base = "wN(TVP-" + tzr + ")";
            } else {
                base = "wN(-1)";
            }
            rule = inner.empty() ? base : "[1 + (" + inner + ")/100]*" + base;
        }
        Add(0, Tr("Arbeitsmarkt##Labour Market") + ": wN = " + rule, 24);
        if (Contains(rule, "gP~erw~")) InflationRule(1);
        if (Contains(rule, "ga~erw~")) ExpectationRule(1, ExpProductivity, "ga", "0");
        if (Contains(rule, "u~erw~")) ExpectationRule(1, ExpUnemployment, "u", "u");
        std::string demand;
        if (m_.Sw(12) == 1)
            demand = "w = dY/dA";
        else if (m_.Sw(6) == 1)
            demand = "A = A(Y)";
        else
            demand = P(par::a) == 1 ? std::string("A = Y") : "A = Y/" + Val(P(par::a));
        Add(1, Tr("Nachfrage##Demand") + ": " + demand, 21);
        Add(1, Tr("Angebot##Supply") + ": A~pot~ = " + Val(P(par::APot)), 21);
    }

    // ---- distribution ----
    void Distribution() {
        Add(0, Tr("(Um-) Verteilung##(Re-) Distribution"), 30);
        Add(1,
            Tr("Primärverteilung##Market Income Distribution") +
                ": Y = YL + YU = LQ/100*Y + (1-LQ/100)*Y",
            31);
        if (m_.Sw(15) != 0 || m_.Sw(12) != 0 || m_.Sw(14) != 0)
            Add(2, "LQ = (wN*A)/(P*Y)*100", 31);
        else
            Add(2, "LQ = " + Val(P(par::LQExog)) + " %", 31);

        const std::string disp = Tr("Verfügbares Einkommen##Disposable Income");
        if (m_.Sw(16) == 1) {
            const std::string tr = Term(par::SBAut, " ", "");
            const std::string sub = Term(par::SubAut, " ", "");
            const std::string tl = Term(par::TLAut, " ", "") + Term(par::tYL, " + ", "*YL");
            const std::string tu = Term(par::TUAut, " ", "") + Term(par::tYU, " + ", "*YU");
            Add(1, disp + ": YV = YLV + YUV", 31);
            Add(2,
                std::string("YLV = YL") + (tr.empty() ? "" : " + Tr") + (tl.empty() ? "" : " - TL"),
                31);
            if (!tr.empty()) Add(3, "Tr =" + tr, 33);
            if (!tl.empty()) Add(3, "TL =" + tl, 32);
            Add(2,
                std::string("YUV = YU") + (sub.empty() ? "" : " + Sub") +
                    (tu.empty() ? "" : " - TU"),
                31);
            if (!sub.empty()) Add(3, "Sub =" + sub, 33);
            if (!tu.empty()) Add(3, "TU =" + tu, 32);
        } else {
            const std::string tr = Term(par::SBAut, " ", "") + Term(par::SubAut, " + ", "");
            const std::string tax = Term(par::TAut, " ", "") + Term(par::tY, " + ", "*Y");
            Add(1, disp + ": YV = Y" + (tr.empty() ? "" : " + Tr") + (tax.empty() ? "" : " - T"),
                31);
            if (!tr.empty()) Add(2, "Tr =" + tr, 33);
            if (!tax.empty()) Add(2, "T =" + tax, 32);
            Add(2, "YLV = LQ/100*YV " + Tr("bzw.##resp.") + " YUV = (1-LQ/100)*YV", 31);
        }
    }

    // ---- bond market, money and capital flows ----
    void BondMarket() {
        const int sw17 = m_.Sw(17);
        if (sw17 == 1 || sw17 == 2) {
            Add(0, Tr("Wertpapiermarkt##Bonds Market") + ": WN = WA (" + Tr(EquCond) + ")", 40);
            if (sw17 == 1) {
                Add(1, Tr("Nachfrage##Demand") + ": WN = KA + M", 40);
                CapitalSupply(2);
                MoneySupply(2);
                Add(1, Tr("Angebot##Supply") + ": WA = KN + L", 40);
                CapitalDemand(2);
                MoneyDemandLines(2);
                return;
            }
            Add(1, Tr("Nachfrage##Demand") + ": WN = M", 40);
            MoneySupply(2);
            Add(1, Tr("Angebot##Supply") + ": WA = L", 40);
            MoneyDemandLines(2);
        }
        // Without the complete bond market the capital flows are shown for information.
        std::string node = Tr("nachrichtlich##additional information") + ": " +
                           Tr("&Kapitalmarkt##&Capital Market") + " (" + Tr("Ströme##Flows") + ")";
        node.erase(std::remove(node.begin(), node.end(), '&'), node.end());
        Add(0, node, 40);
        Add(1, Tr("Nachfrage##Demand") + ": ", 40);
        CapitalDemand(2, &lines_.back());
        Add(1, Tr("Angebot##Supply") + ": ", 40);
        CapitalSupply(2, &lines_.back());
    }

    // The parts of the capital-market lines that are present in the goods-market tree.
    std::string BudgetComponents() const {
        std::string bs;
        if (Has("T =") || Has("TL =") || Has("TU =")) bs += " T~erw~";
        if (Has("G =")) bs += " - G";
        if (Has("Tr =") || Has("Sub =")) bs += " - Tr";
        return bs;
    }

    // Capital supply: dKA = S + BS. With `head` the first line is appended to it and the
    // rest become its children.
    void CapitalSupply(int level, EquationLine* head = nullptr) {
        const std::string bs = BudgetComponents();
        const std::string first = "dKA = S" + std::string(bs.empty() ? "" : " + BS");
        const int child = head ? level : level + 1;
        if (head)
            head->Text = Tidy(head->Text + first);
        else
            Add(level, first, 0);
        Add(child, Has("C =") ? "S = YV~erw~ - C" : "S = YV~erw~", 0);
        if (!bs.empty()) Add(child, "BS =" + bs, 0);
    }

    // Capital demand: dKN = I + AB.
    void CapitalDemand(int level, EquationLine* head = nullptr) {
        std::string ab;
        if (Has("Ex =")) ab += " Ex";
        if (Has("Im =")) ab += " - Im";
        std::string first = "dKN =";
        if (Has("I =")) first += " I";
        if (!ab.empty()) first += " + AB";
        if (first == "dKN =") first += " 0";
        const int child = head ? level : level + 1;
        if (head)
            head->Text = Tidy(head->Text + first);
        else
            Add(level, first, 0);
        if (!ab.empty()) Add(child, "AB =" + ab, 0);
    }

    void MoneyDemandLines(int level) {
        const std::string lt = Term(par::lY, "", "*Y");
        const std::string ls = Term(par::LAut, " ", "") + Term(par::li, " - ", "*i");
        std::string l = "L =";
        if (!lt.empty()) l += " LT";
        if (!ls.empty()) l += " + LS";
        if (l == "L =") l += " 0";
        Add(level, l, 42);
        if (!lt.empty()) Add(level + 1, "LT = " + lt, 42);
        if (!ls.empty()) Add(level + 1, "LS =" + ls, 42);
        const std::string iu = Val(P(par::iu));
        Add(level + 1, Tr("Zinsuntergrenze##Interest Rate Minimum") + ": i,u = " + iu, 42);
    }

    void MoneySupply(int level) {
        Add(level, "M = MN/P", 43);
        const bool banks = m_.Sw(18) == 1;
        const int l = level + 1;
        std::string x = "MN"; // the quantity the central bank steers
        if (banks) {
            const double b = P(par::bM), r = P(par::rSE);
            std::string mn = "MN =";
            if (b != 0) mn += " BGU";
            if (b != 1) mn += " + SE";
            Add(l, mn, 43);
            if (b != 0) Add(l, "BGU = " + Val(b) + "*MN", 43);
            const bool reserves = b != 1 && r != 0;
            if (reserves) Add(l, "MR = " + Val(r) + "*SE", 43);
            std::string mb = "MB =";
            if (b != 0) mb += " BGU";
            if (reserves) mb += " + MR";
            Add(l, mb + " (" + Tr(EquCond) + ")", 43);
            x = "MB";
        }
        const std::string mzzr = std::to_string(m_.MZZR());
        const double g = P(par::gMNAut);
        const std::string dynamic = x + " = " + Val(1 + g / 100) + "*" + x + "(-" + mzzr + ")";
        const double level0 = banks ? P(par::MBNAut) : P(par::MNAut);
        const double change = banks ? P(par::dMBHNAut) : P(par::dMHNAut);
        const std::string h = banks ? "dMBH" : "dMNH";
        if (m_.Sw(19) == 0) {
            if (m_.Sw(20) == 1)
                Add(l, dynamic, 43);
            else
                Add(l, x + " = " + Val(level0), 43);
        } else if (m_.Sw(21) == 1) {
            if (m_.Sw(20) == 1)
                Add(l, dynamic, 43);
            else if (t_ > 0)
                Add(l,
                    x + " = " + x + "(-1)" + (change >= 0 ? " + " : " - ") + Val(std::fabs(change)),
                    43);
            else
                Add(l, x + " = " + Val(banks ? MonetaryBase(m_, t_) : V(var::MN)), 43);
        } else {
            Add(l, x + " = " + x + "(-1) + " + h + " + dWR", 43);
            const std::string n = Term(par::nWR, " - ", "*dWR");
            if (m_.Sw(20) == 1) {
                if (IsMonetaryPeriodStart(m_, t_) && g != 0)
                    Add(l, h + " = " + Val(g / 100) + "*" + x + "(-1)" + n, 43);
                else
                    Add(l, h + " =" + (n.empty() ? std::string(" 0") : n), 43);
            } else {
                if (t_ == 0) Add(l, x + "(-oo) = " + Val(change), 43);
                // In period 0 the parameter holds the start stock, not a change.
                std::string d = t_ == 0 ? std::string() : TermOf(change, " ", "");
                d += n;
                Add(l, h + " =" + (d.empty() ? std::string(" 0") : d), 43);
            }
            Add(l, "dWR = P*Z", 43);
        }
    }

    // ---- foreign-exchange market ----
    void ForeignExchange() {
        const bool flexible = m_.Sw(21) == 1;
        if (!flexible && m_.Sw(17) == 0) return;

        const double f = P(par::fNK);
        std::string inner = Term(par::NKAut, " ", "");
        const double iA = P(par::iA);
        inner += Term(par::kdi, " + ", iA != 0 ? "*(i - " + Val(iA) + ")" : std::string("*i"));
        std::string nk = Term(par::fNK, " ", "*NK(-1)");
        if (!inner.empty()) {
            inner = Tidy("=" + inner).substr(2); // without the leading blank and plus
            nk += f != 0 ? " + (1-" + Val(f) + ")*(" + inner + ")" : " + " + inner;
        }
        const bool imports = Has("Im ="), exports = Has("Ex =");
        // Under fixed rates a closed economy without capital flows has no foreign-exchange
        // market worth showing, unless its balance moves the money supply.
        if (!flexible && !imports && !exports && nk.empty() && m_.Sw(19) == 0) return;

        Add(0,
            Tr("Devisenmarkt##Foreign Exchange Market") +
                (flexible ? ": FN = FA (" + Tr(EquCond) + ")" : std::string(": Z = FA - FN")),
            50);
        Add(1, Tr("Nachfrage##Demand") + (imports ? ": FN = Im" : ": FN = 0"), 50);
        std::string fa;
        if (exports) fa += " Ex";
        if (!nk.empty()) fa += " + NK";
        Add(1, Tr("Angebot##Supply") + (fa.empty() ? ": FA = 0" : ": FA =" + fa), 50);
        if (!nk.empty()) Add(2, "NK =" + nk, 52);
    }

    const Model& m_;
    int t_;
    int lang_;
    std::vector<EquationLine> lines_;
};

} // namespace

int EquationSystem::Find(const std::string& prefix) const {
    for (size_t k = 0; k < Lines.size(); ++k)
        if (Lines[k].Text.rfind(prefix, 0) == 0) return static_cast<int>(k);
    return -1;
}

EquationSystem BuildEquationSystem(const Model& m, int t, int language) {
    return Builder(m, t, language).Build();
}

void LineCodeTable::Assign(const EquationSystem& system) {
    codes_.resize(system.Lines.size());
    for (size_t k = 0; k < system.Lines.size(); ++k)
        codes_[k] = static_cast<uint8_t>(system.Lines[k].Code);
}

int LineCodeTable::CodeOf(int index) const {
    if (index < 0 || index >= Size()) return 0;
    return codes_[index];
}

bool LineCodeTable::Has(int code) const {
    return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

LineCodeTable& LineCodes(int window) {
    static std::array<LineCodeTable, 2> tables;
    return tables[window == 2 ? 1 : 0];
}

DialogPage DialogForCode(int code) {
    if (code >= 10 && code <= 14) return {1, std::max(1, code - 10)};
    if (code >= 20 && code <= 24) return {2, std::max(1, code - 20)};
    if (code >= 30 && code <= 33) return {3, std::max(1, code - 30)};
    if (code >= 40 && code <= 43) return {4, std::max(1, code - 40)};
    if (code >= 50 && code <= 52) return {5, std::max(1, code - 50)};
    if (code >= 60 && code <= 68) return {6, std::max(0, code - 60)};
    if (code >= 70 && code <= 80) return {6, std::max(0, code - 70)};
    return {};
}

std::array<int, 6>& DialogStartPage() {
    static std::array<int, 6> pages{1, 1, 1, 1, 1, 0};
    return pages;
}

std::string EquationValue(double x, char separator) {
    if (x == 0) return "0"; // also -0, which would write as "-0" and survive as a term
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", x);
    std::string s = buf;
    if (separator != '.') std::replace(s.begin(), s.end(), '.', separator);
    return s;
}

std::string EquationTitle(int period, int language) {
    return Translate(" Modellstruktur für t=## Model Structure for t=", language) +
           std::to_string(period);
}

} // namespace tv
