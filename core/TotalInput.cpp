#include "core/TotalInput.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberInput.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <algorithm>
#include <array>
#include <string>

namespace tv {

namespace {

constexpr int CashRatio = 57;
constexpr int ReserveRatio = 58;
// Below this both ratios count as 0 after a paste (the multiplier explodes either way).
constexpr double RatioFloor = 1e-14;

bool IsMoneyChange(int n) {
    return n == 55 || n == 56;
}

// Passes the first message of an operation on and swallows the rest, so that a paste over
// thousands of periods refuses with one dialog, not one per cell.
class FirstMessageHost : public UserHost {
  public:
    explicit FirstMessageHost(UserHost& inner) : inner_(inner) {}
    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint) override {
        if (shown_) return;
        shown_ = true;
        inner_.ShowMessage(title, text, hint);
    }
    bool Ask(const std::string& title, const std::string& text) override {
        return inner_.Ask(title, text);
    }
    void PlaySound(const std::string& waveFile) override {
        if (!shown_) inner_.PlaySound(waveFile);
    }
    void SetStatus(const std::string& text) override { inner_.SetStatus(text); }
    void ProgressOpen(const std::string&, const std::string&, const std::string&,
                      const std::string&) override {}
    void ProgressSetMaximumLabel(const std::string&) override {}
    void ProgressSet(double) override {}
    void ProgressHide() override {}
    void ProgressShow() override {}
    void ProgressClose() override {}
    bool StopRequested() override { return false; }
    void SetBusy(bool) override {}

  private:
    UserHost& inner_;
    bool shown_ = false;
};

// cause: "Durch den Kopiervorgang##The copy"; order: "Kopierauftrag##The copy order".
void RefuseInfiniteMultiplier(UserHost& host, int period, const char* cause, const char* order) {
    host.PlaySound("SoNicht.wav");
    host.ShowMessage("So nicht!##Not possible!",
                     FillIn("%2 würde der Geld- und Kreditschöpfungsmultiplikator in Periode %1 "
                            "unendlich groß, da sowohl die Bargeldquote als auch der "
                            "Mindestreservesatz null betragen.\r\n%3 wird nicht ausgeführt.##%4 "
                            "would make the money and credit multiplier in period %1 infinite, "
                            "since both the currency ratio and the reserve ratio are zero.\r\n%5 "
                            "is not carried out.",
                            {std::to_string(period), Translate(cause, 1), Translate(order, 1),
                             Translate(cause, 2), Translate(order, 2)}));
}

} // namespace

std::vector<int> TotalInputCandidates(Model& m, int sectorTab, int pageTab) {
    m.UpdateActiveParams();
    int first = 1, last = ParCount;
    if (sectorTab >= 1 && sectorTab <= 5) {
        const int pages = CategoryCount(sectorTab);
        if (pageTab >= 1 && pageTab <= pages) {
            first = CategoryFirst(sectorTab, pageTab);
            last = CategoryLast(sectorTab, pageTab);
        } else {
            first = CategoryFirst(sectorTab, 1);
            last = CategoryLast(sectorTab, pages);
        }
    }
    std::vector<int> params;
    for (int n = first; n <= last; ++n)
        if (m.ActiveParams[n]) params.push_back(n);
    return params;
}

void RefuseMoneyChangeAcrossPeriod0(const Model& m, UserHost& host) {
    (void)m;
    host.PlaySound("SoNicht.wav");
    host.ShowMessage(
        "So nicht!##Not possible!",
        "Die autonomen Änderungen von Geldangebot und Geldbasis (dMHN,aut und dMBHN,aut) "
        "sind in t = 0 Bestände, in allen anderen Perioden Änderungen. Sie lassen sich nicht "
        "über Periode 0 hinweg kopieren.##The autonomous changes of money supply and high "
        "powered money (dMHN,aut and dMBHN,aut) are stocks in t = 0 and changes in every "
        "other period. They cannot be copied across period 0.",
        "Es wurde nichts kopiert.##Nothing has been copied.");
}

// ---------------------------------------------------------------- the sheet

void TotalInputSheet::SetRows(int from, int to) {
    from_ = std::max(from, 0);
    to_ = std::min(to, tv::LastPeriod);
}

double TotalInputSheet::Cell(int period, int param) const {
    if (!edits_.empty()) {
        const auto it = edits_.find({period, param});
        if (it != edits_.end()) return it->second;
    }
    return m_.ModelPar(period, param);
}

bool TotalInputSheet::Edited(int row, int column) const {
    return edits_.count({PeriodOfRow(row), columns_[column]}) != 0;
}

void TotalInputSheet::Set(int period, int param, double x) {
    // Back at the model's value the cell is no edit any more (nothing to write, nothing to
    // mark unsolved).
    if (m_.ModelPar(period, param) == x)
        edits_.erase({period, param});
    else
        edits_[{period, param}] = x;
}

bool TotalInputSheet::Enter(UserHost& host, int row, int column, double x) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return false;
    const int t = PeriodOfRow(row);
    const int n = columns_[column];
    std::array<double, 64> candidate{};
    for (int k = 1; k <= ParCount; ++k)
        candidate[k - 1] = Cell(t, k);
    candidate[n - 1] = x;
    if (!CheckParameter(m_, host, n, t, x, candidate)) return false;
    Set(t, n, x);
    return true;
}

bool TotalInputSheet::EnterText(UserHost& host, int row, int column, std::string_view text) {
    return Enter(host, row, column, ReadCellEntry(text));
}

int TotalInputSheet::Accept() {
    int first = -2;
    for (const auto& [key, x] : edits_) {
        const auto [p, n] = key;
        if (m_.ModelPar(p, n) == x) continue;
        if (first == -2 || p < first) first = p;
        MarkUnsolvedFrom(m_, p - 1);
        m_.SetModelPar(p, n, x);
    }
    edits_.clear();
    return first;
}

void TotalInputSheet::Copy(int row0, int row1, int column0, int column1) {
    if (row0 > row1) std::swap(row0, row1);
    if (column0 > column1) std::swap(column0, column1);
    row0 = std::max(row0, 0);
    row1 = std::min(row1, RowCount() - 1);
    column0 = std::max(column0, 0);
    column1 = std::min(column1, ColumnCount() - 1);
    if (row0 > row1 || column0 > column1) return;
    copied_.clear();
    copiedFrom_ = PeriodOfRow(row0);
    for (int r = row0; r <= row1; ++r) {
        std::vector<CopiedCell> cells;
        for (int c = column0; c <= column1; ++c)
            cells.push_back({columns_[c], Value(r, c)});
        copied_.push_back(std::move(cells));
    }
}

TotalInputSheet::PasteResult TotalInputSheet::Paste(UserHost& host, int row, int column, int repeat,
                                                    int lastRow) {
    if (copied_.empty() || row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount() ||
        repeat < 1)
        return PasteResult::Nothing;
    // The block lands on the cells it is pasted on, column by column as shown.
    const int width = static_cast<int>(copied_.front().size());
    if (column + width > ColumnCount()) {
        host.PlaySound("SoNicht.wav");
        host.ShowMessage("So nicht!##Not possible!",
                         "Der kopierte Bereich ist breiter als die Spalten ab der gewählten "
                         "Zelle.##The copied block is wider than the columns from the chosen "
                         "cell on.");
        return PasteResult::Refused;
    }
    const bool toEdge = lastRow < 0;
    lastRow = toEdge ? RowCount() - 1 : std::min(lastRow, RowCount() - 1);
    const int height = static_cast<int>(copied_.size());
    const int wanted = height * repeat;
    const int endRow = std::min(lastRow, row + wanted - 1);
    const auto target = [&](int j) { return columns_[column + j]; };

    // Parameters 55/56 moved across period 0: refuse before anything is written.
    for (int r = row; r <= endRow; ++r) {
        const int source = copiedFrom_ + (r - row) % height;
        if ((source == 0) == (PeriodOfRow(r) == 0)) continue;
        for (int j = 0; j < width; ++j)
            if (IsMoneyChange(target(j)) || IsMoneyChange(copied_[0][j].Param)) {
                RefuseMoneyChangeAcrossPeriod0(m_, host);
                return PasteResult::Refused;
            }
    }

    FirstMessageHost once(host);
    std::map<Key, double> before;
    for (int r = row; r <= endRow; ++r) {
        const int t = PeriodOfRow(r);
        const std::vector<CopiedCell>& cells = copied_[(r - row) % height];
        for (int j = 0; j < width; ++j) {
            const int n = target(j);
            const double x = cells[j].Value;
            std::array<double, 64> candidate{};
            for (int k = 1; k <= ParCount; ++k)
                candidate[k - 1] = Cell(t, k);
            candidate[n - 1] = x;
            if (!CheckParameter(m_, once, n, t, x, candidate)) continue;
            before.emplace(Key{t, n}, Cell(t, n));
            Set(t, n, x);
        }
    }
    MoneyMultiplierTest(once, PeriodOfRow(row), PeriodOfRow(endRow), before);
    if (toEdge && endRow - row + 1 < wanted) {
        host.ShowMessage("Information",
                         "Kopieren nach Erreichen des rechten Analyserandes beendet.##Copying "
                         "stopped at the right edge of the analysis interval.");
        return PasteResult::RightEdge;
    }
    return PasteResult::Done;
}

void TotalInputSheet::ResetToDefault(UserHost& host, int row0, int row1, int column0, int column1) {
    if (row0 > row1) std::swap(row0, row1);
    if (column0 > column1) std::swap(column0, column1);
    row0 = std::max(row0, 0);
    row1 = std::min(row1, RowCount() - 1);
    column0 = std::max(column0, 0);
    column1 = std::min(column1, ColumnCount() - 1);
    if (row0 > row1 || column0 > column1) return;
    std::map<Key, double> before;
    for (int r = row0; r <= row1; ++r) {
        const int t = PeriodOfRow(r);
        for (int c = column0; c <= column1; ++c) {
            const int n = columns_[c];
            before.emplace(Key{t, n}, Cell(t, n));
            Set(t, n, DefaultPar(t, n));
        }
    }
    MoneyMultiplierTest(host, PeriodOfRow(row0), PeriodOfRow(row1), before);
}

void TotalInputSheet::MoneyMultiplierTest(UserHost& host, int first, int last,
                                          const std::map<Key, double>& before) {
    bool reverted = false;
    for (int t = first; t <= last; ++t) {
        if (Cell(t, CashRatio) >= RatioFloor || Cell(t, ReserveRatio) >= RatioFloor) continue;
        for (int n : {CashRatio, ReserveRatio}) {
            const auto it = before.find({t, n});
            if (it == before.end()) continue;
            Set(t, n, it->second);
            reverted = true;
        }
    }
    if (!reverted) return;
    host.PlaySound("SoNicht.wav");
    host.ShowMessage("Parameter Check",
                     "Die Kombination aus Bargeldquote und Mindestreservesatz führt nach dem "
                     "Einfügen\r\nin mindestens einer Periode zu einem unendlichen "
                     "Geldschöpfungsmultiplikator.\r\nIn diesen Fällen wurden die beiden Größen "
                     "auf die zuletzt übernommenen Werte zurückgesetzt.##After the paste, the "
                     "combination of currency ratio and reserve ratio leads\r\nto an infinite "
                     "money multiplier in at least one period.\r\nIn these cases both values "
                     "were reset to the values last stored.",
                     "Einige Änderungen wurden nicht übernommen.##Some changes were not stored.");
}

// ---------------------------------------------------------------- copy and reset dialogs

namespace {

struct Range {
    int first, last;
};

Range ClampRange(const Model& m, int from, int to) {
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    from = std::clamp(from, left, right);
    to = std::clamp(to, left, right);
    return {std::min(from, to), std::max(from, to)};
}

bool Chosen(const std::vector<int>& params, int n) {
    return std::find(params.begin(), params.end(), n) != params.end();
}

// The first period of the range where b[M] and r[SE] would both be 0 after writing
// `value(n, p)` into the chosen parameters; -1 when none.
template <class Value>
int FirstInfiniteMultiplier(const Model& m, const std::vector<int>& params, Range r, Value value) {
    const bool cash = Chosen(params, CashRatio), reserve = Chosen(params, ReserveRatio);
    if (!cash && !reserve) return -1;
    for (int p = r.first; p <= r.last; ++p) {
        const double b = cash ? value(CashRatio, p) : m.ModelPar(p, CashRatio);
        const double rr = reserve ? value(ReserveRatio, p) : m.ModelPar(p, ReserveRatio);
        if (b == 0 && rr == 0) return p;
    }
    return -1;
}

std::vector<int> Sorted(std::vector<int> params) {
    std::sort(params.begin(), params.end());
    params.erase(std::unique(params.begin(), params.end()), params.end());
    params.erase(
        std::remove_if(params.begin(), params.end(), [](int n) { return n < 1 || n > ParCount; }),
        params.end());
    return params;
}

} // namespace

RangeResult CopyParameterValues(Model& m, UserHost& host, const std::vector<int>& chosen,
                                int source, int from, int to) {
    const std::vector<int> params = Sorted(chosen);
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    source = std::clamp(source, left, right);
    from = std::clamp(from, left, right);
    to = std::clamp(to, left, right);
    if (params.empty() || (source == from && from == to)) return RangeResult::Cancelled;
    const Range r = ClampRange(m, from, to);
    const int bad =
        FirstInfiniteMultiplier(m, params, r, [&](int n, int) { return m.ModelPar(source, n); });
    if (bad >= 0) {
        RefuseInfiniteMultiplier(host, bad, "Durch den Kopiervorgang##The copy",
                                 "Kopierauftrag##The copy order");
        return RangeResult::Refused;
    }
    const bool crosses = source == 0 ? r.last > 0 : r.first == 0;
    if (crosses && (Chosen(params, 55) || Chosen(params, 56))) {
        RefuseMoneyChangeAcrossPeriod0(m, host);
        return RangeResult::Refused;
    }
    for (int n : params) {
        const double v = m.ModelPar(source, n);
        for (int p = r.first; p <= r.last; ++p) {
            if (m.ModelPar(p, n) == v) continue;
            MarkUnsolvedFrom(m, p - 1);
            m.SetModelPar(p, n, v);
        }
    }
    return RangeResult::Done;
}

RangeResult ResetParameterValues(Model& m, UserHost& host, const std::vector<int>& chosen, int from,
                                 int to) {
    const std::vector<int> params = Sorted(chosen);
    if (params.empty()) return RangeResult::Cancelled;
    const Range r = ClampRange(m, from, to);
    const int bad =
        FirstInfiniteMultiplier(m, params, r, [](int n, int p) { return DefaultPar(p, n); });
    if (bad >= 0) {
        RefuseInfiniteMultiplier(host, bad, "Durch das Zurücksetzen##The reset",
                                 "Löschauftrag##The reset order");
        return RangeResult::Refused;
    }
    for (int n : params) {
        for (int p = r.first; p <= r.last; ++p) {
            const double v = DefaultPar(p, n);
            if (m.ModelPar(p, n) == v) continue;
            MarkUnsolvedFrom(m, p - 1);
            m.SetModelPar(p, n, v);
        }
    }
    return RangeResult::Done;
}

} // namespace tv
