// Embedded video decoding cost: a 320x240 Sorenson H.263 stream at 30 frames a second
// (made at start-up by libavcodec's encoder; this libavcodec has no VP6 encoder), decoded
// and converted to RGB as the player does, with and without the deblocking filter; and
// the conversion alone. `core_share` is the part of one core that playing the stream in
// real time takes (the goal: below 0.25).

#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/video/VideoDecoder.h"
#include "engine/video/YuvToRgba.h"
#include "tests/video/EncodedVideo.h"

namespace {

using namespace plavex::engine::video;

constexpr int kWidth = 320, kHeight = 240, kFps = 30, kFrames = 90;

// Moving content: a drifting gradient, a bouncing block and a little texture, so that
// inter frames carry motion and residue as camera video does.
const std::vector<test::Bytes>& stream() {
  static const std::vector<test::Bytes> frames = [] {
    std::vector<test::YuvImage> pictures;
    for (int f = 0; f < kFrames; ++f) {
      test::YuvImage p(kWidth, kHeight);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const double wave = std::sin((x + 3 * f) * 0.05) * std::cos((y - 2 * f) * 0.04);
          p.y[static_cast<std::size_t>(y) * kWidth + x] =
              static_cast<std::uint8_t>(110 + 60 * wave + ((x * 7 + y * 13 + f) % 9));
        }
      for (std::size_t i = 0; i < p.u.size(); ++i) {
        p.u[i] = static_cast<std::uint8_t>(100 + (i + static_cast<std::size_t>(f)) % 40);
        p.v[i] = static_cast<std::uint8_t>(150 - (i / 160) % 30);
      }
      const int bx = (f * 5) % (kWidth - 48), by = static_cast<int>(std::abs(std::sin(f * 0.2)) * (kHeight - 48));
      p.fillRect(bx, by, 48, 48, 220, 60, 200);
      pictures.push_back(std::move(p));
    }
    return test::encodeH263(pictures, {.keyInterval = kFps, .quantizer = 5});
  }();
  return frames;
}

void decodeStream(benchmark::State& state, std::uint8_t deblocking) {
  const auto& frames = stream();
  std::size_t bytes = 0;
  for (const auto& f : frames) bytes += f.size();
  for (auto _ : state) {
    auto created = VideoDecoder::create({2, kWidth, kHeight, deblocking});
    if (!created.decoder) {
      state.SkipWithError(created.error.c_str());
      return;
    }
    for (const auto& f : frames) {
      auto result = created.decoder->decode(f);
      benchmark::DoNotOptimize(result.picture.pixels.data());
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFrames);
  state.counters["stream_kbit_s"] = static_cast<double>(bytes) * 8 / 1000 / (double(kFrames) / kFps);
  // Seconds of CPU per second of video.
  state.counters["core_share"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrames / kFps,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_H263_320x240_30fps(benchmark::State& state) { decodeStream(state, 1); }
void BM_H263_320x240_30fps_Deblocked(benchmark::State& state) { decodeStream(state, 2); }

void BM_YuvToRgba_320x240(benchmark::State& state) {
  test::YuvImage p(kWidth, kHeight, 120, 90, 200);
  Yuv420View view{{p.y.data(), kWidth, kWidth, kHeight},
                  {p.u.data(), kWidth / 2, kWidth / 2, kHeight / 2},
                  {p.v.data(), kWidth / 2, kWidth / 2, kHeight / 2},
                  {}};
  for (auto _ : state) {
    Picture out = yuv420ToPicture(view, kWidth, kHeight);
    benchmark::DoNotOptimize(out.pixels.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

BENCHMARK(BM_H263_320x240_30fps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_H263_320x240_30fps_Deblocked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YuvToRgba_320x240)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
