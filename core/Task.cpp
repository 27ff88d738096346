#include "core/Task.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Explanation.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/Solver.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace tv {

namespace {

std::string Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const size_t last = s.find_last_not_of(" \t\r");
    return std::string(s.substr(first, last - first + 1));
}

std::vector<std::string> Split(std::string_view s, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = s.find(separator); at != std::string_view::npos;
         start = at + 1, at = s.find(separator, start))
        parts.push_back(Trim(s.substr(start, at - start)));
    parts.push_back(Trim(s.substr(start)));
    return parts;
}

// The lines of a text without their line breaks; a leading byte-order mark is dropped.
std::vector<std::string_view> Lines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

TaskError LineError(int line, std::string_view text, std::initializer_list<std::string_view> args) {
    std::string filled = FillIn(text, args);
    const std::string german = Translate(filled, 1), english = Translate(filled, 2);
    return {line, FillIn("Zeile %1: %2##Line %1: %3", {std::to_string(line), german, english})};
}

std::optional<int> WholeNumber(const std::string& s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// A decimal point or comma, an exponent, a sign.
std::optional<double> Number(std::string s) {
    std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// The "Minimum: …, Maximum: …" part of a range refusal of x.
std::string RangeHint(int n, double x) {
    const std::string symbol = ParamSymbol(n, 1, 1);
    if (std::fabs(x) > MaxParameterMagnitude) return "Maximum: 1E15 >= |" + symbol + "|";
    const ParameterRange r = AdmissibleRange(n);
    std::string hint;
    if (r.minText) hint += std::string("Minimum: ") + r.minText + symbol;
    if (r.maxText)
        hint += (hint.empty() ? "" : ", ") + std::string("Maximum: ") + r.maxText + symbol;
    return hint;
}

std::optional<TaskError> ReadChange(const std::string& value, int line, TaskChange& c) {
    const std::vector<std::string> f = Split(value, ';');
    if (f.size() != 3)
        return LineError(line,
                         "Eine Änderung hat die Form SYMBOL;PERIODE;WERT.##A change has the form "
                         "SYMBOL;PERIOD;VALUE.",
                         {});
    c.line = line;
    c.parameter = ParameterBySymbol(f[0]);
    if (c.parameter == 0)
        return LineError(line, "Unbekannter Parameter \"%1\".##Unknown parameter \"%1\".", {f[0]});
    const std::optional<int> from = WholeNumber(f[1]);
    if (!from)
        return LineError(line,
                         "Die Periode \"%1\" ist keine ganze Zahl.##The period \"%1\" is not "
                         "a whole number.",
                         {f[1]});
    c.from = *from;
    const std::optional<double> x = Number(f[2]);
    if (!x) return LineError(line, "\"%1\" ist keine Zahl.##\"%1\" is not a number.", {f[2]});
    c.value = *x;
    if (std::fabs(c.value) > MaxParameterMagnitude ||
        AdmissibleRange(c.parameter).Violated(c.from, c.value))
        return LineError(line, "%1 ist für %2 unzulässig (%3).##%1 is not admissible for %2 (%3).",
                         {f[2], f[0], RangeHint(c.parameter, c.value)});
    return std::nullopt;
}

std::optional<TaskError> ReadPredict(const std::string& value, int line, Task& task) {
    for (const std::string& symbol : Split(value, ';')) {
        const int n = VariableBySymbol(symbol);
        if (n == 0)
            return LineError(line, "Unbekannte Variable \"%1\".##Unknown variable \"%1\".",
                             {symbol});
        if (std::find(task.predict.begin(), task.predict.end(), n) != task.predict.end())
            return LineError(line, "%1 steht zweimal da.##%1 is listed twice.", {symbol});
        task.predict.push_back(n);
    }
    return std::nullopt;
}

std::string Lower(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

const Direction kDirections[] = {Direction::Rises, Direction::Falls, Direction::Stays};

} // namespace

int ParameterBySymbol(std::string_view s) {
    if (s.empty()) return 0;
    for (int language = 1; language <= 2; ++language)
        for (int n = 1; n <= ParCount; ++n)
            if (ParamSymbol(n, 1, language) == s || ParamSymbol(n, 1, language, true) == s)
                return n;
    return 0;
}

TaskReading ReadTask(std::string_view text) {
    TaskReading r;
    Task& task = r.task;
    std::map<int, TaskChange> changes; // by their number
    std::set<std::string> seen;
    bool inTask = false;
    const std::vector<std::string_view> lines = Lines(text);
    auto fail = [&r](TaskError e) {
        r.error = std::move(e);
        return r;
    };
    for (size_t k = 0; k < lines.size(); ++k) {
        const int line = static_cast<int>(k) + 1;
        const std::string s = Trim(lines[k]);
        if (s.empty() || s[0] == ';' || s[0] == '#') continue;
        if (s.front() == '[') {
            inTask = s == "[Task]";
            if (!inTask)
                return fail(LineError(line,
                                      "Unbekannter Abschnitt %1: erwartet ist [Task].##"
                                      "Unknown section %1: [Task] is expected.",
                                      {s}));
            continue;
        }
        const size_t eq = s.find('=');
        if (!inTask || eq == std::string::npos)
            return fail(LineError(line,
                                  "Erwartet ist [Task] und dann SCHLÜSSEL=WERT.##Expected is "
                                  "[Task], then KEY=VALUE.",
                                  {}));
        const std::string key = Trim(s.substr(0, eq)), value = Trim(s.substr(eq + 1));
        if (!seen.insert(key).second)
            return fail(LineError(line, "%1 steht zweimal da.##%1 is given twice.", {key}));
        std::optional<TaskError> e;
        if (key == "Title") {
            task.title = value;
        } else if (key == "Text") {
            task.text = value;
        } else if (const int number =
                       key.rfind("Change", 0) == 0 ? WholeNumber(key.substr(6)).value_or(0) : 0;
                   number > 0) {
            if (changes.count(number))
                return fail(LineError(line, "%1 steht zweimal da.##%1 is given twice.", {key}));
            e = ReadChange(value, line, changes[number]);
        } else if (key == "Predict") {
            e = ReadPredict(value, line, task);
        } else if (key == "ShortRun" || key == "LongRun") {
            const std::optional<int> t = WholeNumber(value);
            if (!t)
                e = LineError(line,
                              "Die Periode \"%1\" ist keine ganze Zahl.##The period \"%1\" "
                              "is not a whole number.",
                              {value});
            else
                (key == "ShortRun" ? task.shortRun : task.longRun) = *t;
            (key == "ShortRun" ? task.shortRunLine : task.longRunLine) = line;
        } else {
            e = LineError(line, "Unbekannter Schlüssel %1.##Unknown key %1.", {key});
        }
        if (e) return fail(*e);
    }
    for (const char* key : {"Title", "Text", "Predict", "ShortRun", "LongRun"})
        if (!seen.count(key))
            return fail({0, FillIn("Der Schlüssel %1 fehlt.##The key %1 is missing.", {key})});
    if (changes.empty())
        return fail({0, "Die Aufgabe ändert nichts: Change1 fehlt.##The task changes nothing: "
                        "Change1 is missing."});
    if (task.shortRun >= task.longRun)
        return fail(LineError(task.longRunLine,
                              "LongRun muss nach ShortRun kommen.##LongRun must come after "
                              "ShortRun.",
                              {}));
    for (auto& [number, c] : changes)
        task.changes.push_back(c);
    return r;
}

std::optional<TaskError> CheckTaskPeriods(const Task& task, int left, int right) {
    const std::string interval = std::to_string(left) + ".." + std::to_string(right);
    const char* const outside = "Die Periode %1 liegt außerhalb des Analyseintervalls %2.##"
                                "Period %1 lies outside the analysis interval %2.";
    for (const TaskChange& c : task.changes)
        if (c.from < left || c.from > right)
            return LineError(c.line, outside, {std::to_string(c.from), interval});
    for (auto [t, line] :
         {std::pair{task.shortRun, task.shortRunLine}, std::pair{task.longRun, task.longRunLine}})
        if (t < left || t > right) return LineError(line, outside, {std::to_string(t), interval});
    return std::nullopt;
}

std::string WriteTask(const Task& task) {
    std::string out = "[Task]\nTitle=" + task.title + "\nText=" + task.text + "\n";
    int k = 0;
    for (const TaskChange& c : task.changes)
        out += "Change" + std::to_string(++k) + "=" + ParamSymbol(c.parameter, 1, 1) + ";" +
               std::to_string(c.from) + ";" + FormatShortest(c.value) + "\n";
    std::string predict;
    for (int n : task.predict)
        predict += (predict.empty() ? "" : ";") + VarSymbol(n, 1);
    out += "Predict=" + predict + "\nShortRun=" + std::to_string(task.shortRun) +
           "\nLongRun=" + std::to_string(task.longRun) + "\n";
    return out;
}

void ApplyTask(Model& m, const Task& task) {
    for (const TaskChange& c : task.changes)
        for (int t = c.from; t <= m.Periods.RightEdge; ++t) {
            if (m.ModelPar(t, c.parameter) == c.value) continue;
            MarkUnsolvedFrom(m, t - 1);
            m.SetModelPar(t, c.parameter, c.value);
        }
}

std::vector<TaskChange> ChangesSinceBaseline(const Model& m, const Baseline& base) {
    std::vector<TaskChange> changes;
    const Model& b = base.Frozen();
    for (int n = 1; n <= ParCount; ++n) {
        std::optional<double> stepped; // the value the changes so far leave in period t
        for (int t = m.Periods.LeftEdge; t <= m.Periods.RightEdge; ++t) {
            const double now = m.ModelPar(t, n);
            if (now == stepped.value_or(b.ModelPar(t, n))) continue;
            changes.push_back({n, t, now, 0});
            stepped = now;
        }
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TaskChange& a, const TaskChange& c) { return a.from < c.from; });
    return changes;
}

int HorizonPeriod(const Task& task, Horizon h) {
    return h == Horizon::Short ? task.shortRun : task.longRun;
}

std::optional<Direction> DirectionOfChange(double scenario, double baseline) {
    const double change = scenario - baseline;
    if (std::isnan(change)) return std::nullopt;
    if (std::fabs(change) <= 0.001 * std::fabs(baseline)) return Direction::Stays;
    return change > 0 ? Direction::Rises : Direction::Falls;
}

std::vector<TaskQuestion> TaskQuestions(const Task& task, const Model& solved,
                                        const Baseline& base) {
    std::vector<TaskQuestion> questions;
    const int solvedTo = std::min(solved.Periods.LastSolved, solved.Periods.RightEdge);
    for (int n : task.predict)
        for (Horizon h : {Horizon::Short, Horizon::Long}) {
            TaskQuestion q;
            q.variable = n;
            q.horizon = h;
            q.period = HorizonPeriod(task, h);
            if (base.Covers(q.period) && q.period <= solvedTo) {
                q.baseline = base.Var(q.period, n);
                q.value = solved.ModelVar(q.period, n);
                q.change = Deviation(q.value, q.baseline);
                q.answer = DirectionOfChange(q.value, q.baseline);
            } else {
                q.baseline = q.value = q.change = std::nan("");
            }
            questions.push_back(q);
        }
    return questions;
}

const char* DirectionWord(Direction d) {
    return d == Direction::Rises ? "rises" : d == Direction::Falls ? "falls" : "stays";
}

const char* HorizonWord(Horizon h) {
    return h == Horizon::Short ? "short" : "long";
}

const char* DirectionText(Direction d) {
    return d == Direction::Rises   ? "steigt##rises"
           : d == Direction::Falls ? "sinkt##falls"
                                   : "bleibt##stays";
}

AnswersReading ReadAnswers(std::string_view text, const Task& task) {
    AnswersReading r;
    std::set<std::tuple<std::string, int, Horizon>> answered;
    const std::vector<std::string_view> lines = Lines(text);
    for (size_t k = 0; k < lines.size(); ++k) {
        const int line = static_cast<int>(k) + 1;
        if (Trim(lines[k]).empty()) continue;
        std::vector<std::string> f = CsvFields(Trim(lines[k]));
        for (std::string& field : f)
            field = Trim(field);
        if (f.size() == 4 && Lower(f[0]) == "student" && Lower(f[1]) == "symbol") continue;
        auto fail = [&](std::string_view why, std::initializer_list<std::string_view> args) {
            r.error = LineError(line, why, args);
            r.answers.clear();
            return r;
        };
        if (f.size() != 4 || f[0].empty())
            return fail("Erwartet ist student,symbol,horizon,prediction.##Expected is "
                        "student,symbol,horizon,prediction.",
                        {});
        Answer a;
        a.student = f[0];
        a.line = line;
        a.variable = VariableBySymbol(f[1]);
        if (std::find(task.predict.begin(), task.predict.end(), a.variable) == task.predict.end())
            return fail("Die Aufgabe fragt nicht nach \"%1\".##The task does not ask for \"%1\".",
                        {f[1]});
        const std::string horizon = Lower(f[2]), prediction = Lower(f[3]);
        if (horizon != "short" && horizon != "long")
            return fail("\"%1\" ist weder short noch long.##\"%1\" is neither short nor long.",
                        {f[2]});
        a.horizon = horizon == "short" ? Horizon::Short : Horizon::Long;
        const auto* d = std::find_if(std::begin(kDirections), std::end(kDirections),
                                     [&](Direction x) { return prediction == DirectionWord(x); });
        if (d == std::end(kDirections))
            return fail("\"%1\" ist keine Vorhersage (rises, falls, stays).##\"%1\" is no "
                        "prediction (rises, falls, stays).",
                        {f[3]});
        a.prediction = *d;
        if (!answered.insert({a.student, a.variable, a.horizon}).second)
            return fail("%1 beantwortet diese Frage zum zweiten Mal.##%1 answers this question a "
                        "second time.",
                        {a.student});
        r.answers.push_back(a);
    }
    return r;
}

Grading GradeAnswers(const std::vector<Answer>& answers,
                     const std::vector<TaskQuestion>& questions) {
    Grading g;
    g.csv = "student,symbol,horizon,period,prediction,change,correct\n";
    std::vector<std::pair<std::string, int>> right; // per student, in order of appearance
    for (const Answer& a : answers) {
        const auto q = std::find_if(questions.begin(), questions.end(), [&](const TaskQuestion& x) {
            return x.variable == a.variable && x.horizon == a.horizon;
        });
        if (q == questions.end()) continue;
        const bool correct = q->answer == a.prediction;
        auto student = std::find_if(right.begin(), right.end(),
                                    [&](const auto& s) { return s.first == a.student; });
        if (student == right.end()) student = right.insert(right.end(), {a.student, 0});
        student->second += correct;
        g.csv += CsvField(a.student) + ',' + CsvField(VarSymbol(a.variable, 1)) + ',' +
                 HorizonWord(a.horizon) + ',' + std::to_string(q->period) + ',' +
                 DirectionWord(a.prediction) + ',' + FormatShortest(q->change) + ',' +
                 (correct ? "1" : "0") + '\n';
    }
    for (const auto& [student, count] : right)
        g.scores.push_back(student + ": " + std::to_string(count) + "/" +
                           std::to_string(questions.size()));
    return g;
}

std::string AnswerKey(const std::vector<TaskQuestion>& questions) {
    std::string out = "student,symbol,horizon,prediction\n";
    for (const TaskQuestion& q : questions)
        out += "solution," + CsvField(VarSymbol(q.variable, 1)) + ',' + HorizonWord(q.horizon) +
               ',' + (q.answer ? DirectionWord(*q.answer) : "") + '\n';
    return out;
}

} // namespace tv
