// Loading and saving a large play list: a 100,000-entry PLF file must load into the list
// and save back in well under half a second each.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "player/PlayListModel.h"
#include "player/PlfFormat.h"

using namespace plavex;

namespace {

constexpr int kEntries = 100000;

std::vector<TPlfRecord> ManyRecords() {
  std::vector<TPlfRecord> records;
  records.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    // A mix of local paths and web addresses, some Chinese titles, some upper case.
    const QString address = i % 3 == 0 ? QStringLiteral("http://www.Example.com/flash/%1/Clip%2.swf").arg(i % 97).arg(i)
                                        : QStringLiteral("/home/user/动画/Movie %1.swf").arg(i);
    records.push_back({address, i % 2 ? QStringLiteral("动画片 %1").arg(i) : QString(), i % 4 ? QStringLiteral("01:%1").arg(i % 60, 2, 10, QChar(u'0')) : QString()});
  }
  return records;
}

struct Fixture {
  QTemporaryDir dir;
  QString path;
  Fixture() : path(dir.filePath("big.plf")) {
    const TPlfSaveResult saved = SavePlfFile(path, ManyRecords());
    if (!saved.ok) qFatal("cannot write the benchmark list: %s", qPrintable(saved.error));
  }
};

Fixture& SharedFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_LoadPlf100k(benchmark::State& state) {
  const QString& path = SharedFixture().path;
  for (auto _ : state) {
    TPlayList list;
    const TPlfReadResult read = ReadPlfFile(path);
    list.ReplaceWith(read.records);
    if (list.Count() != kEntries) state.SkipWithError("entries lost");
    benchmark::DoNotOptimize(list);
  }
  state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_LoadPlf100k)->Unit(benchmark::kMillisecond);

void BM_SavePlf100k(benchmark::State& state) {
  TPlayList list;
  list.ReplaceWith(ReadPlfFile(SharedFixture().path).records);
  const QString target = SharedFixture().dir.filePath("saved.plf");
  for (auto _ : state) {
    const TPlfSaveResult saved = SavePlfFile(target, list.ToRecords());
    if (!saved.ok) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SavePlf100k)->Unit(benchmark::kMillisecond);

// The parts of loading: decoding and splitting the bytes, then filling the list.
void BM_ParsePlf100k(benchmark::State& state) {
  QFile file(SharedFixture().path);
  if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("cannot read");
  const QByteArray bytes = file.readAll();
  for (auto _ : state) benchmark::DoNotOptimize(ParsePlf(bytes));
}
BENCHMARK(BM_ParsePlf100k)->Unit(benchmark::kMillisecond);

void BM_FillList100k(benchmark::State& state) {
  const std::vector<TPlfRecord> records = ManyRecords();
  for (auto _ : state) {
    TPlayList list;
    list.ReplaceWith(records);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_FillList100k)->Unit(benchmark::kMillisecond);

void BM_WritePlf100k(benchmark::State& state) {
  const std::vector<TPlfRecord> records = ManyRecords();
  for (auto _ : state) benchmark::DoNotOptimize(WritePlf(records));
}
BENCHMARK(BM_WritePlf100k)->Unit(benchmark::kMillisecond);

// Adding to a full list stays constant-time: each add checks for a duplicate by hash.
void BM_AddTo100kList(benchmark::State& state) {
  TPlayList list;
  list.ReplaceWith(ManyRecords());
  int i = 0;
  for (auto _ : state) {
    list.AddToPlayList(QStringLiteral("/extra/%1.swf").arg(i++));
    benchmark::DoNotOptimize(list.IndexOfUrl(QStringLiteral("/home/user/动画/Movie 5.swf")));
  }
}
BENCHMARK(BM_AddTo100kList);

}  // namespace
