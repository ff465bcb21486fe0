// SPDX-License-Identifier: MIT
// Micro-benchmarks of the scanner and the writer alone, on logs held in
// memory, so that neither the disk nor the other half is measured.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log_maker.h"
#include "log_scanner.h"
#include "track_writer.h"

namespace {

using hreftrack::ScanStatus;
using hreftrack::SlideEvent;
using hreftrack::SlideLogScanner;

// Scans `log` to its end, `state.iterations()` times, and reports bytes/s
// and events/s.
void scanLog(benchmark::State& state, std::string& log) {
  std::size_t events = 0;
  for (auto _ : state) {
    std::FILE* stream = fmemopen(log.data(), log.size(), "rb");
    SlideLogScanner scanner(stream);
    SlideEvent event;
    events = 0;
    while (scanner.nextEvent(event) == ScanStatus::Event) ++events;
    benchmark::DoNotOptimize(events);
    std::fclose(stream);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * events));
}

// 8 MiB of the dense benchmark log: about 150,000 events.
std::string& denseLog() {
  static std::string log = [] {
    std::string text;
    hreftrack::bench::DenseLog().append(text, 8 << 20);
    return text;
  }();
  return log;
}

void BM_ScanDense(benchmark::State& state) { scanLog(state, denseLog()); }
BENCHMARK(BM_ScanDense)->Unit(benchmark::kMillisecond);

void BM_ScanSparse(benchmark::State& state) {
  static std::string log = [] {
    std::string text;
    hreftrack::bench::SparseLog maker;
    while (text.size() < (32u << 20)) maker.append(text);
    return text;
  }();
  scanLog(state, log);
}
BENCHMARK(BM_ScanSparse)->Unit(benchmark::kMillisecond);

// Writes the events of the dense log into /dev/null through the writer's
// buffer, and reports events/s.
void BM_WriteDense(benchmark::State& state) {
  static const std::vector<SlideEvent> events = [] {
    std::FILE* stream = fmemopen(denseLog().data(), denseLog().size(), "rb");
    SlideLogScanner scanner(stream);
    std::vector<SlideEvent> found;
    SlideEvent event;
    while (scanner.nextEvent(event) == ScanStatus::Event) found.push_back(event);
    std::fclose(stream);
    return found;
  }();
  std::FILE* sink = std::fopen("/dev/null", "wb");
  std::setvbuf(sink, nullptr, _IONBF, 0);
  const hreftrack::TimeOffset offset{0, 0, 5};
  for (auto _ : state) {
    hreftrack::HrefTrackWriter writer(sink);
    writer.writeOpening();
    for (const SlideEvent& event : events) writer.writeSlide(event, offset);
    writer.writeClosing(hreftrack::PlayLength{1, 2, 3, 4});
    benchmark::DoNotOptimize(writer.finish());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * events.size()));
  std::fclose(sink);
}
BENCHMARK(BM_WriteDense)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
