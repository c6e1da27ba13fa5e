// The benchmark program. Each case file registers itself with BENCH_CASE;
// `rafordit_bench [filter]` runs the cases whose name contains the filter.
#include "bench/bench.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace bench {

std::vector<Case>& registry()
{
    static std::vector<Case> cases;
    return cases;
}

Register::Register(const char* name, std::function<void()> run)
{
    registry().push_back({name, std::move(run)});
}

double medianMs(int runs, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, double ms)
{
    std::printf("  %-60s %10.3f ms (median)\n", what, ms);
    std::fflush(stdout);
}

} // namespace bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char* filter = argc > 1 ? argv[1] : "";
    for (const bench::Case& c : bench::registry()) {
        if (std::strstr(c.name, filter) == nullptr)
            continue;
        std::printf("%s\n", c.name);
        c.run();
    }
    return 0;
}
