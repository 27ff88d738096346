// tervalis-batch: solves a model without a window and prints the solution as CSV.
//
//   tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] [--save FILE.TV5]
//
// Standard output: "t,1,...,63", then one line per period 0..T, each value in the shortest
// form that reads back to the same double ("inf", "-inf", "nan"). Standard error: every
// message, every question with its answer, and last the status. Exit status: 0 solved
// ("Ok"), 1 inexact or aborted, 2 the model file could not be read, 3 the model could not be
// saved or the CSV could not be written completely. A reader that stops reading early
// (a closed pipe) is no failure.

#include "app/AnalysisInterval.h"
#include "app/ModelChange.h"
#include "app/ModelFile.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/RuleServer.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string& hint) override {
        std::string line = Translate(text, 1);
        if (!hint.empty()) line += " " + Translate(hint, 1);
        std::fprintf(stderr, "message: %s: %s\n", Translate(title, 1).c_str(),
                     OneLine(line).c_str());
    }
    bool Ask(const std::string& title, const std::string& text) override {
        const std::string t = Translate(title, 1), body = Translate(text, 1);
        bool answer = yesToAll;
        if (t == "Wollen Sie wirklich?")
            answer = true; // the infinite-multiplier question
        else if (body.find("Berechnung fortsetzen?") != std::string::npos)
            answer = false; // go on iterating the start equilibrium
        else if (openingModel && t == "Was nun?")
            answer = true; // adjust the analysis interval to the file
        else if (body.find("Daten des bisherigen rechten") == 0)
            answer = true; // continue the data of the previous right edge
        std::fprintf(stderr, "question: %s: %s -> %s\n", t.c_str(), OneLine(body).c_str(),
                     answer ? "yes" : "no");
        return answer;
    }
};

int Usage() {
    std::fprintf(stderr,
                 "usage: tervalis-batch [MODEL.TV5 | --new] [--to T] [--yes] [--save FILE.TV5]\n"
                 "exit status: 0 solved (status Ok), 1 solution inexact or aborted (the CSV is "
                 "still written),\n"
                 "             2 the model file cannot be read or the arguments are wrong,\n"
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
        char* p = Reserve(s.size());
        std::memcpy(p, s.data(), s.size());
        Commit(p + s.size());
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

// The shortest text that reads back to the same double; every NaN is "nan".
char* FormatValue(char* out, double x) {
    if (std::isnan(x)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    return std::to_chars(out, out + 32, x).ptr;
}

// The CSV of periods 0..last. Stationary columns repeat their value from row to row, so
// each column keeps its last text and formats only what changed.
void WriteCsv(const Model& m, int last, CsvOutput& out) {
    std::string header = "t";
    for (int n = 1; n <= VarCount; ++n)
        header += "," + std::to_string(n);
    header += '\n';
    out.Write(header);
    struct Cached {
        double value;
        char text[32];
        unsigned char size = 0;
    };
    std::array<Cached, VarCount + 1> cache{};
    for (int t = 0; t <= last && !out.Failed(); ++t) {
        char* p = out.Reserve(24 + VarCount * 33);
        p = std::to_chars(p, p + 24, t).ptr;
        for (int n = 1; n <= VarCount; ++n) {
            *p++ = ',';
            const double x = m.GetVar(t, n);
            Cached& c = cache[n];
            if (c.size == 0 || std::memcmp(&c.value, &x, sizeof x) != 0) {
                c.value = x;
                c.size = static_cast<unsigned char>(FormatValue(c.text, x) - c.text);
            }
            std::memcpy(p, c.text, c.size);
            p += c.size;
        }
        *p++ = '\n';
        out.Commit(p);
    }
    out.Flush();
}

} // namespace

int main(int argc, char** argv) {
    // A closed standard output shows as EPIPE from write, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    std::string modelPath, savePath;
    bool newModel = false;
    long to = -1;
    BatchHost host;
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
        } else if (a == "--save" && i + 1 < argc) {
            savePath = argv[++i];
        } else if (!a.empty() && a[0] != '-' && modelPath.empty()) {
            modelPath = a;
        } else {
            return Usage();
        }
    }
    if (newModel && !modelPath.empty()) return Usage();

    // Start-up as the program does it: the start model is solved first.
    Model m;
    m.InitialiseForProgramStart();
    // The same rule server as the program's, so that rule-based expectations solve alike.
    RuleBaseLink rules([] { return std::make_unique<LeastSquaresRuleServer>(); });
    m.Rules = &rules;
    SolveAtProgramStart(m, host);
    AnalysisInterval interval(m, host);
    // The model-changed step as the main window runs it, without the windows.
    interval.OnModelChanged = [&m, &host] {
        EnforceExpectationRules(m, host);
        MarkWhatMustBeRecomputed(m);
        if (m.Options.SolveAfterInput) Solve(m, host);
    };
    ModelFileHooks hooks;
    hooks.isRevolving = [&interval] { return interval.Revolving(); };
    hooks.setArchiving = [&interval] { interval.SetAnalysisForm(false); };
    hooks.setIntervalQuietly = [&interval](int left, int right) {
        interval.SetInterval(left, right, false);
    };
    hooks.modelChanged = interval.OnModelChanged;
    ModelFile file(m, host, ".", hooks);
    if (!modelPath.empty()) {
        host.openingModel = true;
        const bool ok = file.OpenModel(modelPath);
        host.openingModel = false;
        if (!ok) return 2;
    } else if (newModel) {
        file.NewModel();
    } else {
        Solve(m, host);
    }
    // As Enter with T in the right-edge field.
    if (to >= 0 && to != m.Periods.RightEdge) interval.EnterRightEdge(std::to_string(to));
    if (host.status.empty()) Solve(m, host);

    const bool saved = savePath.empty() || file.SaveAs(savePath);

    CsvOutput out;
    WriteCsv(m, m.Periods.RightEdge, out);
    const bool csvFailed = out.Failed() && out.Error() != EPIPE;
    if (csvFailed) {
        const std::string reason = ModelFile::WriteFailureReason(out.Error());
        host.ShowMessage("Ausgabe##Output",
                         "Die Ausgabe ist unvollständig: " + Translate(reason, 1) +
                             ".##The output is incomplete: " + Translate(reason, 2) + ".",
                         "");
    }
    std::fprintf(stderr, "status: %s\n", host.status.c_str());
    if (!saved || csvFailed) return 3;
    return host.status == "Ok" ? 0 : 1;
}
