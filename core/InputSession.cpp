#include "core/InputSession.h"

#include "core/Catalogue.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tv {

namespace {

constexpr int CashRatio = 57;
constexpr int ReserveRatio = 58;

} // namespace

InputSession::InputSession(Model& m, int sector, bool permanentDefault)
    : m_(m), sector_(sector), pageCount_(sector >= 1 && sector <= 5 ? CategoryCount(sector) : 0),
      current_(m.Periods.CurrentPeriod), switchCopy_(m.Switch) {
    for (int page = 1; page <= pageCount_; ++page) {
        pages_[page].Permanent = permanentDefault;
        for (int n = FirstParam(page); n <= LastParam(page); ++n)
            work_[n] = opening_[n] = m_.ModelPar(current_, n);
    }
}

int InputSession::FirstParam(int page) const {
    return CategoryFirst(sector_, page);
}
int InputSession::LastParam(int page) const {
    return CategoryLast(sector_, page);
}

int InputSession::PageOfParam(int n) const {
    for (int page = 1; page <= pageCount_; ++page)
        if (n >= FirstParam(page) && n <= LastParam(page)) return page;
    return 0;
}

std::vector<int> InputSession::VisibleParams(int page) {
    m_.UpdateActiveParams();
    std::vector<int> params;
    if (page < 1 || page > pageCount_) return params;
    for (int n = FirstParam(page); n <= LastParam(page); ++n)
        if (m_.ActiveParams[n]) params.push_back(n);
    return params;
}

bool InputSession::Enter(UserHost& host, int n, double x) {
    if (PageOfParam(n) == 0) return false;
    std::array<double, 64> row{};
    for (int k = 1; k <= ParCount; ++k)
        row[k - 1] = PageOfParam(k) ? work_[k] : m_.ModelPar(current_, k);
    row[n - 1] = x;
    if (!CheckParameter(m_, host, n, current_, x, row)) return false;
    work_[n] = x;
    return true;
}

int InputSession::MaxPeriods() const {
    return std::max(1, m_.Periods.RightEdge - current_ + 1);
}

int InputSession::SetPeriods(int page, long long periods) {
    const int kept =
        static_cast<int>(std::clamp<long long>(periods <= 0 ? 1 : periods, 1, MaxPeriods()));
    pages_[page].Periods = kept;
    return kept;
}

int InputSession::LastTarget(int page) const {
    const int right = m_.Periods.RightEdge;
    if (pages_[page].Permanent) return right;
    return std::min(right, current_ + pages_[page].Periods - 1);
}

bool InputSession::CheckTargets(UserHost& host, InputClose how, int currentPage) {
    if (how == InputClose::Cancel) return true;
    m_.UpdateActiveParams();
    for (int page = 1; page <= pageCount_; ++page) {
        if (how == InputClose::Page && page != currentPage) continue;
        const auto writes = [&](int n) {
            return PageOfParam(n) == page && m_.ActiveParams[n] && Changed(n);
        };
        const bool cash = writes(CashRatio);
        const bool reserve = writes(ReserveRatio);
        if (!cash && !reserve) continue;
        for (int p = current_; p <= LastTarget(page); ++p) {
            const double b = cash ? work_[CashRatio] : m_.ModelPar(p, CashRatio);
            const double r = reserve ? work_[ReserveRatio] : m_.ModelPar(p, ReserveRatio);
            if (b == 0 && r == 0) {
                host.PlaySound("SoNicht.wav");
                host.ShowMessage(
                    "Parameter Check", FillIn(ZeroRatiosText, {std::to_string(p)}),
                    Translate("Es wurde noch nichts übernommen.##Nothing has been stored yet.",
                              m_.Language));
                return false;
            }
        }
    }
    return true;
}

void InputSession::WritePage(int page) {
    const int last = LastTarget(page);
    for (int n = FirstParam(page); n <= LastParam(page); ++n) {
        if (!m_.ActiveParams[n] || !Changed(n)) continue;
        const double v = work_[n];
        for (int p = current_; p <= last; ++p) {
            if (m_.ModelPar(p, n) == v) continue;
            MarkUnsolvedFrom(m_, p - 1);
            m_.SetModelPar(p, n, v);
        }
        // An autonomous money change entered for the start equilibrium is a level there
        // and no change in the periods that follow.
        if (current_ == 0 && last > 0 && (n == 55 || n == 56)) {
            for (int p = 1; p <= last; ++p) {
                if (m_.ModelPar(p, n) == 0) continue;
                MarkUnsolvedFrom(m_, p - 1);
                m_.SetModelPar(p, n, 0);
            }
        }
    }
}

void InputSession::SetRecalcFlags() {
    const Switches& now = m_.Switch;
    const auto changed = [&](int k) { return now[k] != switchCopy_[k]; };
    bool all = false;
    bool interval = false;
    for (int k : {1, 6, 7, 8, 12, 13, 14, 23, 15, 16, 18, 19, 20, 22, 21})
        all = all || changed(k);
    for (int k : {2, 3, 5, 9, 10, 11})
        interval = interval || changed(k);
    if (changed(4) && now[3] == 1) interval = true;
    if (changed(17)) {
        if (now[17] == 0 || switchCopy_[17] == 0)
            all = true;
        else
            interval = true;
    }
    if (all) m_.RecalcAll = 1;
    if (interval) m_.RecalcInterval = 1;
}

void InputSession::Close(InputClose how, int currentPage) {
    if (how == InputClose::Cancel) {
        m_.Switch = switchCopy_;
        m_.UpdateActiveParams();
        return;
    }
    m_.UpdateActiveParams();
    for (int page = 1; page <= pageCount_; ++page)
        if (how == InputClose::All || page == currentPage) WritePage(page);
    SetRecalcFlags();
}

bool SwitchIncomeExpectationsForFlexibleRates(Model& m) {
    if (m.Sw(21) != 1) return false;
    bool changed = false;
    for (int i = 0; i <= 2; ++i) {
        if (m.Expect[i].Method != 1) continue;
        m.Expect[i].Method = 2;
        changed = true;
    }
    if (changed) m.RecalcInterval = 1;
    return changed;
}

} // namespace tv
