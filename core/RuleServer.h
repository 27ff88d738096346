#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tv {

class Model;

// The calls of the neuro-fuzzy rule server, one connection per expectation record. The
// comments give each call's number in the server's dispatch interface.
class RuleServer {
  public:
    virtual ~RuleServer() = default;
    virtual void SetClientName(const std::string& name) = 0;                            // 1
    virtual void SetTitle(const std::string& title) = 0;                                // 5
    virtual void SetSeriesNames(const std::vector<std::string>& names) = 0;             // 6
    virtual void PutRow(const std::vector<double>& values, int32_t row, bool last) = 0; // 4
    virtual void RowDone() = 0;                                                         // 7
    virtual void InitialiseRuleBase() = 0;                                              // 17
    virtual int32_t RowOfPeriod(int32_t period) = 0;                                    // 12
    virtual double Forecast(int32_t row) = 0;                                           // 8
    virtual void StartPeriod(int32_t period) = 0;                                       // 13
    virtual void Learn(int32_t row) = 0;                                                // 14
    virtual void RunEnded() = 0;                                                        // 16
    virtual std::vector<std::string> AntecedentList() = 0;                              // 3
    virtual void Show() = 0;                                                            // 9
};

// A stand-in server that learns by least squares: the source variable of a period is
// explained by the antecedents of the period before it (a constant included). Rows are
// numbered by period. A forecast for row p applies the fitted coefficients to the
// antecedents of row p - 1; with fewer complete pairs than coefficients, or a singular
// fit, it repeats the last observed value (0 when there is none).
class LeastSquaresRuleServer : public RuleServer {
  public:
    void SetClientName(const std::string& name) override { client_ = name; }
    void SetTitle(const std::string& title) override { title_ = title; }
    void SetSeriesNames(const std::vector<std::string>& names) override { names_ = names; }
    void PutRow(const std::vector<double>& values, int32_t row, bool last) override;
    void RowDone() override {}
    void InitialiseRuleBase() override { initialised_ = true; }
    int32_t RowOfPeriod(int32_t period) override { return period; }
    double Forecast(int32_t row) override;
    void StartPeriod(int32_t period) override { startPeriod_ = period; }
    void Learn(int32_t row) override;
    void RunEnded() override { ++runsEnded_; }
    std::vector<std::string> AntecedentList() override { return names_; }
    void Show() override { shown_ = true; }

    const std::string& Title() const { return title_; }
    bool Initialised() const { return initialised_; }
    int RunsEnded() const { return runsEnded_; }
    int32_t StartPeriodSeen() const { return startPeriod_; }
    size_t RowCount() const { return rows_.size(); }

  private:
    std::vector<double> Coefficients() const;

    std::string client_, title_;
    std::vector<std::string> names_;
    std::vector<std::pair<int32_t, std::vector<double>>> rows_; // sorted by row
    bool initialised_ = false;
    bool shown_ = false;
    int runsEnded_ = 0;
    int32_t startPeriod_ = -1;
};

// The program's side of the rule-server connections. A record is served when it has a
// connection; a record without one gets the forecast 0 (server not available).
class RuleBaseLink {
  public:
    using Factory = std::function<std::unique_ptr<RuleServer>()>;

    // The factory creates a server; it returns null when no server is available.
    explicit RuleBaseLink(Factory factory = {}) : factory_(std::move(factory)) {}

    bool Connect(const Model& m, int k);
    void Disconnect(int k) { servers_[k].reset(); }
    bool Serves(int k) const { return servers_[k] != nullptr; }
    RuleServer* Server(int k) { return servers_[k].get(); }

    // Whether solved periods go to the server (the link's consent); on by default.
    bool Consent = true;

    void SendNames(const Model& m, int k);
    void Initialise(const Model& m, int k, int from, int to);
    void StartPeriod(int k, int period);
    double Forecast(int k, int period);
    void SendSolvedPeriod(const Model& m, int k, int period);
    void RunEnded(const Model& m);
    // 0 antecedents taken over, 1 server has none ("not available"), 2 the list does not
    // belong to this expectation, 3 no server or no usable antecedent. Symbols the catalogue
    // does not know are left out and named in `unknown`.
    int AdoptAntecedents(Model& m, int k, std::vector<std::string>* unknown = nullptr);
    void Show(int k);

    static std::vector<double> DataRow(const Model& m, int k, int period);

  private:
    Factory factory_;
    std::array<std::unique_ptr<RuleServer>, 8> servers_;
};

} // namespace tv
