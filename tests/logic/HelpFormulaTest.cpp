// The formulas the diagram pages of the help print are the diagrams' own: each formula,
// read from the page as a student reads it (the catalogue's symbols of the page's language),
// is evaluated at the points of the curve the diagram exports for an example model and
// must give the other coordinate of those points.

#include "OpenedModel.h"
#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "logic/HelpPages.h"
#include "money/MoneyRounds.h"
#include "views/DiagramExport.h"
#include "views/IncomeDiagrams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace tv {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct PageFormulas {
    std::map<std::string, std::string> curves;      // data-curve: the curve a diagram draws
    std::map<std::string, std::string> definitions; // data-def: a name the others use
};

std::string Unescape(std::string s) {
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (size_t p; (p = s.find(from)) != std::string::npos;)
            s.replace(p, from.size(), to);
    return s;
}

// The right-hand side of every formula paragraph of a page.
PageFormulas FormulasOf(const std::string& html) {
    PageFormulas f;
    const std::regex eq(R"re(<p class="eq" data-(curve|def)="([^"]+)">([^<]*)</p>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), eq); it != std::sregex_iterator();
         ++it) {
        const std::string text = Unescape((*it)[3]);
        const size_t is = text.find(" = ");
        const std::string rhs = is == std::string::npos ? text : text.substr(is + 3);
        ((*it)[1] == "curve" ? f.curves : f.definitions)[(*it)[2]] = rhs;
    }
    return f;
}

// A small evaluator of the formulas as printed: numbers, + − · / ( ), max(a, b), min(a, b),
// and names: the page's definitions, the values a test binds, the catalogue's parameter and
// variable symbols of the page's language (values of period t).
class Evaluator {
  public:
    Evaluator(const Model& m, int t, int language, const PageFormulas& page,
              std::map<std::string, double> bound)
        : m_(m), t_(t), language_(language), page_(page), bound_(std::move(bound)) {}

    double Evaluate(const std::string& text) {
        const std::string saved = s_;
        const size_t savedPos = pos_;
        s_ = text;
        pos_ = 0;
        const double v = Sum();
        Skip();
        if (pos_ != s_.size()) throw std::runtime_error("unexpected text in: " + text);
        s_ = saved;
        pos_ = savedPos;
        return v;
    }

  private:
    void Skip() {
        while (pos_ < s_.size() && s_[pos_] == ' ')
            ++pos_;
    }
    // Accepts one of the spellings of an operator (ASCII or the printed sign).
    bool Take(std::initializer_list<const char*> spellings) {
        Skip();
        for (const char* op : spellings) {
            const std::string o(op);
            if (s_.compare(pos_, o.size(), o) == 0) {
                pos_ += o.size();
                return true;
            }
        }
        return false;
    }
    double Sum() {
        double v = Product();
        while (true) {
            if (Take({"+"}))
                v += Product();
            else if (Take({"−", "-"}))
                v -= Product();
            else
                return v;
        }
    }
    double Product() {
        double v = Unary();
        while (true) {
            if (Take({"·", "*"}))
                v *= Unary();
            else if (Take({"/"}))
                v /= Unary();
            else
                return v;
        }
    }
    double Unary() {
        if (Take({"−", "-"})) return -Unary();
        return Power();
    }
    double Power() {
        const double base = Primary();
        if (Take({"^"})) return std::pow(base, Unary());
        return base;
    }
    double Primary() {
        Skip();
        if (Take({"("})) {
            const double v = Sum();
            if (!Take({")"})) throw std::runtime_error("missing ) in: " + s_);
            return v;
        }
        if (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            size_t used = 0;
            const double v = std::stod(s_.substr(pos_), &used);
            pos_ += used;
            return v;
        }
        const std::string name = Name();
        if (name.empty()) throw std::runtime_error("no value at " + s_.substr(pos_) + " in " + s_);
        if (name == "max" || name == "min") {
            if (!Take({"("})) throw std::runtime_error(name + " without (");
            const double a = Sum();
            if (!Take({", "})) throw std::runtime_error(name + " without a second value");
            const double b = Sum();
            if (!Take({")"})) throw std::runtime_error(name + " without )");
            return name == "max" ? std::max(a, b) : std::min(a, b);
        }
        return Value(name);
    }
    // A symbol as the catalogue writes it: letters and digits, "[...]" and ",suffix".
    std::string Name() {
        Skip();
        const size_t start = pos_;
        // Letters: ASCII, and the accented ones of UTF-8 ("ÜR1").
        auto letter = [&](size_t p) {
            if (p >= s_.size()) return false;
            const auto c = static_cast<unsigned char>(s_[p]);
            return std::isalpha(c) || c == 0xC3 ||
                   (c >= 0x80 && c < 0xC0 && p > 0 &&
                    static_cast<unsigned char>(s_[p - 1]) == 0xC3);
        };
        if (!letter(pos_)) return {};
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || letter(pos_)) {
                ++pos_;
            } else if (c == '[') {
                const size_t close = s_.find(']', pos_);
                if (close == std::string::npos) break;
                pos_ = close + 1;
            } else if (c == ',' && letter(pos_ + 1)) {
                ++pos_;
            } else {
                break;
            }
        }
        return s_.substr(start, pos_ - start);
    }
    double Value(const std::string& name) {
        if (auto b = bound_.find(name); b != bound_.end()) return b->second;
        if (auto d = page_.definitions.find(name); d != page_.definitions.end()) {
            if (++depth_ > 20) throw std::runtime_error("definitions run in a circle: " + name);
            const double v = Evaluate(d->second);
            --depth_;
            return v;
        }
        for (int n = 1; n <= ParCount; ++n)
            if (ParamSymbol(n, t_, language_) == name) return m_.ModelPar(t_, n);
        for (int n = 1; n <= VarCount; ++n)
            if (VarSymbol(n, language_) == name) return m_.ModelVar(t_, n);
        throw std::runtime_error("unknown symbol " + name);
    }

    const Model& m_;
    int t_, language_;
    const PageFormulas& page_;
    std::map<std::string, double> bound_;
    std::string s_;
    size_t pos_ = 0;
    int depth_ = 0;
};

Model& Example(const std::string& file) {
    static std::map<std::string, std::unique_ptr<Model>> opened;
    auto& m = opened[file];
    if (!m) {
        m = std::make_unique<Model>();
        EXPECT_TRUE(test::OpenAsTheProgramDoes(*m, std::string(EXAMPLES_DIR) + "/" + file)) << file;
    }
    return *m;
}

const ExportedCurve* FindCurve(const DiagramNumbers& d, const std::string& name) {
    for (const ExportedCurve& c : d.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

// The diagram's numbers as the batch tool exports them; "income-expenditure gross" is the
// goods panel with gross aggregates, which the export does not show by default.
DiagramResult NumbersOf(Model& m, const std::string& diagram) {
    if (diagram != "income-expenditure gross") return ComputeDiagramNumbers(m, diagram);
    IncomeExpenditureOptions o;
    o.Gross = true;
    DiagramResult r;
    r.Ok = true;
    // The current period at the right edge, as the export takes it.
    const int current = m.Periods.CurrentPeriod;
    m.Periods.CurrentPeriod = m.Periods.RightEdge;
    AppendPlot(r.Numbers, GoodsMarketCurves(m, o, AxesFor(GoodsMarketRanges(m, o), false)),
               "goods:");
    m.Periods.CurrentPeriod = current;
    return r;
}

// One formula of a page against one exported curve: the formula computes `output` ("x" or
// "y") from the point's other coordinate, bound to the name `input`.
struct FormulaCase {
    const char* page;
    const char* curve;    // data-curve of the page
    const char* example;  // example model
    const char* diagram;  // the batch tool's diagram name
    const char* exported; // the exported curve's name before "(t)"
    const char* input;    // the name the point's other coordinate is bound to
    bool computesX;       // the formula gives x from y (IS: income from the rate)
    std::vector<int> points;
};

const FormulaCase kCases[] = {
    // Income-expenditure: net demand against income.
    {"income-expenditure",
     "D",
     "01-keynesian-cross.TV5",
     "income-expenditure",
     "goods:D",
     "Y",
     false,
     {0, 1}},
    {"income-expenditure",
     "N",
     "01-keynesian-cross.TV5",
     "income-expenditure gross",
     "goods:N",
     "Y",
     false,
     {0, 1}},
    {"income-expenditure",
     "X",
     "04-open-fixed-rates.TV5",
     "income-expenditure gross",
     "goods:X",
     "Y",
     false,
     {0, 1}},
    // IS-LM on the nominal axis: IS gives income from the rate; LM and Z the rate from income.
    {"is-lm", "IS", "02-closed-is-lm.TV5", "is-lm", "IS", "i", true, {0, 1}},
    {"is-lm", "LM", "02-closed-is-lm.TV5", "is-lm", "LM", "Y", false, {0, 1, 2}},
    {"is-lm", "Z", "05-open-flexible-rates.TV5", "is-lm", "Z", "Y", false, {0, 1}},
    {"is-lm", "IS", "05-open-flexible-rates.TV5", "is-lm", "IS", "i", true, {0, 1}},
    // AS-AD: the supply curve below capacity and the long-run line.
    {"as-ad", "AS", "03-as-ad-prices-and-wages.TV5", "as-ad", "AS", "Y", false, {0, 5, 20}},
    {"as-ad", "LAS", "03-as-ad-prices-and-wages.TV5", "as-ad", "LAS", "P", true, {0, 1}},
    // The dynamic AS-AD: supply as inflation against the start of the wage round.
    {"dynamic-as-ad",
     "DAS",
     "03-as-ad-prices-and-wages.TV5",
     "dynamic-as-ad",
     "DAS",
     "Y",
     false,
     {0, 5, 20}},
    {"dynamic-as-ad",
     "LDAS",
     "03-as-ad-prices-and-wages.TV5",
     "dynamic-as-ad",
     "LDAS",
     "gP",
     true,
     {0, 1}},
    // The derivations' partial diagrams.
    {"curve-derivations",
     "LT",
     "02-closed-is-lm.TV5",
     "lm-derivation",
     "q1:LT",
     "Y",
     false,
     {0, 1}},
    {"curve-derivations", "LS", "02-closed-is-lm.TV5", "lm-derivation", "q3:LS", "i", true, {0, 1}},
    {"curve-derivations", "A", "02-closed-is-lm.TV5", "is-derivation", "q1:A", "r", true, {0, 1}},
    {"curve-derivations", "D", "02-closed-is-lm.TV5", "is-derivation", "q2:D", "Y", false, {0, 1}},
    {"curve-derivations",
     "NK",
     "05-open-flexible-rates.TV5",
     "z-derivation",
     "q1:NK",
     "i",
     true,
     {0, 1}},
    {"curve-derivations",
     "AB",
     "05-open-flexible-rates.TV5",
     "z-derivation",
     "q3:AB",
     "Y",
     false,
     {0, 1}},
};

// Values the pages describe in words rather than as a formula.
std::map<std::string, double> WordedValues(const Model& m, int t) {
    return {{"cN", SpendingPropensity(m, t)}};
}

TEST(HelpFormulas, DiagramPagesGiveTheDiagramsNumbers) {
    for (int language : {1, 2}) {
        const std::string folder = HelpLanguageFolder(language);
        for (const FormulaCase& c : kCases) {
            SCOPED_TRACE(folder + "/" + c.page + " " + c.curve + " on " + c.example);
            const PageFormulas page = FormulasOf(
                ReadFile(fs::path(HELP_TEMPLATE_DIR) / folder / (std::string(c.page) + ".html")));
            const auto formula = page.curves.find(c.curve);
            ASSERT_NE(formula, page.curves.end()) << "the page has no formula for the curve";
            Model& m = Example(c.example);
            const DiagramResult d = NumbersOf(m, c.diagram);
            ASSERT_TRUE(d.Ok) << d.Error;
            // The current curve (right edge) and the reference curve (left edge).
            for (int t : {m.Periods.RightEdge, m.Periods.LeftEdge}) {
                const std::string name = std::string(c.exported) + "(" + std::to_string(t) + ")";
                const ExportedCurve* curve = FindCurve(d.Numbers, name);
                ASSERT_TRUE(curve) << name;
                for (int k : c.points) {
                    ASSERT_LT(k, static_cast<int>(curve->Points.size())) << name;
                    const CurvePoint p = curve->Points[k];
                    auto bound = WordedValues(m, t);
                    bound[c.input] = c.computesX ? p.Y : p.X;
                    // The supply price the AS page gives, and the price level of the start
                    // of the wage round, as the dynamic page names them.
                    bound["P_AS"] = PriceAt(m, t, p.X);
                    bound["P0"] = m.ModelVar(t - m.TZR(), 47);
                    Evaluator e(m, t, language, page, bound);
                    double value = 0;
                    try {
                        value = e.Evaluate(formula->second);
                    } catch (const std::exception& x) {
                        FAIL() << x.what();
                    }
                    const double expected = c.computesX ? p.X : p.Y;
                    EXPECT_NEAR(value, expected, 1e-9 * std::max(1.0, std::abs(expected)))
                        << name << " point " << k << ": " << formula->second;
                }
            }
        }
    }
}

// The money-creation page: the money stock after n rounds, its limit and the multiplier are
// the rounds the money windows show, for the period of the example's reserve-ratio cut.
TEST(HelpFormulas, MoneyCreationPageGivesTheRounds) {
    Model& m = Example("06-money-creation.TV5");
    const int t = 5;
    const MoneyRounds rounds(m, t, MoneyShares{});
    const double firstRound = rounds.InitialExcessReserves(1) + rounds.InitialExcessReserves(2);
    ASSERT_NE(firstRound, 0) << "the example changes the money supply in period 5";
    for (int language : {1, 2}) {
        SCOPED_TRACE(language);
        const PageFormulas page = FormulasOf(ReadFile(
            fs::path(HELP_TEMPLATE_DIR) / HelpLanguageFolder(language) / "money-creation.html"));
        for (const char* curve : {"M(n)", "M(oo)", "GSM"})
            ASSERT_TRUE(page.curves.count(curve)) << curve;
        for (int n : {2, 3, 10}) {
            Evaluator e(m, t, language, page,
                        {{"M0", rounds.PreviousMoney()}, {"ÜR1", firstRound}, {"n", n}});
            EXPECT_NEAR(e.Evaluate(page.curves.at("M(n)")), rounds.MoneyAfterRounds(n), 1e-9) << n;
        }
        Evaluator e(m, t, language, page, {{"M0", rounds.PreviousMoney()}, {"ÜR1", firstRound}});
        EXPECT_NEAR(e.Evaluate(page.curves.at("M(oo)")), rounds.MoneyLimit(), 1e-9);
        EXPECT_NEAR(e.Evaluate(page.curves.at("GSM")), MoneyMultiplier(m, t), 1e-12);
    }
}

// A formula that disagrees with the diagram is found: the check is not vacuous.
TEST(HelpFormulas, AWrongFormulaIsFound) {
    Model& m = Example("02-closed-is-lm.TV5");
    const int t = m.Periods.RightEdge;
    PageFormulas page;
    page.definitions["half"] = "M / 2";
    Evaluator e(m, t, 2, page, {{"Y", 100}});
    EXPECT_DOUBLE_EQ(e.Evaluate("l[Y] · Y + half"),
                     m.ModelPar(t, 48) * 100 + m.ModelVar(t, 22) / 2);
    EXPECT_DOUBLE_EQ(e.Evaluate("max(i,u, −(1 − 3) · 2)"), std::max(m.ModelPar(t, 51), 4.0));
    EXPECT_DOUBLE_EQ(e.Evaluate("2 · 3^2 − 1"), 17);
    EXPECT_THROW(e.Evaluate("l[Y] · Yq"), std::runtime_error);
    EXPECT_THROW(e.Evaluate("(M + 1"), std::runtime_error);
    // The symbols are the ones the windows show, in both languages: expected income is
    // Y,erw also on an English page.
    for (int language : {1, 2}) {
        Evaluator x(m, t, language, page, {});
        EXPECT_DOUBLE_EQ(x.Evaluate("Y,erw"), m.ModelVar(t, 1));
        EXPECT_THROW(x.Evaluate("Y,exp"), std::runtime_error);
    }
}

} // namespace
} // namespace tv
