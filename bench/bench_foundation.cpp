// The directive language and time expressions on the store's hot shapes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

using namespace kvq;

namespace {

std::vector<std::string> SensorNames(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("STATION" + std::to_string(i / 8) + ".SENSOR" + std::to_string(i % 8));
  return names;
}

// The description of 1,000 sensors: "%P%W" appended once per sensor.
void BM_FormatDescription1000(benchmark::State& state) {
  const auto names = SensorNames(1000);
  for (auto _ : state) {
    std::string out;
    for (int i = 0; i < 1000; ++i) FormatAppend(out, "%P%W", names[i], i % 4);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FormatDescription1000);

// Reading the same description back field pair by field pair.
void BM_ScanDescription1000(benchmark::State& state) {
  const auto names = SensorNames(1000);
  std::string line;
  for (int i = 0; i < 1000; ++i) FormatAppend(line, "%P%W", names[i], i % 4);
  for (auto _ : state) {
    int pos = 1;
    std::string name;
    std::uint16_t digits = 0;
    int n = 0;
    while (pos <= static_cast<int>(line.size()) && ScanStrAt(line, pos, "%P%W", name, digits)) ++n;
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ScanDescription1000);

void BM_FormatTimeTag(benchmark::State& state) {
  TimeTag t = EncodeTimeTag(2009, 3, 7, 14, 5, 0);
  for (auto _ : state) {
    std::string s = FormatStr("%j", t);
    benchmark::DoNotOptimize(s);
    t += 900;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatTimeTag);

void BM_ScanTimeTag(benchmark::State& state) {
  const std::string text = "03/07/2009 14:05:00";
  for (auto _ : state) {
    TimeTag t = 0;
    benchmark::DoNotOptimize(ScanStr(text, "%j", t));
    benchmark::DoNotOptimize(t);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScanTimeTag);

// The data manager's range command: built, then parsed by the client and server.
void BM_RawCommandBuildAndParse(benchmark::State& state) {
  const std::string file = "/home/hydro/data/RIVER1";
  TimeTag t = EncodeTimeTag(2009, 3, 7, 0, 0, 0);
  for (auto _ : state) {
    std::string cmd = FormatStr("RAW,%p,%j,%j", file, t, t + 86400);
    int pos = 1;
    std::string verb, name;
    TimeTag a = 0, b = 0;
    ScanStrAt(cmd, pos, "%P%P", verb, name);
    benchmark::DoNotOptimize(ScanStrAt(cmd, pos, "%J%J", a, b));
    benchmark::DoNotOptimize(b);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawCommandBuildAndParse);

void BM_EvaluateTimeExpression(benchmark::State& state) {
  static const char* kTexts[] = {"TODAY", "NOW-1:00", "12/31/2008 06:00:00+0/1/0", "LAST MONTH", "THIS WEEK+0/2/0"};
  const TimeTag ref = EncodeTimeTag(2009, 3, 7, 14, 35, 20);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateTimeExpression(kTexts[i++ % 5], ref));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateTimeExpression);

}  // namespace

BENCHMARK_MAIN();
