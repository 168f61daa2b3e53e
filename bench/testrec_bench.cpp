// Throughput of the library itself, as a host calls it: QV_TestRec and
// QV_GetMessageList on one case per iteration, cycling through the cases of
// examples/sample.dat (200 generated cases, 8 % of them with a fault).
#include <benchmark/benchmark.h>
#include <quorvant.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct SampleCases {
  std::vector<std::string> cases;  // MX line, MB line and add-on lines, CR LF ended
  std::string emptyMb;             // an MB line without values in the file's layout
};

SampleCases ReadSample(const char* path) {
  SampleCases s;
  std::ifstream in(path, std::ios::binary);
  std::string line, header;
  bool inCase = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("MX|", 0) == 0) {
      header = line + "\r\n";
      inCase = false;
      continue;
    }
    if (line.rfind("MB|", 0) == 0) {
      if (s.emptyMb.empty()) s.emptyMb = "MB" + std::string(std::count(line.begin(), line.end(), '|'), '|') + "\r\n";
      s.cases.push_back(header);
      inCase = true;
    }
    if (inCase) s.cases.back() += line + "\r\n";
  }
  return s;
}

void CheckSampleCases(benchmark::State& state) {
  static const SampleCases sample = ReadSample(QV_SAMPLE);
  if (sample.cases.empty()) {
    state.SkipWithError("no cases in " QV_SAMPLE);
    return;
  }
  unsigned handle = QV_Create(QV_REF_DIR, 0);
  if (handle == 0xFFFFFFFFu) {
    state.SkipWithError("QV_Create failed on " QV_REF_DIR);
    return;
  }
  // The first call fixes the MB layout, so that every case can carry its MX line.
  QV_TestRec(handle, sample.emptyMb.c_str(), 0, 0);
  std::vector<char> list(16384 + 1);
  std::size_t next = 0;
  long messages = 0;
  int e, w, h, c, s;
  for (auto _ : state) {
    const std::string& data = sample.cases[next];
    next = (next + 1) % sample.cases.size();
    int count = QV_TestRec(handle, data.c_str(), 0, 0);
    std::size_t need = static_cast<std::size_t>(std::max(count, 0)) * 16384 + 1;
    if (list.size() < need) list.resize(need);
    QV_GetMessageList(handle, &e, &w, &h, &c, &s, list.data());
    benchmark::DoNotOptimize(list.data());
    messages += count;
  }
  QV_Destroy(handle);
  state.SetItemsProcessed(state.iterations());
  state.counters["messages"] = benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kAvgIterations);
}
BENCHMARK(CheckSampleCases);

}  // namespace

int main(int argc, char** argv) {
  // The library writes a debug log of every step while this directory
  // exists; figures taken then measure the disk as well.
  struct stat st;
  bool logOn = ::stat("/tmp/quorvant", &st) == 0;
  benchmark::AddCustomContext("library debug log", logOn ? "ON (/tmp/quorvant exists): figures include the log" : "off");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
