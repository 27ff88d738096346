#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tv {

class Model;

// The sectoral account scheme: one period's transactions replayed as double-entry bookings
// in the sector accounts and the order books of the bond and foreign-exchange markets. With
// exogenous interest (switch 17 = 0) every payment is made in bonds (the real script, 11
// bookings); with a complete bond market the period splits into transaction phases, one per
// money-market date, each replayed with money, bonds and foreign currency (23 bookings).
// Reads the model only.

enum class SchemeAccount : int {
    Households,
    Firms,
    Financial,
    Government,
    World,
    BondMarket,
    ForexMarket,
};
constexpr int SchemeAccountCount = 7;

// Bilingual panel title of an account.
const char* SchemeAccountTitle(SchemeAccount a);
// Column headings: "A"/"P" for sectors, "WA"/"WN" and "FN"/"FA" for the markets.
const char* SchemeColumnHeading(SchemeAccount a, int column);

struct SchemeEntry {
    std::string Text;     // as shown, booking tag included ("3) dW = -T", "3') dGV = -250.00")
    int Tag = 0;          // booking count of the entry; 0 for stocks, blanks and separators
    bool Counter = false; // the counter-entry line of its booking ("3')")
    double Amount = 0;    // the value the entry adds to its column (0 for stocks and lines)
};

struct SchemeLine {
    enum Style { Heading, First, Counter, Plain, End };
    Style Kind = Plain;
    std::string Text;
    int Tag = 0; // booking count the line explains; 0 for headings and plain lines
};

// What one replay state holds: the entries of every account column and the explanations.
struct SchemeState {
    std::array<std::array<std::vector<SchemeEntry>, 2>, SchemeAccountCount> Columns;
    std::vector<SchemeLine> Lines;
    std::vector<SchemeEntry>& Column(SchemeAccount a, int c) {
        return Columns[static_cast<int>(a)][c];
    }
    const std::vector<SchemeEntry>& Column(SchemeAccount a, int c) const {
        return Columns[static_cast<int>(a)][c];
    }
};

// Money and interest of one transaction phase, and the balances carried into it.
struct SchemePhase {
    double Money = 0; // real money supply at the start of the phase (after earlier inflows)
    double Rate = 0;  // the phase's nominal interest rate
    double Households = 0, Firms = 0, Government = 0; // carried transactions balances
    double Speculative = 0;                           // carried speculative balance
    double OpeningMoney = 0; // money stock the phase opens with (M(t-1) in phase 1)
};

class AccountScheme {
  public:
    explicit AccountScheme(const Model& m);

    // Reads the current period and its phases anew (after a model change or a period move)
    // and draws the initial state of the phase, which is kept when still valid.
    void Load();
    // Back to the initial state of the current phase (no bookings).
    void Restart();
    // Makes the next visible booking, or writes the end line after the last one. Returns
    // false when the phase was already finished.
    bool Step();
    // Removes the last visible booking (replays all but the last one).
    void Undo();
    // Makes every remaining booking of the phase.
    void Finish();
    // Replays `count` visible bookings from the initial state (number format or language
    // changed).
    void Replay(int count);
    // Replays the same state again (number format or language changed): the same number of
    // bookings, and the end line when it was written.
    void Refresh();
    // Selects transaction phase k (1..PhaseCount) and draws its initial state.
    void SetPhase(int k);

    bool Monetary() const { return monetary_; }
    int Period() const { return t_; }
    int PhaseCount() const { return static_cast<int>(phases_.size()); }
    int Phase() const { return phase_; }
    int BookingCount() const { return bookingCount_; }
    bool Finished() const { return finished_; }
    int ScriptLength() const { return monetary_ ? 23 : 11; }
    bool Done(int booking) const { return booking >= 1 && booking <= 23 && done_[booking]; }
    bool Visible(SchemeAccount a) const { return visible_[static_cast<int>(a)]; }
    const SchemeState& State() const { return state_; }
    const SchemePhase& PhaseData(int k) const { return phases_[k - 1]; }

    // The amount of every visible booking made so far, in order (the first entry's value of
    // the booking; for closing bookings the closed balance).
    const std::vector<double>& BookedAmounts() const { return amounts_; }
    // Sum of the amounts of one column.
    double ColumnSum(SchemeAccount a, int column) const;

    // Whether an amount is 0 in the model's number format (such a booking is skipped).
    bool FormatsToZero(double x) const;

  private:
    struct Sink;
    void Initial();
    void DecideVisibility();
    bool Book(int booking, Sink& sink);
    bool BookReal(int booking, Sink& sink);
    bool BookMonetary(int booking, Sink& sink);
    // Starts a visible booking: counts it, tags the sink and records its amount.
    void Begin(Sink& sink, double amount);
    void WriteOpening(Sink& sink);
    void WriteEnd();
    void ComputePhases();
    SchemePhase CarriedInto(int k, const SchemePhase& money) const;
    std::string Num(double x) const;
    std::string Tr(const char* text) const;

    const Model& m_;
    int t_ = 0;
    bool monetary_ = false;
    std::vector<SchemePhase> phases_; // one per phase, computed in one pass
    int phase_ = 1;
    int bookingCount_ = 0;
    int next_ = 1; // the next script booking to try
    bool finished_ = false;
    std::array<bool, 24> done_{};
    std::array<bool, SchemeAccountCount> visible_{};
    SchemeState state_;
    std::vector<double> amounts_;

    // Running totals and carried changes of the phase being replayed (monetary script).
    double wa_ = 0, wn_ = 0, fa_ = 0, fn_ = 0;
    double lth_ = 0, ltu_ = 0, lts_ = 0; // transactions balances after bookings 2 to 4
    // Changes of the phase per sector account and kind of entry, restated by the closing.
    std::array<std::array<double, 8>, SchemeAccountCount> changes_{};
};

} // namespace tv
