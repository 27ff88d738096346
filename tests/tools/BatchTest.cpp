#include "OpenedModel.h"
#include "TestModels.h"
#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"
#ifdef TERVALIS_DIAGRAMS
#include "views/DiagramExport.h"
#endif

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tv {
namespace {

namespace fs = std::filesystem;

struct BatchRun {
    int exitCode = -1;
    std::vector<std::string> out, err;
    // Value of variable n in period t from the CSV.
    double At(int t, int n) const {
        std::stringstream row(out.at(static_cast<size_t>(t) + 1));
        std::string cell;
        for (int k = 0; k <= n; ++k)
            std::getline(row, cell, ',');
        return std::stod(cell);
    }
};

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tervalis-batch-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with `args`; `prefix` goes before the tool (another user), `output`
    // replaces the CSV file as standard output.
    BatchRun Start(const std::string& args, const std::string& prefix = "",
                   const std::string& output = "") const {
        const fs::path out = dir / "out.csv", err = dir / "err.txt";
        const std::string cmd = prefix + std::string(BATCH_TOOL) + " " + args + " >" +
                                (output.empty() ? out.string() : output) + " 2>" + err.string();
        const int status = std::system(cmd.c_str());
        BatchRun r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Lines(out);
        r.err = Lines(err);
        return r;
    }
    std::string Save(Model m, const std::string& name) const {
        SilentHost host;
        ModelFile f(m, host, dir.string());
        f.WriteModelFile((dir / name).string());
        return (dir / name).string();
    }
    fs::path dir;
};

TEST_F(Batch, NewModelPrintsEveryPeriodOfTheInterval) {
    const BatchRun r = Start("--new");
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.size(), 102u);
    std::string header = "t";
    for (int n = 1; n <= 63; ++n)
        header += "," + std::to_string(n);
    EXPECT_EQ(r.out[0], header);
    EXPECT_EQ(r.out[1].substr(0, 2), "0,");
    EXPECT_EQ(r.out[101].substr(0, 4), "100,");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.back(), "status: Ok");
}

TEST_F(Batch, KeynesianMultiplierOfAFiscalExpansion) {
    // Y = (C,aut + I,aut + G,aut) / (1 - c[Y]): 1500 before, 1550 long after G rises by 10.
    Model m = test::KeynesianModel();
    test::SetFrom(m, 10, {{par::GAut, 110}});
    const BatchRun r = Start(Save(m, "keynes.TV5"));
    ASSERT_EQ(r.exitCode, 0);
    // The start equilibrium stops when income changes by less than 1e-7 per iteration.
    const double tol = 1500 * 1e-6;
    EXPECT_NEAR(r.At(0, var::Y), 1500, tol);
    EXPECT_NEAR(r.At(9, var::Y), 1500, tol);
    EXPECT_NEAR(r.At(10, var::Y), 1500, tol); // producers expect last period's demand
    EXPECT_NEAR(r.At(11, var::Y), 1510, tol);
    EXPECT_NEAR(r.At(100, var::Y), 1550, 1e-3);
    // Every value is printed with full precision.
    EXPECT_EQ(r.At(50, var::P), 1);
}

TEST_F(Batch, SolvesUpToTheRequestedPeriodAndSaves) {
    Model m = test::KeynesianModel();
    const std::string saved = (dir / "saved.TV5").string();
    const BatchRun r = Start(Save(m, "k.TV5") + " --to 40 --save " + saved);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.size(), 42u);
    ASSERT_TRUE(fs::exists(saved));
    Model back = test::StartModel();
    SilentHost host;
    ModelFile f(back, host, dir.string());
    ASSERT_TRUE(f.ReadModelFile(saved));
    EXPECT_EQ(back.ModelPar(40, par::CAut), 100);
}

TEST_F(Batch, AnUnreadableFileIsExitTwoWithNothingOnStandardOutput) {
    {
        std::ofstream text(dir / "text.TV5");
        text << "not a workbook";
    }
    const BatchRun r = Start((dir / "text.TV5").string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.back().rfind("message: ", 0), 0u);
    EXPECT_EQ(Start((dir / "missing.TV5").string()).exitCode, 2);
}

TEST_F(Batch, AnInexactStartEquilibriumIsExitOneWithTheCsv) {
    Model m = test::BondMarketModel();
    m.Options.MaxIterations = 12;
    m.Options.Accuracy = 1e-15;
    const BatchRun r = Start(Save(m, "slow.TV5"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.size(), 102u);
    bool asked = false;
    for (const auto& line : r.err)
        if (line.rfind("question: Was nun?: Die Ergebnisse", 0) == 0 && line.size() > 6 &&
            line.substr(line.size() - 6) == " -> no")
            asked = true;
    EXPECT_TRUE(asked);
    EXPECT_EQ(r.err.back(), "status: GG-Lösung ungenau");
    // Scripts read the German half of every bilingual text.
    bool noted = false;
    for (const auto& line : r.err) {
        EXPECT_EQ(line.find("##"), std::string::npos) << line;
        noted = noted || line.rfind("message: Hinweis: Der Lösungsvorgang für das "
                                    "Ausgangsgleichgewicht",
                                    0) == 0;
    }
    EXPECT_TRUE(noted);
}

TEST_F(Batch, AnOverflowingSolutionIsExitOneWithTheCsv) {
    // A file may hold values no input would admit: they load, solve and are reported.
    Model m = test::KeynesianModel();
    test::SetFrom(m, 3, {{par::GAut, 1e308}});
    const BatchRun r = Start(Save(m, "huge.TV5"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.size(), 102u);
    int said = 0;
    for (const auto& line : r.err)
        if (line.rfind("message: Lösung unbrauchbar: In t = 4 ist ", 0) == 0) ++said;
    EXPECT_EQ(said, 1);
    EXPECT_EQ(r.err.back(), "status: Lösungsabbruch nach t = 3");
}

TEST_F(Batch, TheIntervalFollowsTheFileAndQuestionsAreLogged) {
    Model m = test::KeynesianModel();
    for (int t = 61; t <= 100; ++t)
        m.SetModelPar(t, par::PExog, 0);
    const BatchRun r = Start(Save(m, "short.TV5"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.size(), 62u);
    ASSERT_FALSE(r.err.empty());
    EXPECT_NE(std::find(r.err.begin(), r.err.end(),
                        "question: Was nun?: Datenbasis der Modelldatei: [0,...,60] "
                        "Analyseintervall angleichen? -> yes"),
              r.err.end());
}

TEST_F(Batch, BadArgumentsAreRefused) {
    EXPECT_EQ(Start("--to").exitCode, 2);
    EXPECT_EQ(Start("--new x.TV5").exitCode, 2);
    const BatchRun r = Start("--to -3");
    EXPECT_EQ(r.exitCode, 2);
    // The usage names every exit status.
    std::string usage;
    for (const auto& line : r.err)
        usage += line + "\n";
    for (const char* status : {" 0 ", " 1 ", " 2 ", " 3 --save"})
        EXPECT_NE(usage.find(status), std::string::npos) << status;
}

// The model as the tool solves it: the program-start model first, then the file opened
// and solved through the model-changed step.
Model SolveInProcess(const std::string& file) {
    Model m;
    EXPECT_TRUE(test::OpenAsTheProgramDoes(m, file));
    return m;
}

#ifdef TERVALIS_DIAGRAMS
TEST_F(Batch, DiagramWritesTheCurvesOfTheSolvedModel) {
    Model m = test::BondMarketModel();
    test::SetFrom(m, 5, {{par::GAut, 260}});
    const std::string file = Save(m, "asad.TV5");
    Model solved = SolveInProcess(file);
    const BatchRun r = Start(file + " --diagram as-ad --period 12 --raster 10 --ref 2");
    ASSERT_EQ(r.exitCode, 0);
    const DiagramResult expected = ComputeDiagramNumbers(solved, "as-ad", {12, 2, 10});
    ASSERT_TRUE(expected.Ok);
    std::vector<std::string> lines;
    std::stringstream csv(DiagramCsv(expected.Numbers));
    for (std::string line; std::getline(csv, line);)
        lines.push_back(line);
    EXPECT_EQ(r.out, lines);
    EXPECT_EQ(std::count_if(r.out.begin(), r.out.end(),
                            [](const std::string& l) { return l.rfind("AD(12),", 0) == 0; }),
              11);
    // T: the right edge, L: the left edge.
    const BatchRun d = Start(file + " --diagram is-lm");
    ASSERT_EQ(d.exitCode, 0);
    EXPECT_EQ(d.out.at(0), "curve,k,x,y");
    std::stringstream isLm(DiagramCsv(ComputeDiagramNumbers(solved, "is-lm").Numbers));
    for (const std::string& line : d.out) {
        std::string expectedLine;
        std::getline(isLm, expectedLine);
        EXPECT_EQ(line, expectedLine);
    }
    const auto named = [&](const std::string& prefix) {
        return std::any_of(d.out.begin(), d.out.end(),
                           [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    EXPECT_TRUE(named("IS(0),") && named("IS(100),") && named("Pfad,100,"));
}

TEST_F(Batch, DiagramListAndBadDiagramArguments) {
    const BatchRun list = Start("--diagram list");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, DiagramNames());
    const struct {
        const char* args;
        const char* said;
    } bad[] = {
        {"--new --diagram is", "unknown diagram \"is\""},
        {"--new --diagram as-ad --period 101", "after the right edge 100"},
        {"--new --diagram as-ad --period 12 --ref 13", "reference period 13"},
        {"--new --diagram as-ad --raster 1", "--raster"},
        {"--new --diagram as-ad --raster x", "--raster"},
        {"--new --period 3", "belong to --diagram"},
    };
    for (const auto& b : bad) {
        const BatchRun r = Start(b.args);
        EXPECT_EQ(r.exitCode, 2) << b.args;
        EXPECT_TRUE(r.out.empty()) << b.args;
        std::string err;
        for (const std::string& line : r.err)
            err += line + "\n";
        EXPECT_NE(err.find(b.said), std::string::npos) << b.args << ": " << err;
    }
}
#endif

TEST_F(Batch, EveryValueReadsBackToTheSameDouble) {
    // Infinite government purchases: infinite income, infinite and not-a-number results.
    Model m = test::KeynesianModel();
    test::SetAll(m, {{par::tY, 0.25}, {par::mY, 0.1}, {par::ImAut, 5}});
    test::SetFrom(m, 20, {{par::GAut, INFINITY}, {par::CAut, 100.1}});
    const std::string file = Save(m, "inf.TV5");
    const BatchRun r = Start(file);
    ASSERT_EQ(r.out.size(), 102u);
    const Model expected = SolveInProcess(file);
    std::set<std::string> nonFinite;
    for (int t = 0; t <= 100; ++t) {
        std::stringstream row(r.out[static_cast<size_t>(t) + 1]);
        std::string cell;
        std::getline(row, cell, ',');
        ASSERT_EQ(cell, std::to_string(t));
        for (int n = 1; n <= 63; ++n) {
            ASSERT_TRUE(std::getline(row, cell, ','));
            double x = 0;
            const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), x);
            ASSERT_TRUE(ec == std::errc() && end == cell.data() + cell.size()) << cell;
            const double want = expected.GetVar(t, n);
            if (std::isnan(want))
                ASSERT_TRUE(std::isnan(x)) << t << "/" << n << ": " << cell;
            else
                ASSERT_EQ(x, want) << t << "/" << n << ": " << cell;
            if (!std::isfinite(x)) nonFinite.insert(cell);
        }
    }
    EXPECT_EQ(nonFinite, (std::set<std::string>{"inf", "-inf", "nan"}));
}

TEST_F(Batch, AFailedSaveIsExitThreeAndLeavesTheOldFile) {
    Model m = test::KeynesianModel();
    const std::string model = Save(m, "k.TV5");
    // A directory that does not exist.
    BatchRun r = Start(model + " --save " + (dir / "nowhere" / "m.TV5").string());
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out.size(), 102u); // the CSV is still written
    ASSERT_GE(r.err.size(), 2u);
    EXPECT_EQ(r.err[r.err.size() - 2], "message: Modell speichern: Die Modelldatei \"" +
                                           (dir / "nowhere" / "m.TV5").string() +
                                           "\" wurde nicht geschrieben: Das Verzeichnis "
                                           "existiert nicht.");
    EXPECT_EQ(r.err.back(), "status: Ok");

    // A directory without write permission, with an older model file in it. Root may write
    // anywhere: then the tool runs as the unprivileged user "nobody".
    std::string prefix;
    if (::geteuid() == 0) {
        if (!fs::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "running as root without setpriv: the read-only case needs a user "
                            "without write permission";
        prefix = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    const fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::copy_file(model, locked / "m.TV5");
    const auto before = fs::file_size(locked / "m.TV5");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    r = Start(model + " --to 50 --save " + (locked / "m.TV5").string(), prefix);
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out.size(), 52u);
    ASSERT_GE(r.err.size(), 2u);
    EXPECT_EQ(r.err[r.err.size() - 2], "message: Modell speichern: Die Modelldatei \"" +
                                           (locked / "m.TV5").string() +
                                           "\" wurde nicht geschrieben: Keine "
                                           "Schreibberechtigung.");
    EXPECT_EQ(fs::file_size(locked / "m.TV5"), before);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(locked))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"m.TV5"}); // no backup, no temporary file
}

TEST_F(Batch, AnIncompleteCsvIsExitThree) {
    const BatchRun r = Start("--new", "", "/dev/full");
    EXPECT_EQ(r.exitCode, 3);
    ASSERT_GE(r.err.size(), 2u);
    EXPECT_EQ(r.err[r.err.size() - 2],
              "message: Ausgabe: Die Ausgabe ist unvollständig: Der Datenträger ist voll.");
    EXPECT_EQ(r.err.back(), "status: Ok");
}

TEST_F(Batch, AReaderThatStopsEarlyIsNoFailure) {
    // Three megabytes into a pipe whose reader leaves after the first line.
    const fs::path err = dir / "err.txt", first = dir / "first.txt";
    const std::string cmd = "/bin/bash -c '" + std::string(BATCH_TOOL) + " --new --to 5000 2>" +
                            err.string() + " | head -1 >" + first.string() +
                            "; exit ${PIPESTATUS[0]}'";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Lines(first).at(0).substr(0, 6), "t,1,2,");
    for (const auto& line : Lines(err))
        EXPECT_NE(line.rfind("message: ", 0), 0u) << line;
}

} // namespace
} // namespace tv

namespace tv {
namespace {

class Examples : public Batch {};

TEST_F(Examples, EveryLoadsWithoutAMessageOrQuestion) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(EXAMPLES_DIR))) {
        if (entry.path().extension() != ".TV5") continue;
        ++count;
        const BatchRun r = Start(entry.path().string());
        EXPECT_EQ(r.err, std::vector<std::string>{"status: Ok"}) << entry.path();
    }
    EXPECT_EQ(count, 6);
}

TEST_F(Examples, EverySolvesToOkWithFiniteValues) {
    const fs::path examples = fs::path(EXAMPLES_DIR);
    int count = 0;
    for (const auto& entry : fs::directory_iterator(examples)) {
        if (entry.path().extension() != ".TV5") continue;
        ++count;
        const BatchRun r = Start(entry.path().string());
        EXPECT_EQ(r.exitCode, 0) << entry.path();
        ASSERT_EQ(r.out.size(), 102u) << entry.path();
        EXPECT_EQ(r.err.back(), "status: Ok") << entry.path();
        for (int t = 0; t <= 100; ++t)
            for (int n = 1; n <= 63; ++n)
                ASSERT_TRUE(std::isfinite(r.At(t, n))) << entry.path();
        // Positive unemployment before the shock.
        EXPECT_GT(r.At(0, var::u), 0) << entry.path();
    }
    EXPECT_EQ(count, 6);
}

TEST_F(Examples, TextbookSolutions) {
    const fs::path examples = fs::path(EXAMPLES_DIR);
    // Keynesian cross: Y = (C,aut + I,aut + G,aut) / (1 - c[Y]).
    const BatchRun cross = Start((examples / "01-keynesian-cross.TV5").string());
    EXPECT_NEAR(cross.At(0, var::Y), 300 / 0.2, 1500 * 1e-6);
    EXPECT_NEAR(cross.At(100, var::Y), 310 / 0.2, 1e-3);
    // IS: 0.35 Y = 450 - 14 i; LM: M = 100 - 20 i + 0.5 Y with M = 600, then 660.
    const BatchRun islm = Start((examples / "02-closed-is-lm.TV5").string());
    for (auto [t, money] : {std::pair{0, 600.0}, std::pair{100, 660.0}}) {
        const double i = (450 - 0.35 * 2 * (money - 100)) / (14 + 0.35 * 40);
        EXPECT_NEAR(islm.At(t, var::i), i, 1e-4) << t;
        EXPECT_NEAR(islm.At(t, var::Y), 2 * (money - 100) + 40 * i, 1e-3) << t;
    }
}

} // namespace
} // namespace tv

namespace tv {
namespace {

TEST_F(Batch, AGrowingRightEdgeContinuesTheLastPeriodsData) {
    Model m = test::KeynesianModel();
    test::SetFrom(m, 90, {{par::GAut, 120}});
    const BatchRun r = Start(Save(m, "k.TV5") + " --to 150");
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.out.size(), 152u);
    // G = 120 continues after period 100: income heads for 320 / 0.2.
    EXPECT_NEAR(r.At(150, var::Y), 1600, 0.01);
    EXPECT_NE(std::find(r.err.begin(), r.err.end(),
                        "question: Was nun?: Daten des bisherigen rechten Analyserands "
                        "fortschreiben? -> yes"),
              r.err.end());
    // Shrinking the interval needs no question.
    const BatchRun shorter = Start((dir / "k.TV5").string() + " --to 20");
    EXPECT_EQ(shorter.out.size(), 22u);
    EXPECT_EQ(shorter.err.back(), "status: Ok");
}

} // namespace
} // namespace tv

// ------------------------------------------------------------------ baseline and scenario

namespace tv {
namespace {

// Every cell of a solution CSV after the period column; "nan" reads as NaN.
std::vector<std::vector<double>> Cells(const BatchRun& r) {
    std::vector<std::vector<double>> rows;
    for (size_t i = 1; i < r.out.size(); ++i) {
        std::stringstream line(r.out[i]);
        std::vector<double> row;
        std::string cell;
        std::getline(line, cell, ','); // t
        while (std::getline(line, cell, ','))
            row.push_back(std::stod(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

bool SameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

TEST_F(Batch, BaselineGivesTheDifferenceOfTwoRuns) {
    Model base = test::ClosedISLMModel();
    Model shocked = base;
    test::SetFrom(shocked, 5, {{par::MNAut, 660}});
    const std::string baseFile = Save(base, "base.TV5"), scenarioFile = Save(shocked, "m.TV5");
    // --to applies to both runs.
    const BatchRun a = Start(scenarioFile + " --to 30");
    const BatchRun b = Start(baseFile + " --to 30");
    const BatchRun d = Start(scenarioFile + " --to 30 --baseline " + baseFile);
    ASSERT_EQ(a.exitCode, 0);
    ASSERT_EQ(b.exitCode, 0);
    ASSERT_EQ(d.exitCode, 0);
    EXPECT_EQ(d.out.at(0), a.out.at(0)); // the same header
    ASSERT_EQ(d.out.size(), 32u);
    const auto sa = Cells(a), sb = Cells(b), sd = Cells(d);
    int changed = 0;
    for (size_t t = 0; t < sd.size(); ++t) {
        EXPECT_EQ(d.out[t + 1].substr(0, d.out[t + 1].find(',')), std::to_string(t));
        ASSERT_EQ(sd[t].size(), 63u);
        for (size_t n = 0; n < 63; ++n) {
            EXPECT_TRUE(SameDouble(sd[t][n], sa[t][n] - sb[t][n])) << "t " << t << " n " << n + 1;
            changed += sd[t][n] != 0;
        }
    }
    EXPECT_GT(changed, 0);         // the shock shows
    EXPECT_EQ(d.At(4, var::M), 0); // not before it
    EXPECT_GT(d.At(5, var::M), 0); // the money supply is higher from period 5
    EXPECT_EQ(d.err.back(), "status: Ok");
    EXPECT_NE(std::find(d.err.begin(), d.err.end(), "baseline status: Ok"), d.err.end());
}

TEST_F(Batch, AnUnreadableBaselineIsExitTwoWithNothingOnStandardOutput) {
    const std::string scenario = Save(test::ClosedISLMModel(), "m.TV5");
    std::ofstream(dir / "bad.TV5") << "no workbook";
    for (const std::string& base : {(dir / "bad.TV5").string(), (dir / "none.TV5").string()}) {
        const BatchRun r = Start(scenario + " --baseline " + base);
        EXPECT_EQ(r.exitCode, 2) << base;
        EXPECT_TRUE(r.out.empty()) << base;
        EXPECT_TRUE(std::any_of(r.err.begin(), r.err.end(), [](const std::string& l) {
            return l.rfind("baseline message: ", 0) == 0;
        })) << base;
    }
    EXPECT_EQ(Start(scenario + " --baseline").exitCode, 2);
}

#ifdef TERVALIS_DIAGRAMS
TEST_F(Batch, DiagramWithABaselineAddsItsCurves) {
    Model base = test::ClosedISLMModel();
    Model shocked = base;
    test::SetFrom(shocked, 5, {{par::MNAut, 660}});
    const std::string baseFile = Save(base, "base.TV5"), scenarioFile = Save(shocked, "m.TV5");
    Model solved = SolveInProcess(scenarioFile);
    Model frozenModel = SolveInProcess(baseFile);
    const Baseline frozen(frozenModel);
    DiagramRequest request{12, 0, 10};
    request.BaselineRun = &frozen;
    for (const char* name : {"is-lm", "as-ad"}) {
        const BatchRun r = Start(scenarioFile + " --diagram " + name +
                                 " --period 12 --ref 0 --raster 10 " + "--baseline " + baseFile);
        ASSERT_EQ(r.exitCode, 0) << name;
        std::vector<std::string> lines;
        std::stringstream csv(DiagramCsv(ComputeDiagramNumbers(solved, name, request).Numbers));
        for (std::string line; std::getline(csv, line);)
            lines.push_back(line);
        EXPECT_EQ(r.out, lines) << name;
        const std::string first = std::string(name) == "is-lm" ? "LM(12) Basis," : "AD(12) Basis,";
        EXPECT_TRUE(std::any_of(r.out.begin(), r.out.end(), [&](const std::string& l) {
            return l.rfind(first, 0) == 0;
        })) << name;
    }
}
#endif

} // namespace
} // namespace tv
