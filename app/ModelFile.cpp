#include "app/ModelFile.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace tv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSheetName = "TERVALIS";
constexpr int kFirstPeriodRow = 8; // row 8 holds period -1

// Header columns of the expectation settings: record, first column.
constexpr std::pair<int, int> kExpectationColumns[] = {{0, 102}, {3, 105}, {4, 108},
                                                       {5, 111}, {6, 114}, {7, 117}};

double ReadCellFloat(XlsReader& r, int col, int row) {
    CellValue v;
    if (!r.ReadCell(0, col, row, v)) return 0;
    if (const double* d = std::get_if<double>(&v)) return *d;
    if (const bool* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    return 0;
}

// Rounded half away from zero; the caller keeps the low bits it needs.
long ReadCellInt(XlsReader& r, int col, int row) {
    const double x = ReadCellFloat(r, col, row);
    if (!std::isfinite(x) || std::fabs(x) > 9.0e15) return 0;
    return std::lround(x);
}

uint8_t Byte(long v) {
    return static_cast<uint8_t>(static_cast<unsigned long>(v) & 0xFFu);
}

struct ParamCell {
    int16_t period;
    uint8_t n;
    double value;
};

// Everything a model file contributes, collected before any of it is applied.
struct LoadedModel {
    Switches switches{};
    double accuracy = 0;
    uint16_t maxIterations = 0;
    struct Setting {
        uint8_t method, lags, weight, own;
    };
    Setting settings[ExpectationCount]{};
    std::vector<ParamCell> cells;
    int lastFilePeriod = 0;
};

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

ModelFile::ModelFile(Model& m, UserHost& host, std::string dataDirectory, ModelFileHooks hooks)
    : m_(m), host_(host), hooks_(std::move(hooks)) {
    if (!dataDirectory.empty() && dataDirectory.back() != '/') dataDirectory += '/';
    modelFileName_ = dataDirectory + "NEU.TV5";
    rulesFileName_ = dataDirectory + "NEU.NFX";
}

std::string ModelFile::ChangeExtension(const std::string& fileName, const std::string& ext) {
    fs::path p(fileName);
    p.replace_extension(ext);
    return p.string();
}

bool ModelFile::HasExtension(const std::string& fileName, const std::string& ext) {
    return Lower(fs::path(fileName).extension().string()) == "." + Lower(ext);
}

void ModelFile::WriteModelFile(const std::string& fileName) const {
    XlsWriter w;
    w.FileName = fileName;
    w.Sheets = {kSheetName};
    w.OpenFile();
    for (int k = 1; k <= SwitchCount; ++k)
        w.WriteNumber(k - 1, 0, m_.Switch[k]);
    w.WriteNumber(99, 0, m_.Options.Accuracy);
    w.WriteNumber(100, 0, m_.Options.MaxIterations);
    w.WriteNumber(101, 0, m_.Options.SolveAfterInput);
    for (auto [k, col] : kExpectationColumns) {
        const Expectation& e = m_.Expect[k];
        w.WriteNumber(col, 0, e.Method);
        w.WriteNumber(col + 1, 0, e.Lags);
        w.WriteNumber(col + 2, 0, e.Weight);
    }
    for (auto [k, col] : {std::pair{1, 120}, std::pair{2, 123}}) {
        const Expectation& e = m_.Expect[k];
        w.WriteNumber(col, 0, e.Method);
        w.WriteNumber(col + 1, 0, e.Lags);
        w.WriteNumber(col + 2, 0, e.Weight);
        w.WriteNumber(col, 1, e.OwnSettings);
    }
    for (int t = FirstParPeriod; t <= LastPeriod; ++t) {
        if (m_.ModelPar(t, par::PExog) == 0) break;
        for (int n = 1; n <= ParCount; ++n)
            w.WriteNumber(n - 1, t + 9, m_.ModelPar(t, n));
    }
    w.CloseFile();
}

bool ModelFile::ReadModelFile(const std::string& fileName) {
    LoadedModel in;
    try {
        XlsReader r;
        r.FileName = fileName;
        r.Open();
        for (int k = 1; k <= SwitchCount; ++k)
            in.switches[k] = Byte(ReadCellInt(r, k - 1, 0));
        in.accuracy = ReadCellFloat(r, 99, 0);
        in.maxIterations =
            static_cast<uint16_t>(static_cast<unsigned long>(ReadCellInt(r, 100, 0)) & 0xFFFFu);
        auto setting = [&r](int col, int ownRow) {
            return LoadedModel::Setting{Byte(ReadCellInt(r, col, 0)),
                                        Byte(ReadCellInt(r, col + 1, 0)),
                                        Byte(ReadCellInt(r, col + 2, 0)),
                                        ownRow ? Byte(ReadCellInt(r, col, 1)) : uint8_t{0}};
        };
        for (auto [k, col] : kExpectationColumns)
            in.settings[k] = setting(col, 0);
        if (ReadCellInt(r, 120, 0) != 0) {
            in.settings[1] = setting(120, 1);
            in.settings[2] = setting(123, 1);
        } else {
            // Written before wage and profit income had settings of their own.
            in.settings[1] = in.settings[2] = in.settings[0];
            in.settings[1].own = in.settings[2].own = 0;
        }
        r.Close();

        r.OnSheet = [](std::string_view, int index, bool& readIt) { readIt = index == 0; };
        r.OnNumberCell = [&in](int col, int row, int, double value, bool) {
            if (row < kFirstPeriodRow || col > 63 || col < 0) return;
            const int t = row - 9;
            if (t > LastPeriod) return;
            in.cells.push_back({static_cast<int16_t>(t), static_cast<uint8_t>(col + 1), value});
            if (col == par::PExog - 1 && value != 0) in.lastFilePeriod = t;
        };
        r.Read();
    } catch (const std::exception& e) {
        host_.ShowMessage("", e.what());
        return false;
    }

    for (int k = 1; k <= SwitchCount; ++k)
        m_.Switch[k] = in.switches[k];
    m_.Options.Accuracy = in.accuracy;
    m_.Options.MaxIterations = in.maxIterations;
    for (int k = 0; k < ExpectationCount; ++k) {
        Expectation& e = m_.Expect[k];
        e.Method = in.settings[k].method;
        e.Lags = in.settings[k].lags;
        e.Weight = in.settings[k].weight;
        if (k == 1 || k == 2) e.OwnSettings = in.settings[k].own;
    }
    for (const ParamCell& c : in.cells)
        m_.SetModelPar(c.period, c.n, c.value);
    lastFilePeriod_ = std::max(0, in.lastFilePeriod);
    m_.UpdateActiveParams();
    return true;
}

void ModelFile::SetInterval(int left, int right) {
    if (hooks_.setIntervalQuietly) {
        hooks_.setIntervalQuietly(left, right);
        return;
    }
    PeriodState& ps = m_.Periods;
    ps.PrevLeftEdge = ps.LeftEdge;
    ps.PrevRightEdge = ps.RightEdge;
    ps.LeftEdge = left;
    ps.RightEdge = right;
    ps.CurrentPeriod = std::clamp(ps.CurrentPeriod, left, right);
}

void ModelFile::ModelChanged() {
    if (hooks_.modelChanged)
        hooks_.modelChanged();
    else if (m_.Options.SolveAfterInput)
        Solve(m_, host_);
}

bool ModelFile::OpenModel(const std::string& fileName) {
    host_.SetBusy(true);
    if (!ReadModelFile(fileName)) {
        host_.SetBusy(false);
        return false;
    }
    host_.SetBusy(false);
    const int lang = m_.Language;
    if (lastFilePeriod_ != m_.Periods.RightEdge || m_.Periods.LeftEdge != 0) {
        const std::string text =
            Translate("Datenbasis der Modelldatei:##Covered periods in the model file:", lang) +
            "\r\n[0,...," + std::to_string(lastFilePeriod_) + "]\r\n" +
            Translate("Analyseintervall angleichen?##Adjust current interval?", lang);
        if (host_.Ask("Was nun?##Please decide", text)) {
            if (hooks_.isRevolving && hooks_.isRevolving()) {
                host_.ShowMessage("Achtung##Attention",
                                  "Analyseform wird auf\r\n\"archivierend\"  zurückgesetzt.");
                if (hooks_.setArchiving) hooks_.setArchiving();
            }
            // An interval needs two periods: a file with period 0 only gives [0, 1].
            SetInterval(0, std::max(1, lastFilePeriod_));
        }
    }
    FillUndefinedPeriods(m_, 0, m_.Periods.RightEdge);
    modelFileName_ = ChangeExtension(fileName, ".TV5");
    rulesFileName_ = ChangeExtension(modelFileName_, ".NFX");
    ResolveFromScratch();
    return true;
}

// A model that replaced the previous one is solved from the start equilibrium on; the
// windows follow it.
void ModelFile::ResolveFromScratch() {
    m_.RecalcAll = 1;
    m_.Periods.LastSolved = -1;
    m_.Periods.MaxSolved = -1;
    ModelChanged();
    if (hooks_.periodChanged) hooks_.periodChanged();
    ModelModified = false;
    if (hooks_.fileNameChanged) hooks_.fileNameChanged();
}

void ModelFile::SetModelDefaults() {
    m_.Switch = StartSwitches();
    const Expectations start = StartExpectations();
    for (int k = 0; k < ExpectationCount; ++k) {
        Expectation& e = m_.Expect[k];
        e.Method = start[k].Method;
        e.Lags = 1;
        e.Weight = 100;
        e.OwnSettings = 0;
        e.RuleBased = 0;
        e.PerWagePeriod = start[k].PerWagePeriod;
        e.TargetVariable = start[k].TargetVariable;
        e.SourceVariable = start[k].SourceVariable;
        e.Antecedents.clear();
        e.InitFrom = 1;
        e.InitTo = 100;
    }
    m_.UpdateActiveParams();
}

void ModelFile::NewModel() {
    SetModelDefaults();
    if (hooks_.isRevolving && hooks_.isRevolving()) {
        host_.ShowMessage("Achtung!", "Analyseform wird auf\r\n\"archivierend\"  zurückgesetzt.");
        if (hooks_.setArchiving) hooks_.setArchiving();
    }
    SetInterval(0, 100);
    m_.Periods.CurrentPeriod = m_.Periods.LeftEdge;
    const Switches sw = m_.Switch;
    const Expectations ex = m_.Expect;
    m_.ResetParameters(); // clears every period, defaults up to the right edge
    m_.Switch = sw;
    m_.Expect = ex;
    m_.UpdateActiveParams();
    m_.ClearVariables();
    ResolveFromScratch();
}

bool ModelFile::Save() {
    const fs::path target(modelFileName_);
    const fs::path backup(ChangeExtension(modelFileName_, ".ST5"));
    fs::path temp = target;
    temp += ".tmp";
    host_.SetBusy(true);

    // 1. The new file, complete, under a temporary name beside the model file.
    try {
        WriteModelFile(temp.string());
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(temp, ec);
        host_.SetBusy(false);
        host_.ShowMessage("", e.what());
        return false;
    }
    // 2. The previous file becomes the backup; the model file itself stays in place.
    std::error_code ec;
    if (fs::exists(target, ec)) {
        fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            fs::remove(temp, ec);
            host_.SetBusy(false);
            host_.ShowMessage("File error",
                              "Unable to write backup file.\r\nChose another path and try again.");
            return false;
        }
    }
    // 3. The new file replaces the old one in one step.
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        host_.SetBusy(false);
        host_.ShowMessage("", "Can not write file " + target.string() + ": " + ec.message());
        return false;
    }
    ModelModified = false;
    host_.SetBusy(false);
    if (hooks_.fileNameChanged) hooks_.fileNameChanged();
    return true;
}

bool ModelFile::SaveAs(const std::string& fileName) {
    if (!CheckModelExtension(fileName)) return false;
    const std::string previous = modelFileName_;
    modelFileName_ = fileName;
    if (!Save()) {
        modelFileName_ = previous;
        return false;
    }
    return true;
}

bool ModelFile::CheckModelExtension(const std::string& fileName) {
    if (HasExtension(fileName, "TV5")) return true;
    host_.PlaySound("SoNicht.wav");
    host_.ShowMessage("So nicht!", std::string("Die von Ihnen verwendete Dateiendung erfüllt "
                                               "nicht die ") +
                                       "TERVALIS" +
                                       "-Spezifikation (*.TV5). Bitte ändern Sie die "
                                       "Dateiendung, " +
                                       "wenn Sie Ihre Eingaben speichern wollen.");
    return false;
}

bool ModelFile::AskLastChance() {
    host_.PlaySound("WasNun.wav");
    const int lang = m_.Language;
    return host_.Ask(
        "Sicherheitsabfrage##Safety alert",
        Translate("Aktuelle Daten noch nicht gespeichert.##Current data have not "
                  "yet been saved.",
                  lang) +
            "\r\n" + Translate("Jetzt sichern (letzte Chance)?##Save now (last chance)?", lang));
}

void ModelFile::ShowBackupLoadHint() {
    host_.ShowMessage("Hinweis", "Beim Abspeichern von aus Sicherungsdateien geladenen Modellen "
                                 "wird die normale Modelldateiendung (*.TV5) verwendet, so dass "
                                 "hierdurch die ursprüngliche Modelldatei wieder hergestellt "
                                 "wird.");
}

} // namespace tv
