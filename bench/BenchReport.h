#pragma once

// The console report of a benchmark program, keeping each run's time so the
// program can print the ratio of two runs measured side by side.

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

class BenchReport : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Absent when either run is missing, e.g. left out by a filter.
    std::optional<double> ratio(const std::string &numerator, const std::string &denominator) const
    {
        const auto top = m_times.find(numerator);
        const auto bottom = m_times.find(denominator);
        if (top == m_times.end() || bottom == m_times.end() || top->second <= 0 || bottom->second <= 0)
            return std::nullopt;
        return top->second / bottom->second;
    }

    // One run's time in its benchmark's own unit; absent when it did not run.
    std::optional<double> time(const std::string &name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? std::nullopt : std::optional<double>(found->second);
    }

private:
    std::map<std::string, double> m_times;
};
