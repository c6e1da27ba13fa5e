#pragma once

#include <functional>
#include <vector>

namespace bench {

struct Case {
    const char* name;
    std::function<void()> run;
};

std::vector<Case>& registry();

struct Register {
    Register(const char* name, std::function<void()> run);
};

// Runs step `runs` times and returns the median wall time in milliseconds.
double medianMs(int runs, const std::function<void()>& step);
void report(const char* what, double ms);

} // namespace bench

#define BENCH_CONCAT2(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT2(a, b)
// BENCH_CASE("name") { ...body... }
#define BENCH_CASE(name)                                                          \
    static void BENCH_CONCAT(bench_fn_, __LINE__)();                              \
    static bench::Register BENCH_CONCAT(bench_reg_, __LINE__)(name, &BENCH_CONCAT(bench_fn_, __LINE__)); \
    static void BENCH_CONCAT(bench_fn_, __LINE__)()
