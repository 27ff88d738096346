// tervalis-batch: solves a model without a window and prints the solution as CSV.
//
//   tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] [--save FILE.TV5]
//                  [--baseline BASE.TV5]
//                  [--diagram NAME [--period T] [--raster N] [--ref L]]
//                  [--render VIEW|list [--period T] [--size WxH] -o FILE.png|.pdf|.svg]
//                  [--handout FILE.pdf] [--lang de|en] [--settings FILE]
//                  [--explain SYMBOL --period T [--vs-period T0] [--depth N]]
//
// --diagram writes the diagram's curves ("curve,k,x,y") instead of the solution;
// "--diagram list" names the diagrams. --baseline solves BASE.TV5 as well (its own start-up,
// the same --to) and writes the model's values minus the baseline's; with --diagram, the
// baseline's curves follow the model's ("IS(5) Basis"). The baseline's messages and status
// follow the model's on standard error, each line led by "baseline ".
//
// --explain writes why variable SYMBOL of period T differs from period T0 (default T-1) or,
// with --baseline, from the baseline's period T: the tree of contributions down to depth N
// (default 3) as "depth,path,symbol,period,old,new,change,contribution".
//
// Standard output: "t,1,...,63", then one line per period 0..T, each value in the shortest
// form that reads back to the same double ("inf", "-inf", "nan"). Standard error: every
// message, every question with its answer, and last the status. Exit status: 0 solved
// ("Ok"), 1 inexact or aborted, 2 the model file could not be read, 3 the model could not be
// saved or the CSV could not be written completely. A reader that stops reading early
// (a closed pipe) is no failure.
//
// --render and --handout draw views through the windows' own painting code. They need Qt,
// which would slow every plain start: this binary hands them to tervalis-render, the same
// source built with Qt, installed beside it.

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Explanation.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/RuleServer.h"
#include "core/Solver.h"
#include "core/UserHost.h"
#include "logic/AnalysisInterval.h"
#include "logic/ModelChange.h"
#include "logic/ModelFile.h"
#include "render/RenderRequest.h"
#ifdef TERVALIS_DIAGRAMS
#include "views/BaselineCurves.h"
#include "views/DiagramExport.h"
#endif

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tv;

// One line per message: line breaks become blanks.
std::string OneLine(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        out += (s[i] == '\r' || s[i] == '\n') ? ' ' : s[i];
    }
    return out;
}

class BatchHost : public SilentHost {
  public:
    bool yesToAll = false;
    bool openingModel = false;
    const char* lead = ""; // "baseline " for the baseline run's lines

    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint) override {
        std::string line = Translate(text, 1);
        if (!hint.empty()) line += " " + Translate(hint, 1);
        std::fprintf(stderr, "%smessage: %s: %s\n", lead, Translate(title, 1).c_str(),
                     OneLine(line).c_str());
    }
    // The questions are recognised by their German half, which never changes.
    bool Ask(const std::string& title, const std::string& text) override {
        const std::string t = Translate(title, 1), body = Translate(text, 1);
        bool answer = yesToAll;
        if (t == "Wollen Sie wirklich?") // verbatim
            answer = true;               // the infinite-multiplier question
        else if (body.find("Berechnung fortsetzen?") != std::string::npos) // verbatim
            answer = false;                       // go on iterating the start equilibrium
        else if (openingModel && t == "Was nun?") // verbatim
            answer = true;                        // adjust the analysis interval to the file
        else if (body.find("Daten des bisherigen rechten") == 0) // verbatim
            answer = true; // continue the data of the previous right edge
        std::fprintf(stderr, "%squestion: %s: %s -> %s\n", lead, t.c_str(), OneLine(body).c_str(),
                     answer ? "yes" : "no");
        return answer;
    }
};

int Usage() {
    std::fprintf(stderr,
                 "usage: tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] [--save FILE.TV5]\n"
                 "                      [--baseline BASE.TV5]\n"
                 "                      [--diagram NAME|list [--period T] [--raster N] [--ref L]]\n"
                 "                      [--render VIEW|list [--period T] [--size WxH] "
                 "-o FILE.png|.pdf|.svg]\n"
                 "                      [--handout FILE.pdf] [--lang de|en] [--settings FILE]\n"
                 "                      [--explain SYMBOL --period T [--vs-period T0 | --baseline "
                 "BASE.TV5]\n"
                 "                       [--depth N]]\n"
                 "--explain: why SYMBOL of period T differs from T0 (default T-1) or from the "
                 "baseline,\n"
                 "           as CSV depth,path,symbol,period,old,new,change,contribution\n"
                 "--baseline: solve BASE.TV5 too and write model minus baseline (nan where the\n"
                 "            baseline has no solved period); with --diagram, add the baseline's\n"
                 "            curves (\"IS(5) Basis\")\n"
                 "exit status: 0 solved (status Ok), 1 solution inexact or aborted (the CSV is "
                 "still written),\n"
                 "             2 the model file or the baseline cannot be read or the arguments "
                 "are wrong,\n"
                 "             3 --save did not write its file or the CSV could not be written "
                 "completely\n");
    return 2;
}

// Standard output in large blocks. The first failure ends the output and is kept; a closed
// pipe is the reader's choice, every other failure (a full disk) is an error.
class CsvOutput {
  public:
    char* Reserve(size_t n) {
        if (used_ + n > buffer_.size()) Flush();
        return buffer_.data() + used_;
    }
    void Commit(char* end) { used_ = static_cast<size_t>(end - buffer_.data()); }
    void Write(const std::string& s) {
        // In pieces no larger than the buffer.
        for (size_t done = 0; done < s.size() && !Failed();) {
            const size_t n = std::min(s.size() - done, buffer_.size());
            char* p = Reserve(n);
            std::memcpy(p, s.data() + done, n);
            Commit(p + n);
            done += n;
        }
    }
    void Flush() {
        size_t done = 0;
        while (done < used_ && error_ == 0) {
            const ssize_t n = ::write(STDOUT_FILENO, buffer_.data() + done, used_ - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                error_ = n < 0 ? errno : ENOSPC;
            else
                done += static_cast<size_t>(n);
        }
        used_ = 0;
    }
    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }

  private:
    std::array<char, 1 << 16> buffer_;
    size_t used_ = 0;
    int error_ = 0;
};

// The CSV of periods 0..last, value(t, n) per period and variable. Stationary columns repeat
// their value from row to row, so each column keeps its last text and formats only what
// changed.
template <class Value> void WriteCsv(int last, CsvOutput& out, Value value) {
    std::string header = "t";
    for (int n = 1; n <= VarCount; ++n)
        header += "," + std::to_string(n);
    header += '\n';
    out.Write(header);
    struct Cached {
        double value;
        char text[ShortestTextSize];
        unsigned char size = 0;
    };
    std::array<Cached, VarCount + 1> cache{};
    for (int t = 0; t <= last && !out.Failed(); ++t) {
        char* p = out.Reserve(24 + VarCount * 33);
        p = std::to_chars(p, p + 24, t).ptr;
        for (int n = 1; n <= VarCount; ++n) {
            *p++ = ',';
            const double x = value(t, n);
            Cached& c = cache[n];
            if (c.size == 0 || std::memcmp(&c.value, &x, sizeof x) != 0) {
                c.value = x;
                c.size = static_cast<unsigned char>(FormatShortest(c.text, x) - c.text);
            }
            std::memcpy(p, c.text, c.size);
            p += c.size;
        }
        *p++ = '\n';
        out.Commit(p);
    }
    out.Flush();
}

// A whole non-negative number, or -1.
long Count(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || errno == ERANGE || v > 1000000) return -1;
    return v;
}

int ArgumentError(const std::string& text) {
    std::fprintf(stderr, "tervalis-batch: %s\n", text.c_str());
    return 2;
}

// One model solved as the program does it at start-up, then opened (or made new) and
// solved again.
struct BatchRun {
    Model m;
    std::unique_ptr<RuleBaseLink> rules;
    std::unique_ptr<AnalysisInterval> interval;
    std::unique_ptr<ModelFile> file;

    // False when the file could not be read (its message is out).
    bool Solve(const std::string& modelPath, bool newModel, long to, BatchHost& host) {
        m.InitialiseForProgramStart();
        // The same rule server as the program's, so that rule-based expectations solve alike.
        rules = std::make_unique<RuleBaseLink>(
            [] { return std::make_unique<LeastSquaresRuleServer>(); });
        m.Rules = rules.get();
        SolveAtProgramStart(m, host);
        interval = std::make_unique<AnalysisInterval>(m, host);
        // The model-changed step as the main window runs it, without the windows.
        interval->OnModelChanged = [this, &host] {
            EnforceExpectationRules(m, host);
            MarkWhatMustBeRecomputed(m);
            if (m.Options.SolveAfterInput) tv::Solve(m, host);
        };
        ModelFileHooks hooks;
        AnalysisInterval* iv = interval.get();
        hooks.isRevolving = [iv] { return iv->Revolving(); };
        hooks.setArchiving = [iv] { iv->SetAnalysisForm(false); };
        hooks.setIntervalQuietly = [iv](int left, int right) {
            iv->SetInterval(left, right, false);
        };
        hooks.modelChanged = interval->OnModelChanged;
        file = std::make_unique<ModelFile>(m, host, ".", hooks);
        if (!modelPath.empty()) {
            host.openingModel = true;
            const bool ok = file->OpenModel(modelPath);
            host.openingModel = false;
            if (!ok) return false;
        } else if (newModel) {
            file->NewModel();
        } else {
            tv::Solve(m, host);
        }
        // As Enter with T in the right-edge field.
        if (to >= 0 && to != m.Periods.RightEdge) interval->EnterRightEdge(std::to_string(to));
        if (host.status.empty()) tv::Solve(m, host);
        return true;
    }
};

#ifndef TERVALIS_RENDER
// Replaces this process by the Qt-linked renderer beside it (installed or in the build tree).
int RunRenderer(char** argv) {
    std::string dir = ".";
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        dir = self;
        dir = dir.substr(0, dir.find_last_of('/'));
    }
    std::vector<std::string> candidates = {dir + "/tervalis-render",
                                           dir + "/../lib/tervalis/tervalis-render"};
#ifdef TERVALIS_RENDERER
    candidates.push_back(TERVALIS_RENDERER);
#endif
    for (const std::string& path : candidates)
        if (::access(path.c_str(), X_OK) == 0) {
            ::execv(path.c_str(), argv);
            break;
        }
    std::fprintf(stderr, "tervalis-batch: --render and --handout need tervalis-render beside "
                         "tervalis-batch\n");
    return 2;
}
#endif

} // namespace

int main(int argc, char** argv) {
    // A closed standard output shows as EPIPE from write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    std::string modelPath, savePath, baselinePath;
    bool newModel = false;
    long to = -1;
    std::string diagram;
    long period = -1, raster = -1, reference = -1;
    std::string explain;
    long vsPeriod = -1, depth = -1;
    BatchHost host;
    RenderRequest render;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--new") {
            newModel = true;
        } else if (a == "--yes") {
            host.yesToAll = true;
        } else if (a == "--to" && i + 1 < argc) {
            char* end = nullptr;
            to = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || to < 0) return Usage();
        } else if (a == "--diagram" && i + 1 < argc) {
            diagram = argv[++i];
        } else if ((a == "--period" || a == "--raster" || a == "--ref") && i + 1 < argc) {
            const long v = Count(argv[++i]);
            if (v < 0)
                return ArgumentError(a + " needs a whole number >= 0, not \"" + argv[i] + "\"");
            (a == "--period" ? period : a == "--raster" ? raster : reference) = v;
        } else if (a == "--explain" && i + 1 < argc) {
            explain = argv[++i];
        } else if ((a == "--vs-period" || a == "--depth") && i + 1 < argc) {
            const long v = Count(argv[++i]);
            if (v < 0)
                return ArgumentError(a + " needs a whole number >= 0, not \"" + argv[i] + "\"");
            (a == "--depth" ? depth : vsPeriod) = v;
        } else if (a == "--save" && i + 1 < argc) {
            savePath = argv[++i];
        } else if (a == "--baseline" && i + 1 < argc) {
            baselinePath = argv[++i];
            if (baselinePath.empty() || baselinePath[0] == '-') return Usage();
        } else if (a == "--render" && i + 1 < argc) {
            render.View = argv[++i];
        } else if (a == "--handout" && i + 1 < argc) {
            render.Handout = argv[++i];
        } else if (a == "-o" && i + 1 < argc) {
            render.Output = argv[++i];
        } else if (a == "--size" && i + 1 < argc) {
            render.Size = argv[++i];
        } else if (a == "--lang" && i + 1 < argc) {
            render.Language = argv[++i];
        } else if (a == "--settings" && i + 1 < argc) {
            render.Settings = argv[++i];
        } else if (!a.empty() && a[0] != '-' && modelPath.empty()) {
            modelPath = a;
        } else {
            return Usage();
        }
    }
    if (newModel && !modelPath.empty()) return Usage();
    if (render.Wanted() && !explain.empty())
        return ArgumentError("--explain and --render are separate runs");
    if (render.Wanted()) {
#ifdef TERVALIS_RENDER
        if (!diagram.empty()) return ArgumentError("--diagram and --render are separate runs");
        if (render.View == "list") return ListRenderViews();
        render.Period = period;
        if (const int refused = CheckRenderRequest(render)) return refused;
#else
        return RunRenderer(argv);
#endif
    } else if (!render.Output.empty() || !render.Size.empty() || !render.Language.empty() ||
               !render.Settings.empty()) {
        return ArgumentError("-o, --size, --lang and --settings belong to --render or --handout");
    }
    const int explained = VariableBySymbol(explain);
    if (!explain.empty()) {
        if (!diagram.empty()) return ArgumentError("--explain and --diagram exclude each other");
        if (explained == 0)
            return ArgumentError("--explain: unknown variable \"" + explain +
                                 "\" (a symbol such as Y, C, i or Y,erw)");
        if (period < 0) return ArgumentError("--explain needs --period T");
        if (vsPeriod >= 0 && !baselinePath.empty())
            return ArgumentError("--vs-period and --baseline exclude each other");
        if (raster >= 0 || reference >= 0)
            return ArgumentError("--raster and --ref belong to --diagram");
    } else if (vsPeriod >= 0 || depth >= 0) {
        return ArgumentError("--vs-period and --depth belong to --explain");
    }
    if (diagram.empty() && explain.empty() &&
        ((period >= 0 && !render.Wanted()) || raster >= 0 || reference >= 0))
        return ArgumentError("--period, --raster and --ref belong to --diagram");
#ifdef TERVALIS_DIAGRAMS
    const std::vector<std::string> diagrams = DiagramNames();
    if (diagram == "list") {
        for (const std::string& name : diagrams)
            std::printf("%s\n", name.c_str());
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 3;
    }
    if (!diagram.empty() &&
        std::find(diagrams.begin(), diagrams.end(), diagram) == diagrams.end()) {
        std::string known;
        for (const std::string& name : diagrams)
            known += (known.empty() ? "" : ", ") + name;
        return ArgumentError("unknown diagram \"" + diagram + "\" (the diagrams: " + known + ")");
    }
    if (raster >= 0 && (raster < MinRaster || raster > MaxRaster))
        return ArgumentError("--raster must lie between " + std::to_string(MinRaster) + " and " +
                             std::to_string(MaxRaster));
#else
    if (!diagram.empty()) return ArgumentError("this build has no diagrams");
#endif

    BatchRun run;
    if (!run.Solve(modelPath, newModel, to, host)) return 2;
    const Model& m = run.m;
    std::unique_ptr<BatchRun> base;
    BatchHost baseHost;
    if (!baselinePath.empty()) {
        baseHost.yesToAll = host.yesToAll;
        baseHost.lead = "baseline ";
        base = std::make_unique<BatchRun>();
        const bool ok = base->Solve(baselinePath, false, to, baseHost);
        if (ok)
            std::fprintf(stderr, "baseline status: %s\n", Translate(baseHost.status, 1).c_str());
        if (!ok) return 2;
    }

    const bool saved = savePath.empty() || run.file->SaveAs(savePath);
#ifdef TERVALIS_RENDER
    if (render.Wanted()) {
        const int code =
            RenderSolvedModel(run.m, base ? &base->m : nullptr, run.file->ModelFileName(), render,
                              host, Translate(host.status, 1));
        return !saved && code < 2 ? 3 : code;
    }
#endif

    CsvOutput out;
    if (!explain.empty()) {
        // Only periods both solutions reached can be compared.
        const int t = static_cast<int>(period);
        const int solved = std::min(m.Periods.LastSolved, m.Periods.RightEdge);
        const int t0 = vsPeriod >= 0 ? static_cast<int>(vsPeriod) : t - 1;
        std::string problem;
        if (t > solved)
            problem = "period " + std::to_string(t) + " lies outside the solved interval 0.." +
                      std::to_string(solved);
        else if (!base && (t0 < 0 || t0 > solved))
            problem = "the comparison period " + std::to_string(t0) +
                      " lies outside the solved interval 0.." + std::to_string(solved);
        else if (!base && t0 == t)
            problem = "the comparison period is the period itself";
        std::unique_ptr<Baseline> frozen;
        if (problem.empty() && base) {
            frozen = std::make_unique<Baseline>(base->m);
            if (!frozen->Covers(t))
                problem = "the baseline has no solved period " + std::to_string(t);
        }
        if (!problem.empty()) {
            std::fprintf(stderr, "tervalis-batch: --explain: %s\n", problem.c_str());
            std::fprintf(stderr, "status: %s\n", Translate(host.status, 1).c_str());
            return 2;
        }
        const ExplanationNode tree =
            Explain(m, explained, t, {t0, frozen ? &frozen->Frozen() : nullptr},
                    depth >= 0 ? static_cast<int>(depth) : 3);
        out.Write(ExplanationCsv(tree));
        out.Flush();
    } else
#ifdef TERVALIS_DIAGRAMS
        if (!diagram.empty()) {
        DiagramRequest request;
        request.Period = static_cast<int>(period);
        request.Reference = static_cast<int>(reference);
        if (raster >= 0) request.Raster = static_cast<int>(raster);
        const int t = period < 0 ? m.Periods.RightEdge : request.Period;
        std::unique_ptr<Baseline> frozen;
        if (base) {
            frozen = std::make_unique<Baseline>(base->m);
            request.BaselineRun = frozen.get();
            if (!BaselineShows(*frozen, t))
                std::fprintf(stderr,
                             "tervalis-batch: --baseline: the baseline has no solved period %d "
                             "(it covers %d to %d); no baseline curves\n",
                             t, frozen->From(), frozen->To());
        }
        const DiagramResult d = ComputeDiagramNumbers(run.m, diagram, request);
        if (!d.Ok) {
            std::fprintf(stderr, "tervalis-batch: --diagram %s: %s\n", diagram.c_str(),
                         d.Error.c_str());
            std::fprintf(stderr, "status: %s\n", Translate(host.status, 1).c_str());
            // A period the solution did not reach is the solution's failure, not the caller's.
            return t <= m.Periods.RightEdge && t > m.Periods.LastSolved ? 1 : 2;
        }
        out.Write(DiagramCsv(d.Numbers));
        out.Flush();
    } else
#endif
        if (base) {
        // Scenario minus baseline; a period the baseline did not solve has no difference.
        const Model& b = base->m;
        WriteCsv(m.Periods.RightEdge, out, [&](int t, int n) {
            return t <= b.Periods.LastSolved ? Deviation(m.GetVar(t, n), b.GetVar(t, n))
                                             : std::numeric_limits<double>::quiet_NaN();
        });
    } else {
        WriteCsv(m.Periods.RightEdge, out, [&](int t, int n) { return m.GetVar(t, n); });
    }
    const bool csvFailed = out.Failed() && out.Error() != EPIPE;
    if (csvFailed) {
        const std::string reason = ModelFile::WriteFailureReason(out.Error());
        host.ShowMessage("Ausgabe##Output",
                         FillIn("Die Ausgabe ist unvollständig: %1.##The output is incomplete: %2.",
                                {Translate(reason, 1), Translate(reason, 2)}),
                         "");
    }
    // Scripts read the German half of the status ("status: Ok").
    const std::string status = Translate(host.status, 1);
    std::fprintf(stderr, "status: %s\n", status.c_str());
    if (!saved || csvFailed) return 3;
    return status == "Ok" && (!base || Translate(baseHost.status, 1) == "Ok") ? 0 : 1;
}
