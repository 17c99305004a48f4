// Bytes per second through the terminal's receive path: receive window, line dispatch and
// the engine model with its trouble codes, into a dashboard that shows nothing. The stream
// is what a saturated line carries: status rounds (address claim, simulation status with a
// sweeping level, engine clock) back to back.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "FakeClock.h"
#include "NullTerminalView.h"
#include "bench/LineSource.h"
#include "line_building.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/link/TerminalCore.h"

namespace {

// Counts the numeric display writes, to show that every status line reached the engine model.
class CountingView : public testing_support::NullTerminalView {
public:
    void setDisplayValue(int, double) override { ++displayWrites; }
    std::int64_t displayWrites = 0;
};

// 200 rounds: the level sweeps 0..100 and back, as the stand-in's Dynamic mode does.
std::string saturatedStream() {
    std::string stream;
    for (int round = 0; round < 200; ++round) {
        const unsigned level = round <= 100 ? round : 200 - round;
        stream += linetest::addressClaim(0x15);
        stream += linetest::simulationStatus(level, 0x0D);
        stream += linetest::engineClock(round / 60, round % 60);
    }
    return stream;
}

void receivePath(benchmark::State& state) {
    const auto eventSize = static_cast<std::size_t>(state.range(0));
    const auto folder =
        std::filesystem::temp_directory_path() / ("tessaly-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    CountingView view;
    bench::LineSource serial;
    testing_support::FakeClock clock;
    terminal::TerminalCore core{view, serial, clock, folder / "vive1939.ini"};
    serial.setOnComm([&core] { core.onReceive(); });
    core.startSession();
    core.onTimer(terminal::ids::linkTimer);
    const std::string hello =
        "ACK REVD\r\nACK CBRS=03\r\n" + linetest::identification(123456, 0x01);
    serial.deliver(reinterpret_cast<const std::uint8_t*>(hello.data()), hello.size());
    view.displayWrites = 0;

    const std::string stream = saturatedStream();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += eventSize) {
            serial.deliver(bytes + at, std::min(eventSize, stream.size() - at));
        }
        // A silent tick would disconnect; a real line keeps the record flag set.
        core.onTimer(terminal::ids::linkTimer);
    }
    if (!core.session().portOpen) {
        state.SkipWithError("the core dropped the link during the run");
    }
    // 200 simulation status lines per pass, each writing every numeric display.
    state.counters["displays_per_status_line"] =
        static_cast<double>(view.displayWrites) / static_cast<double>(state.iterations() * 200);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    std::filesystem::remove_all(folder);
}

}  // namespace

// Bytes per receive event: 1 (every byte its own event), 11 (1 ms of a saturated line),
// 64 (one full USB packet).
BENCHMARK(receivePath)->Arg(1)->Arg(11)->Arg(64)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
