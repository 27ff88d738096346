#pragma once

#include <cstdint>
#include <string>

namespace tv {

class Model;

// The shares of the two commercial banks (percent, 0..100) and their names. They are
// kept for the run; neither the model file nor the settings file holds them.
struct MoneyShares {
    uint8_t MarketA = 50; // share in sight deposits
    uint8_t MarketB = 50;
    uint8_t BaseA = 50; // share in additional monetary base
    uint8_t BaseB = 50;
    std::string NameA = "Bank A";
    std::string NameB = "Bank B";

    // A slider value p goes to bank B, 100 - p to bank A (p clamped to 0..100).
    void SetMarketSlider(int p);
    void SetBaseSlider(int p);
    // Names from the bank-name dialog: blanks around them are dropped, an empty name
    // goes back to "Bank A" / "Bank B", a long one is cut to MaxNameLength characters.
    static constexpr size_t MaxNameLength = 30;
    void SetNames(const std::string& a, const std::string& b);
    // Bank 1 (A) or 2 (B).
    int Market(int bank) const { return bank == 1 ? MarketA : MarketB; }
    int Base(int bank) const { return bank == 1 ? BaseA : BaseB; }
    const std::string& Name(int bank) const { return bank == 1 ? NameA : NameB; }
    // A bank takes part while it has deposits or gets part of the additional base.
    bool Shown(int bank) const { return Market(bank) > 0 || Base(bank) > 0; }
};

// (1 - q^k) / (1 - q): the sum 1 + q + ... + q^(k-1). For q = 1 (cash ratio and reserve
// ratio both 0) the quotient is 0 / 0; its limit, k, is returned instead.
double GeometricSum(double q, int k);

// The round process of money and credit creation in period t, between the end of t - 1
// (round 0) and the new equilibrium of t, split over bank 1 (A) and bank 2 (B). Bank 0
// stands for both banks together where a function accepts it. Values are read from the
// model when the object is made.
class MoneyRounds {
  public:
    MoneyRounds(const Model& m, int t, const MoneyShares& shares);

    int Period() const { return t_; }
    // Cash ratio and reserve ratio of round n: those of t - 1 in round 0, of t afterwards.
    double CashRatio(int n) const { return n <= 0 ? b0_ : b1_; }
    double ReserveRatio(int n) const { return n <= 0 ? r0_ : r1_; }
    // Share of a round's new lending that comes back as excess reserves in the next round.
    double ReturnShare() const { return q_; }
    double PreviousMoney() const { return mn0_; }
    // Whether period t changes the monetary base, the cash ratio or the reserve ratio.
    bool HasImpulse() const;

    double BaseAtRound(int n) const { return n <= 0 ? mb0_ : mb1_; }
    double BaseIncrease(int bank) const;
    double InitialExcessReserves(int bank) const;
    // Excess reserves of a bank at the end of round n, which it lends out in round n + 1.
    double RoundExcessReserves(int bank, int n) const;
    double MoneyAfterRounds(int n) const;
    double CurrencyAfterRounds(int n) const;
    double DepositsAfterRounds(int bank, int n) const;
    double RequiredReserves(int bank, int n) const;
    double ReservesAfterRounds(int bank, int n) const;
    double LoansAfterRounds(int bank, int n) const;
    // The money stock the rounds tend to; plus or minus infinity when they grow without
    // limit.
    double MoneyLimit() const;

  private:
    double MarketPart(int bank) const; // m_k / 100; 1 for bank 0
    double SystemExcessReserves() const { return ier_[1] + ier_[2]; }

    int t_ = 0;
    double b0_ = 0, b1_ = 0, r0_ = 0, r1_ = 0, mn0_ = 0, mb0_ = 0, mb1_ = 0, q_ = 0;
    double market_[3]{1, 0, 0}, base_[3]{1, 0, 0};
    double ier_[3]{};
};

// Whether a value shows as zero in the model's number format ("0.00", "-0.00").
bool FormatsToZero(const Model& m, double x);

} // namespace tv
