#pragma once

// The link to the national-accounting booking application: the calls it understands, the
// bookings of one period, the transfer of an interval and the data text of its DDE
// exchange. The real application is reached by a platform link; BookingJournal stands in
// for it, keeping every call.

#include <climits>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tv {

class Model;

constexpr int BookingEsa = 0; // European system of accounts
constexpr int BookingBpm = 1; // balance of payments

// Percentages 0..100 that split quantities into two bookings; kept for the run.
struct BookingShares {
    int publicConsumption = 50;   // of government purchases
    int socialContributions = 50; // of public charges
    int exportServices = 50;
    int importServices = 50;
};

struct AccountBooking {
    int period = 0;
    std::string sector, account;
    int side = 1; // 1 uses, 2 resources
    std::string transaction;
    double value = 0;
};

// A failing call throws BookingError; the link is dead afterwards.
struct BookingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The calls of the booking application, in the order a transfer makes them.
class BookingApplication {
  public:
    virtual ~BookingApplication() = default;
    virtual void Reconnect() = 0;                        // link already open
    virtual void SetClient(const std::string& name) = 0; // right after connecting
    virtual void BeginTransfer() = 0;
    virtual void SetAccountingSystem(int index) = 0;
    virtual void SetPeriods(int first, int one, int last, int one2, int one3) = 0;
    virtual int BeginPeriod(int periodPlusOne) = 0; // != 0: stopped by the user
    virtual void Book(int period, int one, const AccountBooking& b) = 0;
    virtual void EndPeriod(int period, int one) = 0;
    virtual void EndTransfer() = 0;
    virtual void AfterTransfer() = 0;
    virtual void Close() = 0;
};

// The bookings of period t for one accounting system, in variable, then parameter order.
std::vector<AccountBooking> PeriodBookings(const Model& m, int t, int index,
                                           const BookingShares& s);

// Progress of a transfer: Open(count), Step(done) returns false when the user cancelled,
// Close(). Messages go to Message.
struct TransferProgress {
    std::function<void(int count)> Open = [](int) {};
    std::function<bool(int done)> Step = [](int) { return true; };
    std::function<void()> Close = [] {};
};

// Transfers the analysis interval (at most 250 periods). Returns the stop message of the
// application, or empty. BookingError passes through after the progress is closed.
// `resumeAfter` skips the periods up to it (already booked by the partner); `confirmed`,
// when given, follows the last period whose booking the partner has confirmed.
std::string TransferBookings(const Model& m, BookingApplication& app, int index,
                             const BookingShares& s, const TransferProgress& progress,
                             int resumeAfter = INT_MIN, int* confirmed = nullptr);

// The two links, one per accounting system, and how they are made.
class BookingLinks {
  public:
    using Factory = std::function<std::unique_ptr<BookingApplication>()>;
    // Makes the link of one accounting system (BookingEsa or BookingBpm).
    using IndexedFactory = std::function<std::unique_ptr<BookingApplication>(int index)>;
    explicit BookingLinks(Factory factory)
        : factory_([f = std::move(factory)](int) {
              return f ? f() : std::unique_ptr<BookingApplication>();
          }) {}
    explicit BookingLinks(IndexedFactory factory) : factory_(std::move(factory)) {}
    ~BookingLinks();

    bool IsOpen(int index) const { return bool(links_[index]); }
    // Connects (or greets the open link) and transfers. A dead link is released and made
    // anew once. Returns the message for the user, empty on success.
    std::string Transfer(const Model& m, int index, const BookingShares& s,
                         const TransferProgress& progress);
    void Close(int index);
    void CloseAll();

  private:
    BookingApplication* Connect(int index);
    IndexedFactory factory_;
    std::unique_ptr<BookingApplication> links_[2];
};

// Texts shown when no link can be made.
extern const char* const BookingConnectTitle;
extern const char* const BookingConnectHeadline;
extern const char* const BookingConnectText;

// The data text sent to the booking application by DDE for the current period.
std::string BookingDataText(const Model& m);

// The stand-in: keeps every call and can write them as a readable journal.
class BookingJournal : public BookingApplication {
  public:
    std::vector<std::string> Calls; // one line per call
    std::vector<AccountBooking> Bookings;
    int StopAtPeriod = -1;   // BeginPeriod of this period returns it + 1
    int FailAfterCalls = -1; // throws BookingError at that many calls

    void Reconnect() override;
    void SetClient(const std::string& name) override;
    void BeginTransfer() override;
    void SetAccountingSystem(int index) override;
    void SetPeriods(int first, int one, int last, int one2, int one3) override;
    int BeginPeriod(int periodPlusOne) override;
    void Book(int period, int one, const AccountBooking& b) override;
    void EndPeriod(int period, int one) override;
    void EndTransfer() override;
    void AfterTransfer() override;
    void Close() override;

    std::string Text() const; // the journal, one call a line
    void Write(const std::string& fileName) const;

  private:
    void Log(std::string line);
};

} // namespace tv
