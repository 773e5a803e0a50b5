#pragma once
// Shortens a failing sequence of steps: drops ever smaller runs of steps
// and keeps a shorter sequence whenever its replay, on fresh databases,
// still breaks the same invariant.

#include "sequence/step.h"

#include <QString>

#include <functional>

namespace sequence {

class Shrinker {
public:
    // Replays a sequence from the start; the broken invariant, or empty.
    using Replay = std::function<QString(const Steps& steps)>;

    Shrinker(Replay replay, int maxReplays) : replay_(std::move(replay)), budget_(maxReplays) {}

    // The failure's kind: its words before the first detail.
    static QString kindOf(const QString& violation) {
        return violation.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(' '), 0, 2);
    }

    Steps shrink(Steps steps, const QString& violation) {
        const QString kind = kindOf(violation);
        std::size_t chunk = std::max<std::size_t>(steps.size() / 2, 1);
        while (chunk >= 1 && budget_ > 0) {
            bool dropped = false;
            for (std::size_t start = 0; start + chunk <= steps.size() && budget_ > 0;) {
                Steps shorter(steps.begin(), steps.begin() + start);
                shorter.insert(shorter.end(), steps.begin() + start + chunk, steps.end());
                --budget_;
                if (!shorter.empty() && kindOf(replay_(shorter)) == kind) {
                    steps = std::move(shorter);
                    dropped = true;
                } else {
                    start += chunk;
                }
            }
            if (!dropped)
                chunk /= 2;
            chunk = std::min(chunk, std::max<std::size_t>(steps.size() / 2, 1));
        }
        return steps;
    }

private:
    Replay replay_;
    int budget_;
};

} // namespace sequence
