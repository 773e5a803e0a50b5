#include "bench/ratio_reporter.h"

#include <cstdio>

namespace bench {

RatioReporter::RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
    : pairs_(std::move(pairs)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
            realTimes_[run.run_name.function_name] = run.GetAdjustedRealTime();
            cpuTimes_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    for (const auto& [measured, baseline] : pairs_) {
        const auto m = realTimes_.find(measured);
        const auto b = realTimes_.find(baseline);
        if (m != realTimes_.end() && b != realTimes_.end() && b->second > 0 &&
            cpuTimes_[baseline] > 0) {
            std::printf("ratio %s / %s = %.2f (CPU time %.2f)\n", measured.c_str(),
                        baseline.c_str(), m->second / b->second,
                        cpuTimes_[measured] / cpuTimes_[baseline]);
        }
    }
    std::fflush(stdout);
}

int runWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
