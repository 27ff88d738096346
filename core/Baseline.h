#pragma once

#include <memory>
#include <string>

namespace tv {

class Model;

// A solved run kept beside the model, so that a policy experiment can be compared with the
// run without it. It is a whole copy of the model as it stood when frozen (results,
// parameters, switches, expectations), so a diagram computes the baseline's curves with
// the same functions it uses for the model. It lives only in memory, never in the model
// file.
class Baseline {
  public:
    // Copies the model; the periods kept are those of the analysis interval that were
    // solved then: a solution that stopped early keeps the periods up to its last one.
    // Empty() when none was solved.
    explicit Baseline(const Model& solved);
    ~Baseline();
    Baseline(const Baseline&) = delete;
    Baseline& operator=(const Baseline&) = delete;

    int From() const { return from_; }
    int To() const { return to_; }
    bool Covers(int t) const { return t >= from_ && t <= to_; }
    bool Empty() const { return to_ < from_; }

    // The frozen value of variable n (1..63) or parameter n (1..64) in period t.
    double Var(int t, int n) const;
    double Par(int t, int n) const;

    // The frozen model. Diagrams sample it; sampling restores what it touches, so the
    // frozen values never change.
    Model& Frozen() const { return *model_; }

  private:
    std::unique_ptr<Model> model_;
    int from_ = 0;
    int to_ = 0;
};

// Scenario minus baseline.
double Deviation(double scenario, double baseline);
// The deviation in percent of the baseline's magnitude; NaN when the baseline is 0.
double DeviationPercent(double scenario, double baseline);

// The status-bar mark, bilingual: "Basislauf 0-20##Baseline 0-20".
std::string BaselineMark(const Baseline& b);

} // namespace tv
