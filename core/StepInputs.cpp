#include "core/StepInputs.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>

namespace tv::step_inputs {

namespace {

// Collects what a step reads. The groups mirror the behavioural functions, so an equation
// that calls a function lists what that function reads.
class Reads {
  public:
    Reads(const Model& m, int t, List& out) : m_(m), t_(t), out_(out) {}

    Reads& Par(int n, int lag = 0) {
        out_.push_back({StepInput::Par, n, t_ - lag});
        return *this;
    }
    Reads& Var(int n, int lag = 0) {
        out_.push_back({StepInput::Var, n, t_ - lag});
        return *this;
    }
    Reads& VarAt(int n, int period) {
        out_.push_back({StepInput::Var, n, period});
        return *this;
    }
    Reads& ParAt(int n, int period) {
        out_.push_back({StepInput::Par, n, period});
        return *this;
    }
    Reads& Flag(StepInput::Kind k) {
        out_.push_back({k, 0, t_});
        return *this;
    }
    Reads& FirstRun(int n) {
        out_.push_back({StepInput::FirstRunVar, n, t_});
        return *this;
    }

    int Sw(int k) const { return m_.Sw(k); }
    int Tzr() const { return m_.TZR(); }
    int Mzzr() const { return m_.MZZR(); }
    int T() const { return t_; }
    const Model& M() const { return m_; }

    // ---- groups of the behavioural functions ----
    Reads& ExpWageShare() { return Var(var::YErw).Var(var::YLErw).Par(par::LQExog); }
    Reads& WagePart() {
        Par(par::SBAut);
        return Sw(16) == 1 ? Par(par::tYL).Par(par::TLAut) : Par(par::tY).Par(par::TAut);
    }
    Reads& ProfitPart() {
        Par(par::SubAut);
        return Sw(16) == 1 ? Par(par::tYU).Par(par::TUAut) : Par(par::tY).Par(par::TAut);
    }
    Reads& TaxPart() {
        if (Sw(16) == 1) return Par(par::TLAut).Par(par::TUAut).Par(par::tYL).Par(par::tYU);
        return Par(par::TAut).Par(par::tY);
    }
    Reads& Propensities() { return Sw(1) == 1 ? Par(par::cYL).Par(par::cYU) : Par(par::cY); }
    Reads& ConsumptionParts() {
        Par(par::CAut).Propensities().ExpWageShare().WagePart().ProfitPart().Par(par::cr);
        if (Sw(2) == 1) Var(var::SUnw, 1);
        return *this;
    }
    Reads& InvestmentParts() {
        Par(par::IAut).Par(par::bYU).ExpWageShare().ProfitPart().Par(par::br);
        if (Sw(3) == 0) {
            Par(par::bY);
        } else if (Sw(3) == 1) {
            Par(par::bdY).Var(var::YErw).Var(var::YErw, 1);
            if (Sw(4) == 1) Par(par::dK).Var(var::K);
        }
        if (Sw(5) == 1) Var(var::IUnw, 1);
        return *this;
    }
    Reads& TaxesExp() { return ExpWageShare().TaxPart(); }
    Reads& Government() { return Par(par::GAut).Par(par::gT).TaxesExp(); }
    Reads& BudgetSurplusExp() { return TaxesExp().Government().Par(par::SBAut).Par(par::SubAut); }
    Reads& ImportDemand() { return Par(par::mY).Par(par::ImAut).Par(par::me); }
    Reads& ImportIncome() { return Var(Sw(9) == 1 ? var::YErw : var::Y); }
    Reads& PrevRealExchangeRate() {
        if (Sw(21) == 1)
            Var(var::eN, 1);
        else
            Par(par::eNExog);
        return Var(var::PA, 1).Var(var::P, 1);
    }
    Reads& TradeBalance() { return Par(par::ExAut).Par(par::xe).ImportDemand(); }
    Reads& CapitalInflow() { return Var(var::NK, 1).Par(par::iA).Par(par::kdi).Par(par::NKAut); }
    Reads& MoneyMultiplier(int lag = 0) {
        if (Sw(18) == 1) Par(par::bM, lag).Par(par::rSE, lag);
        return *this;
    }
    Reads& ReserveInflowFactor() {
        if (Sw(19) != 0 && Sw(21) != 1) Par(par::nWR).MoneyMultiplier();
        return *this;
    }
    Reads& ReserveInflow() {
        ReserveInflowFactor();
        if (Sw(19) == 0 || Sw(21) == 1) return *this; // no reserve flows: nothing else counts
        return Par(par::fNK).CapitalInflow().TradeBalance().PrevRealExchangeRate().ImportIncome();
    }
    Reads& PlannedMoneySupply(bool withFlag) {
        Var(var::M, 1).Var(var::P, 1);
        if (withFlag) Flag(StepInput::MonetaryRoundFlag);
        const bool multiple = Sw(18) == 1;
        if (Sw(20) == 0) {
            if (Sw(19) == 0) {
                if (multiple)
                    Par(par::MBNAut).MoneyMultiplier();
                else
                    Par(par::MNAut);
            } else if (multiple) {
                MoneyMultiplier(1).Par(par::dMBHNAut).MoneyMultiplier();
            } else {
                Par(par::dMHNAut);
            }
        } else if (Sw(20) == 1) {
            Par(par::gMNAut);
            if (multiple) MoneyMultiplier(1).MoneyMultiplier();
        }
        return *this;
    }
    Reads& LabourRequirement() {
        if (Sw(6) == 1) return Par(par::q).Var(var::K).Par(par::beta).Par(par::alpha);
        return Par(par::a);
    }
    Reads& PotentialOutput() {
        if (Sw(6) == 1)
            return Par(par::q).Par(par::alpha).Par(par::beta).Var(var::K).Par(par::APot);
        return Par(par::k).Var(var::K).Par(par::a).Par(par::APot);
    }
    Reads& MarkupPrice() {
        return Par(par::Pu).Par(par::jAut).Par(par::jY).PotentialOutput().LabourRequirement();
    }
    Reads& WageGrowthTarget(int period) {
        return ParAt(par::wgP, period)
            .VarAt(var::gPErw, period)
            .ParAt(par::wga, period)
            .VarAt(var::gaErw, period)
            .ParAt(par::wV, period);
    }
    // Expectation record k where its own rule forms it (extrapolative or adaptive).
    Reads& Expectation(int k) {
        const tv::Expectation& rec = m_.Expect[k];
        if (rec.Method != 2 && rec.Method != 3) return *this;
        if (!m_.ScratchMode && rec.RuleBased == 1 && !rec.Antecedents.empty()) return *this;
        const int a = rec.SourceVariable, e = rec.TargetVariable, tzr = Tzr();
        if (rec.PerWagePeriod == 1) {
            if (rec.Method == 2) {
                for (int j = 1; j <= rec.Lags; ++j) {
                    int c = t_ - (j - 1) * tzr;
                    while (c - tzr < -m_.ScratchDepth)
                        c += tzr;
                    for (int l = 1; l <= tzr; ++l)
                        VarAt(a, c - l);
                }
            } else {
                for (int l = 1; l <= tzr; ++l)
                    Var(e, l).Var(a, l);
            }
        } else if (rec.Method == 2) {
            for (int j = 1; j <= rec.Lags; ++j)
                VarAt(a, std::max(t_ - j, -m_.ScratchDepth));
        } else {
            Var(e, 1).Var(a, 1);
        }
        return *this;
    }

  private:
    const Model& m_;
    int t_;
    List& out_;
};

} // namespace

// clang-format off
void PA(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (m.Sw(11) == 0) r.Par(par::PAExog);
    else if (m.Sw(11) == 1) r.Var(var::PA, m.TZR()).Par(par::gPAExog);
}
void K(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (m.Sw(8) == 1) r.Par(par::KExog);
    else if (m.Sw(8) == 0) r.Var(var::K, 1).Var(var::I, 1).Var(var::IUnw, 1);
}
void R(const Model& m, int t, int, List& out) { Reads(m, t, out).Par(par::dK).Var(var::K); }
void NErw(const Model& m, int t, int run, List& out) {
    Reads r(m, t, out);
    if (ExpectationCode(m, 3) == 1) {
        if (run == 1) r.Var(var::N, 1);
        else r.FirstRun(var::N);
    } else {
        r.Expectation(3);
    }
}
void ImErw(const Model& m, int t, int run, List& out) {
    Reads r(m, t, out);
    switch (ExpectationCode(m, 4)) {
    case 1:
        if (run == 1) r.Var(var::Im, 1);
        else if (m.Expect[3].Method == 1) r.FirstRun(var::Im);
        break;
    case 4: r.Var(var::NErw).ImportDemand().PrevRealExchangeRate(); break;
    default: r.Expectation(4); break;
    }
}
void DErw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    const int code = ExpectationCode(m, 4);
    if (code >= 0 && code <= 3) r.Var(var::NErw).Var(var::ImErw);
    else if (code == 4) r.Var(var::NErw).ImportDemand().PrevRealExchangeRate();
}
void Y(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    r.Var(var::DErw);
    if (m.Sw(7) == 1) r.PotentialOutput();
}
void A(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).LabourRequirement(); }
void ga(const Model& m, int t, int, List& out) {
    Reads(m, t, out).Var(var::Y).Var(var::A).Var(var::Y, m.TZR()).Var(var::A, m.TZR());
}
void u(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::A).Par(par::APot); }
void gPErw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    const int tzr = m.TZR();
    switch (ExpectationCode(m, 5)) {
    case 4: r.Var(var::M, 1).Var(var::P, 1).Var(var::M, tzr + 1).Var(var::P, tzr + 1); break;
    case 5: r.PlannedMoneySupply(false).Var(var::M, tzr).Var(var::P, tzr); break;
    default: r.Expectation(5); break;
    }
}
void gaErw(const Model& m, int t, int, List& out) { Reads(m, t, out).Expectation(6); }
void uErw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (ExpectationCode(m, 7) == 1) r.Var(var::u);
    else r.Expectation(7);
}
void wN(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    const int sw14 = m.Sw(14), tzr = m.TZR();
    if (sw14 == 0) {
        r.Par(par::wNExog);
        return;
    }
    // A mode the model does not know still forms the wage at the start of a round.
    r.Flag(StepInput::WageRoundFlag).Par(par::uNat).Var(var::uErw).Par(par::wu);
    // The wage base of the running round first: in the first period of a round it is the
    // same cell as the start's base, and the period before reads it at its own round.
    if (sw14 == 1) {
        r.Var(var::wN, 1);
    } else if (sw14 == 2) {
        const int tvp = WageRoundStart(m, t);
        r.VarAt(var::wN, tvp - tzr).WageGrowthTarget(tvp);
    }
    r.Var(var::wN, tzr).WageGrowthTarget(t);
}
void gwN(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::wN).Var(var::wN, m.TZR()); }
void LSK(const Model& m, int t, int, List& out) {
    Reads(m, t, out).Var(var::wN).Var(var::Y).LabourRequirement();
}
void YP(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (m.Sw(12) == 0) {
        r.Var(var::Y);
        return;
    }
    r.Var(var::P, 1).Var(var::wN).PotentialOutput();
    if (m.Sw(12) == 1) return;
    r.Par(par::Pu).Par(par::jAut).Par(par::jY).Var(var::Y).LabourRequirement();
}
void P(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    const int sw12 = m.Sw(12);
    if (sw12 == 0) {
        r.Par(par::PExog);
        return;
    }
    r.Var(var::Y).Var(var::YP).Var(var::wN).Var(var::P, 1);
    if (sw12 == 1 && m.Sw(6) == 0) r.LabourRequirement();
    else if (sw12 == 2) r.MarkupPrice();
}
void gP(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::P).Var(var::P, m.TZR()); }
void w(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::wN).Var(var::P); }
void LQ(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    r.Par(par::LQExog).Var(var::Y);
    if (m.Sw(15) != 0 || m.Sw(14) != 0 || m.Sw(12) != 0) r.Var(var::wN).Var(var::A).Var(var::P);
}
void YL(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::LQ).Var(var::Y); }
void YU(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::YL); }
void YLErw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (ExpectationCode(m, 1) == 1) r.Var(var::YL);
    else r.Expectation(1);
}
void YUErw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (ExpectationCode(m, 2) == 1) r.Var(var::YU);
    else r.Expectation(2);
}
void YErw(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::YLErw).Var(var::YUErw); }
void YLVErw(const Model& m, int t, int, List& out) { Reads(m, t, out).ExpWageShare().WagePart(); }
void YUVErw(const Model& m, int t, int, List& out) { Reads(m, t, out).ExpWageShare().ProfitPart(); }
void YVErw(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::YLVErw).Var(var::YUVErw); }
void InterestAndMoney(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    r.PlannedMoneySupply(true).Var(var::P);
    switch (m.Sw(17)) {
    case 0: r.Par(par::iExog).ReserveInflow(); break;
    case 1:
        r.Par(par::lY).Var(var::YErw).Var(var::Y).Par(par::LAut).Par(par::li).Var(var::gPErw)
            .InvestmentParts().Var(var::YLVErw).Var(var::YUVErw).ConsumptionParts()
            .BudgetSurplusExp().Par(par::fNK).CapitalInflow().TradeBalance()
            .PrevRealExchangeRate().ImportIncome().ReserveInflowFactor().Par(par::iu)
            .Var(var::i, 1);
        break;
    case 2:
        r.Par(par::LAut).Par(par::li).Par(par::lY).Var(var::Y).Var(var::YErw)
            .ReserveInflowFactor().TradeBalance().PrevRealExchangeRate().ImportIncome()
            .Par(par::fNK).CapitalInflow().Par(par::iu).Var(var::i, 1).ReserveInflow();
        break;
    default: break;
    }
}
void r(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::i).Var(var::gP); }
void rErw(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::i).Var(var::gPErw); }
void MN(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::M).Var(var::P); }
void gMN(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::MN).Var(var::MN, m.MZZR()); }
void LT(const Model& m, int t, int, List& out) { Reads(m, t, out).Par(par::lY).Var(var::YErw).Var(var::Y); }
void LS(const Model& m, int t, int, List& out) {
    Reads(m, t, out).Var(var::i).Par(par::iu).Var(var::M).Var(var::LT).Par(par::LAut).Par(par::li);
}
void L(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::LT).Var(var::LS); }
void eN(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (m.Sw(21) == 1)
        r.Par(par::fNK).CapitalInflow().Var(var::i).Par(par::ExAut).ImportDemand().ImportIncome()
            .Par(par::xe).Var(var::P).Var(var::PA);
    else if (m.Sw(21) == 0)
        r.Par(par::eNExog);
}
void Z(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    if (m.Sw(21) == 0)
        r.Par(par::fNK).CapitalInflow().Var(var::i).TradeBalance().Var(var::eN).Var(var::PA)
            .Var(var::P).ImportIncome();
}
void e(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::eN).Var(var::PA).Var(var::P); }
void NK(const Model& m, int t, int, List& out) { Reads(m, t, out).Par(par::fNK).CapitalInflow().Var(var::i); }
void C(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::rErw).ConsumptionParts(); }
void I(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::rErw).InvestmentParts(); }
void G(const Model& m, int t, int, List& out) { Reads(m, t, out).Government(); }
void Ex(const Model& m, int t, int, List& out) { Reads(m, t, out).Par(par::ExAut).Par(par::xe).Var(var::e); }
void N(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::C).Var(var::I).Var(var::G).Var(var::Ex); }
void Im(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::e).ImportDemand().ImportIncome(); }
void D(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::N).Var(var::Im); }
void X(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::Im); }
void S(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::rErw).ConsumptionParts().WagePart().ProfitPart(); }
void BS(const Model& m, int t, int, List& out) { Reads(m, t, out).BudgetSurplusExp(); }
void AB(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Ex).Var(var::Im); }
void YLV(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::LQ).WagePart(); }
void YUV(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::LQ).ProfitPart(); }
void YV(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::YLV).Var(var::YUV); }
void T(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::LQ).TaxPart(); }
void Tr(const Model& m, int t, int, List& out) { Reads(m, t, out).Par(par::SBAut).Par(par::SubAut); }
void SUnpl(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::YV).Var(var::YVErw); }
void SUnw(const Model& m, int t, int, List& out) {
    Reads(m, t, out).Var(var::r).Var(var::Y).ConsumptionParts().Var(var::C);
}
void IUnpl(const Model& m, int t, int, List& out) { Reads(m, t, out).Var(var::Y).Var(var::D); }
void IUnw(const Model& m, int t, int, List& out) {
    Reads r(m, t, out);
    r.Var(var::Y).Var(var::D).Var(var::I).Var(var::r).InvestmentParts();
    // The investment parts list expected income of t and t-1 already.
    if (m.Sw(3) == 1) r.Var(var::YErw, 2).Var(var::Y, 1).Var(var::Y, 2);
}
// clang-format on

} // namespace tv::step_inputs
