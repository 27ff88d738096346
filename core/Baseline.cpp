#include "core/Baseline.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tv {

Baseline::Baseline(const Model& solved)
    : model_(std::make_unique<Model>(solved)), from_(solved.Periods.LeftEdge),
      to_(std::min(solved.Periods.RightEdge, solved.Periods.LastSolved)) {
    // The copy must not reach the rule server: a sample of the baseline would teach it.
    model_->Rules = nullptr;
    model_->ScratchMode = false;
}

Baseline::~Baseline() = default;

double Baseline::Var(int t, int n) const { return model_->ModelVar(t, n); }

double Baseline::Par(int t, int n) const { return model_->ModelPar(t, n); }

double Deviation(double scenario, double baseline) { return scenario - baseline; }

double DeviationPercent(double scenario, double baseline) {
    if (baseline == 0) return std::numeric_limits<double>::quiet_NaN();
    return (scenario - baseline) / std::fabs(baseline) * 100;
}

std::string BaselineMark(const Baseline& b) {
    const std::string range = std::to_string(b.From()) + "-" + std::to_string(b.To());
    return FillIn("Basislauf %1##Baseline %1", {range});
}

} // namespace tv
