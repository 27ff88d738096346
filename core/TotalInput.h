#pragma once

#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace tv {

class Model;
class UserHost;

// The parameters the total input offers for a sector tab (1..5, 6 for all sectors) and a
// page tab (1..pages of the sector; pages + 1 for the whole sector): the active ones in
// number order.
std::vector<int> TotalInputCandidates(Model& m, int sectorTab, int pageTab);

// One copied cell: which parameter it was copied from, and its value then.
struct CopiedCell {
    int Param = 0;
    double Value = 0;
};

// The cells of the total input: parameters (columns) over periods (rows). The grid reads
// the model's values directly; edits are kept per (period, parameter) apart from the
// model until Accept, so that only cells the user changed are written, exactly as entered.
// Edits survive a change of the shown columns. Messages go through the host.
class TotalInputSheet {
  public:
    explicit TotalInputSheet(Model& m) : m_(m) {}

    Model& model() { return m_; }

    // Rows are the periods from..to; columns the given parameter numbers.
    void SetRows(int from, int to);
    void SetColumns(std::vector<int> params) { columns_ = std::move(params); }
    int RowCount() const { return to_ - from_ + 1; }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int FirstPeriod() const { return from_; }
    int LastPeriod() const { return to_; }
    int PeriodOfRow(int row) const { return from_ + row; }
    int ParamOfColumn(int column) const { return columns_[column]; }
    const std::vector<int>& Columns() const { return columns_; }

    // What the grid shows: the edited value, else the model's.
    double Value(int row, int column) const { return Cell(PeriodOfRow(row), columns_[column]); }
    double Cell(int period, int param) const;
    bool Edited(int row, int column) const;
    bool HasEdits() const { return !edits_.empty(); }
    int EditCount() const { return static_cast<int>(edits_.size()); }

    // A typed entry: checked like an input-dialog entry for the row's period, the other
    // parameters of that period as they would be after Accept. Returns whether it was kept.
    bool Enter(UserHost& host, int row, int column, double x);
    bool EnterText(UserHost& host, int row, int column, std::string_view text);

    // Writes the edited cells whose value differs from the model's and marks the periods
    // from the first written one on unsolved; clears the edits. Returns the first period
    // written, or -2 when nothing was written.
    int Accept();
    // Forgets every edit.
    void Restore() { edits_.clear(); }

    // Remembers the block of rows and columns (inclusive, in any order) as (parameter,
    // value) pairs per period.
    void Copy(int row0, int row1, int column0, int column1);
    bool HasCopy() const { return !copied_.empty(); }
    const std::vector<std::vector<CopiedCell>>& Copied() const { return copied_; }
    int CopiedFrom() const { return copiedFrom_; }

    enum class PasteResult { Done, RightEdge, Refused, Nothing };
    // Pastes the copied block with its top left cell at (row, column), into the columns as
    // shown; a block wider than the columns from there is refused with a message. The block
    // goes `repeat` times, each time below the previous one; stops at lastRow (default: the
    // last row, then RightEdge is returned when copies remained). Every pasted cell is
    // checked; a refused cell keeps its value, and only the first refusal is shown. The
    // cash-ratio/reserve-ratio test follows over the pasted periods. Parameters 55 and 56
    // are stocks in period 0 and changes afterwards: a paste that moves them across
    // period 0 is refused as a whole.
    PasteResult Paste(UserHost& host, int row, int column, int repeat, int lastRow = -1);
    // The start value of each cell of the block (rows and columns inclusive), then the
    // cash-ratio/reserve-ratio test over its periods.
    void ResetToDefault(UserHost& host, int row0, int row1, int column0, int column1);

  private:
    using Key = std::pair<int, int>; // period, parameter
    void Set(int period, int param, double x);
    // Puts b[M] and r[SE] back to their values before the operation in every period of
    // [first, last] where both would be (almost) 0; says so once. `before` holds the values
    // the operation replaced.
    void MoneyMultiplierTest(UserHost& host, int first, int last,
                             const std::map<Key, double>& before);

    Model& m_;
    int from_ = 0;
    int to_ = -1;
    std::vector<int> columns_;
    std::map<Key, double> edits_;
    std::vector<std::vector<CopiedCell>> copied_;
    int copiedFrom_ = 0;
};

// The copy and reset dialogs' work over a range of periods.
enum class RangeResult { Cancelled, Refused, Done };
// Copies the values the parameters have in `source` into every period from..to (either
// order); refused (nothing stored) when the cash ratio and the reserve ratio would both be
// 0 in a period, or when parameters 55/56 would cross period 0.
RangeResult CopyParameterValues(Model& m, UserHost& host, const std::vector<int>& params,
                                int source, int from, int to);
// Sets the parameters back to their start values over from..to; refused when the cash
// ratio and the reserve ratio would both be 0 in a period.
RangeResult ResetParameterValues(Model& m, UserHost& host, const std::vector<int>& params, int from,
                                 int to);

// The refusal for moving parameters 55/56 across period 0 (title "So nicht!").
void RefuseMoneyChangeAcrossPeriod0(const Model& m, UserHost& host);

} // namespace tv
