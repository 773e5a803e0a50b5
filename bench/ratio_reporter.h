#pragma once
// Console output of Google Benchmark plus, at the end, the ratio of each
// measured benchmark to its baseline from the same run, in wall-clock time
// and in CPU time (commits of the embedded engine wait for the disk).

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair names a benchmark and its baseline.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> realTimes_;
    std::map<std::string, double> cpuTimes_;
};

// Runs the registered benchmarks and prints the ratios of the pairs.
int runWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs);

} // namespace bench
