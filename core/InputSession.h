#pragma once

#include "core/Model.h"

#include <array>
#include <vector>

namespace tv {

class UserHost;

// With flexible exchange rates households cannot expect their actual income: income, wage-
// and profit-income expectations in mode 1 become extrapolative. Returns whether any did;
// the interval is then due for recalculation.
bool SwitchIncomeExpectationsForFlexibleRates(Model& m);

// How an input dialog was closed: cancelled, "Seite Ok" (the current page) or "Alles Ok".
enum class InputClose { Cancel, Page, All };

// The working copy behind a sector input dialog. Values are edited here and reach the
// model only when the dialog closes; the model switches, which option controls write at
// once, are restored on cancel. Pages are the categories of the sector (catalogue groups).
class InputSession {
  public:
    // permanentDefault: the main window's option that new inputs hold up to the right edge.
    InputSession(Model& m, int sector, bool permanentDefault);

    Model& model() { return m_; }
    int Sector() const { return sector_; }
    int PageCount() const { return pageCount_; }
    int FirstParam(int page) const;
    int LastParam(int page) const;
    int PageOfParam(int n) const; // 0 when n is not a parameter of the sector

    // The active parameters of a page under the switches as they are now, in number order.
    std::vector<int> VisibleParams(int page);

    double WorkValue(int n) const { return work_[n]; }
    double OpeningValue(int n) const { return opening_[n]; }
    // A value the user changed; exact comparison, so untouched values are never rewritten.
    bool Changed(int n) const { return work_[n] != opening_[n]; }

    // Tests an entry for parameter n of the current period against its range and the joint
    // cash-ratio/reserve-ratio rule (messages through the host) and keeps it when accepted.
    bool Enter(UserHost& host, int n, double x);

    bool Permanent(int page) const { return pages_[page].Permanent; }
    void SetPermanent(int page, bool permanent) { pages_[page].Permanent = permanent; }
    int Periods(int page) const { return pages_[page].Periods; }
    // Empty or 0 is 1; at most the periods up to the right edge. Returns what was kept.
    int SetPeriods(int page, long long periods);
    int MaxPeriods() const;
    // The last period an entry of the page is written to.
    int LastTarget(int page) const;

    const Switches& SwitchCopy() const { return switchCopy_; }

    // The cash ratio and the reserve ratio may not both be 0 in any period they would be
    // written to: names the first such period through the host and returns false.
    bool CheckTargets(UserHost& host, InputClose how, int currentPage);
    // Closing: cancel restores the switches; otherwise the changed parameters of the current
    // page or of all pages are written over their validity, the periods from the first
    // written one on are marked unsolved, and every changed switch sets its recalculation flag.
    void Close(InputClose how, int currentPage);

  private:
    struct Page {
        bool Permanent = false;
        int Periods = 1;
    };

    void WritePage(int page);
    void SetRecalcFlags();

    Model& m_;
    int sector_;
    int pageCount_;
    int current_; // the current period at opening
    Switches switchCopy_;
    std::array<double, ParCount + 1> work_{};
    std::array<double, ParCount + 1> opening_{};
    std::array<Page, 5> pages_{}; // index 1..4
};

} // namespace tv
