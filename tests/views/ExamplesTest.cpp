// The shipped example models teach what examples/README.md says of them: each is opened and
// solved as the program and the batch tool do, and each claim of its README row is checked,
// together with what every example must show a class: output within capacity, utilisation
// and unemployment telling the same story, a settled end, and diagrams whose curves cross at
// the solution.

#include "OpenedModel.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "views/DiagramExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace tv;

namespace {

constexpr int Shock = 5, Last = 100;

// Where the polylines a and b cross nearest to `near`; none when they do not cross.
std::optional<CurvePoint> CrossingNear(const std::vector<CurvePoint>& a,
                                       const std::vector<CurvePoint>& b, CurvePoint near) {
    std::optional<CurvePoint> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i + 1 < a.size(); ++i)
        for (size_t j = 0; j + 1 < b.size(); ++j) {
            const CurvePoint p = a[i], q = b[j];
            const double rx = a[i + 1].X - p.X, ry = a[i + 1].Y - p.Y;
            const double sx = b[j + 1].X - q.X, sy = b[j + 1].Y - q.Y;
            const double det = rx * sy - ry * sx;
            if (det == 0) continue;
            const double u = ((q.X - p.X) * sy - (q.Y - p.Y) * sx) / det;
            const double v = ((q.X - p.X) * ry - (q.Y - p.Y) * rx) / det;
            constexpr double slack = 1e-9;
            if (u < -slack || u > 1 + slack || v < -slack || v > 1 + slack) continue;
            const CurvePoint x{p.X + u * rx, p.Y + u * ry};
            const double distance = std::hypot((x.X - near.X) / near.X, (x.Y - near.Y) / near.Y);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = x;
            }
        }
    return best;
}

const ExportedCurve* Find(const DiagramNumbers& d, const std::string& name) {
    for (const ExportedCurve& c : d.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

struct Example {
    const char* file;
    // The claims of the example's README row.
    std::function<void(Model&)> claims;
};

void PrintTo(const Example& e, std::ostream* os) {
    *os << e.file;
}

double Y(const Model& m, int t) {
    return m.GetVar(t, var::Y);
}
double Var(const Model& m, int t, int n) {
    return m.GetVar(t, n);
}

// The first period of from..Last in which `holds` fails, or -1.
int FirstFailing(int from, const std::function<bool(int)>& holds) {
    for (int t = from; t <= Last; ++t)
        if (!holds(t)) return t;
    return -1;
}

// A number the README gives to `decimals` places.
void ExpectShown(double shown, double actual, int decimals, const char* what) {
    EXPECT_NEAR(actual, shown, 0.5 * std::pow(10.0, -decimals) + 1e-12) << what;
}

const Example Examples[] = {
    {"01-keynesian-cross.TV5",
     [](Model& m) {
         ExpectShown(1500, Y(m, 0), 0, "income before");
         ExpectShown(1550, Y(m, Last), 0, "income after");
         const double dG = m.GetPar(Last, par::GAut) - m.GetPar(0, par::GAut);
         EXPECT_EQ(dG, 10);
         EXPECT_NEAR((Y(m, Last) - Y(m, 0)) / dG, 5, 1e-3) << "multiplier";
         // Step by step: production is last period's demand, and income only rises.
         EXPECT_EQ(-1, FirstFailing(1, [&](int t) {
             return std::fabs(Y(m, t) - Var(m, t - 1, var::N)) <= 1e-9 * Y(m, t);
         })) << "production follows last period's demand";
         EXPECT_EQ(-1, FirstFailing(Shock + 1, [&](int t) { return Y(m, t) >= Y(m, t - 1); }))
             << "income rises";
         EXPECT_LT(Y(m, Shock + 1) - Y(m, Shock), 0.5 * (Y(m, Last) - Y(m, 0)));
         // Exogenous interest: the rate stays where the central bank set it, and LM is the
         // horizontal line there beyond every income reached.
         EXPECT_EQ(-1, FirstFailing(0, [&](int t) { return Var(m, t, var::i) == 3; }));
         double highest = 0;
         for (int t = 0; t <= Last; ++t)
             highest = std::max(highest, Y(m, t));
         const DiagramResult r = ComputeDiagramNumbers(m, "is-lm", {Last, 0});
         ASSERT_TRUE(r.Ok) << r.Error;
         for (int t : {0, Last}) {
             const ExportedCurve* lm = Find(r.Numbers, "LM(" + std::to_string(t) + ")");
             ASSERT_TRUE(lm);
             ASSERT_GE(lm->Points.size(), 2u);
             EXPECT_EQ(lm->Points[0].X, 0);
             EXPECT_EQ(lm->Points[0].Y, 3);
             EXPECT_EQ(lm->Points[1].Y, 3);
             EXPECT_GT(lm->Points[1].X, highest) << "t = " << t;
         }
     }},
    {"02-closed-is-lm.TV5",
     [](Model& m) {
         ExpectShown(600, Var(m, 0, var::MN), 0, "money before");
         ExpectShown(660, Var(m, Last, var::MN), 0, "money after");
         ExpectShown(3.57, Var(m, 0, var::i), 2, "interest before");
         ExpectShown(2.07, Var(m, Last, var::i), 2, "interest after");
         ExpectShown(1142.9, Y(m, 0), 1, "income before");
         ExpectShown(1202.9, Y(m, Last), 1, "income after");
     }},
    {"03-as-ad-prices-and-wages.TV5",
     [](Model& m) {
         EXPECT_EQ(m.TZR(), 4);
         ExpectShown(5, Var(m, 0, var::u), 2, "natural unemployment before");
         ExpectShown(1140, Y(m, 0), 0, "natural income before");
         double lowest = 100;
         for (int t = Shock; t <= Last; ++t)
             lowest = std::min(lowest, Var(m, t, var::u));
         EXPECT_LT(lowest, 4) << "a boom";
         EXPECT_GT(Var(m, Last, var::wN), Var(m, 0, var::wN)) << "wages rise";
         EXPECT_GT(Var(m, Last, var::P), 1.02 * Var(m, 0, var::P)) << "a higher price level";
         ExpectShown(1140, Y(m, Last), 0, "back to natural income");
         // No cycle of crowding out left: from period 60 on income moves by less than 0.05 %.
         EXPECT_EQ(-1, FirstFailing(
                           60, [&](int t) { return std::fabs(Y(m, t) / Y(m, t - 1) - 1) < 5e-4; }));
         ExpectShown(3.64, Var(m, 0, var::i), 2, "interest before");
         ExpectShown(5.07, Var(m, Last, var::i), 2, "interest after");
         const double dG = m.GetPar(Last, par::GAut) - m.GetPar(0, par::GAut);
         EXPECT_EQ(dG, 20);
         EXPECT_LT(Var(m, Last, var::I), Var(m, 0, var::I) - dG / 2) << "crowding out";
     }},
    {"04-open-fixed-rates.TV5",
     [](Model& m) {
         EXPECT_EQ(m.GetPar(Last, par::ExAut), 110);
         EXPECT_GT(Var(m, Shock, var::Z), 0) << "a surplus after the shock";
         EXPECT_GT(Var(m, Last, var::M), Var(m, 0, var::M) + 10) << "money swells";
         EXPECT_LT(Var(m, Last, var::i), Var(m, 0, var::i) - 0.2) << "the rate falls";
         EXPECT_GT(Y(m, Last), Y(m, 0) + 10) << "income rises";
         EXPECT_NEAR(Var(m, Last, var::Z), 0, 1e-3) << "until the surplus is gone";
     }},
    {"05-open-flexible-rates.TV5",
     [](Model& m) {
         EXPECT_EQ(m.GetPar(Last, par::GAut), 198);
         ExpectShown(1.29, Var(m, 0, var::e), 2, "real exchange rate before");
         ExpectShown(1.21, Var(m, Last, var::e), 2, "real exchange rate after");
         EXPECT_LT(Var(m, Last, var::AB), Var(m, 0, var::AB)) << "net exports crowded out";
         ExpectShown(12, Y(m, Last) - Y(m, 0), 0, "income rises by only 12");
     }},
    {"06-money-creation.TV5",
     [](Model& m) {
         EXPECT_EQ(m.GetPar(0, par::rSE), 0.1);
         EXPECT_EQ(m.GetPar(Last, par::rSE), 0.08);
         ExpectShown(3.57, MoneyMultiplier(m, 0), 2, "multiplier before");
         ExpectShown(3.79, MoneyMultiplier(m, Last), 2, "multiplier after");
         ExpectShown(607, Var(m, 0, var::MN), 0, "money before");
         ExpectShown(644, Var(m, Last, var::MN), 0, "money after");
         EXPECT_LT(Var(m, Last, var::i), Var(m, 0, var::i) - 0.2) << "the rate falls";
         EXPECT_GT(Y(m, Last), Y(m, 0) + 10) << "income rises";
     }},
};

class ExampleModel : public ::testing::TestWithParam<Example> {
  protected:
    void SetUp() override {
        m_ = std::make_unique<Model>();
        ASSERT_TRUE(
            test::OpenAsTheProgramDoes(*m_, std::string(EXAMPLES_DIR) + "/" + GetParam().file));
        ASSERT_EQ(m_->Periods.LeftEdge, 0);
        ASSERT_EQ(m_->Periods.RightEdge, Last);
        ASSERT_EQ(m_->Periods.LastSolved, Last);
    }
    std::unique_ptr<Model> m_;
};

TEST_P(ExampleModel, ShowsWhatItsReadmeRowClaims) {
    GetParam().claims(*m_);
}

TEST_P(ExampleModel, ProducesWithinCapacityWhereUtilisationAndUnemploymentAgree) {
    const Model& m = *m_;
    EXPECT_EQ(-1, FirstFailing(0, [&](int t) { return Y(m, t) <= PotentialOutput(m, t); }))
        << "output beyond capacity";
    EXPECT_EQ(-1, FirstFailing(0, [&](int t) { return Var(m, t, var::u) > 0; }))
        << "no unemployment";
    EXPECT_EQ(-1, FirstFailing(0, [&](int t) {
        return std::fabs(CapitalUtilisation(m, t) - (100 - Var(m, t, var::u))) < 1e-9;
    })) << "utilisation is not 100 % minus unemployment";
}

TEST_P(ExampleModel, SettlesInTheLastTwentyPeriods) {
    const Model& m = *m_;
    for (int n : {var::Y, var::i, var::P, var::wN, var::M})
        EXPECT_EQ(-1, FirstFailing(Last - 19,
                                   [&](int t) {
                                       return std::fabs(Var(m, t, n) / Var(m, t - 1, n) - 1) < 1e-3;
                                   }))
            << "variable " << n << " moves by 0.1 % or more";
}

TEST_P(ExampleModel, DiagramCurvesCrossAtTheSolutionOfBothEdges) {
    Model& m = *m_;
    struct Diagram {
        const char* name;
        const char* demand;
        int level; // the variable on the y axis
    };
    const bool exogenousPrices = m.Switch[12] == 0;
    for (const Diagram d : {Diagram{"is-lm", "IS", var::i}, Diagram{"as-ad", "AD", var::P}}) {
        const DiagramResult r = ComputeDiagramNumbers(m, d.name, {Last, 0});
        ASSERT_TRUE(r.Ok) << r.Error;
        const std::string supply = d.level == var::i ? "LM" : exogenousPrices ? "P" : "AS";
        for (int t : {0, Last}) {
            SCOPED_TRACE(std::string(d.name) + " t = " + std::to_string(t));
            const std::string period = "(" + std::to_string(t) + ")";
            const ExportedCurve* a = Find(r.Numbers, d.demand + period);
            const ExportedCurve* b = Find(r.Numbers, supply + period);
            ASSERT_TRUE(a && b);
            const CurvePoint solved{Y(m, t), Var(m, t, d.level)};
            const std::optional<CurvePoint> x = CrossingNear(a->Points, b->Points, solved);
            ASSERT_TRUE(x) << "the curves do not cross";
            EXPECT_NEAR(x->X, solved.X, 0.005 * solved.X);
            EXPECT_NEAR(x->Y, solved.Y, 0.005 * solved.Y);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExampleModel, ::testing::ValuesIn(Examples),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             name = name.substr(0, name.find('.'));
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return "Example" + name;
                         });

} // namespace
