#include "money/AccountingSystem.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tv {

namespace {

// Ratios as percentages without trailing zeros ("20", "12.5").
std::string Percent(double ratio) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", 100 * ratio);
    return buf;
}

const char* Letter(int bank) {
    return bank == 1 ? "A" : "B";
}

std::string StockLabel(const std::string& label) {
    if (label.size() > 1 && label[0] == 'd' && label[1] >= 'A' && label[1] <= 'Z')
        return label.substr(1);
    return label;
}

AccountEntry E(int account, AccountSide side, std::string label, double amount) {
    return AccountEntry{account, side, std::move(label), amount, false};
}
AccountEntry Memo(int account, AccountSide side, std::string label, double amount) {
    return AccountEntry{account, side, std::move(label), amount, true};
}

BookingPart Part(char tag, std::vector<AccountEntry> entries, std::string text) {
    return BookingPart{tag, std::move(entries), std::move(text)};
}

} // namespace

AccountingProcess::AccountingProcess(const Model& m, int t, const MoneyShares& shares)
    : m_(m), shares_(shares), rounds_(m, t, shares) {
    Restart();
}

std::string AccountingProcess::Amount(double x) const {
    return m_.FormatNumber(x);
}

void AccountingProcess::Restart() {
    roundStart_.clear();
    running_.clear();
    StartRound(0);
}

void AccountingProcess::StartRound(int n) {
    round_ = n;
    booked_ = 0;
    roundStart_ = running_;
    script_.clear();
    hidden_.clear();
    pendingHeading_.clear();
    if (n == 0)
        BuildRound0();
    else if (n == 1)
        BuildImpulseRound();
    else
        BuildCreationRound(n);
}

bool AccountingProcess::IsLastRound() const {
    if (round_ >= MaxRounds) return true;
    if (round_ < 1) return false;
    if (round_ == 1 && !rounds_.HasImpulse()) return true;
    return FormatsToZero(m_, rounds_.RoundExcessReserves(1, round_)) &&
           FormatsToZero(m_, rounds_.RoundExcessReserves(2, round_));
}

void AccountingProcess::Next() {
    if (!RoundComplete())
        ++booked_;
    else if (!IsLastRound())
        StartRound(round_ + 1);
}

void AccountingProcess::Undo() {
    if (booked_ > 0) --booked_;
}

void AccountingProcess::FinishRound() {
    if (RoundComplete()) {
        if (IsLastRound()) return;
        StartRound(round_ + 1);
    }
    booked_ = static_cast<int>(script_.size());
}

void AccountingProcess::GoTo(int round, int booked) {
    Restart();
    round = std::clamp(round, 0, MaxRounds);
    while (round_ < round && !IsLastRound())
        StartRound(round_ + 1);
    booked_ = std::clamp(booked, 0, static_cast<int>(script_.size()));
}

void AccountingProcess::Apply(Stocks& stocks, const MoneyBooking& b) {
    for (const BookingPart& part : b.Parts)
        for (const AccountEntry& e : part.Entries)
            if (!e.Memo) stocks[{e.Account * 2 + e.Side, StockLabel(e.Label)}] += e.Amount;
}

void AccountingProcess::Add(MoneyBooking b, double amount) {
    if (FormatsToZero(m_, amount)) {
        // Hidden from the lists, but the amount stays in the stocks, or they drift away
        // from the rounds over many small bookings.
        Apply(running_, b);
        hidden_.push_back({static_cast<int>(script_.size()), std::move(b)});
        return;
    }
    b.Number = static_cast<int>(script_.size()) + 1;
    if (!pendingHeading_.empty()) {
        b.Heading = b.Heading.empty() ? pendingHeading_ : pendingHeading_ + "\n" + b.Heading;
        pendingHeading_.clear();
    }
    Apply(running_, b);
    script_.push_back(std::move(b));
}

double AccountingProcess::Stock(int account, AccountSide side, const std::string& label) const {
    Stocks s = roundStart_;
    size_t h = 0;
    for (int i = 0; i <= booked_ && i <= static_cast<int>(script_.size()); ++i) {
        for (; h < hidden_.size() && hidden_[h].first == i; ++h)
            Apply(s, hidden_[h].second);
        if (i < booked_ && i < static_cast<int>(script_.size())) Apply(s, script_[i]);
    }
    const auto it = s.find({account * 2 + side, label});
    return it == s.end() ? 0 : it->second;
}

std::string AccountingProcess::Heading() const {
    const std::string t = std::to_string(rounds_.Period());
    const std::string n = std::to_string(round_);
    if (round_ == 0)
        return FillIn(
            "Ausgangssituation zu Beginn der Periode t = %1 (Ende der Vorperiode)##Initial "
            "situation at the start of period t = %1 (end of the previous period)",
            {t});
    if (round_ == 1)
        return FillIn("Monetäre Impulsanalyse für Periode t = %1##Analysis of the monetary impulse "
                      "for period t = %1",
                      {t});
    return FillIn("Geld- und Kreditschöpfungsprozess in Runde %1##Process of money and credit "
                  "creation in round %1",
                  {n});
}

std::string AccountingProcess::Closing() const {
    const std::string n = std::to_string(round_);
    return FillIn("*** Ende von Runde %1 ***##*** End of round %1 ***", {n});
}

std::string AccountingProcess::Explanation(int language) const {
    std::string text = Translate(Heading(), language);
    for (int i = 0; i < booked_ && i < static_cast<int>(script_.size()); ++i) {
        const MoneyBooking& b = script_[i];
        if (!b.Heading.empty()) {
            text += "\n";
            size_t from = 0;
            while (from <= b.Heading.size()) {
                const size_t nl = std::min(b.Heading.find('\n', from), b.Heading.size());
                text += "\n" + Translate(b.Heading.substr(from, nl - from), language);
                from = nl + 1;
            }
        }
        for (const BookingPart& part : b.Parts)
            text +=
                "\n" + std::to_string(b.Number) + part.Tag + ")" + Translate(part.Text, language);
    }
    if (RoundComplete()) text += "\n\n" + Translate(Closing(), language);
    return text;
}

std::vector<ShownEntry> AccountingProcess::Shown(int account, AccountSide side) const {
    std::vector<ShownEntry> shown;
    for (int i = 0; i < booked_ && i < static_cast<int>(script_.size()); ++i)
        for (const BookingPart& part : script_[i].Parts)
            for (const AccountEntry& e : part.Entries)
                if (e.Account == account && e.Side == side)
                    shown.push_back(
                        {std::to_string(script_[i].Number) + part.Tag, e.Label, e.Amount, e.Memo});
    return shown;
}

// ---------------------------------------------------------------- round 0

void AccountingProcess::BuildRound0() {
    const double mn = rounds_.PreviousMoney();
    const double b = rounds_.CashRatio(0), r = rounds_.ReserveRatio(0);
    if (b < 1) {
        pendingHeading_ = std::string("KREDITVERGABE DER GESCHÄFTSBANKEN (SICHTEINLAGEN)##LENDING "
                                      "BY COMMERCIAL BANKS (SIGHT DEPOSITS)");
        for (int k = 1; k <= 2; ++k) {
            if (!shares_.Shown(k) || shares_.Market(k) <= 0) continue;
            const double x = mn * (1 - b) * shares_.Market(k) / 100;
            const std::string bank = shares_.Name(k), share = std::to_string(shares_.Market(k));
            const std::string kr = std::string("KR,") + Letter(k),
                              se = std::string("SE,") + Letter(k);
            MoneyBooking booking;
            booking.Parts.push_back(Part(
                'a', {E(k, Assets, kr, x), E(AccountNonBanks, Liabilities, kr, x)},
                FillIn(
                    " Entsprechend ihrem Marktanteil hat die %1 %2% aller bisherigen "
                    "Geschäftsbankkredite an Nichtbanken vergeben.## According to its market "
                    "share, %1 has granted %2% of all commercial bank loans to non-banks so far.",
                    {bank, share})));
            booking.Parts.push_back(
                Part('b', {E(AccountNonBanks, Assets, se, x), E(k, Liabilities, se, x)},
                     std::string(" Dem stehen Sichteinlagen des Nichtbankensektors in gleicher "
                                 "Höhe gegenüber.## They are matched by sight deposits of the "
                                 "non-bank sector of the same amount.")));
            Add(std::move(booking), x);
        }
    }
    if (b > 0) {
        pendingHeading_ = std::string("KREDITVERGABE DER ZENTRALBANK (BARGELDUMLAUF)##LENDING BY "
                                      "THE CENTRAL BANK (CURRENCY IN CIRCULATION)");
        const double x = b * mn;
        MoneyBooking booking;
        booking.Parts.push_back(Part(
            'a', {E(AccountNonBanks, Assets, "BG", x), E(AccountCentralBank, Liabilities, "BG", x)},
            FillIn(" Entsprechend der Bargeldquote halten die Nichtbanken %1% der Geldmenge in "
                   "Form von Bargeld.## According to the currency ratio, the non-banks hold %1% of "
                   "the money stock as cash.",
                   {Percent(b)})));
        booking.Parts.push_back(Part(
            'b',
            {E(AccountCentralBank, Assets, "KR,Z", x), E(AccountNonBanks, Liabilities, "KR,Z", x)},
            std::string(
                " Dem Bargeldumlauf stehen verbriefte Forderungen der Zentralbank an Nichtbanken "
                "in gleicher Höhe gegenüber.## The currency in circulation is matched by "
                "securitised claims of the central bank on non-banks of the same amount.")));
        Add(std::move(booking), x);
    }
    if (b < 1 && r > 0) {
        pendingHeading_ = std::string("KREDITVERGABE IM FINANZSEKTOR (MINDESTRESERVE)##LENDING "
                                      "WITHIN THE FINANCIAL SECTOR (MINIMUM RESERVES)");
        for (int k = 1; k <= 2; ++k) {
            if (!shares_.Shown(k)) continue;
            const double x = rounds_.RequiredReserves(k, 0);
            const std::string bank = shares_.Name(k);
            const std::string dkr = std::string("dKR,") + Letter(k);
            const std::string el = std::string("EL,") + Letter(k);
            MoneyBooking booking;
            booking.Parts.push_back(Part(
                'a', {E(k, Assets, dkr, -x), E(AccountCentralBank, Assets, "dKR,Z", x)},
                FillIn(" Zur Erfüllung der Mindestreservepflicht in Höhe von %1% der Sichteinlagen "
                       "hat die %2 Forderungen an Nichtbanken an die Zentralbank verkauft.## To "
                       "meet the minimum reserve requirement of %1% of sight deposits, %2 has sold "
                       "claims on non-banks to the central bank.",
                       {Percent(r), bank})));
            booking.Parts.push_back(
                Part('b', {E(k, Assets, el, x), E(AccountCentralBank, Liabilities, el, x)},
                     FillIn(" Die Zentralbank hat diese Wertpapiere mit eigenem Geld bezahlt und "
                            "der %1 den Betrag als Zentralbankeinlage gutgeschrieben.## The "
                            "central bank has paid for these securities with its own money and "
                            "credited the amount to %1 as a central bank deposit.",
                            {bank})));
            booking.Parts.push_back(
                Part('c',
                     {E(AccountNonBanks, Liabilities, dkr, -x),
                      E(AccountNonBanks, Liabilities, "dKR,Z", x)},
                     FillIn(" Im Nichtbankensektor führte der Forderungsverkauf der %1 zu einer "
                            "Änderung der Gläubigerstruktur.## In the non-bank sector, the sale of "
                            "claims by %1 changed the structure of creditors.",
                            {bank})));
            Add(std::move(booking), x);
        }
    }
}

// ---------------------------------------------------------------- later rounds

void AccountingProcess::AddOpeningPosition(int n) {
    pendingHeading_ = std::string("AUSGANGSLAGE##INITIAL POSITION");
    MoneyBooking booking;
    std::vector<AccountEntry> entries;
    double largest = 0;
    for (const auto& [key, amount] : roundStart_) {
        if (FormatsToZero(m_, amount)) continue;
        entries.push_back(
            Memo(key.first / 2, static_cast<AccountSide>(key.first % 2), key.second, amount));
        largest = std::max(largest, std::fabs(amount));
    }
    // In the order the accounts are built up: loans, central-bank deposits, sight
    // deposits, cash.
    auto rank = [](const std::string& label) {
        for (int i = 0; const char* prefix : {"KR,", "EL,", "SE,", "BG"}) {
            if (label.rfind(prefix, 0) == 0) return i;
            ++i;
        }
        return 4;
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&rank](const AccountEntry& a, const AccountEntry& b) {
                         return rank(a.Label) < rank(b.Label);
                     });
    const std::string number = std::to_string(script_.size() + 1);
    const std::string round = std::to_string(n);
    booking.Parts.push_back(
        Part('a', std::move(entries),
             FillIn(" Die Buchungen von Eintrag %1 zeigen die monetären Bestände aller Sektoren zu "
                    "Beginn der %2. Runde.## The entries of booking %1 show the monetary stocks of "
                    "all sectors at the start of round %2.",
                    {number, round})));
    Add(std::move(booking), largest);
}

void AccountingProcess::BuildImpulseRound() {
    AddOpeningPosition(1);
    const std::string t = std::to_string(rounds_.Period());
    pendingHeading_ =
        std::string("ÄNDERUNG DES ZENTRALBANKGELDBEDARFS / -ANGEBOTS (ÜBERSCHUSSRESERVE)##CHANGE "
                    "IN DEMAND FOR / SUPPLY OF CENTRAL BANK MONEY (EXCESS RESERVES)");
    if (!rounds_.HasImpulse()) {
        MoneyBooking booking;
        booking.Parts.push_back(Part(
            'a', {},
            FillIn(" In Periode t = %1 ändern sich weder die monetäre Basis noch die Bargeldquote "
                   "noch der Mindestreservesatz. Es gibt daher keine Änderung von Nachfrage oder "
                   "Angebot an Zentralbankgeld und keinen Geld- und Kreditschöpfungsprozess.## In "
                   "period t = %1 neither the monetary base nor the currency ratio nor the reserve "
                   "ratio changes. Hence demand for and supply of central bank money do not "
                   "change, and there is no process of money and credit creation.",
                   {t})));
        Add(std::move(booking), 1);
        return;
    }
    const double mn = rounds_.PreviousMoney();
    const double b0 = rounds_.CashRatio(0), b1 = rounds_.CashRatio(1);
    const double r0 = rounds_.ReserveRatio(0), r1 = rounds_.ReserveRatio(1);

    std::string topic = std::string("Nominelle monetäre Basis##Nominal monetary base");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const double x = rounds_.BaseIncrease(k);
        const std::string bank = shares_.Name(k), share = std::to_string(shares_.Base(k));
        const std::string l = Letter(k);
        const bool expansive = x > 0;
        MoneyBooking booking;
        booking.Heading = topic;
        booking.Parts.push_back(Part(
            'a', {E(k, Assets, "dKR," + l, -x), E(AccountCentralBank, Assets, "dKR,Z", x)},
            expansive
                ? FillIn(" Im Rahmen einer expansiven Geldpolitik kauft die Zentralbank der %1 "
                         "entsprechend ihrem Anteil von %2% an der zusätzlichen monetären Basis "
                         "Wertpapiere im Wert von %3 ab.## Under an expansive monetary policy the "
                         "central bank buys securities worth %3 from %1, according to its share of "
                         "%2% in the additional monetary base.",
                         {bank, share, Amount(x)})
                : FillIn(" Im Rahmen einer kontraktiven Geldpolitik verkauft die Zentralbank der "
                         "%1 entsprechend ihrem Anteil von %2% an der Verringerung der monetären "
                         "Basis Wertpapiere im Wert von %3.## Under a contractive monetary policy "
                         "the central bank sells securities worth %3 to %1, according to its share "
                         "of %2% in the reduction of the monetary base.",
                         {bank, share, Amount(-x)})));
        booking.Parts.push_back(Part(
            'b', {E(k, Assets, "dEL," + l, x), E(AccountCentralBank, Liabilities, "dEL," + l, x)},
            expansive
                ? FillIn(" Der Gegenwert wird der %1 als Zentralbankeinlage gutgeschrieben.## The "
                         "proceeds are credited to %1 as a central bank deposit.",
                         {bank})
                : FillIn(" Der Kaufpreis wird der Zentralbankeinlage der %1 belastet.## The price "
                         "is debited to the central bank deposit of %1.",
                         {bank})));
        booking.Parts.push_back(Part(
            'c',
            {E(AccountNonBanks, Liabilities, "dKR," + l, -x),
             E(AccountNonBanks, Liabilities, "dKR,Z", x)},
            std::string(" Im Nichtbankensektor ändert sich dadurch nur die Gläubigerstruktur.## In "
                        "the non-bank sector only the structure of creditors changes.")));
        const size_t before = script_.size();
        Add(std::move(booking), x);
        if (script_.size() > before) topic.clear();
    }

    topic = std::string("Bargeldpräferenz##Currency preference");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const double x = (b1 - b0) * mn * shares_.Market(k) / 100;
        const std::string bank = shares_.Name(k), l = Letter(k);
        const bool withdrawn = x > 0;
        MoneyBooking booking;
        booking.Heading = topic;
        booking.Parts.push_back(Part(
            'a', {E(AccountNonBanks, Assets, "dBG", x), E(AccountNonBanks, Assets, "dSE," + l, -x)},
            withdrawn
                ? FillIn(" Wegen der gestiegenen Bargeldquote heben die Nichtbanken %1 von ihren "
                         "Sichteinlagen bei der %2 ab.## Because the currency ratio rose, the "
                         "non-banks withdraw %1 from their sight deposits at %2.",
                         {Amount(x), bank})
                : FillIn(" Wegen der gesunkenen Bargeldquote zahlen die Nichtbanken %1 Bargeld auf "
                         "ihre Sichteinlagen bei der %2 ein.## Because the currency ratio fell, "
                         "the non-banks pay %1 in cash into their sight deposits at %2.",
                         {Amount(-x), bank})));
        booking.Parts.push_back(Part(
            'b', {E(k, Liabilities, "dSE," + l, -x), E(k, Assets, "dEL," + l, -x)},
            withdrawn
                ? FillIn(" Die %1 beschafft sich das Bargeld zulasten ihrer Zentralbankeinlage.## "
                         "%1 obtains the cash against its central bank deposit.",
                         {bank})
                : FillIn(" Die %1 zahlt das Bargeld auf ihre Zentralbankeinlage ein.## %1 pays the "
                         "cash into its central bank deposit.",
                         {bank})));
        booking.Parts.push_back(
            Part('c',
                 {E(AccountCentralBank, Liabilities, "dEL," + l, -x),
                  E(AccountCentralBank, Liabilities, "dBG", x)},
                 std::string(" Bei der Zentralbank werden Zentralbankeinlagen und Bargeldumlauf "
                             "getauscht.## At the central bank, central bank deposits and currency "
                             "in circulation are exchanged.")));
        const size_t before = script_.size();
        Add(std::move(booking), x);
        if (script_.size() > before) topic.clear();
    }

    topic = std::string("Mindestreservepolitik##Minimum reserve policy");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const double d = mn * shares_.Market(k) / 100;
        const double cash = (b1 - b0) * d;
        const double change = r1 * ((1 - b0) * d - cash) - r0 * (1 - b0) * d;
        const std::string bank = shares_.Name(k);
        MoneyBooking booking;
        booking.Heading = topic;
        booking.Parts.push_back(
            Part('a', {},
                 FillIn(" Beim Mindestreservesatz von %1% ändert sich das Mindestreservesoll der "
                        "%2 auf ihre Sichteinlagen um %3 (dieser Wert wird nicht gebucht).## At "
                        "the reserve ratio of %1% the minimum reserve requirement of %2 on its "
                        "sight deposits changes by %3 (this value is not booked).",
                        {Percent(r1), bank, Amount(change)})));
        const size_t before = script_.size();
        Add(std::move(booking), change);
        if (script_.size() > before) topic.clear();
    }

    AddClosing(1);
}

void AccountingProcess::BuildCreationRound(int n) {
    AddOpeningPosition(n);
    const double b = rounds_.CashRatio(n);
    double lending[3] = {0, 0, 0};
    for (int k = 1; k <= 2; ++k)
        lending[k] = rounds_.RoundExcessReserves(k, n - 1);
    lending[0] = lending[1] + lending[2];

    pendingHeading_ = std::string(
        "KREDITVERGABE DES GESCHÄFTSBANKENSEKTORS##LENDING BY THE COMMERCIAL BANK SECTOR");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const double x = lending[k];
        const std::string bank = shares_.Name(k), l = Letter(k);
        MoneyBooking booking;
        booking.Parts.push_back(
            Part('a', {E(k, Assets, "dKR," + l, x), E(AccountNonBanks, Liabilities, "dKR," + l, x)},
                 x > 0 ? FillIn(" Die %1 vergibt in Höhe ihrer Überschussreserve neue Kredite von "
                                "%2 an Nichtbanken.## %1 grants new loans of %2 to non-banks, the "
                                "amount of its excess reserves.",
                                {bank, Amount(x)})
                       : FillIn(" Wegen ihrer fehlenden Mindestreserve kürzt die %1 ihre Kredite "
                                "an Nichtbanken um %2.## Because it lacks minimum reserves, %1 "
                                "cuts its loans to non-banks by %2.",
                                {bank, Amount(-x)})));
        booking.Parts.push_back(Part(
            'b', {E(k, Liabilities, "dSE," + l, x), E(AccountNonBanks, Assets, "dSE," + l, x)},
            x > 0 ? std::string(" Sie schreibt den Kreditnehmern den Betrag als Sichteinlage "
                                "gut.## It credits the amount to the borrowers as sight deposits.")
                  : std::string(" Die Kreditnehmer tilgen zulasten ihrer Sichteinlagen.## The "
                                "borrowers repay out of their sight deposits.")));
        Add(std::move(booking), x);
    }

    pendingHeading_ = lending[0] >= 0
                          ? std::string("KREDITVERWENDUNG DURCH DEN NICHTBANKENSEKTOR##USE OF "
                                        "CREDIT BY THE NON-BANK SECTOR")
                          : std::string("KREDITRÜCKZAHLUNG DURCH DEN NICHTBANKENSEKTOR##REPAYMENT "
                                        "OF CREDIT BY THE NON-BANK SECTOR");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const int j = 3 - k;
        const double x = lending[k];
        const std::string bank = shares_.Name(k), other = shares_.Name(j);
        const std::string l = Letter(k), lj = Letter(j);

        const double cash = b * x;
        MoneyBooking cashBooking;
        cashBooking.Heading = std::string("Bargeld##Cash");
        cashBooking.Parts.push_back(Part(
            'a',
            {E(AccountNonBanks, Assets, "dBG", cash),
             E(AccountNonBanks, Assets, "dSE," + l, -cash)},
            cash > 0 ? FillIn(" Entsprechend der Bargeldquote von %1% heben die Nichtbanken %2 der "
                              "neuen Kredite der %3 in bar ab.## According to the currency ratio "
                              "of %1%, the non-banks withdraw %2 of the new loans of %3 in cash.",
                              {Percent(b), Amount(cash), bank})
                     : FillIn(" Entsprechend der Bargeldquote von %1% tilgen die Nichtbanken %2 "
                              "bei der %3 in bar.## According to the currency ratio of %1%, the "
                              "non-banks repay %2 to %3 in cash.",
                              {Percent(b), Amount(-cash), bank})));
        cashBooking.Parts.push_back(
            Part('b', {E(k, Liabilities, "dSE," + l, -cash), E(k, Assets, "dEL," + l, -cash)},
                 FillIn(" Die %1 gleicht den Bargeldverkehr über ihre Zentralbankeinlage aus.## %1 "
                        "settles the cash movement through its central bank deposit.",
                        {bank})));
        cashBooking.Parts.push_back(
            Part('c',
                 {E(AccountCentralBank, Liabilities, "dEL," + l, -cash),
                  E(AccountCentralBank, Liabilities, "dBG", cash)},
                 std::string(" Bei der Zentralbank werden Zentralbankeinlagen und Bargeldumlauf "
                             "getauscht.## At the central bank, central bank deposits and currency "
                             "in circulation are exchanged.")));
        Add(std::move(cashBooking), cash);

        MoneyBooking transfer;
        transfer.Heading = std::string("Buchgeld##Book money");
        if (shares_.Market(j) <= 0) {
            transfer.Parts.push_back(Part(
                'a', {},
                FillIn(
                    " Da die %1 allein am Markt ist, bleiben alle Überweisungen innerhalb dieser "
                    "Bank.## As %1 is alone in the market, all transfers stay within this bank.",
                    {bank})));
            Add(std::move(transfer), x);
            continue;
        }
        const double y = (1 - b) * x * shares_.Market(j) / 100;
        const std::string share = std::to_string(shares_.Market(j));
        transfer.Parts.push_back(Part(
            'a',
            {E(AccountNonBanks, Assets, "dSE," + l, -y),
             E(AccountNonBanks, Assets, "dSE," + lj, y)},
            y > 0
                ? FillIn(" Entsprechend dem Marktanteil der %1 von %2% überweisen die Nichtbanken "
                         "%3 auf Konten bei der %1.## According to the market share of %1 of %2%, "
                         "the non-banks transfer %3 to accounts at %1.",
                         {other, share, Amount(y)})
                : FillIn(" Entsprechend dem Marktanteil der %1 von %2% überweisen die Nichtbanken "
                         "%3 von Konten bei der %1 an die %4.## According to the market share of "
                         "%1 of %2%, the non-banks transfer %3 from accounts at %1 to %4.",
                         {other, share, Amount(-y), bank})));
        transfer.Parts.push_back(Part(
            'b',
            {E(k, Liabilities, "dSE," + l, -y), E(k, Assets, "dEL," + l, -y),
             E(j, Liabilities, "dSE," + lj, y), E(j, Assets, "dEL," + lj, y)},
            std::string(" Die Banken verrechnen die Überweisungen über ihre Zentralbankeinlagen.## "
                        "The banks settle the transfers through their central bank deposits.")));
        transfer.Parts.push_back(
            Part('c',
                 {E(AccountCentralBank, Liabilities, "dEL," + l, -y),
                  E(AccountCentralBank, Liabilities, "dEL," + lj, y)},
                 std::string(" Die Zentralbank bucht die Einlagen zwischen den Banken um.## The "
                             "central bank moves the deposits between the banks.")));
        Add(std::move(transfer), y);
    }
    AddClosing(n);
}

void AccountingProcess::AddClosing(int n) {
    pendingHeading_ = std::string("Abschluss und Überschussreserve##Closing and excess reserves");
    for (int k = 1; k <= 2; ++k) {
        if (!shares_.Shown(k)) continue;
        const std::string bank = shares_.Name(k), l = Letter(k);
        const double excess = rounds_.RoundExcessReserves(k, n);
        const auto it = running_.find({k * 2 + Assets, "EL," + l});
        const double deposit = it == running_.end() ? 0 : it->second;
        std::string text;
        if (n == 1) {
            if (FormatsToZero(m_, excess))
                text = FillIn(
                    " Die %1 verfügt über keine Überschussreserve.## %1 holds no excess reserves.",
                    {bank});
            else if (excess > 0)
                text = FillIn(
                    " Die %1 verfügt über eine Überschussreserve von %2, die sie als Kredit "
                    "vergeben kann.## %1 holds excess reserves of %2, which it can lend out.",
                    {bank, Amount(excess)});
            else
                text = FillIn(" Die %1 unterschreitet ihr Mindestreservesoll um %2 und muss ihre "
                              "Kredite einschränken.## %1 falls short of its minimum reserve "
                              "requirement by %2 and must cut its loans.",
                              {bank, Amount(-excess)});
        } else {
            const double before = rounds_.RoundExcessReserves(k, n - 1);
            const std::string now = Amount(excess);
            if (Amount(before) == now)
                text = FillIn(" Die Überschussreserve der %1 beträgt %2 und ist gegenüber der "
                              "Vorrunde unverändert.## The excess reserves of %1 amount to %2, "
                              "unchanged from the previous round.",
                              {bank, now});
            else if (std::fabs(excess) < std::fabs(before))
                text =
                    FillIn(" Die Überschussreserve der %1 beträgt %2; gegenüber der Vorrunde (%3) "
                           "ist sie betragsmäßig gesunken.## The excess reserves of %1 amount to "
                           "%2; in absolute terms they fell from the previous round (%3).",
                           {bank, now, Amount(before)});
            else
                text =
                    FillIn(" Die Überschussreserve der %1 beträgt %2; gegenüber der Vorrunde (%3) "
                           "ist sie betragsmäßig gestiegen.## The excess reserves of %1 amount to "
                           "%2; in absolute terms they rose from the previous round (%3).",
                           {bank, now, Amount(before)});
        }
        MoneyBooking booking;
        booking.Parts.push_back(Part(
            'a',
            {Memo(k, Assets, "EL," + l, deposit), Memo(k, Assets, "davon ÜR##of which ER", excess)},
            text));
        Add(std::move(booking), 1);
    }
}

} // namespace tv
