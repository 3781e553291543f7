// One throw and catch, 32 KB down the stack. Built twice: with FaultTrap linked and switched on
// (bench_throw_faulttrap) and without it (bench_throw_plain); the ratio of the two is what
// FaultTrap adds to the throw path. A call that does not throw is timed as well: FaultTrap must
// add nothing there.

#include <benchmark/benchmark.h>

#include <exception>
#include <functional>

namespace {

constexpr int kFrameBytes = 1024;
constexpr int kFrames = 32; // 32 frames of 1 KB: the throw happens 32 KB down the stack

struct Failure : std::exception {
    const char* what() const noexcept override { return "benchmark failure"; }
};

volatile int sink = 0;

// Runs `bottom` kFrames frames of kFrameBytes each down the stack.
__attribute__((noinline)) int Down(int frames, const std::function<int()>& bottom) {
    volatile char frame[kFrameBytes];
    frame[0] = static_cast<char>(frames);
    if (frames == 0) {
        return bottom() + frame[0];
    }
    return Down(frames - 1, bottom) + frame[0];
}

__attribute__((noinline)) void Throw() {
    throw Failure();
}

__attribute__((noinline)) void DoNotThrow() {
    sink = sink + 1;
}

// Thrown and caught in the deepest frame: the whole 32 KB of stack lie above the throw.
void ThrowCaughtNearby(benchmark::State& state) {
    Down(kFrames, [&] {
        for (auto _ : state) {
            try {
                Throw();
            } catch (const std::exception& failure) {
                benchmark::DoNotOptimize(failure.what());
            }
        }
        return 0;
    });
}
BENCHMARK(ThrowCaughtNearby);

// Thrown in the deepest frame and caught at the top: the unwinding of the 32 frames included.
void ThrowCaughtAtTheTop(benchmark::State& state) {
    for (auto _ : state) {
        try {
            Down(kFrames, [] {
                Throw();
                return 0;
            });
        } catch (const std::exception& failure) {
            benchmark::DoNotOptimize(failure.what());
        }
    }
}
BENCHMARK(ThrowCaughtAtTheTop);

// A guarded call that does not throw, in the deepest frame.
void CallWithoutThrow(benchmark::State& state) {
    Down(kFrames, [&] {
        for (auto _ : state) {
            try {
                DoNotThrow();
            } catch (const std::exception& failure) {
                benchmark::DoNotOptimize(failure.what());
            }
        }
        return 0;
    });
}
BENCHMARK(CallWithoutThrow);

} // namespace

BENCHMARK_MAIN();
