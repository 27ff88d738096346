#include "core/RuleServer.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>
#include <cmath>

namespace tv {

void LeastSquaresRuleServer::PutRow(const std::vector<double>& values, int32_t row, bool) {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                               [](const auto& r, int32_t key) { return r.first < key; });
    if (it != rows_.end() && it->first == row)
        it->second = values;
    else
        rows_.insert(it, {row, values});
}

void LeastSquaresRuleServer::Learn(int32_t) {
    // The fit is recomputed from all rows at each forecast; nothing to do here.
}

std::vector<double> LeastSquaresRuleServer::Coefficients() const {
    // Normal equations over all consecutive row pairs (row p explained by row p - 1).
    if (rows_.empty()) return {};
    const size_t k = rows_.front().second.size(); // target + antecedents
    if (k == 0) return {};
    const size_t dim = k; // constant + (k - 1) antecedents
    std::vector<double> ata(dim * dim, 0.0), atb(dim, 0.0);
    size_t pairs = 0;
    for (size_t j = 1; j < rows_.size(); ++j) {
        if (rows_[j].first != rows_[j - 1].first + 1) continue;
        const auto& prev = rows_[j - 1].second;
        const auto& cur = rows_[j].second;
        if (prev.size() != k || cur.size() != k) continue;
        std::vector<double> x(dim);
        x[0] = 1;
        for (size_t a = 1; a < k; ++a)
            x[a] = prev[a];
        for (size_t r = 0; r < dim; ++r) {
            atb[r] += x[r] * cur[0];
            for (size_t c = 0; c < dim; ++c)
                ata[r * dim + c] += x[r] * x[c];
        }
        ++pairs;
    }
    if (pairs < dim) return {};
    // Gaussian elimination with partial pivoting.
    for (size_t col = 0; col < dim; ++col) {
        size_t pivot = col;
        for (size_t r = col + 1; r < dim; ++r)
            if (std::fabs(ata[r * dim + col]) > std::fabs(ata[pivot * dim + col])) pivot = r;
        if (std::fabs(ata[pivot * dim + col]) < 1e-12) return {};
        if (pivot != col) {
            for (size_t c = 0; c < dim; ++c)
                std::swap(ata[col * dim + c], ata[pivot * dim + c]);
            std::swap(atb[col], atb[pivot]);
        }
        for (size_t r = 0; r < dim; ++r) {
            if (r == col) continue;
            const double f = ata[r * dim + col] / ata[col * dim + col];
            for (size_t c = col; c < dim; ++c)
                ata[r * dim + c] -= f * ata[col * dim + c];
            atb[r] -= f * atb[col];
        }
    }
    std::vector<double> beta(dim);
    for (size_t r = 0; r < dim; ++r)
        beta[r] = atb[r] / ata[r * dim + r];
    return beta;
}

double LeastSquaresRuleServer::Forecast(int32_t row) {
    // The newest row before the one asked for.
    auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                               [](const auto& r, int32_t key) { return r.first < key; });
    if (it == rows_.begin()) return 0;
    const auto& prev = std::prev(it)->second;
    if (prev.empty()) return 0;
    const auto beta = Coefficients();
    if (beta.empty() || std::prev(it)->first != row - 1) return prev[0];
    double y = beta[0];
    for (size_t a = 1; a < beta.size() && a < prev.size(); ++a)
        y += beta[a] * prev[a];
    return std::isfinite(y) ? y : prev[0];
}

bool RuleBaseLink::Connect(const Model& m, int k) {
    if (servers_[k]) return true;
    if (!factory_) return false;
    servers_[k] = factory_();
    if (!servers_[k]) return false;
    servers_[k]->SetClientName("TERVALIS");
    const int source = m.Expect[k].SourceVariable;
    servers_[k]->SetTitle("KALIRON feeded by TERVALIS for forcasting " + VarSymbol(source));
    return true;
}

namespace {

std::string SeriesSymbol(int n) {
    return n <= 64 ? ParamSymbol(n, 1) : VarSymbol(n - 64);
}

} // namespace

void RuleBaseLink::SendNames(const Model& m, int k) {
    if (!servers_[k]) return;
    std::vector<std::string> names{VarSymbol(m.Expect[k].SourceVariable)};
    for (int32_t a : m.Expect[k].Antecedents)
        names.push_back(SeriesSymbol(a));
    servers_[k]->SetSeriesNames(names);
}

std::vector<double> RuleBaseLink::DataRow(const Model& m, int k, int period) {
    const Expectation& e = m.Expect[k];
    std::vector<double> row{m.GetVar(period, e.SourceVariable)};
    for (int32_t a : e.Antecedents) {
        if (a >= 1 && a <= 64)
            row.push_back(m.GetPar(period, a));
        else if (a >= 65 && a <= 64 + 63)
            row.push_back(m.GetVar(period, a - 64));
        else
            row.push_back(0);
    }
    return row;
}

void RuleBaseLink::Initialise(const Model& m, int k, int from, int to) {
    RuleServer* s = servers_[k].get();
    if (!s) return;
    for (int p = from; p <= to; ++p) {
        s->PutRow(DataRow(m, k, p), p, true);
        s->RowDone();
    }
    s->InitialiseRuleBase();
}

void RuleBaseLink::StartPeriod(int k, int period) {
    if (servers_[k]) servers_[k]->StartPeriod(period);
}

double RuleBaseLink::Forecast(int k, int period) {
    RuleServer* s = servers_[k].get();
    if (!s) return 0;
    return s->Forecast(s->RowOfPeriod(period));
}

void RuleBaseLink::SendSolvedPeriod(const Model& m, int k, int period) {
    RuleServer* s = servers_[k].get();
    if (!s) return;
    const int32_t row = s->RowOfPeriod(period);
    s->PutRow(DataRow(m, k, period), row, true);
    s->RowDone();
    s->Learn(s->RowOfPeriod(period));
}

void RuleBaseLink::RunEnded(const Model& m) {
    for (int k = 0; k < 8; ++k) {
        const Expectation& e = m.Expect[k];
        if (e.RuleBased == 1 && !e.Antecedents.empty() && servers_[k]) servers_[k]->RunEnded();
    }
}

int RuleBaseLink::AdoptAntecedents(Model& m, int k, std::vector<std::string>* unknown) {
    RuleServer* s = servers_[k].get();
    if (!s) return 3;
    const auto list = s->AntecedentList();
    if (list.size() == 1 && list[0] == "not available") return 1;
    if (list.empty()) return 3;
    if (list[0] != VarSymbol(m.Expect[k].SourceVariable)) return 2;
    std::vector<int32_t> numbers;
    for (size_t j = 1; j < list.size(); ++j) {
        // An unknown symbol must not become series 0: it is left out and reported.
        const int n = SymbolIndex(list[j]);
        if (n == 0) {
            if (unknown) unknown->push_back(list[j]);
        } else if (std::find(numbers.begin(), numbers.end(), n) == numbers.end()) {
            numbers.push_back(n);
        }
    }
    if (numbers.empty()) return 3;
    m.Expect[k].Antecedents = numbers;
    return 0;
}

void RuleBaseLink::Show(int k) {
    if (servers_[k]) servers_[k]->Show();
}

} // namespace tv
