// The statistics of the benchmarks and the verdicts on their goals.

#include "goals.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace quorrel::bench {
namespace {

TEST(Statistics, MedianOfAnOddAndAnEvenNumberOfValues) {
    EXPECT_DOUBLE_EQ(median({5, 1, 3}), 3);
    EXPECT_DOUBLE_EQ(median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(median({7}), 7);
    EXPECT_DOUBLE_EQ(median({2, 2, 9, 9}), 5.5);
}

TEST(Statistics, MedianAbsoluteDeviationIgnoresOneWildValue) {
    // Distances from the median 3: 2, 1, 0, 1, 97.
    EXPECT_DOUBLE_EQ(medianAbsoluteDeviation({1, 2, 3, 4, 100}), 1);
    EXPECT_DOUBLE_EQ(medianAbsoluteDeviation({6, 6, 6}), 0);
}

TEST(Statistics, MinimumAndMaximum) {
    EXPECT_DOUBLE_EQ(minimum({3, -1, 2}), -1);
    EXPECT_DOUBLE_EQ(maximum({3, -1, 2}), 3);
}

TEST(Statistics, NoValuesIsAnError) {
    EXPECT_THROW(median({}), std::invalid_argument);
    EXPECT_THROW(minimum({}), std::invalid_argument);
    EXPECT_THROW(maximum({}), std::invalid_argument);
    EXPECT_THROW(medianAbsoluteDeviation({}), std::invalid_argument);
}

Figures withMedian(double m) {
    return Figures{m, m - 1, m + 1, 0.5};
}

Goal ratioGoal(double limit) {
    return Goal{"ratio",
                Goal::Kind::RatioAtMost,
                {"Case/game", "cpu_time"},
                Measure{"Case/floor", "cpu_time"},
                limit};
}

TEST(Goals, RatioOfTheMediansIsJudgedAgainstItsLimit) {
    Results results;
    results.figures[{"Case/game", "cpu_time"}] = withMedian(3);
    results.figures[{"Case/floor", "cpu_time"}] = withMedian(2);
    const Verdict met = judge(ratioGoal(1.5), results);
    EXPECT_EQ(met.state, Verdict::State::Met);
    EXPECT_DOUBLE_EQ(met.value, 1.5);
    ASSERT_TRUE(met.subject && met.floor);
    EXPECT_DOUBLE_EQ(met.subject->median, 3);
    EXPECT_DOUBLE_EQ(met.floor->median, 2);
    EXPECT_EQ(judge(ratioGoal(1.49), results).state, Verdict::State::Missed);
}

TEST(Goals, ExcessAndLimitOfTheMedian) {
    Results results;
    results.figures[{"Startup", "game_MiB"}] = withMedian(31);
    results.figures[{"Startup", "bare_MiB"}] = withMedian(28.5);
    const Goal excess{"memory",
                      Goal::Kind::ExcessAtMost,
                      {"Startup", "game_MiB"},
                      Measure{"Startup", "bare_MiB"},
                      3};
    EXPECT_EQ(judge(excess, results).state, Verdict::State::Met);
    EXPECT_DOUBLE_EQ(judge(excess, results).value, 2.5);
    results.figures[{"Startup", "game_MiB"}] = withMedian(32);
    EXPECT_EQ(judge(excess, results).state, Verdict::State::Missed);

    const Goal within{"time", Goal::Kind::AtMost, {"Startup", "game_MiB"}, std::nullopt, 32};
    EXPECT_EQ(judge(within, results).state, Verdict::State::Met);
    results.figures[{"Startup", "game_MiB"}] = withMedian(32.01);
    EXPECT_EQ(judge(within, results).state, Verdict::State::Missed);
}

TEST(Goals, AGoalWhoseBenchmarksDidNotRunIsNotJudged) {
    Results results;
    results.figures[{"Other/game", "cpu_time"}] = withMedian(1);
    const std::vector<Goal> goals{ratioGoal(2)};
    EXPECT_EQ(judge(goals[0], results).state, Verdict::State::NotRun);
    EXPECT_TRUE(allMet(goals, results));
}

TEST(Goals, AMissingSideAFailedBenchmarkOrAFloorOfZeroIsNotMet) {
    std::vector<Goal> goals{ratioGoal(2)};
    Results oneSide;
    oneSide.figures[{"Case/game", "cpu_time"}] = withMedian(1);
    EXPECT_EQ(judge(goals[0], oneSide).state, Verdict::State::Broken);
    EXPECT_FALSE(allMet(goals, oneSide));

    Results failed;
    failed.failed.insert("Case/floor");
    EXPECT_EQ(judge(goals[0], failed).state, Verdict::State::Broken);

    Results zero;
    zero.figures[{"Case/game", "cpu_time"}] = withMedian(1);
    zero.figures[{"Case/floor", "cpu_time"}] = Figures{};
    EXPECT_EQ(judge(goals[0], zero).state, Verdict::State::Broken);

    const Goal noFloor{
        "no floor", Goal::Kind::RatioAtMost, {"Case/game", "cpu_time"}, std::nullopt, 2};
    EXPECT_EQ(judge(noFloor, oneSide).state, Verdict::State::Broken);
}

TEST(Goals, AGoalForReferenceIsJudgedButNeverFailsTheRun) {
    Results results;
    results.figures[{"Case/game", "real_time"}] = withMedian(5);
    results.figures[{"Case/floor", "real_time"}] = withMedian(1);
    Goal wall{"wall",
              Goal::Kind::RatioAtMost,
              {"Case/game", "real_time"},
              Measure{"Case/floor", "real_time"},
              2};
    wall.forReference = true;
    EXPECT_EQ(judge(wall, results).state, Verdict::State::Missed);
    EXPECT_TRUE(allMet({wall}, results));
    const std::string table = goalTable({wall}, results);
    EXPECT_NE(table.find("MISSED (for reference)"), std::string::npos) << table;
    EXPECT_NE(table.find("Every goal that ran was met"), std::string::npos) << table;
}

TEST(Goals, TableShowsEveryGoalWithItsFiguresAndVerdict) {
    Results results;
    results.figures[{"Case/game", "cpu_time"}] = Figures{3, 2.5, 3.5, 0.25};
    results.figures[{"Case/floor", "cpu_time"}] = Figures{1, 0.9, 1.2, 0.05};
    const std::vector<Goal> goals{
        ratioGoal(2),
        Goal{"absolute", Goal::Kind::AtMost, {"Case/game", "cpu_time"}, std::nullopt, 5}};
    EXPECT_FALSE(allMet(goals, results));
    const std::string table = goalTable(goals, results);
    EXPECT_NE(table.find("ratio"), std::string::npos);
    EXPECT_NE(table.find("3 (2.5..3.5, MAD 0.25)"), std::string::npos) << table;
    EXPECT_NE(table.find("1 (0.9..1.2, MAD 0.05)"), std::string::npos) << table;
    EXPECT_NE(table.find("3.000x"), std::string::npos) << table;
    EXPECT_NE(table.find("MISSED"), std::string::npos) << table;
    EXPECT_NE(table.find("met"), std::string::npos) << table;
    EXPECT_NE(table.find("Some goals were missed"), std::string::npos) << table;
}

}  // namespace
}  // namespace quorrel::bench
