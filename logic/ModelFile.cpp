#include "logic/ModelFile.h"
#include "core/Catalogue.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "workbook/WorkbookError.h"
#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSheetName = "TERVALIS";
constexpr int kFirstPeriodRow = 8; // row 8 holds period -1
constexpr const char* kSaveFailedTitle = "Modell speichern##Save model";
constexpr const char* ResetToArchiving =
    "Analyseform wird auf\r\n\"archivierend\"  zurückgesetzt.##The analysis form is reset "
    "to\r\n\"archiving\".";

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

// Writes a new file completely and to the disk; throws std::system_error with the errno of
// the first failure (a full disk may only show when the data are flushed or the file closed).
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path);
    size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) throw std::system_error(error, std::generic_category(), path);
}

// One checked structural value: what the file held and what the model got instead.
struct Replacement {
    std::string what; // bilingual
    long from, to;
};

// A value outside lo..hi is replaced by the nearest admissible one and noted.
uint8_t Admissible(uint8_t value, uint8_t lo, uint8_t hi, const std::string& what,
                   std::vector<Replacement>& replaced) {
    const uint8_t v = std::clamp(value, lo, hi);
    if (v != value) replaced.push_back({what, value, v});
    return v;
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

std::string ModelFile::ChangeExtensionKeepingCase(const std::string& fileName,
                                                  const std::string& ext) {
    const std::string own = fs::path(fileName).extension().string();
    std::string wanted = "." + ext;
    // Each letter takes the case of the letter in the same place of the name's own
    // extension, so that "model.tv5" keeps its backup beside it as "model.st5".
    if (own.size() == wanted.size())
        for (size_t i = 1; i < wanted.size(); ++i) {
            const auto c = static_cast<unsigned char>(wanted[i]);
            const auto o = static_cast<unsigned char>(own[i]);
            if (std::islower(o)) wanted[i] = static_cast<char>(std::tolower(c));
            if (std::isupper(o)) wanted[i] = static_cast<char>(std::toupper(c));
        }
    return ChangeExtension(fileName, wanted);
}

std::string ModelFile::WriteFailureReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Der Datenträger ist voll##The disk is full";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Keine Schreibberechtigung##No permission to write";
    case ENOENT:
    case ENOTDIR:
        return "Das Verzeichnis existiert nicht##The directory does not exist";
    default:
        return std::strerror(error);
    }
}

std::string ModelFile::WriteFailureText(const std::string& fileName, int error) {
    const std::string reason = WriteFailureReason(error);
    const std::string text = FillIn("Die Modelldatei \"%1\" wurde nicht geschrieben: %2.##The "
                                    "model file \"%1\" was not written: %2.",
                                    fileName);
    auto half = [&](int lang) {
        std::string t = Translate(text, lang);
        return t.replace(t.rfind("%2"), 2, Translate(reason, lang));
    };
    return half(1) + "##" + half(2);
}

void ModelFile::WriteModelFile(const std::string& fileName) const {
    // Built in memory and written in one go, so that a failure tells its reason.
    XlsWriter w;
    w.Sheets = {kSheetName};
    w.OpenMemory();
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
    WriteWholeFile(fileName, w.Bytes());
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
        auto setting = [&r](int col, bool ownRow) {
            return LoadedModel::Setting{Byte(ReadCellInt(r, col, 0)),
                                        Byte(ReadCellInt(r, col + 1, 0)),
                                        Byte(ReadCellInt(r, col + 2, 0)),
                                        ownRow ? Byte(ReadCellInt(r, col, 1)) : uint8_t{0}};
        };
        for (auto [k, col] : kExpectationColumns)
            in.settings[k] = setting(col, false);
        if (ReadCellInt(r, 120, 0) != 0) {
            in.settings[1] = setting(120, true);
            in.settings[2] = setting(123, true);
        } else {
            // Written before wage and profit income had settings of their own: they take
            // income's, whose own flag is read from no row and so is 0.
            in.settings[1] = in.settings[2] = in.settings[0];
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
        host_.ShowMessage("Modelldatei laden##Open model", "\"" + fileName + "\": " + e.what());
        return false;
    }

    // Period lengths and lags outside their range would divide by zero or reach beyond the
    // history of the equilibrium searches.
    std::vector<Replacement> replaced;
    in.switches[23] =
        Admissible(in.switches[23], 1, 15, "Tarifzeitraumlänge##Length of Wage Period", replaced);
    in.switches[22] =
        Admissible(in.switches[22], 1, 15,
                   "Monetäre Zielzeitraumlänge##Time Horizon of Monetary Policy", replaced);
    for (int k = 0; k < ExpectationCount; ++k) {
        const std::string& name = m_.Expect[k].Name;
        const char* lags = "%1, Zahl der Lags##%1, number of lags";
        const std::string what = FillIn(Translate(lags, 1), Translate(name, 1)) + "##" +
                                 FillIn(Translate(lags, 2), Translate(name, 2));
        in.settings[k].lags = Admissible(in.settings[k].lags, 1, 5, what, replaced);
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
    // The file replaces the periods: nothing of the previous model stays after its end.
    for (int t = lastFilePeriod_ + 1; t <= LastPeriod; ++t)
        for (int n = 1; n <= ParCount; ++n)
            m_.SetModelPar(t, n, 0);
    m_.UpdateActiveParams();

    if (!replaced.empty()) {
        const char* head = "Werte der Modelldatei außerhalb ihres zulässigen Bereichs wurden "
                           "ersetzt:##Values of the model file outside their admissible range "
                           "were replaced:";
        std::string text[2] = {Translate(head, 1), Translate(head, 2)};
        for (const Replacement& r : replaced)
            for (int lang : {1, 2})
                text[lang - 1] += "\r\n" + Translate(r.what, lang) + ": " + std::to_string(r.from) +
                                  " -> " + std::to_string(r.to);
        host_.ShowMessage("Hinweis##Note", text[0] + "##" + text[1]);
    }
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
                host_.ShowMessage("Achtung##Attention", ResetToArchiving);
                if (hooks_.setArchiving) hooks_.setArchiving();
            }
            // An interval needs two periods: a file with period 0 only gives [0, 1].
            SetInterval(0, std::max(1, lastFilePeriod_));
        }
    }
    FillUndefinedPeriods(m_, 0, m_.Periods.RightEdge);
    modelFileName_ = ChangeExtensionKeepingCase(fileName, "TV5");
    rulesFileName_ = ChangeExtension(modelFileName_, ".NFX");
    ResolveFromScratch();
    return true;
}

// A model that replaced the previous one is solved from the start equilibrium on; the
// windows follow it.
void ModelFile::ResolveFromScratch() {
    if (hooks_.modelReplaced) hooks_.modelReplaced();
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
        host_.ShowMessage("Achtung!##Attention!", ResetToArchiving);
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
    const fs::path backup(ChangeExtensionKeepingCase(modelFileName_, "ST5"));
    fs::path temp = target;
    temp += ".tmp";
    host_.SetBusy(true);
    auto fail = [this, &temp](const std::string& text) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        host_.SetBusy(false);
        host_.ShowMessage(kSaveFailedTitle, text);
        return false;
    };

    // 1. The new file, complete, under a temporary name beside the model file.
    try {
        WriteModelFile(temp.string());
    } catch (const std::system_error& e) {
        return fail(WriteFailureText(target.string(), e.code().value()));
    } catch (const std::exception& e) {
        return fail("\"" + target.string() + "\": " + e.what());
    }
    // 2. The previous file becomes the backup; the model file itself stays in place.
    std::error_code ec;
    if (fs::exists(target, ec)) {
        fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            fs::remove(temp, ec);
            host_.SetBusy(false);
            host_.ShowMessage("Dateifehler##File error",
                              "Die Sicherungsdatei kann nicht geschrieben werden.\r\nBitte einen "
                              "anderen Pfad wählen und erneut versuchen.##Unable to write the "
                              "backup file.\r\nChoose another path and try again.");
            return false;
        }
    }
    // 3. The new file replaces the old one in one step.
    fs::rename(temp, target, ec);
    if (ec) return fail(WriteFailureText(target.string(), ec.value()));
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
    host_.ShowMessage("So nicht!##Not possible!",
                      "Die von Ihnen verwendete Dateiendung erfüllt nicht die TERVALIS-"
                      "Spezifikation (*.TV5). Bitte ändern Sie die Dateiendung, wenn Sie Ihre "
                      "Eingaben speichern wollen.##The file extension you used is not the TERVALIS "
                      "model-file extension (*.TV5). Please change the extension if you want to "
                      "save your inputs.");
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
    host_.ShowMessage("Hinweis##Note",
                      "Beim Abspeichern von aus Sicherungsdateien geladenen Modellen wird die "
                      "normale Modelldateiendung (*.TV5) verwendet, so dass hierdurch die "
                      "ursprüngliche Modelldatei wieder hergestellt wird.##A model loaded from a "
                      "backup file is saved with the normal model file extension (*.TV5), so "
                      "that saving restores the original model file.");
}

} // namespace tv
