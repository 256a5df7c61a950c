#include "goals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace quorrel::bench {

double median(std::vector<double> values) {
    if (values.empty()) {
        throw std::invalid_argument("median of no values");
    }
    const std::size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half),
                     values.end());
    const double upper = values[half];
    if (values.size() % 2 == 1) {
        return upper;
    }
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half));
    return (lower + upper) / 2;
}

double minimum(const std::vector<double>& values) {
    if (values.empty()) {
        throw std::invalid_argument("minimum of no values");
    }
    return *std::min_element(values.begin(), values.end());
}

double maximum(const std::vector<double>& values) {
    if (values.empty()) {
        throw std::invalid_argument("maximum of no values");
    }
    return *std::max_element(values.begin(), values.end());
}

double medianAbsoluteDeviation(const std::vector<double>& values) {
    const double centre = median(values);
    std::vector<double> distances;
    distances.reserve(values.size());
    for (double v : values) {
        distances.push_back(std::abs(v - centre));
    }
    return median(std::move(distances));
}

namespace {

std::optional<Figures> find(const Results& results, const std::optional<Measure>& measure) {
    if (!measure) {
        return std::nullopt;
    }
    const auto found = results.figures.find(*measure);
    if (found == results.figures.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string format(const char* pattern, double a, double b = 0, double c = 0, double d = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

std::string describe(const std::optional<Figures>& figures) {
    if (!figures) {
        return "-";
    }
    return format("%.4g (%.4g..%.4g, MAD %.2g)", figures->median, figures->min, figures->max,
                  figures->mad);
}

const char* stateName(Verdict::State state) {
    switch (state) {
        case Verdict::State::Met:
            return "met";
        case Verdict::State::Missed:
            return "MISSED";
        case Verdict::State::NotRun:
            return "not run";
        case Verdict::State::Broken:
            return "NOT MEASURED";
    }
    return "?";
}

std::string pad(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

}  // namespace

Verdict judge(const Goal& goal, const Results& results) {
    Verdict verdict;
    const bool failed = results.failed.count(goal.subject.benchmark) > 0 ||
                        (goal.floor && results.failed.count(goal.floor->benchmark) > 0);
    verdict.subject = find(results, goal.subject);
    const bool needsFloor = goal.kind != Goal::Kind::AtMost;
    if (needsFloor) {
        verdict.floor = find(results, goal.floor);
    }
    const bool haveAll = verdict.subject && (!needsFloor || verdict.floor);
    if (failed || !haveAll) {
        const bool haveAny = verdict.subject || verdict.floor;
        verdict.state = failed || haveAny || (needsFloor && !goal.floor) ? Verdict::State::Broken
                                                                         : Verdict::State::NotRun;
        return verdict;
    }
    const double subject = verdict.subject->median;
    switch (goal.kind) {
        case Goal::Kind::RatioAtMost:
            if (!(verdict.floor->median > 0)) {
                verdict.state = Verdict::State::Broken;
                return verdict;
            }
            verdict.value = subject / verdict.floor->median;
            break;
        case Goal::Kind::ExcessAtMost:
            verdict.value = subject - verdict.floor->median;
            break;
        case Goal::Kind::AtMost:
            verdict.value = subject;
            break;
    }
    verdict.state = verdict.value <= goal.limit ? Verdict::State::Met : Verdict::State::Missed;
    return verdict;
}

std::string goalTable(const std::vector<Goal>& goals, const Results& results) {
    std::size_t nameWidth = 4;
    for (const Goal& goal : goals) {
        nameWidth = std::max(nameWidth, goal.name.size());
    }
    std::string table = pad("Goal", nameWidth) + "  " + pad("Case median (min..max, MAD)", 40) +
                        pad("Floor median (min..max, MAD)", 40) + pad("Value", 10) +
                        pad("Limit", 10) + "Verdict\n";
    for (const Goal& goal : goals) {
        const Verdict v = judge(goal, results);
        std::string value = "-";
        std::string limit;
        switch (goal.kind) {
            case Goal::Kind::RatioAtMost:
                limit = format("%.2fx", goal.limit);
                if (v.state == Verdict::State::Met || v.state == Verdict::State::Missed) {
                    value = format("%.3fx", v.value);
                }
                break;
            case Goal::Kind::ExcessAtMost:
                limit = format("+%.3g", goal.limit);
                if (v.state == Verdict::State::Met || v.state == Verdict::State::Missed) {
                    value = format("%+.3g", v.value);
                }
                break;
            case Goal::Kind::AtMost:
                limit = format("%.3g", goal.limit);
                if (v.state == Verdict::State::Met || v.state == Verdict::State::Missed) {
                    value = format("%.3g", v.value);
                }
                break;
        }
        table += pad(goal.name, nameWidth) + "  " + pad(describe(v.subject), 40) +
                 pad(describe(v.floor), 40) + pad(value, 10) + pad(limit, 10) + stateName(v.state) +
                 (goal.forReference ? " (for reference)" : "") + "\n";
    }
    table += allMet(goals, results) ? "Every goal that ran was met.\n"
                                    : "Some goals were missed or not measured.\n";
    return table;
}

bool allMet(const std::vector<Goal>& goals, const Results& results) {
    return std::all_of(goals.begin(), goals.end(), [&](const Goal& goal) {
        const Verdict::State state = judge(goal, results).state;
        return goal.forReference || state == Verdict::State::Met || state == Verdict::State::NotRun;
    });
}

}  // namespace quorrel::bench
