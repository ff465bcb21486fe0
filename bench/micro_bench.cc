// SPDX-License-Identifier: MIT
// Micro-benchmarks of the scanner and the writer alone, on logs held in
// memory, so that neither the disk nor the other half is measured.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "log_maker.h"
#include "log_scanner.h"
#include "track_writer.h"

namespace {

using hreftrack::ScanStatus;
using hreftrack::SlideEvent;
using hreftrack::SlideLogScanner;

// Scans `log` to its end, `state.iterations()` times, and reports bytes/s.
void scanLog(benchmark::State& state, std::string& log) {
  for (auto _ : state) {
    std::FILE* stream = fmemopen(log.data(), log.size(), "rb");
    SlideLogScanner scanner(stream);
    SlideEvent event;
    std::size_t events = 0;
    while (scanner.nextEvent(event) == ScanStatus::Event) ++events;
    benchmark::DoNotOptimize(events);
    std::fclose(stream);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}

void BM_ScanDense(benchmark::State& state) {
  static std::string log = [] {
    std::string text;
    hreftrack::bench::DenseLog().append(text, 8 << 20);
    return text;
  }();
  scanLog(state, log);
}
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

// Writes 100,000 samples into /dev/null through the writer's buffer.
void BM_WriteSlides(benchmark::State& state) {
  std::FILE* sink = std::fopen("/dev/null", "wb");
  std::setvbuf(sink, nullptr, _IONBF, 0);
  SlideEvent event;
  std::snprintf(event.slideNumber, sizeof event.slideNumber, "%s", "123");
  const hreftrack::TimeOffset offset{0, 0, 5};
  for (auto _ : state) {
    hreftrack::HrefTrackWriter writer(sink);
    writer.writeOpening();
    for (int i = 0; i < 100000; ++i) {
      event.minutes = i / 60 % 100;
      event.seconds = i % 60;
      writer.writeSlide(event, offset);
    }
    writer.writeClosing(hreftrack::PlayLength{1, 2, 3, 4});
    benchmark::DoNotOptimize(writer.finish());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * 100000));
  std::fclose(sink);
}
BENCHMARK(BM_WriteSlides)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
