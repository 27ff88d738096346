// Prediction tasks: reading and refusing task files, applying them, writing them from the
// changes since the baseline, and grading answers.

#include "TestModels.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/Task.h"
#include "core/UserHost.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tv;

namespace {

const char* const kFiscal = "\xEF\xBB\xBF; a comment\r\n"
                            "[Task]\r\n"
                            "Title=Fiscal expansion\r\n"
                            "Text=Mehr Staat##More government\r\n"
                            "Change2=Im,aut;7;0,5\r\n"
                            "Change1=G,aut;5;110\r\n"
                            "Predict=Y;i;Y,exp\r\n"
                            "ShortRun=6\r\n"
                            "LongRun=20\r\n"
                            "# the end\r\n";

Task Fiscal() {
    TaskReading r = ReadTask(kFiscal);
    EXPECT_FALSE(r.error) << r.error->text;
    return r.task;
}

} // namespace

TEST(TaskTest, ReadsATaskAndWritesItBack) {
    const Task t = Fiscal();
    // In the order of their numbers; a decimal comma and English symbols are read.
    EXPECT_EQ(t.changes.at(0).line, 6);
    EXPECT_EQ(WriteTask(t), "[Task]\nTitle=Fiscal expansion\nText=Mehr Staat##More government\n"
                            "Change1=G,aut;5;110\nChange2=Im,aut;7;0.5\nPredict=Y;i;Y,erw\n"
                            "ShortRun=6\nLongRun=20\n");
    const TaskReading again = ReadTask(WriteTask(t));
    ASSERT_FALSE(again.error);
    EXPECT_EQ(WriteTask(again.task), WriteTask(t));
    EXPECT_EQ(ParameterBySymbol("C,aut"), par::CAut);                 // the first parameter too
    EXPECT_EQ(ParameterBySymbol(ParamSymbol(ParCount, 1)), ParCount); // and the last
    // A direction's English caption is the word the answers file uses.
    for (Direction d : {Direction::Rises, Direction::Falls, Direction::Stays})
        EXPECT_EQ(Translate(DirectionText(d), 2), DirectionWord(d));
}

TEST(TaskTest, RefusesABadTaskNamingTheLine) {
    const std::string head = "[Task]\nTitle=T\nText=X\n"; // lines 1-3
    const std::string tail = "Predict=Y\nShortRun=6\nLongRun=20\n";
    const struct {
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {head + "Change1=Gaut;5;110\n" + tail, 4, "Line 4: Unknown parameter \"Gaut\""},
        {head + "Change1=G,aut;5\n" + tail, 4, "SYMBOL;PERIOD;VALUE"},
        {head + "Change1=G,aut;x;110\n" + tail, 4, "not a whole number"},
        {head + "Change1=G,aut;5;1x\n" + tail, 4, "\"1x\" is not a number"},
        {head + "Change1=c[Y];5;1.5\n" + tail, 4, "1.5 is not admissible for c[Y] (Minimum"},
        {head + "Change1=G,aut;5;1e16\n" + tail, 4, "1E15"},
        {head + "Change1=dMBHN,aut;5;1e16\n" + tail, 4, "1E15 >= |dMBHN,aut|"},
        {head + "Change1=G,aut;5;1\nChange1=G,aut;6;2\n" + tail, 5, "given twice"},
        {head + "Change1=G,aut;5;1\nPredict=Y;Q\nShortRun=6\nLongRun=20\n", 5,
         "Unknown variable \"Q\""},
        {head + "Change1=G,aut;5;1\nPredict=Y;i;Y\nShortRun=6\nLongRun=20\n", 5,
         "Y is listed twice"},
        {head + "Change1=G,aut;5;1\nPredict=Y\nShortRun=6\nLongRun=6\n", 7, "LongRun must come"},
        {head + "Change1=G,aut;5;1\nColour=red\n" + tail, 5, "Unknown key Colour"},
        {head + "Change1=G,aut;5;1\nChangeX=G,aut;6;2\n" + tail, 5, "Unknown key ChangeX"},
        {"Title=T\n", 1, "Expected is [Task]"},
        {head + tail, 0, "Change1 is missing"},
        {"[Task]\nTitle=T\nChange1=G,aut;5;1\n" + tail, 0, "The key Text is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TaskReading r = ReadTask(c.text);
        ASSERT_TRUE(r.error);
        EXPECT_EQ(r.error->line, c.line);
        EXPECT_NE(Translate(r.error->text, 2).find(c.says), std::string::npos)
            << Translate(r.error->text, 2);
        EXPECT_TRUE(c.line == 0 || Translate(r.error->text, 1).find("Zeile ") == 0);
    }
}

TEST(TaskTest, StaysWithinAThousandthOfTheBaseline) {
    const double nan = std::nan("");
    const struct {
        double scenario, baseline;
        std::optional<Direction> is;
    } cases[] = {
        {100.1, 100, Direction::Stays},   {100.1001, 100, Direction::Rises},
        {-100.1, -100, Direction::Stays}, {-100.2, -100, Direction::Falls},
        {99.8, 100, Direction::Falls},    {0, 0, Direction::Stays},
        {1e-12, 0, Direction::Rises},     {nan, 100, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectionOfChange(c.scenario, c.baseline), c.is) << c.scenario;
}

// A parameter raised, then partly taken back: the changes since the baseline rebuild the
// model's parameters exactly, and the task solves to the model's run.
TEST(TaskTest, ChangesSinceTheBaselineRebuildTheRun) {
    Model m = test::KeynesianModel();
    m.Periods.RightEdge = 12;
    SilentHost host(false);
    Solve(m, host);
    const Baseline base(m);
    test::SetFrom(m, 3, {{par::GAut, 120}});
    test::SetFrom(m, 8, {{par::GAut, 110}, {par::CAut, 50}});
    MarkUnsolvedFrom(m, 2);
    Solve(m, host);

    Task task = Fiscal();
    task.changes = ChangesSinceBaseline(m, base);
    ASSERT_EQ(task.changes.size(), 3u);

    Model replay = base.Frozen();
    ApplyTask(replay, task);
    EXPECT_EQ(replay.Periods.LastSolved, 2);
    Solve(replay, host);
    for (int t = 0; t <= 12; ++t) {
        EXPECT_EQ(replay.ModelPar(t, par::GAut), m.ModelPar(t, par::GAut)) << t;
        EXPECT_EQ(replay.ModelVar(t, var::Y), m.ModelVar(t, var::Y)) << t;
    }
    // The short run is asked of the solution; the long run lies beyond it and has no answer.
    const std::vector<TaskQuestion> q = TaskQuestions(task, m, base);
    ASSERT_EQ(q.size(), 6u);
    EXPECT_EQ(q[0].value, m.ModelVar(6, var::Y));
    EXPECT_EQ(q[0].baseline, base.Var(6, var::Y));
    EXPECT_EQ(q[0].answer, Direction::Rises);
    EXPECT_TRUE(std::isnan(q[1].baseline) && std::isnan(q[1].value) && std::isnan(q[1].change));
    EXPECT_FALSE(q[1].answer);
}

TEST(TaskTest, GradesAClassAndRefusesBadAnswers) {
    const Task task = Fiscal();
    const std::vector<TaskQuestion> q = {
        {var::Y, Horizon::Short, 6, 100, 105, 5, Direction::Rises},
        {var::Y, Horizon::Long, 20, 100, 100, 0, Direction::Stays}};
    const AnswersReading a = ReadAnswers("student,symbol,horizon,prediction\n"
                                         "anna,Y,short,rises\n"
                                         "\n"
                                         "ben,Y,Long,FALLS\n"
                                         "anna,Y,long,stays\n",
                                         task);
    ASSERT_FALSE(a.error) << a.error->text;
    const Grading g = GradeAnswers(a.answers, q);
    EXPECT_EQ(g.csv, "student,symbol,horizon,period,prediction,change,correct\n"
                     "anna,Y,short,6,rises,5,1\n"
                     "ben,Y,long,20,falls,0,0\n"
                     "anna,Y,long,20,stays,0,1\n");
    EXPECT_EQ(g.scores, (std::vector<std::string>{"anna: 2/2", "ben: 0/2"}));
    // The key names symbols as the German reading does; a question without answer is blank.
    EXPECT_EQ(AnswerKey({q[0], {var::YErw, Horizon::Long, 20, 1, NAN, NAN, {}}}),
              "student,symbol,horizon,prediction\nsolution,Y,short,rises\n"
              "solution,\"Y,erw\",long,\n");

    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"anna,Y,short\n", "Line 1: Expected is"},
        {"anna,C,short,rises\n", "does not ask for \"C\""},
        {"anna,Y,short,up\n", "no prediction"},
        {"anna,\"Y,exp\",short,rises\nanna,Y,short,rises\nanna,Y,short,falls\n",
         "Line 3: anna answers this question a second time"},
    };
    for (const auto& c : bad) {
        const AnswersReading r = ReadAnswers(c.text, task);
        ASSERT_TRUE(r.error) << c.text;
        EXPECT_TRUE(r.answers.empty()); // nothing half read is graded
        EXPECT_NE(Translate(r.error->text, 2).find(c.says), std::string::npos)
            << Translate(r.error->text, 2);
    }
}
