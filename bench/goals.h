#pragma once

// Goals of the benchmarks: each case is measured beside a floor, the same visible work done
// with nothing but the toolkit's own calls, in the same run; a goal bounds the ratio of their
// medians (or the excess of one over the other, or a case's own median).

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorrel::bench {

// Statistics over the repetitions of a benchmark.
double median(std::vector<double> values);
double minimum(const std::vector<double>& values);
double maximum(const std::vector<double>& values);
// The median of the distances from the median.
double medianAbsoluteDeviation(const std::vector<double>& values);

// One measure of a benchmark over its repetitions, in milliseconds (times) or in the counter's
// own unit.
struct Figures {
    double median = 0;
    double min = 0;
    double max = 0;
    double mad = 0;
};

// A measure: a benchmark's name and "cpu_time", "real_time" or the name of one of its counters.
struct Measure {
    std::string benchmark;
    std::string field;
    bool operator<(const Measure& other) const {
        return benchmark != other.benchmark ? benchmark < other.benchmark : field < other.field;
    }
};

// What the benchmarks measured, by measure, and which benchmarks failed.
struct Results {
    std::map<Measure, Figures> figures;
    std::set<std::string> failed;
};

struct Goal {
    enum class Kind {
        RatioAtMost,   // subject's median / floor's median <= limit
        ExcessAtMost,  // subject's median - floor's median <= limit
        AtMost,        // subject's median <= limit
    };

    std::string name;
    Kind kind = Kind::RatioAtMost;
    Measure subject;
    std::optional<Measure> floor;  // not for AtMost
    double limit = 0;
    // A goal shown for reference only: judged and listed, but never failing the run.
    bool forReference = false;
};

struct Verdict {
    enum class State {
        Met,
        Missed,
        NotRun,  // neither measure was taken (filtered out)
        Broken,  // a side failed or was not taken while the other was, or a floor of 0
    };

    State state = State::NotRun;
    double value = 0;  // the ratio, the excess or the subject's median
    std::optional<Figures> subject;
    std::optional<Figures> floor;
};

Verdict judge(const Goal& goal, const Results& results);

// The table of goals with their figures and verdicts, one line each, and a last line saying
// whether every goal that ran was met.
std::string goalTable(const std::vector<Goal>& goals, const Results& results);

// True when no goal was missed or broken, reference goals aside.
bool allMet(const std::vector<Goal>& goals, const Results& results);

}  // namespace quorrel::bench
