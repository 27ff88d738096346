#include "logic/Booking.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace tv {

const char* const BookingConnectTitle = "COM-Connection";
const char* const BookingConnectHeadline = "Unable to connect to VALDA";
const char* const BookingConnectText =
    "VALDA is not registered on this system. This may be due to the fact that\r\n(1) VALDA "
    "is not installed or that\r\n(2) an installed version of VALDA has never been run on "
    "this machine.";

namespace {

struct Row {
    const char* sector;
    const char* account;
    int side;
    const char* transaction;
};

} // namespace

std::vector<AccountBooking> PeriodBookings(const Model& m, int t, int index,
                                           const BookingShares& s) {
    std::vector<AccountBooking> out;
    auto add = [&](const Row& r, double value) {
        out.push_back({t, r.sector, r.account, r.side, r.transaction, value});
    };
    auto v = [&](int n) { return m.ModelVar(t, n); };
    auto p = [&](int n) { return m.ModelPar(t, n); };
    const double g = s.publicConsumption / 100.0, tx = s.socialContributions / 100.0;
    const double ex = s.exportServices / 100.0, im = s.importServices / 100.0;
    if (index == BookingEsa) {
        // Variables in number order: C 27, I 28, G 29, Ex 30, Y 37, YL 38, YU 39, Im 40,
        // T 41, R 53; then parameters SB,aut 45 and Sub,aut 46.
        add({"S.14-5", "II.4.1", 1, "P.3"}, v(var::C) - v(var::SUnpl));
        add({"S.11-2", "III.1.2", 1, "P.5"}, v(var::I) + v(var::IUnpl) + v(var::R));
        add({"S.13", "II.4.1", 1, "P.3"}, v(var::G) * g);
        add({"S.13", "III.1.2", 1, "P.5"}, v(var::G) * (1 - g));
        add({"S.2", "I", 1, "P.61"}, v(var::Ex) * (1 - ex));
        add({"S.2", "I", 1, "P.62"}, v(var::Ex) * ex);
        add({"S.11-2", "I", 2, "P.1"}, v(var::Y) + v(var::R));
        add({"S.11-2", "II.1.1", 1, "D.1"}, v(var::YL));
        add({"S.14-5", "II.1.2.2", 2, "D.1"}, v(var::YL));
        add({"S.11-2", "II.1.2.1", 1, "D.4"}, v(var::YU));
        add({"S.14-5", "II.1.2.1", 2, "D.4"}, v(var::YU));
        add({"S.2", "I", 2, "P.71"}, v(var::Im) * (1 - im));
        add({"S.2", "I", 2, "P.72"}, v(var::Im) * im);
        add({"S.14-5", "II.2", 1, "D.61"}, v(var::T) * tx);
        add({"S.13", "II.2", 2, "D.61"}, v(var::T) * tx);
        add({"S.14-5", "II.2", 1, "D.5"}, v(var::T) * (1 - tx));
        add({"S.13", "II.2", 2, "D.5"}, v(var::T) * (1 - tx));
        add({"S.11-2", "I", 1, "K.1"}, v(var::R));
        add({"S.13", "II.2", 1, "D.62"}, p(par::SBAut));
        add({"S.14-5", "II.2", 2, "D.62"}, p(par::SBAut));
        add({"S.13", "II.1.2.2", 2, "D.39"}, p(par::SubAut));
        add({"S.14-5", "II.1.1", 1, "D.39"}, -p(par::SubAut));
    } else {
        // NK 16, Z 17, Ex 30, Im 40.
        add({"S.1", "FIN_D", 1, "4753.."}, v(var::NK));
        add({"S.1", "RES", 2, "4802.."}, v(var::Z));
        add({"S.1", "CUR_A", 1, "2100.."}, v(var::Ex) * (1 - ex));
        add({"S.1", "CUR_B", 1, "2200.."}, v(var::Ex) * ex);
        add({"S.1", "CUR_A", 2, "3100.."}, v(var::Im) * (1 - im));
        add({"S.1", "CUR_B", 2, "3200.."}, v(var::Im) * im);
    }
    return out;
}

std::string TransferBookings(const Model& m, BookingApplication& app, int index,
                             const BookingShares& s, const TransferProgress& progress,
                             int resumeAfter, int* confirmed) {
    const int first = m.Periods.LeftEdge;
    const int last = std::min(first + 249, m.Periods.RightEdge);
    const int from = resumeAfter == INT_MIN ? first : std::max(first, resumeAfter + 1);
    app.BeginTransfer();
    app.SetAccountingSystem(index);
    app.SetPeriods(first, 1, last, 1, 1);
    progress.Open(std::max(0, last - from + 1));
    std::string message;
    try {
        for (int t = from; t <= last; ++t) {
            if (!progress.Step(t - from)) break;
            const int r = app.BeginPeriod(t + 1);
            if (r != 0) {
                message = "Data transfer interrupted by user in period " + std::to_string(r - 1);
                break;
            }
            for (const AccountBooking& b : PeriodBookings(m, t, index, s))
                app.Book(t, 1, b);
            app.EndPeriod(t, 1);
            if (confirmed) *confirmed = t;
        }
    } catch (...) {
        // The progress window must not outlive a dead link.
        progress.Close();
        throw;
    }
    progress.Close();
    app.EndTransfer();
    app.AfterTransfer();
    return message;
}

BookingLinks::~BookingLinks() {
    CloseAll();
}

BookingApplication* BookingLinks::Connect(int index) {
    if (links_[index]) {
        links_[index]->Reconnect();
    } else {
        auto link = factory_ ? factory_(index) : nullptr;
        if (!link) throw BookingError("no booking application");
        links_[index] = std::move(link);
    }
    links_[index]->SetClient("TERVALIS");
    return links_[index].get();
}

std::string BookingLinks::Transfer(const Model& m, int index, const BookingShares& s,
                                   const TransferProgress& progress) {
    // A retry after a dead link goes on after the last period the partner confirmed
    // rather than booking the earlier periods a second time.
    int confirmed = INT_MIN;
    for (int attempt = 0;; ++attempt) {
        BookingApplication* app = nullptr;
        try {
            app = Connect(index);
        } catch (const BookingError&) {
            links_[index].reset();
            if (attempt == 0) continue;
            return std::string(BookingConnectHeadline) + "\n" + BookingConnectText;
        }
        try {
            return TransferBookings(m, *app, index, s, progress, confirmed, &confirmed);
        } catch (const BookingError& e) {
            // The link is dead: release it so that the next transfer makes a new one.
            links_[index].reset();
            if (attempt == 0) continue;
            return std::string("Data transfer to VALDA failed: ") + e.what();
        }
    }
}

void BookingLinks::Close(int index) {
    if (!links_[index]) return;
    try {
        links_[index]->Close();
    } catch (const BookingError&) {
        // Closing a dead link only releases it.
    }
    links_[index].reset();
}

void BookingLinks::CloseAll() {
    Close(0);
    Close(1);
}

std::string BookingDataText(const Model& m) {
    const int t = m.Periods.CurrentPeriod;
    std::string s = "tv5_data§1$" + std::to_string(m.Periods.LeftEdge) + "§2$" +
                    std::to_string(m.Periods.RightEdge) + "§3$" + std::to_string(t) + "§4$1§5$1~";
    auto v = [&](int n) { return m.ModelVar(t, n); };
    auto p = [&](int n) { return m.ModelPar(t, n); };
    const double values[] = {v(var::Y),
                             v(var::YL),
                             v(var::YU) + p(par::SubAut),
                             v(var::R),
                             v(var::Im),
                             v(var::T),
                             p(par::SBAut),
                             p(par::SubAut),
                             v(var::C) - v(var::SUnpl),
                             v(var::I) + v(var::R),
                             v(var::IUnpl),
                             v(var::G),
                             v(var::Ex),
                             v(var::S) + v(var::SUnpl),
                             v(var::I) + v(var::IUnpl),
                             BudgetSurplus(m, t, v(var::Y)),
                             v(var::AB)};
    for (double x : values)
        s += m.FormatNumber(x) + "#";
    return s + "~";
}

// The stand-in.

void BookingJournal::Log(std::string line) {
    if (FailAfterCalls >= 0 && int(Calls.size()) >= FailAfterCalls) {
        FailAfterCalls = -1; // fails once
        throw BookingError("connection lost");
    }
    Calls.push_back(std::move(line));
}

void BookingJournal::Reconnect() {
    Log("1");
}
void BookingJournal::SetClient(const std::string& name) {
    Log("10 " + name);
}
void BookingJournal::BeginTransfer() {
    Log("8");
}
void BookingJournal::SetAccountingSystem(int index) {
    Log("5 " + std::to_string(index));
}
void BookingJournal::SetPeriods(int first, int one, int last, int one2, int one3) {
    Log("6 " + std::to_string(first) + " " + std::to_string(one) + " " + std::to_string(last) +
        " " + std::to_string(one2) + " " + std::to_string(one3));
}
int BookingJournal::BeginPeriod(int periodPlusOne) {
    Log("16 " + std::to_string(periodPlusOne));
    return periodPlusOne - 1 == StopAtPeriod ? periodPlusOne : 0;
}
void BookingJournal::Book(int period, int one, const AccountBooking& b) {
    char value[64];
    std::snprintf(value, sizeof value, "%.17g", b.value);
    Log("7 " + std::to_string(period) + " " + std::to_string(one) + " " + b.sector + " " +
        b.account + " " + std::to_string(b.side) + " " + b.transaction + " " + value);
    Bookings.push_back(b);
}
void BookingJournal::EndPeriod(int period, int one) {
    Log("2 " + std::to_string(period) + " " + std::to_string(one));
}
void BookingJournal::EndTransfer() {
    Log("9");
}
void BookingJournal::AfterTransfer() {
    Log("13");
}
void BookingJournal::Close() {
    Log("4");
}

std::string BookingJournal::Text() const {
    std::string s;
    for (const auto& c : Calls)
        s += c + "\n";
    return s;
}

void BookingJournal::Write(const std::string& fileName) const {
    std::ofstream f(fileName, std::ios::binary);
    f << Text();
}

} // namespace tv
