// The curves of the income-price and income-inflation diagrams, computed without a window.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "views/AsAdCurves.h"
#include "views/DiagramData.h"
#include "views/DiagramExport.h"
#include "views/LabelPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tv {
namespace {

using test::RecordingHost;

// Mark-up prices and a wage equation, a spending rise from period 5; solved to period 20,
// left edge 2, current period 12.
Model SolvedModel() {
    Model m = test::BondMarketModel();
    test::SetFrom(m, 5, {{par::GAut, 260}});
    m.Periods.RightEdge = 20;
    RecordingHost host;
    Solve(m, host);
    m.Periods.LeftEdge = 2;
    m.Periods.CurrentPeriod = 12;
    return m;
}

const NamedPolyline* Find(const std::vector<NamedPolyline>& curves, const std::string& name) {
    for (const NamedPolyline& c : curves)
        if (c.Name == name) return &c;
    return nullptr;
}

uint64_t Bits(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

TEST(AsAdCurves, DemandSamplesAreIndependentEquilibriaAtTheirPrices) {
    for (AsAdPlane plane : {AsAdPlane::Price, AsAdPlane::Inflation}) {
        Model m = SolvedModel();
        const Model untouched = m;
        AsAdOptions o;
        o.Raster = 12;
        const AsAdDiagram d = ComputeAsAdDiagram(m, plane, o);
        ASSERT_TRUE(d.Drawable);
        const char* name = plane == AsAdPlane::Price ? "AD(12)" : "DAD(12)";
        const NamedPolyline* ad = Find(d.Curves, name);
        ASSERT_NE(ad, nullptr) << name;
        EXPECT_EQ(ad->Style, CurveKind::Current);
        ASSERT_EQ(ad->Points.size(), 13u);
        const double base = m.GetVar(12 - m.TZR(), var::P);
        for (const WorldPoint& p : ad->Points) {
            Model fresh = untouched;
            RecordingHost host;
            const double price = plane == AsAdPlane::Price ? p.Y : base * (1 + p.Y / 100);
            EquilibriumAtPrice(fresh, host, 12, 100, price, 0.01);
            EXPECT_EQ(Bits(fresh.ScratchVar(12, var::Y)), Bits(p.X)) << name << " at " << p.Y;
        }
        // Demand falls as the price level (or inflation) rises.
        EXPECT_GT(ad->Points.front().X, ad->Points.back().X);
    }
}

TEST(AsAdCurves, DrawingLeavesEveryLaterSolutionBitIdentical) {
    Model painted = SolvedModel();
    Model plain = painted;
    AsAdOptions o;
    o.Raster = 20;
    ComputeAsAdDiagram(painted, AsAdPlane::Price, o);
    ComputeAsAdDiagram(painted, AsAdPlane::Inflation, o);
    ComputeAsAdDiagram(painted, AsAdPlane::Price, o, true);
    for (Model* m : {&painted, &plain}) {
        RecordingHost host;
        MarkUnsolvedFrom(*m, 0);
        m->RecalcAll = 1;
        Solve(*m, host);
    }
    for (int t = -10; t <= 20; ++t)
        for (int n = 1; n <= VarCount; ++n)
            ASSERT_EQ(Bits(painted.GetVar(t, n)), Bits(plain.GetVar(t, n))) << t << "/" << n;
    for (int n = 1; n <= ParCount; ++n)
        ASSERT_EQ(Bits(painted.GetPar(0, n)), Bits(plain.GetPar(0, n))) << n;
    EXPECT_EQ(painted.Switch, plain.Switch);
    EXPECT_EQ(painted.ScratchDepth, plain.ScratchDepth);
    EXPECT_EQ(painted.EquilibriumInexact, plain.EquilibriumInexact);
    EXPECT_EQ(painted.Periods.LastSolved, plain.Periods.LastSolved);
}

TEST(AsAdCurves, RasterNGivesNPieces) {
    for (AsAdPlane plane : {AsAdPlane::Price, AsAdPlane::Inflation})
        for (int raster : {2, 10, 54, 99, 100}) {
            Model m = SolvedModel();
            AsAdOptions o;
            o.Raster = raster;
            const AsAdDiagram d = ComputeAsAdDiagram(m, plane, o);
            const bool price = plane == AsAdPlane::Price;
            for (const char* name : {"AD", "AS"})
                for (int t : {2, 12}) {
                    const std::string label =
                        (price ? std::string() : "D") + name + "(" + std::to_string(t) + ")";
                    const NamedPolyline* c = Find(d.Curves, label);
                    ASSERT_NE(c, nullptr) << label;
                    EXPECT_EQ(c->Points.size(), size_t(raster) + 1) << label << " " << raster;
                    EXPECT_EQ(c->Style, t == 2 ? CurveKind::Reference : CurveKind::Current);
                }
        }
}

TEST(AsAdCurves, SupplyEndsVerticallyAtCapacityInsideThePlot) {
    Model m = SolvedModel();
    const double cap = PotentialOutput(m, 12);
    const AsAdAxes axes{0, cap * 2, 0, 3};
    const std::vector<WorldPoint> s = SampleSupply(m, AsAdPlane::Price, 12, axes, 10);
    ASSERT_EQ(s.size(), 11u);
    EXPECT_EQ(s[9].X, cap);
    EXPECT_EQ(s[10].X, cap);
    EXPECT_DOUBLE_EQ(s[10].Y, 3.3);
    EXPECT_DOUBLE_EQ(s[3].X, cap / 3);
    EXPECT_EQ(s[3].Y, PriceAt(m, 12, s[3].X));
    // Capacity beyond the plot: the last piece stays level.
    const std::vector<WorldPoint> cut =
        SampleSupply(m, AsAdPlane::Price, 12, {0, cap / 2, 0, 3}, 10);
    EXPECT_EQ(cut[10].X, cap / 2);
    EXPECT_EQ(cut[10].Y, cut[9].Y);
    // Inflation samples start at zero output whatever the axis and never fall below -99 %.
    const std::vector<WorldPoint> inflation =
        SampleSupply(m, AsAdPlane::Inflation, 12, {0.5, 1, -200, 50}, 10);
    EXPECT_EQ(inflation.front().X, 0);
    for (const WorldPoint& p : inflation)
        EXPECT_GE(p.Y, -99);
    for (const WorldPoint& p : SampleDemand(m, AsAdPlane::Inflation, 12, {0, 1, -200, 50}, 4))
        EXPECT_GE(p.Y, -99);
    // Given prices: a level line across the whole income axis, none in the inflation plane.
    const Model given = test::KeynesianModel();
    const std::vector<WorldPoint> level =
        SampleSupply(given, AsAdPlane::Price, 4, {0, 900, 0, 3}, 10);
    ASSERT_EQ(level.size(), 11u);
    EXPECT_EQ(level[5].X, 450);
    EXPECT_EQ(level[10].X, 900);
    EXPECT_EQ(level[5].Y, given.ModelPar(4, par::PExog));
    EXPECT_TRUE(SampleSupply(given, AsAdPlane::Inflation, 4, {0, 900, -5, 5}, 10).empty());
}

TEST(AsAdCurves, LongRunOutputAsksForNoExtraWageGrowth) {
    struct Case {
        double wV, wga, gaErw;
        int technology; // switch 6
    };
    for (const Case c :
         {Case{0.5, 0, 0, 0}, Case{-0.3, 0, 0, 0}, Case{0.5, 0.4, 2, 0}, Case{0.5, 0.4, 2, 1}}) {
        SCOPED_TRACE("w[V] " + std::to_string(c.wV) + ", w[ga] " + std::to_string(c.wga) +
                     ", technology " + std::to_string(c.technology));
        Model m = SolvedModel();
        const int t = 12;
        m.SetModelPar(t, par::wV, c.wV);
        m.SetModelPar(t, par::wga, c.wga);
        m.SetVar(t, var::gaErw, c.gaErw);
        m.Switch[6] = static_cast<uint8_t>(c.technology);
        const double u = UnemploymentAt(m, t, LongRunOutput(m, t));
        EXPECT_NEAR((m.GetPar(t, par::uNat) - u) * m.GetPar(t, par::wu) + c.wga * c.gaErw + c.wV, 0,
                    1e-9);
    }
}

TEST(AsAdCurves, WhichCurvesAreDrawn) {
    struct Case {
        const char* what;
        int left;
        int priceSwitch;
        AsAdPlane plane;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"both periods",
         2,
         2,
         AsAdPlane::Price,
         {"AD(2)", "AS(2)", "LAS(2)", "AD(12)", "AS(12)", "LAS(12)", "Pfad"}},
        {"left edge is current", 12, 2, AsAdPlane::Price, {"AD(12)", "AS(12)", "LAS(12)", "Pfad"}},
        {"exogenous prices",
         12,
         0,
         AsAdPlane::Price,
         {"AD(12)", "Kap-Max(12)", "P(12)", "LAS(12)", "Pfad"}},
        {"dynamic",
         2,
         2,
         AsAdPlane::Inflation,
         {"DAD(2)", "DAS(2)", "LDAS(2)", "DAD(12)", "DAS(12)", "LDAS(12)", "Pfad"}},
        {"dynamic, exogenous prices", 12, 0, AsAdPlane::Inflation, {"DAD(12)", "LDAS(12)", "Pfad"}},
    };
    for (const Case& c : cases) {
        Model m = SolvedModel();
        m.Periods.LeftEdge = c.left;
        m.Switch[12] = uint8_t(c.priceSwitch);
        AsAdOptions o;
        o.Raster = 10;
        const AsAdDiagram d = ComputeAsAdDiagram(m, c.plane, o);
        std::vector<std::string> names;
        for (const NamedPolyline& p : d.Curves)
            names.push_back(p.Name);
        EXPECT_EQ(names, c.names) << c.what;
        const NamedPolyline* path = Find(d.Curves, "Pfad");
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(path->Points.size(), size_t(12 - c.left + 1)) << c.what;
        EXPECT_EQ(path->Style, CurveKind::Path);
    }
    // Only the inflation plane's path may go wage round by wage round (every 4 periods here).
    for (AsAdPlane plane : {AsAdPlane::Price, AsAdPlane::Inflation}) {
        Model m = SolvedModel();
        AsAdOptions o;
        o.Demand = o.Supply = o.LongRun = false;
        o.WageRoundsOnly = true;
        const auto curves = ComputeAsAdCurves(m, plane, o, {}, nullptr);
        const NamedPolyline* path = Find(curves, "Pfad");
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(path->Points.size(), plane == AsAdPlane::Price ? 11u : 3u); // 4, 8, 12
        EXPECT_EQ(path->Points.back().X, m.GetVar(12, var::Y));
    }
}

TEST(AsAdCurves, NothingBeforeTheCurrentPeriodIsSolved) {
    Model m = SolvedModel();
    m.Periods.LastSolved = 11;
    EXPECT_FALSE(AsAdDrawable(m));
    const AsAdDiagram d = ComputeAsAdDiagram(m, AsAdPlane::Price, {});
    EXPECT_FALSE(d.Drawable);
    EXPECT_TRUE(d.Curves.empty());
    EXPECT_NE(std::string(AsAdUnsolvedText(AsAdPlane::Inflation)).find("no DAD-DAS"),
              std::string::npos);
}

TEST(AsAdCurves, CacheKeepsSamplesForTheSamePeriodAndRaster) {
    Model m = SolvedModel();
    AsAdCache cache;
    AsAdOptions o;
    o.Raster = 10;
    const AsAdAxes axes{0, 2000, 0, 3};
    const auto first = ComputeAsAdCurves(m, AsAdPlane::Price, o, axes, &cache);
    EXPECT_EQ(cache.Current.Period, 12);
    EXPECT_EQ(cache.Reference.Period, 2);
    // The same axes again: the samples stay; other axes (a zoom): they follow the axes.
    const auto same = ComputeAsAdCurves(m, AsAdPlane::Price, o, axes, &cache);
    EXPECT_EQ(Find(same, "AD(12)")->Points.back().Y, Find(first, "AD(12)")->Points.back().Y);
    // Taken from the cache, not sampled anew: a model change shows only once the window
    // clears it.
    Model changed = m;
    changed.SetModelPar(12, par::GAut, m.ModelPar(12, par::GAut) + 100);
    const auto demandAt = [&](AsAdCache* c) {
        return Find(ComputeAsAdCurves(changed, AsAdPlane::Price, o, axes, c), "AD(12)")
            ->Points.back()
            .X;
    };
    EXPECT_EQ(demandAt(&cache), Find(first, "AD(12)")->Points.back().X);
    EXPECT_NE(demandAt(nullptr), Find(first, "AD(12)")->Points.back().X);
    const auto zoomed = ComputeAsAdCurves(m, AsAdPlane::Price, o, {0, 1000, 0, 2}, &cache);
    EXPECT_NE(Find(zoomed, "AD(12)")->Points.back().Y, Find(first, "AD(12)")->Points.back().Y);
    const auto band = ComputeAsAdCurves(m, AsAdPlane::Price, o, {0, 1000, 1, 2}, nullptr);
    EXPECT_EQ(Find(band, "AD(12)")->Points.front().Y, 1); // demand sampled over the band
    EXPECT_EQ(Find(band, "AD(12)")->Points.back().Y, 2);
    o.Raster = 20;
    const auto finer = ComputeAsAdCurves(m, AsAdPlane::Price, o, axes, &cache);
    EXPECT_EQ(Find(finer, "AD(12)")->Points.size(), 21u);
    // Sampled anew without demand: no samples of the old raster stay behind.
    o.Demand = false;
    o.Raster = 10;
    ComputeAsAdCurves(m, AsAdPlane::Price, o, axes, &cache);
    EXPECT_TRUE(cache.Current.Demand.empty());
}

// ------------------------------------------------------------------ exported numbers

const ExportedCurve* Find(const DiagramNumbers& d, const std::string& name) {
    for (const ExportedCurve& c : d.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

// The exported numbers for T = 12 and L = 2 of a model whose own edges are elsewhere.
DiagramNumbers Exported(Model& m, const char* diagram, int raster) {
    const DiagramResult r = ComputeDiagramNumbers(m, diagram, {12, 2, raster});
    EXPECT_TRUE(r.Ok) << r.Error;
    return r.Numbers;
}

TEST(DiagramExport, AsAdSamplesAreEquilibriaAndSupplyPricesOfTheirPoints) {
    struct Case {
        const char* diagram;
        AsAdPlane plane;
        int raster;
    };
    for (const Case& c : {Case{"as-ad", AsAdPlane::Price, 7}, Case{"as-ad", AsAdPlane::Price, 99},
                          Case{"dynamic-as-ad", AsAdPlane::Inflation, 7}}) {
        SCOPED_TRACE(std::string(c.diagram) + " raster " + std::to_string(c.raster));
        Model m = SolvedModel();
        m.Periods.LeftEdge = m.Periods.CurrentPeriod = 0;
        const Model untouched = m;
        const DiagramNumbers d = Exported(m, c.diagram, c.raster);
        const bool price = c.plane == AsAdPlane::Price;
        for (int t : {2, 12}) {
            const std::string suffix = "(" + std::to_string(t) + ")";
            const ExportedCurve* ad = Find(d, (price ? "AD" : "DAD") + suffix);
            const ExportedCurve* as = Find(d, (price ? "AS" : "DAS") + suffix);
            ASSERT_TRUE(ad && as) << suffix;
            ASSERT_EQ(ad->Points.size(), size_t(c.raster) + 1);
            ASSERT_EQ(as->Points.size(), size_t(c.raster) + 1);
            const double base = m.GetVar(t - m.TZR(), var::P);
            for (const CurvePoint& p : ad->Points) {
                Model fresh = untouched;
                RecordingHost host;
                const double level = price ? p.Y : base * (1 + p.Y / 100);
                EquilibriumAtPrice(fresh, host, t, 100, level, 0.01);
                EXPECT_EQ(Bits(fresh.ScratchVar(t, var::Y)), Bits(p.X)) << "AD at " << p.Y;
            }
            // The last supply point is the vertical piece at capacity.
            for (size_t k = 0; k + 1 < as->Points.size(); ++k) {
                const CurvePoint p = as->Points[k];
                const double psup = PriceAt(m, t, p.X);
                EXPECT_EQ(Bits(price ? psup : std::max((psup / base - 1) * 100, -99.0)), Bits(p.Y))
                    << "AS at " << p.X;
            }
        }
        // The periods asked for, not the model's, and those left as they were.
        EXPECT_TRUE(Find(d, "Pfad"));
        EXPECT_EQ(Find(d, "Pfad")->Points.size(), 11u);
        EXPECT_EQ(m.Periods.LeftEdge, 0);
        EXPECT_EQ(m.Periods.CurrentPeriod, 0);
    }
}

TEST(DiagramExport, AskingTwiceGivesTheSameNumbersAndLeavesTheSolution) {
    for (const std::string& diagram : DiagramNames()) {
        SCOPED_TRACE(diagram);
        Model m = SolvedModel();
        const Model before = m;
        const std::string first = DiagramCsv(Exported(m, diagram.c_str(), 20));
        const std::string second = DiagramCsv(Exported(m, diagram.c_str(), 20));
        EXPECT_EQ(first, second);
        EXPECT_GT(first.size(), 100u);
        for (int t = -5; t <= 20; ++t)
            for (int n = 1; n <= VarCount; ++n)
                ASSERT_EQ(Bits(before.GetVar(t, n)), Bits(m.GetVar(t, n))) << t << "/" << n;
        EXPECT_EQ(0, std::memcmp(&before.Periods, &m.Periods, sizeof m.Periods));
    }
}

TEST(DiagramExport, DefaultsAndRefusedRequests) {
    Model m = SolvedModel();
    m.Periods.LastSolved = 18;
    struct Case {
        const char* diagram;
        DiagramRequest request;
        const char* expect; // a curve that must be there, or a piece of the error
        bool ok;
    };
    const Case cases[] = {
        {"as-ad", {18, -1, 5}, "AD(2)", true}, // L: the left edge
        {"as-ad", {1, -1, 5}, "AD(1)", true},  // L: T when the left edge is later
        {"as-ad", {18, 0, 5}, "AD(0)", true},  // L: period 0 as asked, before the left edge
        {"is-lm", {-1, -1, 54}, "up to period 18, not up to 20", false}, // T: the right edge
        {"is-lm", {21, -1, 54}, "after the right edge 20", false},
        {"is-lm", {5, 6, 54}, "reference period", false},
        {"is-lm", {12, 2, 2}, "LM(12)", true}, // the extreme rasters
        {"is-lm", {12, 2, 1000}, "LM(12)", true},
        {"as-ad", {12, 2, 1}, "raster", false},
        {"as-ad", {12, 2, 1001}, "raster", false},
        {"is", {12, 2, 54}, "unknown diagram", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.diagram) + " T " + std::to_string(c.request.Period));
        const DiagramResult r = ComputeDiagramNumbers(m, c.diagram, c.request);
        EXPECT_EQ(r.Ok, c.ok) << r.Error;
        if (c.ok) {
            EXPECT_TRUE(Find(r.Numbers, c.expect));
        } else {
            EXPECT_NE(r.Error.find(c.expect), std::string::npos) << r.Error;
            EXPECT_TRUE(r.Numbers.Curves.empty());
        }
    }
}

// Records the pen style of every line and the labels written.
class PenCanvas : public GraphCanvas {
  public:
    struct Stroke {
        bool dotted, dashed;
    };
    void SetFont(const char*, int, bool) override {}
    int TextWidth(const std::string& t) override { return 6 * int(t.size()); }
    int TextHeight(const std::string&) override { return 10; }
    void SetPen(Colour, int) override {}
    void SetDotted(bool d) override { dotted = d; }
    void SetDashed(bool d) override { dashed = d; }
    void SetBrush(Colour) override {}
    void SetFontColour(Colour) override {}
    void Line(int, int, int, int) override { strokes.push_back({dotted, dashed}); }
    void FillRect(int, int, int, int) override {}
    void Text(int, int, const std::string& t, HAlign, VAlign, bool opaque) override {
        if (opaque) labels.push_back(t);
    }
    bool dotted = false, dashed = false;
    std::vector<Stroke> strokes;
    std::vector<std::string> labels;
};

TEST(DiagramPens, ReferenceCurvesDottedCapacityLinesDashDottedBaselinesDashed) {
    enum Pen { Solid, Dotted, Dashed, DashDot };
    struct Case {
        const char* name;
        CurveKind kind;
        bool capacity;
        Pen pen;
        const char* label; // in English
        bool baseline = false;
    } cases[] = {
        {"AD(0)", CurveKind::Reference, false, Dotted, "AD(0)"},
        {"AS(0)", CurveKind::Reference, false, Dotted, "AS(0)"},
        {"LAS(0)", CurveKind::Reference, false, Dotted, "LAS(0)"},
        {"DAD(0)", CurveKind::Reference, false, Dotted, "DAD(0)"},
        {"P(0)", CurveKind::Reference, false, Dotted, "P(0)"},
        {"Kap-Max(0)", CurveKind::Reference, true, DashDot, "Cap-Max(0)"},
        {"Kap-Max(12)", CurveKind::Current, true, DashDot, "Cap-Max(12)"},
        {"AD(12)", CurveKind::Current, false, Dashed, "", true},
        {"Kap-Max(12)", CurveKind::Current, true, Dashed, "", true},
        {"AD(12)", CurveKind::Current, false, Solid, "AD(12)"},
        {"LDAS(12)", CurveKind::Current, false, Solid, "LDAS(12)"},
    };
    for (GraphTarget target : {GraphTarget::Screen, GraphTarget::Image, GraphTarget::Printer})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " target " + std::to_string(int(target)));
            CoordinateSystem cs;
            cs.XMin = 0, cs.XMax = 100, cs.YMin = 0, cs.YMax = 2;
            cs.DeferLabels = true;
            PenCanvas canvas;
            ASSERT_TRUE(cs.DrawFrame(canvas, target, 800, 600));
            canvas.strokes.clear();
            NamedPolyline curve{c.name, c.kind, c.capacity, {{10, 0.1}, {50, 1}, {90, 1.9}}};
            curve.Baseline = c.baseline;
            DrawAsAdCurves(cs, {curve}, GraphStyle{}, 2);
            EXPECT_EQ(canvas.strokes.size(), 2u);         // a line between each two points
            EXPECT_FALSE(canvas.dotted || canvas.dashed); // the pen is left solid
            cs.EndPaint();
            ASSERT_FALSE(canvas.strokes.empty());
            for (const PenCanvas::Stroke& s : canvas.strokes) {
                const Pen drawn = s.dashed && s.dotted ? DashDot
                                  : s.dashed           ? Dashed
                                  : s.dotted           ? Dotted
                                                       : Solid;
                EXPECT_EQ(drawn, c.pen);
            }
            // Baselines carry the key instead of names.
            EXPECT_EQ(canvas.labels,
                      c.baseline ? std::vector<std::string>{} : std::vector<std::string>{c.label});
        }
    // The income diagrams and the derivations draw their reference curves dotted as well.
    CoordinateSystem cs;
    PenCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Printer, 800, 600));
    canvas.strokes.clear();
    Plot plot;
    plot.Curves.push_back({"IS(0)", CurveStyle::Reference, {{0, 0}, {1, 1}}, {}});
    DrawPlot(cs, plot, GraphStyle{});
    ASSERT_FALSE(canvas.strokes.empty());
    for (const PenCanvas::Stroke& s : canvas.strokes)
        EXPECT_TRUE(s.dotted && !s.dashed);
}

TEST(DiagramPens, AReferenceCurveIsNamedOnItsFirstVisiblePiece) {
    // The first finite piece lies left of the plot; the name goes where the curve shows.
    CoordinateSystem cs;
    cs.XMin = 0, cs.XMax = 100, cs.YMin = 0, cs.YMax = 2;
    cs.DeferLabels = true;
    PenCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    const double nan = std::nan("");
    NamedPolyline curve{"AD(0)",
                        CurveKind::Reference,
                        false,
                        {{nan, 1}, {-50, 1.9}, {-10, 1.5}, {20, 1.2}, {60, 0.5}}};
    DrawAsAdCurves(cs, {curve}, GraphStyle{}, 1);
    EXPECT_TRUE(cs.CurveTrack().empty()); // closed: marks drawn next belong to no curve
    cs.EndPaint();
    ASSERT_EQ(cs.WrittenLabels().size(), 1u);
    const DeviceRect r = cs.WrittenLabels()[0].Rect;
    const DeviceRect box = cs.PlotBox();
    EXPECT_TRUE(Inside(box, r));
    // Beside the point where the curve enters at the left edge.
    EXPECT_LT(r.Left - box.Left, 30);
    EXPECT_NEAR((r.Top + r.Bottom) / 2.0, cs.WorldToDeviceY(1.5 - 10 * 0.3 / 30), 30);
}

TEST(AsAdReadout, TextsOfBothFormsInBothLanguages) {
    Model m = SolvedModel();
    struct Case {
        AsAdPlane plane;
        int language;
        const char* caption;
        const char* lines[5];
        const char* valuesTitle;
        const char* percent;
    } cases[] = {
        {AsAdPlane::Price,
         1,
         "Einkommen-Preis-Info",
         {"Einkommen: ", "Preisniveau (P'): ", "Nettonachfrage: ", "heim. Angebot: ", "=> "},
         "AD-AS-Werte bei P' (t=12)",
         ""},
        {AsAdPlane::Price,
         2,
         "Income-Price-Info",
         {"Income: ", "Price Level (P'): ", "Net Demand: ", "Domestic Supply: ", "=> "},
         "AD-AS values at P' (t=12)",
         ""},
        {AsAdPlane::Inflation,
         1,
         "Einkommen-Inflation-Info",
         {"Einkommen: ", "Inflation (gP'): ", "Nettonachfrage: ", "heim. Angebot: ", "=> "},
         "DAD-DAS-Werte bei gP' (t=12)",
         "%"},
        {AsAdPlane::Inflation,
         2,
         "Income-Inflation-Info",
         {"Income: ", "Inflation (gP'): ", "Net Demand: ", "Domestic Supply: ", "=> "},
         "DAD-DAS values at gP' (t=12)",
         "%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const WorldPoint at = AsAdPathPoint(m, c.plane, 12);
        const PositionReadout r = AsAdReadout(m, c.plane, at.X, at.Y, c.language);
        EXPECT_EQ(r.Caption, c.caption);
        ASSERT_EQ(r.Groups.size(), 2u);
        EXPECT_EQ(r.Groups[0].Title, c.language == 1 ? "Positionswerte" : "Position");
        EXPECT_EQ(r.Groups[1].Title, c.valuesTitle);
        ASSERT_EQ(r.Groups[0].Lines.size(), 2u);
        ASSERT_EQ(r.Groups[1].Lines.size(), 3u);
        const std::string lines[5] = {r.Groups[0].Lines[0], r.Groups[0].Lines[1],
                                      r.Groups[1].Lines[0], r.Groups[1].Lines[1],
                                      r.Groups[1].Lines[2]};
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(lines[k].rfind(c.lines[k], 0), 0u) << lines[k];
        EXPECT_EQ(lines[1], c.lines[1] + m.FormatNumber(at.Y) + c.percent);
    }
}

TEST(AsAdReadout, ThePriceDecidesWhichSideIsShort) {
    Model m = SolvedModel();
    const double before = m.ModelVar(12, var::Y);
    const WorldPoint at = AsAdPathPoint(m, AsAdPlane::Price, 12);
    // At the period's own price demand reaches about its income; supply is the income whose
    // supply price that is, up to capacity.
    EXPECT_NEAR(DemandAt(m, AsAdPlane::Price, 12, at.Y), at.X, 0.02 * at.X);
    const double cap = PotentialOutput(m, 12);
    for (double share : {0.25, 0.5, 0.75})
        EXPECT_NEAR(SupplyAt(m, AsAdPlane::Price, 12, PriceAt(m, 12, share * cap)), share * cap,
                    1e-6 * cap);
    EXPECT_EQ(SupplyAt(m, AsAdPlane::Price, 12, 2 * PriceAt(m, 12, cap)), cap);
    EXPECT_EQ(SupplyAt(m, AsAdPlane::Price, 12, PriceAt(m, 12, 0) / 2), 0);
    // Inflation asks for the price it gives from the wage round's base, demand from -99 % up.
    const double base = m.ModelVar(12 - m.TZR(), var::P);
    for (double g : {-150.0, -2.0, 3.0}) {
        const double demand =
            DemandAt(m, AsAdPlane::Price, 12, base * (1 + std::max(g, -99.0) / 100));
        EXPECT_NEAR(DemandAt(m, AsAdPlane::Inflation, 12, g), demand, 1e-9 * demand) << g;
        EXPECT_EQ(SupplyAt(m, AsAdPlane::Inflation, 12, g),
                  SupplyAt(m, AsAdPlane::Price, 12, base * (1 + g / 100)))
            << g;
    }
    struct Case {
        double priceFactor;
        const char* conclusion;
    } cases[] = {{0.7, "=> Nachfrageüberschuss: "}, {1.3, "=> Angebotsüberschuss: "}};
    for (const Case& c : cases) {
        const PositionReadout r = AsAdReadout(m, AsAdPlane::Price, at.X, at.Y * c.priceFactor, 1);
        EXPECT_EQ(r.Groups[1].Lines[2].rfind(c.conclusion, 0), 0u) << r.Groups[1].Lines[2];
    }
    // Asking leaves the solution as it was.
    EXPECT_EQ(Bits(m.ModelVar(12, var::Y)), Bits(before));
}

} // namespace
} // namespace tv
namespace tv {

// Both range sets of both planes pinned: income and the price level from the origin, inflation
// below it, each widened by a hundredth.
TEST(AsAdRanges, OfAKnownModel) {
    const Model m = SolvedModel();
    const struct {
        AsAdPlane plane;
        double fixed[4], automatic[4];
    } rows[] = {{AsAdPlane::Price,
                 {0, 1212, 0, 1.770005123},
                 {1084.768336, 1202.974485, 1.657894633, 1.770005123}},
                {AsAdPlane::Inflation,
                 {0, 1212, -0.6959975344, 1.794082846},
                 {1084.768336, 1202.974485, -0.165388613, 1.794082846}}};
    for (const auto& r : rows) {
        const AsAdRanges a = ComputeAsAdRanges(m, r.plane);
        const double got[8] = {a.FixedXMin, a.FixedXMax, a.FixedYMin, a.FixedYMax,
                               a.AutoXMin,  a.AutoXMax,  a.AutoYMin,  a.AutoYMax};
        for (int k = 0; k < 8; ++k) {
            const double expected = k < 4 ? r.fixed[k] : r.automatic[k - 4];
            EXPECT_NEAR(got[k], expected, 1e-9 * std::max(1.0, std::fabs(expected))) << k;
        }
    }
    // A negative income widens the automatic range outwards, too.
    Model negative = m;
    negative.SetModelVar(2, var::Y, -2000);
    const AsAdRanges n = ComputeAsAdRanges(negative, AsAdPlane::Price);
    EXPECT_DOUBLE_EQ(n.AutoXMin, -2020);
    EXPECT_NEAR(n.AutoXMax, 1202.974485, 1e-6);
    // An income of rounding noise counts as zero.
    negative.SetModelVar(2, var::Y, -1e-11);
    EXPECT_EQ(ComputeAsAdRanges(negative, AsAdPlane::Price).AutoXMin, 0);
    // Incomes all negative: the top moves up towards zero.
    for (int t = m.Periods.LeftEdge; t <= m.Periods.RightEdge; ++t)
        negative.SetModelVar(t, var::Y, -1000);
    EXPECT_DOUBLE_EQ(ComputeAsAdRanges(negative, AsAdPlane::Price).AutoXMax, -990);
    // Incomes all of one tiny size: a range that narrow still gets its unit.
    for (int t = m.Periods.LeftEdge; t <= m.Periods.RightEdge; ++t)
        negative.SetModelVar(t, var::Y, 1e-8);
    EXPECT_NEAR(ComputeAsAdRanges(negative, AsAdPlane::Price).AutoXMax, 1, 1e-6);
    // A model of zeros still gets an income axis of one unit and its margin.
    EXPECT_DOUBLE_EQ(ComputeAsAdRanges(Model{}, AsAdPlane::Price).FixedXMax, 1.01);
    // An income not a number at the left edge adds no point; the automatic range then spans
    // from the origin.
    Model gap = m;
    gap.SetModelVar(m.Periods.LeftEdge, var::Y, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(ComputeAsAdRanges(gap, AsAdPlane::Price).AutoXMin, 0);
}

// A zoomed band never reaches below the origin, nor inflation below -99 %.
TEST(AsAdRanges, ZoomStaysWithinTheMeaningfulQuadrant) {
    const struct {
        AsAdPlane plane;
        double in[4], out[4];
    } rows[] = {{AsAdPlane::Price, {-5, 0.5, -2, -1}, {0, 1, 0, 0}},
                {AsAdPlane::Price, {3, 7, 2, 4}, {3, 7, 2, 4}},
                {AsAdPlane::Inflation, {-5, 0.5, -150, -120}, {0, 1, -99, -98}},
                {AsAdPlane::Inflation, {3, 7, -5, 4}, {3, 7, -5, 4}}};
    for (const auto& r : rows) {
        double v[4] = {r.in[0], r.in[1], r.in[2], r.in[3]};
        BoundAsAdZoom(r.plane, v[0], v[1], v[2], v[3]);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(v[k], r.out[k]) << k;
    }
}

} // namespace tv
namespace tv {

// With given prices and no autonomous demand, a price below the given one leaves both sides
// at zero: that is balance, not an excess of either.
TEST(AsAdReadout, NoDemandAndNoSupplyIsEquilibrium) {
    Model m = test::KeynesianModel();
    test::SetAll(m, {{par::CAut, 0}, {par::IAut, 0}, {par::GAut, 0}});
    m.Periods.RightEdge = 6;
    RecordingHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = 4;
    const double below = m.ModelPar(4, par::PExog) / 2;
    // At the given price itself firms supply up to capacity.
    EXPECT_EQ(SupplyAt(m, AsAdPlane::Price, 4, 2 * below), PotentialOutput(m, 4));
    EXPECT_EQ(AsAdReadout(m, AsAdPlane::Price, 0, below, 1).Groups[1].Lines[2], "=> Gleichgewicht");
}

} // namespace tv
