#include "money/MoneyRounds.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tv {

void MoneyShares::SetMarketSlider(int p) {
    p = std::clamp(p, 0, 100);
    MarketB = static_cast<uint8_t>(p);
    MarketA = static_cast<uint8_t>(100 - p);
}

void MoneyShares::SetBaseSlider(int p) {
    p = std::clamp(p, 0, 100);
    BaseB = static_cast<uint8_t>(p);
    BaseA = static_cast<uint8_t>(100 - p);
}

void MoneyShares::SetNames(const std::string& a, const std::string& b) {
    auto clean = [](std::string name, const char* fallback) {
        const auto first = name.find_first_not_of(" \t");
        if (first == std::string::npos) return std::string(fallback);
        name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
        if (name.size() > MaxNameLength) {
            size_t cut = MaxNameLength;
            while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
                --cut; // never inside a UTF-8 character
            name.resize(cut);
        }
        return name;
    };
    NameA = clean(a, "Bank A");
    NameB = clean(b, "Bank B");
}

double GeometricSum(double q, int k) {
    if (q == 1) return k;
    return (1 - std::pow(q, k)) / (1 - q);
}

MoneyRounds::MoneyRounds(const Model& m, int t, const MoneyShares& shares) : t_(t) {
    b0_ = m.GetPar(t - 1, par::bM);
    b1_ = m.GetPar(t, par::bM);
    r0_ = m.GetPar(t - 1, par::rSE);
    r1_ = m.GetPar(t, par::rSE);
    mn0_ = m.GetVar(t - 1, var::MN);
    mb0_ = MonetaryBase(m, t - 1);
    mb1_ = MonetaryBase(m, t);
    q_ = (1 - r1_) * (1 - b1_);
    for (int k = 1; k <= 2; ++k) {
        market_[k] = shares.Market(k) / 100.0;
        base_[k] = shares.Base(k) / 100.0;
    }
    for (int k = 1; k <= 2; ++k) {
        const double d = mn0_ * market_[k];
        const double cashChange = (b1_ - b0_) * d;
        ier_[k] =
            r0_ * (1 - b0_) * d + BaseIncrease(k) - cashChange - r1_ * ((1 - b0_) * d - cashChange);
    }
    ier_[0] = ier_[1] + ier_[2];
}

bool MoneyRounds::HasImpulse() const {
    return mb1_ != mb0_ || b1_ != b0_ || r1_ != r0_;
}

double MoneyRounds::MarketPart(int bank) const {
    return bank >= 0 && bank <= 2 ? market_[bank] : 0;
}

double MoneyRounds::BaseIncrease(int bank) const {
    const double increase = mb1_ - mb0_;
    if (bank == 0) return increase;
    return bank == 1 || bank == 2 ? base_[bank] * increase : 0;
}

double MoneyRounds::InitialExcessReserves(int bank) const {
    return bank >= 0 && bank <= 2 ? ier_[bank] : 0;
}

double MoneyRounds::RoundExcessReserves(int bank, int n) const {
    if (bank < 0 || bank > 2 || n <= 0) return 0;
    if (n == 1) return ier_[bank];
    return std::pow(q_, n - 1) * MarketPart(bank) * SystemExcessReserves();
}

double MoneyRounds::MoneyAfterRounds(int n) const {
    if (n < 2) return mn0_;
    return mn0_ + GeometricSum(q_, n - 1) * SystemExcessReserves();
}

double MoneyRounds::CurrencyAfterRounds(int n) const {
    return CashRatio(n) * MoneyAfterRounds(n);
}

double MoneyRounds::DepositsAfterRounds(int bank, int n) const {
    return (MoneyAfterRounds(n) - CurrencyAfterRounds(n)) * MarketPart(bank);
}

double MoneyRounds::RequiredReserves(int bank, int n) const {
    return ReserveRatio(n) * DepositsAfterRounds(bank, n);
}

double MoneyRounds::ReservesAfterRounds(int bank, int n) const {
    return RoundExcessReserves(bank, n) + RequiredReserves(bank, n);
}

double MoneyRounds::LoansAfterRounds(int bank, int n) const {
    return DepositsAfterRounds(bank, n) - ReservesAfterRounds(bank, n);
}

double MoneyRounds::MoneyLimit() const {
    // Without leakage (cash and reserve ratio both 0) every round adds the whole excess
    // reserve again: no limit (plus or minus infinity), or none to add. Dropping both
    // ratios to 0 frees no reserves; what is left of them is rounding.
    if (q_ == 1) {
        const double excess = SystemExcessReserves();
        if (std::fabs(excess) <= 1e-12 * std::fabs(mn0_)) return mn0_;
        return std::copysign(HUGE_VAL, excess);
    }
    return mn0_ + SystemExcessReserves() / (1 - q_);
}

bool FormatsToZero(const Model& m, double x) {
    if (x == 0) return true;
    const std::string s = m.FormatNumber(x);
    bool digit = false;
    for (char c : s) {
        if (c == 'E' || c == 'e') break;
        if (std::isdigit(static_cast<unsigned char>(c))) {
            if (c != '0') return false;
            digit = true;
        }
    }
    return digit;
}

} // namespace tv
