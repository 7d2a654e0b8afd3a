// Engine benchmarks: a vector-heavy movie (550 x 400, 500 gradient-filled shapes that
// all move every frame, 240 frames at 24 fps) drawn at high quality; the goal is at
// least 240 frames per second on one core. A static frame shown again must cost < 1 ms.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>

#include "engine/core/Player.h"
#include "engine/format/SwfReader.h"
#include "engine/format/SwfWriter.h"
#include "engine/render/StageRenderer.h"

namespace {

using namespace plavex;

swf::Tag shapeTag(std::uint16_t id, int seed) {
  swf::DefineShape s;
  s.version = 3;
  s.id = id;
  const int r = 200 + (seed * 37) % 400;  // twips
  s.bounds = {-r, r, -r, r};
  swf::FillStyle f;
  f.type = seed % 2 ? swf::fill::kRadial : swf::fill::kLinear;
  f.gradient.records = {{0, {std::uint8_t(seed * 13), 40, 200, 255}},
                        {128, {255, std::uint8_t(seed * 7), 0, 200}},
                        {255, {0, 160, std::uint8_t(seed * 3), 255}}};
  double k = 2.0 * r / 32768.0;
  f.matrix.scaleX = f.matrix.scaleY = static_cast<std::int32_t>(k * 65536);
  s.shape.fills = {f};
  // A circle of 8 quadratic curves.
  swf::StyleChange start;
  start.moveTo = swf::MoveTo{r, 0};
  start.fillStyle1 = 1u;
  s.shape.records.push_back(start);
  std::int32_t px = r, py = 0;
  for (int i = 0; i < 8; ++i) {
    double mid = (i + 0.5) * M_PI / 4, end = (i + 1) * M_PI / 4, cr = r / std::cos(M_PI / 8);
    auto cx = std::int32_t(std::lround(cr * std::cos(mid))), cy = std::int32_t(std::lround(cr * std::sin(mid)));
    auto ex = i == 7 ? r : std::int32_t(std::lround(r * std::cos(end)));
    auto ey = i == 7 ? 0 : std::int32_t(std::lround(r * std::sin(end)));
    s.shape.records.push_back(swf::CurvedEdge{cx - px, cy - py, ex - cx, ey - cy});
    px = ex, py = ey;
  }
  return swf::Tag{s};
}

swf::Movie vectorMovie() {
  constexpr int kShapes = 500, kFrames = 240;
  swf::Movie m;
  m.header.signature = "CWS";
  m.header.version = 10;
  m.header.stage = {0, 550 * 20, 0, 400 * 20};
  m.header.frameRate = 24;
  m.header.frameCount = kFrames;
  m.tags.push_back(swf::Tag{swf::SetBackgroundColor{{255, 255, 255, 255}}});
  for (int i = 0; i < kShapes; ++i) m.tags.push_back(shapeTag(std::uint16_t(i + 1), i));
  for (int frame = 0; frame < kFrames; ++frame) {
    for (int i = 0; i < kShapes; ++i) {
      swf::PlaceObject p;
      p.version = 2;
      p.depth = std::uint16_t(i + 1);
      if (frame == 0) p.characterId = std::uint16_t(i + 1);
      else p.move = true;
      double t = frame * 0.05 + i;
      swf::Matrix mx;
      mx.translateX = std::int32_t(5500 + 4500 * std::sin(t * 0.7 + i));
      mx.translateY = std::int32_t(4000 + 3200 * std::cos(t * 0.9 + i * 0.3));
      p.matrix = mx;
      m.tags.push_back(swf::Tag{p});
    }
    m.tags.push_back(swf::Tag{swf::ShowFrame{}});
  }
  return m;
}

const std::vector<std::uint8_t>& movieBytes() {
  static const std::vector<std::uint8_t> bytes = swf::writeSwf(vectorMovie()).bytes;
  return bytes;
}

engine::render::StageOptions highQuality() {
  engine::render::StageOptions o;
  o.viewport = QSize(550, 400);
  o.antialias = true;
  return o;
}

void BM_ParseVectorMovie(benchmark::State& state) {
  for (auto _ : state) {
    auto r = swf::readSwf(movieBytes());
    auto data = engine::buildMovie(r.movie);
    benchmark::DoNotOptimize(data);
  }
}
BENCHMARK(BM_ParseVectorMovie)->Unit(benchmark::kMillisecond);

// One iteration: advance one frame and draw it (every shape moved).
void BM_PlayAndRenderMovingFrame(benchmark::State& state) {
  auto data = engine::buildMovie(swf::readSwf(movieBytes()).movie);
  engine::Player player(data);
  engine::render::StageRenderer renderer;
  auto o = highQuality();
  renderer.render(player, o);
  for (auto _ : state) {
    player.tick();
    const QImage& frame = renderer.render(player, o);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayAndRenderMovingFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frame shown again: the cached image.
void BM_StaticFrameShownAgain(benchmark::State& state) {
  auto data = engine::buildMovie(swf::readSwf(movieBytes()).movie);
  engine::Player player(data);
  engine::render::StageRenderer renderer;
  auto o = highQuality();
  renderer.render(player, o);
  for (auto _ : state) {
    const QImage& frame = renderer.render(player, o);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_StaticFrameShownAgain)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
