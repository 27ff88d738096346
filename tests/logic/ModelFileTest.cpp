#include "logic/ModelFile.h"
#include "FileSizeLimit.h"
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

// Lets a test fail the flush to disk or the closing, as a disk filling up only then would.
static int failingSyncErrno = 0, failingCloseErrno = 0;
extern "C" int fsync(int fd) {
    if (failingSyncErrno == 0) return static_cast<int>(::syscall(SYS_fsync, fd));
    errno = failingSyncErrno;
    return -1;
}
// Lets a test take each write only in part, as some file systems do.
static size_t writeChunk = 0;
extern "C" ssize_t write(int fd, const void* buffer, size_t n) {
    if (writeChunk != 0) n = std::min(n, writeChunk);
    return static_cast<ssize_t>(::syscall(SYS_write, fd, buffer, n));
}
extern "C" int close(int fd) {
    const int result = static_cast<int>(::syscall(SYS_close, fd));
    if (failingCloseErrno == 0) return result;
    errno = failingCloseErrno;
    return -1;
}

namespace tv {
namespace {

namespace fs = std::filesystem;
using test::RecordingHost;

class ModelFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tervalis-mf-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

// A model with something in every part of the file.
Model RichModel() {
    Model m = test::BondMarketModel();
    for (int k = 1; k <= 23; ++k)
        m.Switch[k] = static_cast<uint8_t>(k * 11);
    m.Switch[22] = 3;
    m.Switch[23] = 2;
    m.Options.Accuracy = 0.000123;
    m.Options.MaxIterations = 4321;
    for (int k = 0; k < 8; ++k) {
        m.Expect[k].Method = static_cast<uint8_t>(k % 5 + 1);
        m.Expect[k].Lags = static_cast<uint8_t>(k % 4 + 1);
        m.Expect[k].Weight = static_cast<uint8_t>(10 * k + 5);
    }
    m.Expect[2].OwnSettings = 1; // those of 1 are stored with their flag off as well
    for (int t = -1; t <= 100; ++t)
        for (int n = 1; n <= 64; ++n)
            if (n != par::PExog) m.SetModelPar(t, n, t * 100 + n + 0.125);
    return m;
}

TEST_F(ModelFileTest, RoundTripKeepsEveryHeaderCellAndPeriodRow) {
    RecordingHost host;
    Model a = RichModel();
    ModelFile fa(a, host, dir.string());
    fa.WriteModelFile(Path("rich.TV5"));

    Model b = test::StartModel();
    b.Options.SolveAfterInput = 0;
    ModelFile fb(b, host, dir.string());
    ASSERT_TRUE(fb.ReadModelFile(Path("rich.TV5")));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(b.Switch, a.Switch);
    EXPECT_EQ(b.Options.Accuracy, a.Options.Accuracy);
    EXPECT_EQ(b.Options.MaxIterations, 4321);
    EXPECT_EQ(b.Options.SolveAfterInput, 0); // never read
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(b.Expect[k].Method, a.Expect[k].Method) << k;
        EXPECT_EQ(b.Expect[k].Lags, a.Expect[k].Lags) << k;
        EXPECT_EQ(b.Expect[k].Weight, a.Expect[k].Weight) << k;
    }
    EXPECT_EQ(b.Expect[1].OwnSettings, 0);
    EXPECT_EQ(b.Expect[2].OwnSettings, 1);
    for (int t = -1; t <= 100; ++t)
        for (int n = 1; n <= 64; ++n)
            ASSERT_EQ(b.ModelPar(t, n), a.ModelPar(t, n)) << t << "/" << n;
    EXPECT_EQ(fb.LastFilePeriod(), 100);
}

// Without solving after input, an opened model shows no solution of the one before.
TEST_F(ModelFileTest, AnOpenedModelIsUnsolved) {
    RecordingHost host;
    Model a = test::StartModel();
    ModelFile(a, host, dir.string()).WriteModelFile(Path("s.TV5"));
    Model b = test::StartModel();
    b.Options.SolveAfterInput = 0;
    b.Periods.LastSolved = b.Periods.MaxSolved = 20;
    ModelFile fb(b, host, dir.string());
    ASSERT_TRUE(fb.OpenModel(Path("s.TV5")));
    EXPECT_EQ(b.Periods.LastSolved, -1);
    EXPECT_EQ(b.Periods.MaxSolved, -1);
}

TEST_F(ModelFileTest, CellLayoutSeenByTheReader) {
    RecordingHost host;
    Model m = test::KeynesianModel();
    ModelFile f(m, host, dir.string());
    f.WriteModelFile(Path("k.TV5"));
    XlsReader r;
    r.FileName = Path("k.TV5");
    int cells = 0, maxRow = 0;
    std::string sheet;
    r.OnSheet = [&sheet](std::string_view name, int, bool& readIt) {
        sheet = name;
        readIt = true;
    };
    r.OnNumberCell = [&](int col, int row, int xf, double v, bool) {
        ++cells;
        maxRow = std::max(maxRow, row);
        EXPECT_EQ(xf, 15);
        if (row == 9 && col == 0) {
            EXPECT_EQ(v, 100); // C,aut of period 0
        } else if (row == 0 && col == 12) {
            EXPECT_EQ(v, 10); // switch 13
        } else if (row == 0 && col == 105) {
            EXPECT_EQ(v, 2); // demand: extrapolative
        }
    };
    r.Read();
    EXPECT_EQ(sheet, "TERVALIS");
    EXPECT_EQ(maxRow, 109); // periods -1..100 in rows 8..109
    EXPECT_EQ(cells, 23 + 3 + 6 * 3 + 2 * 4 + 102 * 64);
}

TEST_F(ModelFileTest, UndefinedPeriodMinusOneWritesOnlyTheHeader) {
    RecordingHost host;
    Model m = test::StartModel();
    m.SetModelPar(-1, par::PExog, 0);
    ModelFile f(m, host, dir.string());
    f.WriteModelFile(Path("h.TV5"));
    Model b = test::StartModel();
    int archived = 0; // a revolving analysis falls back to archiving when the interval changes
    ModelFileHooks hooks;
    hooks.isRevolving = [] { return true; };
    hooks.setArchiving = [&] { ++archived; };
    ModelFile fb(b, host, dir.string(), hooks);
    ASSERT_TRUE(fb.ReadModelFile(Path("h.TV5")));
    EXPECT_EQ(fb.LastFilePeriod(), 0);
    b.Periods.LeftEdge = 5;
    b.Periods.RightEdge = 60;
    b.Periods.CurrentPeriod = 7;
    ASSERT_TRUE(fb.OpenModel(Path("h.TV5"))); // adjust the interval: an interval has two periods
    EXPECT_EQ(b.Periods.LeftEdge, 0);
    EXPECT_EQ(b.Periods.RightEdge, 1);
    EXPECT_EQ(b.Periods.CurrentPeriod, 1);
    EXPECT_EQ(b.Periods.PrevLeftEdge, 5); // the edges before the adjustment stay selectable
    EXPECT_EQ(b.Periods.PrevRightEdge, 60);
    EXPECT_EQ(archived, 1);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(ModelFileTest, LastFilePeriodIsTheLastRowWithAPriceLevel) {
    RecordingHost host;
    Model m = test::StartModel();
    m.SetModelPar(30, par::PExog, 0); // a hole does not end the file when read
    XlsWriter w;
    w.FileName = Path("hole.TV5");
    w.Sheets = {"TERVALIS"};
    w.OpenFile();
    for (int t = -1; t <= 60; ++t)
        for (int n = 1; n <= 64; ++n)
            if (t != 12 || n != 1) w.WriteNumber(n - 1, t + 9, t == 30 && n == 31 ? 0 : n + t);
    w.WriteNumber(64, 20, 5);                 // right of the parameters, before a missing cell
    w.WriteNumber(5, 4, 5);                   // in the header rows
    w.WriteNumber(6, 7, 5);                   // the row before period -1
    w.WriteString(30, 80, "77");              // text
    w.WriteNumber(30, 9 + LastPeriod + 1, 1); // after the last period a model holds
    w.CloseFile();
    Model b = test::StartModel();
    const Model before = b;
    ModelFile fb(b, host, dir.string());
    ASSERT_TRUE(fb.ReadModelFile(Path("hole.TV5")));
    EXPECT_EQ(fb.LastFilePeriod(), 60);
    EXPECT_EQ(b.ModelPar(45, 7), 7 + 45);
    EXPECT_EQ(b.ModelPar(11, 64), 64 + 11);
    EXPECT_EQ(b.ModelPar(12, 1), before.ModelPar(12, 1));
    EXPECT_EQ(b.ModelPar(71, 31), 0); // after the last period: cleared, the text not taken
    for (int k = 1; k <= 21; ++k)
        EXPECT_EQ(b.Switch[k], 0); // header cells absent
    EXPECT_EQ(b.Switch[22], 1);    // period lengths of 0 are raised to 1
    EXPECT_EQ(b.Switch[23], 1);
}

TEST_F(ModelFileTest, LegacyFilesTakeWageAndProfitSettingsFromIncome) {
    const std::string legacy = Path("legacy.TV5");
    const std::string cmd = "/usr/bin/python3 " + std::string(TEST_SOURCE_DIR) +
                            "/write_model_xlwt.py " + legacy + " legacy";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    RecordingHost host;
    Model m = test::StartModel();
    m.Expect[1].OwnSettings = 1;
    ModelFile f(m, host, dir.string());
    ASSERT_TRUE(f.ReadModelFile(legacy));
    for (int k : {1, 2}) {
        EXPECT_EQ(m.Expect[k].Method, 1);
        EXPECT_EQ(m.Expect[k].Lags, 1);
        EXPECT_EQ(m.Expect[k].Weight, 100);
        EXPECT_EQ(m.Expect[k].OwnSettings, 0);
    }
}

TEST_F(ModelFileTest, FilesWrittenByAnotherProgramLoadAndSolve) {
    const std::string file = Path("other.TV5");
    const std::string cmd =
        "/usr/bin/python3 " + std::string(TEST_SOURCE_DIR) + "/write_model_xlwt.py " + file;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    RecordingHost host;
    Model m = test::StartModel();
    ModelFile f(m, host, dir.string());
    ASSERT_TRUE(f.OpenModel(file));
    EXPECT_EQ(f.LastFilePeriod(), 40);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], "Was nun?##Please decide: Datenbasis der Modelldatei:\r\n"
                                 "[0,...,40]\r\nAnalyseintervall angleichen?");
    EXPECT_EQ(m.Periods.RightEdge, 40);
    EXPECT_TRUE(host.messages.empty()); // nothing to reset: the form is archiving
    EXPECT_EQ(m.Switch[1], 0);          // boolean cells
    EXPECT_EQ(m.Switch[9], 1);
    EXPECT_EQ(m.Switch[17], 1);
    EXPECT_EQ(m.Switch[23], 2);
    EXPECT_EQ(m.Options.MaxIterations, 700);
    EXPECT_EQ(m.Expect[3].Method, 3);
    EXPECT_EQ(m.Expect[3].Weight, 50);
    EXPECT_EQ(m.Expect[2].Weight, 40);
    EXPECT_EQ(m.Expect[2].OwnSettings, 1);
    EXPECT_EQ(m.ModelPar(20, par::GAut), 220);
    EXPECT_EQ(m.ModelPar(0, par::lY), 0.5);
    EXPECT_EQ(m.ModelPar(3, 4), 0); // the header-row number and the text changed nothing
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_EQ(f.ModelFileName(), file);
    EXPECT_EQ(f.RulesFileName(), Path("other.NFX"));
    EXPECT_FALSE(f.ModelModified);
}

TEST_F(ModelFileTest, DecliningToAdjustKeepsTheIntervalAndFillsItWithDefaults) {
    RecordingHost host;
    Model a = test::KeynesianModel();
    a.Periods.RightEdge = 100;
    for (int t = 31; t <= 100; ++t)
        a.SetModelPar(t, par::PExog, 0);
    ModelFile fa(a, host, dir.string());
    fa.WriteModelFile(Path("short.TV5"));

    Model b = test::StartModel();
    for (int t = -1; t <= 100; ++t)
        b.SetModelPar(t, par::CAut, 55);
    for (int t = 61; t <= 100; ++t)
        b.SetModelPar(t, par::PExog, 0);
    RecordingHost answersNo;
    answersNo.answers = {false};
    ModelFile fb(b, answersNo, dir.string());
    ASSERT_TRUE(fb.OpenModel(Path("short.TV5")));
    EXPECT_EQ(fb.LastFilePeriod(), 30);
    EXPECT_EQ(b.Periods.RightEdge, 100);
    EXPECT_EQ(b.ModelPar(30, par::CAut), 100);
    EXPECT_EQ(b.ModelPar(29, par::CAut), 100);
    // After the file's last period nothing of the previous model stays: defaults.
    EXPECT_EQ(b.ModelPar(31, par::CAut), 0);
    EXPECT_EQ(b.ModelPar(31, par::PExog), 1);
    EXPECT_EQ(b.ModelPar(61, par::CAut), 0);
    EXPECT_EQ(b.ModelPar(61, par::PExog), 1);
    EXPECT_EQ(answersNo.Status(), "Ok");
}

TEST_F(ModelFileTest, MatchingIntervalAsksNothing) {
    RecordingHost host;
    Model a = test::KeynesianModel();
    ModelFile fa(a, host, dir.string());
    fa.WriteModelFile(Path("k.TV5"));
    Model b = test::StartModel();
    ModelFile fb(b, host, dir.string());
    ASSERT_TRUE(fb.OpenModel(Path("k.TV5")));
    EXPECT_TRUE(host.questions.empty());
    EXPECT_NEAR(b.GetVar(50, var::Y), 1500, 1e-3);
}

TEST_F(ModelFileTest, AFileThatCannotBeReadChangesNothing) {
    RecordingHost host;
    Model good = RichModel();
    ModelFile fg(good, host, dir.string());
    fg.WriteModelFile(Path("rich.TV5"));
    // Cut the file in the middle of the period rows.
    const auto size = fs::file_size(Path("rich.TV5"));
    fs::copy_file(Path("rich.TV5"), Path("cut.TV5"));
    fs::resize_file(Path("cut.TV5"), size / 2);
    {
        std::ofstream text(Path("text.TV5"));
        text << "this is not a workbook\n";
    }
    for (const char* name : {"cut.TV5", "text.TV5", "missing.TV5"}) {
        Model m = test::KeynesianModel();
        const Model before = m;
        RecordingHost h;
        ModelFile f(m, h, dir.string());
        EXPECT_FALSE(f.OpenModel(Path(name))) << name;
        ASSERT_EQ(h.messages.size(), 1u) << name;
        EXPECT_EQ(h.messages[0].rfind("Modelldatei laden##Open model: \"" + Path(name) + "\": ", 0),
                  0u)
            << h.messages[0];
        EXPECT_EQ(m.Switch, before.Switch);
        EXPECT_EQ(m.Options.MaxIterations, before.Options.MaxIterations);
        for (int t = -1; t <= 100; ++t)
            for (int n = 1; n <= 64; ++n)
                ASSERT_EQ(m.ModelPar(t, n), before.ModelPar(t, n));
        EXPECT_EQ(f.ModelFileName(), Path("NEU.TV5"));
        EXPECT_EQ(h.busyDepth, 0) << name;
    }
}

TEST_F(ModelFileTest, SaveKeepsTheBackupAndTheNewFile) {
    RecordingHost host;
    Model m = test::KeynesianModel();
    ModelFile f(m, host, dir.string());
    // No model file yet: no backup.
    ASSERT_TRUE(f.Save());
    EXPECT_TRUE(fs::exists(Path("NEU.TV5")));
    EXPECT_FALSE(fs::exists(Path("NEU.ST5")));
    const auto first = fs::file_size(Path("NEU.TV5"));
    test::SetAll(m, {{par::CAut, 123}});
    f.ModelModified = true;
    ASSERT_TRUE(f.Save());
    EXPECT_FALSE(f.ModelModified);
    EXPECT_TRUE(fs::exists(Path("NEU.ST5")));
    EXPECT_EQ(fs::file_size(Path("NEU.ST5")), first);
    Model back = test::StartModel();
    ModelFile fb(back, host, dir.string());
    ASSERT_TRUE(fb.ReadModelFile(Path("NEU.TV5")));
    EXPECT_EQ(back.ModelPar(5, par::CAut), 123);
    ASSERT_TRUE(fb.ReadModelFile(Path("NEU.ST5")));
    EXPECT_EQ(back.ModelPar(5, par::CAut), 100);
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    // Writes taken in pieces give the same file.
    const auto whole = fs::file_size(Path("NEU.TV5"));
    writeChunk = 1000;
    f.ModelModified = true;
    const bool saved = f.Save();
    writeChunk = 0;
    ASSERT_TRUE(saved);
    EXPECT_EQ(fs::file_size(Path("NEU.TV5")), whole);
}

TEST_F(ModelFileTest, AFailingSaveLeavesThePreviousFileIntact) {
    RecordingHost host;
    Model m = test::KeynesianModel();
    ModelFile f(m, host, dir.string());
    ASSERT_TRUE(f.Save());
    const auto before = fs::file_size(Path("NEU.TV5"));
    // The temporary file's place is taken by a directory: the write fails.
    fs::create_directories(Path("NEU.TV5.tmp") + "/blocker");
    test::SetAll(m, {{par::CAut, 999}});
    f.ModelModified = true;
    EXPECT_FALSE(f.Save());
    EXPECT_TRUE(f.ModelModified);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(fs::file_size(Path("NEU.TV5")), before);
    Model back = test::StartModel();
    ModelFile fb(back, host, dir.string());
    ASSERT_TRUE(fb.ReadModelFile(Path("NEU.TV5")));
    EXPECT_EQ(back.ModelPar(5, par::CAut), 100);

    // A disk filling up part way: the reason is told and the partial file removed.
    fs::remove_all(Path("NEU.TV5.tmp"));
    const bool saved = test::WithFileSizeLimit(512, [&] { return f.Save(); });
    EXPECT_FALSE(saved);
    EXPECT_FALSE(fs::exists(Path("NEU.TV5.tmp")));
    EXPECT_EQ(host.messages.back(), "Modell speichern##Save model: " +
                                        ModelFile::WriteFailureText(Path("NEU.TV5"), EFBIG));

    // The disk turns out full only when the file is flushed or closed; a file system that
    // cannot flush is no failure.
    for (auto [sync, close] : {std::pair{ENOSPC, 0}, std::pair{0, EIO}, std::pair{EINVAL, 0}}) {
        failingSyncErrno = sync;
        failingCloseErrno = close;
        host.messages.clear();
        EXPECT_EQ(f.Save(), sync == EINVAL);
        failingSyncErrno = failingCloseErrno = 0;
        EXPECT_FALSE(fs::exists(Path("NEU.TV5.tmp")));
        if (sync == EINVAL) continue;
        EXPECT_EQ(host.messages.back(),
                  "Modell speichern##Save model: " +
                      ModelFile::WriteFailureText(Path("NEU.TV5"), sync + close));
    }

    // The backup cannot be written: refused, and the new file does not stay behind.
    fs::remove(Path("NEU.ST5"));
    fs::create_directories(Path("NEU.ST5") + "/blocker");
    EXPECT_FALSE(f.Save());
    EXPECT_EQ(host.messages.back().rfind("Dateifehler##File error", 0), 0u);
    EXPECT_FALSE(fs::exists(Path("NEU.TV5.tmp")));
    fs::remove_all(Path("NEU.ST5"));

    // Save as into a directory that does not exist: refused, the name stays.
    EXPECT_FALSE(f.SaveAs(Path("nowhere/x.TV5")));
    EXPECT_EQ(f.ModelFileName(), Path("NEU.TV5"));
    EXPECT_EQ(host.messages.back(), "Modell speichern##Save model: " +
                                        ModelFile::WriteFailureText(Path("nowhere/x.TV5"), ENOENT));
    EXPECT_EQ(host.busyDepth, 0);
}

TEST_F(ModelFileTest, SaveAsChecksTheExtension) {
    RecordingHost host;
    Model m = test::KeynesianModel();
    ModelFile f(m, host, dir.string());
    EXPECT_FALSE(f.SaveAs(Path("model.xls")));
    EXPECT_EQ(host.sounds.back(), "SoNicht.wav");
    EXPECT_EQ(host.messages.back().rfind("So nicht!##Not possible!: Die von Ihnen verwendete "
                                         "Dateiendung",
                                         0),
              0u);
    EXPECT_FALSE(fs::exists(Path("model.xls")));
    EXPECT_TRUE(f.SaveAs(Path("model.tv5"))); // extensions compare without regard to case
    EXPECT_EQ(f.ModelFileName(), Path("model.tv5"));
}

TEST_F(ModelFileTest, NewModelResetsEverything) {
    RecordingHost host;
    Model m = RichModel();
    m.Periods.RightEdge = 300;
    m.Periods.LeftEdge = 20;
    for (Expectation& e : m.Expect) {
        e.PerWagePeriod = e.OwnSettings = e.RuleBased = 1;
        e.TargetVariable = e.SourceVariable = e.InitFrom = e.InitTo = 50;
        e.Antecedents = {1};
    }
    std::string steps; // the previous model is let go first, then the windows follow
    ModelFileHooks hooks;
    hooks.modelReplaced = [&] { steps += "replaced "; };
    hooks.periodChanged = [&] { steps += "period "; };
    hooks.fileNameChanged = [&] { steps += "name "; };
    hooks.isRevolving = [] { return true; };
    hooks.setArchiving = [&] { steps += "archiving "; };
    ModelFile f(m, host, dir.string(), hooks);
    f.ModelModified = true;
    f.NewModel();
    EXPECT_EQ(steps, "archiving replaced period name ");
    EXPECT_EQ(host.messages.size(), 1u);
    const Expectations start = StartExpectations();
    for (int k = 0; k < ExpectationCount; ++k) {
        const Expectation& e = m.Expect[k];
        EXPECT_EQ(std::tuple(+e.Lags, +e.Weight, +e.PerWagePeriod, +e.OwnSettings, +e.RuleBased,
                             e.TargetVariable, e.SourceVariable, e.Antecedents.size(), e.InitFrom,
                             e.InitTo),
                  std::tuple(1, 100, +start[k].PerWagePeriod, 0, 0, start[k].TargetVariable,
                             start[k].SourceVariable, size_t{0}, 1, 100))
            << k;
    }
    EXPECT_EQ(m.Switch, StartSwitches());
    EXPECT_EQ(m.Periods.LeftEdge, 0);
    EXPECT_EQ(m.Periods.RightEdge, 100);
    EXPECT_EQ(m.Periods.CurrentPeriod, 0);
    EXPECT_EQ(m.ModelPar(50, par::CAut), 0);
    EXPECT_EQ(m.ModelPar(100, par::a), 1);
    EXPECT_EQ(m.ModelPar(101, par::a), 0);
    EXPECT_EQ(m.ModelPar(250, par::PExog), 0);
    EXPECT_EQ(m.Options.MaxIterations, 4321); // solution options stay
    EXPECT_EQ(m.Expect[3].Method, 2);
    EXPECT_EQ(m.Expect[0].Method, 1);
    EXPECT_FALSE(f.ModelModified);
    EXPECT_EQ(host.Status(), "Ok");
}

TEST_F(ModelFileTest, LastChanceQuestion) {
    RecordingHost host;
    Model m = test::StartModel();
    m.Language = 2;
    ModelFile f(m, host, dir.string());
    host.answers = {false};
    EXPECT_FALSE(f.AskLastChance());
    EXPECT_EQ(host.sounds.back(), "WasNun.wav");
    EXPECT_EQ(host.questions.back(), "Sicherheitsabfrage##Safety alert: Current data have not "
                                     "yet been saved.\r\nSave now (last chance)?");
}

TEST_F(ModelFileTest, ASavedModelCarriesNoPeriodsOfTheModelLoadedBefore) {
    RecordingHost host;
    Model shortModel = test::KeynesianModel();
    for (int t = 41; t <= 100; ++t)
        shortModel.SetModelPar(t, par::PExog, 0);
    ModelFile fs(shortModel, host, dir.string());
    fs.WriteModelFile(Path("forty.TV5"));

    Model m = test::ClosedISLMModel(); // 100 periods
    ModelFile f(m, host, dir.string());
    ASSERT_TRUE(f.OpenModel(Path("forty.TV5"))); // adjust the interval: yes
    EXPECT_EQ(m.Periods.RightEdge, 40);
    for (int t = 41; t <= 100; ++t)
        for (int n = 1; n <= ParCount; ++n)
            ASSERT_EQ(m.ModelPar(t, n), 0) << t << " " << n;
    ASSERT_TRUE(f.SaveAs(Path("saved.TV5")));

    Model back = test::StartModel();
    RecordingHost quiet;
    ModelFile fb(back, quiet, dir.string());
    ASSERT_TRUE(fb.OpenModel(Path("saved.TV5")));
    EXPECT_EQ(fb.LastFilePeriod(), 40);
    EXPECT_EQ(back.Periods.RightEdge, 40);
}

// A model file whose structural values are out of range, written as another program might.
void WriteHeader(const std::string& path, std::initializer_list<std::pair<int, double>> cells) {
    const Model start = test::KeynesianModel();
    std::map<int, double> header{{99, 0.00001}, {100, 500}};
    for (int k = 1; k <= 23; ++k)
        header[k - 1] = start.Switch[k];
    for (int col = 102; col <= 125; col += 3) {
        header[col] = 2;
        header[col + 1] = 1;
        header[col + 2] = 100;
    }
    for (auto [col, value] : cells)
        header[col] = value;
    XlsWriter w;
    w.FileName = path;
    w.Sheets = {"TERVALIS"};
    w.OpenFile();
    for (auto [col, value] : header)
        w.WriteNumber(col, 0, value);
    for (int t = -1; t <= 100; ++t)
        for (int n = 1; n <= 64; ++n)
            w.WriteNumber(n - 1, t + 9, start.ModelPar(t, n));
    w.CloseFile();
}

TEST_F(ModelFileTest, PeriodLengthsAndLagsOutOfRangeAreReplacedWithOneNote) {
    struct Case {
        const char* name;
        std::initializer_list<std::pair<int, double>> cells;
        int tzr, mzzr, demandLags, inflationLags;
        std::vector<std::string> listed; // German lines of the note
        const char* lastEnglish = "";
    };
    const Case cases[] = {
        {"valid", {{22, 15}, {21, 15}, {106, 5}}, 15, 15, 5, 1, {}},
        {"zero",
         {{22, 0}, {21, 0}, {106, 0}},
         1,
         1,
         1,
         1,
         {"Tarifzeitraumlänge: 0 -> 1", "Monetäre Zielzeitraumlänge: 0 -> 1",
          "Nachfrageerwartung der Güteranbieter, Zahl der Lags: 0 -> 1"},
         "\r\nSupplier's Demand Expectation, number of lags: 0 -> 1"},
        {"large",
         {{22, 200}, {21, 16}, {112, 6}},
         15,
         15,
         1,
         5,
         {"Tarifzeitraumlänge: 200 -> 15", "Monetäre Zielzeitraumlänge: 16 -> 15",
          "Inflationserwartung, Zahl der Lags: 6 -> 5"},
         "\r\nExpected Inflation Rate, number of lags: 6 -> 5"},
    };
    for (const Case& c : cases) {
        const std::string path = Path(std::string(c.name) + ".TV5");
        WriteHeader(path, c.cells);
        Model m = test::StartModel();
        RecordingHost host;
        ModelFile f(m, host, dir.string());
        ASSERT_TRUE(f.OpenModel(path)) << c.name;
        EXPECT_EQ(m.Switch[23], c.tzr) << c.name;
        EXPECT_EQ(m.Switch[22], c.mzzr) << c.name;
        EXPECT_EQ(m.Expect[3].Lags, c.demandLags) << c.name;
        EXPECT_EQ(m.Expect[5].Lags, c.inflationLags) << c.name;
        if (c.listed.empty()) {
            EXPECT_TRUE(host.messages.empty()) << c.name;
        } else {
            ASSERT_EQ(host.messages.size(), 1u) << c.name;
            const std::string& note = host.messages[0];
            std::string german = "Hinweis##Note: Werte der Modelldatei außerhalb ihres "
                                 "zulässigen Bereichs wurden ersetzt:";
            for (const std::string& line : c.listed)
                german += "\r\n" + line;
            EXPECT_EQ(note.substr(0, note.find("##Values")), german) << c.name;
            EXPECT_NE(note.find("##Values of the model file outside their admissible range were "
                                "replaced:\r\nLength of Wage Period: "),
                      std::string::npos)
                << c.name;
            EXPECT_TRUE(note.ends_with(c.lastEnglish)) << c.name;
        }
        // The model solves to numbers.
        EXPECT_EQ(host.Status(), "Ok") << c.name;
        EXPECT_TRUE(std::isfinite(m.GetVar(100, var::Y))) << c.name;
    }
    // Whole numbers up to 9e15 keep their low bits; beyond, they read as 0.
    for (auto [cell, iterations] : {std::pair{9.0e15, 0x8000}, {9.1e15, 0}}) {
        WriteHeader(Path("huge.TV5"), {{100, cell}});
        Model m = test::StartModel();
        RecordingHost host;
        ModelFile f(m, host, dir.string());
        ASSERT_TRUE(f.OpenModel(Path("huge.TV5")));
        EXPECT_EQ(m.Options.MaxIterations, iterations) << cell;
    }
}

TEST_F(ModelFileTest, TheFileKeepsItsOwnExtensionCase) {
    RecordingHost host;
    Model m = test::KeynesianModel();
    ModelFile f(m, host, dir.string());
    ASSERT_TRUE(f.SaveAs(Path("model.tv5")));
    ASSERT_TRUE(f.OpenModel(Path("model.tv5")));
    EXPECT_EQ(f.ModelFileName(), Path("model.tv5"));
    test::SetAll(m, {{par::CAut, 120}});
    ASSERT_TRUE(f.Save());
    // One model file, its backup beside it in the same case.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"model.st5", "model.tv5"}));
    Model back = test::StartModel();
    ModelFile fb(back, host, dir.string());
    ASSERT_TRUE(fb.ReadModelFile(Path("model.tv5")));
    EXPECT_EQ(back.ModelPar(5, par::CAut), 120);

    // Loaded from a backup, the model saves under the model file's name in the same case.
    ASSERT_TRUE(fb.OpenModel(Path("model.st5")));
    EXPECT_EQ(fb.ModelFileName(), Path("model.tv5"));
}

TEST(ModelFileNames, ExtensionKeepsTheLetterCase) {
    const std::pair<const char*, const char*> cases[] = {{"/d/m.TV5", "/d/m.ST5"},
                                                         {"/d/m.tv5", "/d/m.st5"},
                                                         {"/d/m.Tv5", "/d/m.St5"},
                                                         {"/d/m", "/d/m.ST5"},
                                                         {"/d/m.xlsx", "/d/m.ST5"}};
    for (auto [name, backup] : cases)
        EXPECT_EQ(ModelFile::ChangeExtensionKeepingCase(name, "ST5"), backup) << name;
    EXPECT_EQ(ModelFile::ChangeExtensionKeepingCase("/d/m.st5", "TV5"), "/d/m.tv5");
}

TEST(ModelFileNames, WriteFailuresNameTheFileAndTheReason) {
    const std::pair<int, const char*> cases[] = {
        {ENOSPC, "Der Datenträger ist voll.##The model file \"/d/m.TV5\" was not written: The "
                 "disk is full."},
        {EACCES, "Keine Schreibberechtigung.##The model file \"/d/m.TV5\" was not written: No "
                 "permission to write."},
        {ENOENT, "Das Verzeichnis existiert nicht.##The model file \"/d/m.TV5\" was not "
                 "written: The directory does not exist."}};
    for (auto [error, reason] : cases)
        EXPECT_EQ(ModelFile::WriteFailureText("/d/m.TV5", error),
                  std::string("Die Modelldatei \"/d/m.TV5\" wurde nicht geschrieben: ") + reason);
}

TEST(ModelFileNames, ExtensionsIgnoreCase) {
    EXPECT_TRUE(ModelFile::HasExtension("/a/b.tv5", "TV5"));
    EXPECT_FALSE(ModelFile::HasExtension("/a/b.TV5.bak", "TV5"));
    EXPECT_EQ(ModelFile::ChangeExtension("/a/b.c/model.TV5", ".ST5"), "/a/b.c/model.ST5");
    EXPECT_EQ(ModelFile::ChangeExtension("/a/model", ".NFX"), "/a/model.NFX");
}

} // namespace
} // namespace tv
