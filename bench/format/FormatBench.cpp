// Reading a ~20 MB compressed movie: full record read against a plain zlib inflate of
// the same body (the floor any reader pays), and header-only reading.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <memory>

#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"
#include "tools/mkmovies/Drawing.h"

namespace {

using namespace plavex;
using namespace plavex::swf;

// Hard-to-compress payloads (pseudo-random bytes with some structure) in bitmap, binary
// data and sound tags, and a few thousand shapes, in a CWS movie of about 20 MB.
const std::vector<std::uint8_t>& bigMovie() {
  static const std::vector<std::uint8_t> bytes = [] {
    Movie m;
    m.header.signature = "CWS";
    m.header.version = 10;
    m.header.stage = Rect{0, 16000, 0, 12000};
    m.header.frameRate = 24;
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    auto noise = [&](std::size_t n) {
      Bytes b(n);
      for (std::size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b[i] = static_cast<std::uint8_t>((i % 64 < 48) ? (x >> 32) : (i & 0xF));  // mostly random
      }
      return b;
    };
    std::uint16_t id = 1;
    for (int i = 0; i < 200; ++i) {
      DefineBitsLossless l;
      l.version = 2;
      l.id = id++;
      l.width = l.height = 128;
      l.zlibData = noise(50000);
      m.tags.push_back(Tag{l});
      m.tags.push_back(Tag{DefineBinaryData{id++, noise(62000)}});
      DefineBitsJpeg j;
      j.version = 3;
      j.id = id++;
      j.imageData = noise(8000);
      j.alphaData = noise(2000);
      m.tags.push_back(Tag{j});
      m.tags.push_back(Tag{SoundStreamBlock{noise(2000)}});
      for (int k = 0; k < 15; ++k) {
        DefineShape s;
        s.version = 3;
        s.id = id++;
        s.bounds = Rect{0, 4000, 0, 4000};
        s.shape.fills.push_back(mkmovies::solidFill(Rgba{static_cast<std::uint8_t>(k), 2, 3, 255}));
        s.shape.fills.push_back(mkmovies::radialGradient(2000, 2000, 1500, {{0, Rgba{}}, {255, Rgba{255, 255, 255, 255}}}));
        for (int c = 0; c < 6; ++c) mkmovies::appendCircle(s.shape.records, 300 * c + 500, 2000 + (x % 700), 200 + c * 30, 1 + c % 2);
        m.tags.push_back(Tag{s});
        PlaceObject p;
        p.depth = static_cast<std::uint16_t>(k + 1);
        p.characterId = s.id;
        p.matrix = mkmovies::transform(0.5 + k / 30.0, k / 5.0, 100 * k, 50 * k);
        m.tags.push_back(Tag{p});
      }
      m.tags.push_back(Tag{ShowFrame{}});
      ++m.header.frameCount;
    }
    WriteResult w = writeSwf(m);
    if (!w.ok()) std::abort();
    return w.bytes;
  }();
  return bytes;
}

void BM_FullRead(benchmark::State& state) {
  const auto& file = bigMovie();
  for (auto _ : state) {
    ReadResult r = readSwf(file);
    if (!r.complete()) state.SkipWithError("movie did not read completely");
    benchmark::DoNotOptimize(r.movie.tags.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
  state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

void BM_PlainInflate(benchmark::State& state) {
  const auto& file = bigMovie();
  std::size_t outSize = file[4] | (file[5] << 8) | (file[6] << 16) | (std::size_t{file[7]} << 24);
  for (auto _ : state) {
    auto out = std::make_unique_for_overwrite<std::uint8_t[]>(outSize);
    uLongf size = static_cast<uLongf>(outSize - 8);
    uLong in = static_cast<uLong>(file.size() - 8);
    if (uncompress2(out.get(), &size, file.data() + 8, &in) != Z_OK) state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_HeaderOnly(benchmark::State& state) {
  const auto& file = bigMovie();
  for (auto _ : state) {
    HeaderResult h = readSwfHeader(file);
    benchmark::DoNotOptimize(h.header);
  }
}

BENCHMARK(BM_FullRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_HeaderOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
