#pragma once

#include "money/MoneyRounds.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tv {

class Model;

// The four balance sheets of the accounting system.
enum MoneyAccount {
    AccountBankA = 1,
    AccountBankB = 2,
    AccountCentralBank = 3,
    AccountNonBanks = 4
};
enum AccountSide { Assets = 0, Liabilities = 1 };

struct AccountEntry {
    int Account = 0;
    AccountSide Side = Assets;
    std::string Label; // "KR,A", "dEL,B", "davon ÜR##of which ER" (memo labels may be bilingual)
    double Amount = 0;
    // Shown only (the stocks at the start of a round, the excess reserve at its close);
    // a memo entry changes no stock.
    bool Memo = false;
};

struct BookingPart {
    char Tag = 'a';
    std::vector<AccountEntry> Entries;
    std::string Text; // bilingual explanation
};

struct MoneyBooking {
    int Number = 0;      // the entry counter after this booking
    std::string Heading; // bilingual section heading shown before it, or empty
    std::vector<BookingPart> Parts;
};

// One line of an account list.
struct ShownEntry {
    std::string Tag; // "3b"
    std::string Label;
    double Amount = 0;
    bool Memo = false;
};

// The booking of the round process into the accounts of bank A, bank B, the central bank
// and the non-banks, round by round and booking by booking. Round 0 is the situation at
// the end of period t - 1, round 1 the monetary impulse of t, later rounds the creation
// process. The process ends after round 1 when t brings no impulse, otherwise after the
// first round whose remaining excess reserves show as zero, at the latest after round 100.
class AccountingProcess {
  public:
    static constexpr int MaxRounds = 100;

    AccountingProcess(const Model& m, int t, const MoneyShares& shares);

    // Back to the start of round 0, nothing booked.
    void Restart();
    // The next booking; at the end of a round, the start of the next one.
    void Next();
    // Takes back the last booking of the current round.
    void Undo();
    // Books everything left of the current round; at the end of a round, starts the next
    // one and books all of it.
    void FinishRound();
    // Restores a position after the script had to be rebuilt (number format, model).
    void GoTo(int round, int booked);

    int Round() const { return round_; }
    int Booked() const { return booked_; }
    const std::vector<MoneyBooking>& Script() const { return script_; }
    bool RoundComplete() const { return booked_ >= static_cast<int>(script_.size()); }
    // Whether the current round is the last one of the process.
    bool IsLastRound() const;
    bool CanGoForward() const { return !(RoundComplete() && IsLastRound()); }
    bool CanUndo() const { return booked_ > 0; }
    bool CanRestart() const { return booked_ > 0; }

    // The round's heading and, once it is completely booked, its closing line.
    std::string Heading() const;
    std::string Closing() const;
    // What the explanation field shows, in the given language.
    std::string Explanation(int language) const;
    // The entries booked so far in this round into one side of an account.
    std::vector<ShownEntry> Shown(int account, AccountSide side) const;
    // Stocks of one side of an account at the end of the booked part of the round.
    double Stock(int account, AccountSide side, const std::string& label) const;

    const MoneyRounds& Rounds() const { return rounds_; }
    const MoneyShares& Shares() const { return shares_; }

  private:
    using Stocks = std::map<std::pair<int, std::string>, double>; // (account*2+side, label)

    void StartRound(int n);
    void BuildRound0();
    void BuildImpulseRound();
    void BuildCreationRound(int n);
    void AddOpeningPosition(int n);
    void AddClosing(int n);
    // Adds a booking unless all its amounts show as zero; applies it to the script's
    // running stocks.
    void Add(MoneyBooking b, double amount);
    static void Apply(Stocks& stocks, const MoneyBooking& b);
    std::string Amount(double x) const;

    const Model& m_;
    MoneyShares shares_;
    MoneyRounds rounds_;
    int round_ = 0;
    int booked_ = 0;
    std::vector<MoneyBooking> script_;
    // Bookings hidden because their amount shows as zero, each with the number of visible
    // bookings before it: the stocks take them in, the lists do not.
    std::vector<std::pair<int, MoneyBooking>> hidden_;
    std::string pendingHeading_;
    Stocks roundStart_; // stocks when the current round began
    Stocks running_;    // while a round's script is built: stocks after its last booking
};

} // namespace tv
