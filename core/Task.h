#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

class Baseline;
class Model;

// A prediction task: an experiment a student predicts before the model solves it. A small
// UTF-8 text file in INI form beside a model:
//
//   [Task]
//   Title=Fiscal expansion
//   Text=The government buys 10 more from period 5 on. What happens?
//   Change1=G,aut;5;110
//   Predict=Y;i;P
//   ShortRun=6
//   LongRun=100
//
// ChangeN sets a parameter from period FROM to the right edge; Predict lists variables;
// ShortRun and LongRun are the periods compared with the baseline. Symbols are German or
// English; Title and Text may be bilingual ("Deutsch##English").
struct TaskChange {
    int parameter = 0;
    int from = 0;
    double value = 0;
    int line = 0; // where the file names it (0: made by the program)
};

struct Task {
    std::string title, text;
    std::vector<TaskChange> changes;
    std::vector<int> predict; // variable numbers
    int shortRun = 0, longRun = 0;
    int shortRunLine = 0, longRunLine = 0;
};

enum class Horizon { Short, Long };
enum class Direction { Rises, Falls, Stays };

// A refusal: a bilingual text naming the line ("Zeile 3: …##Line 3: …").
struct TaskError {
    int line = 0; // 0 when no line is at fault (a key is missing)
    std::string text;
};

struct TaskReading {
    Task task;
    std::optional<TaskError> error;
};

// Reads a task file's text: syntax, symbols, numbers and parameter ranges. The periods are
// checked against the model the task runs on (CheckTaskPeriods).
TaskReading ReadTask(std::string_view text);
// Every change period and both horizons must lie in the analysis interval left..right.
std::optional<TaskError> CheckTaskPeriods(const Task& task, int left, int right);
// The file text of a task; ReadTask reads it back to the same task.
std::string WriteTask(const Task& task);

// The parameter whose symbol is s, German or English ("G,aut"); 0 when none.
int ParameterBySymbol(std::string_view s);

// Sets each changed parameter from its period to the right edge and marks what must be
// solved again. Changes apply in file order, so a later one overrides an earlier one.
void ApplyTask(Model& m, const Task& task);
// The changes that turn the baseline's parameters into the model's over the analysis
// interval, as few as the step form allows (a parameter that changes back gets a second
// change); the same parameter's changes in ascending periods.
std::vector<TaskChange> ChangesSinceBaseline(const Model& m, const Baseline& base);

// The period a horizon compares.
int HorizonPeriod(const Task& task, Horizon h);
// Which way a variable went against the baseline: "stays" when the change is at most 0.1 %
// of the baseline value's magnitude (exactly 0 when the baseline value is 0). Nothing when
// either value is not a number.
std::optional<Direction> DirectionOfChange(double scenario, double baseline);

// One question of a task with its right answer, computed from the solved model against the
// baseline.
struct TaskQuestion {
    int variable = 0;
    Horizon horizon = Horizon::Short;
    int period = 0;
    double baseline = 0, value = 0, change = 0;
    std::optional<Direction> answer; // none when the values are not numbers
};
// Per predicted variable the short, then the long run. A period the baseline or the
// solution did not reach has no answer.
std::vector<TaskQuestion> TaskQuestions(const Task& task, const Model& solved,
                                        const Baseline& base);

// "rises", "falls", "stays" / "short", "long", as the answer files write them.
const char* DirectionWord(Direction d);
const char* HorizonWord(Horizon h);
// "steigt##rises", "sinkt##falls", "bleibt##stays".
const char* DirectionText(Direction d);

// A class's answers: CSV lines "student,symbol,horizon,prediction" (an optional header
// line of these names). A field with a comma is quoted ("Y,erw").
struct Answer {
    std::string student;
    int variable = 0;
    Horizon horizon = Horizon::Short;
    Direction prediction = Direction::Stays;
    int line = 0;
};
struct AnswersReading {
    std::vector<Answer> answers;
    std::optional<TaskError> error;
};
// Refuses, naming the line, a variable the task does not ask for, a word it does not know
// and a question a student answers twice.
AnswersReading ReadAnswers(std::string_view text, const Task& task);

// The graded answers as CSV "student,symbol,horizon,period,prediction,change,correct",
// and per student, in the order of first appearance, "STUDENT: RIGHT/QUESTIONS" (an
// unanswered question counts as wrong).
struct Grading {
    std::string csv;
    std::vector<std::string> scores;
};
Grading GradeAnswers(const std::vector<Answer>& answers,
                     const std::vector<TaskQuestion>& questions);
// The right answers in the form of an answers file, student "solution".
std::string AnswerKey(const std::vector<TaskQuestion>& questions);

} // namespace tv
