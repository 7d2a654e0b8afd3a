// swftool bench FILE [--frames N]
// Runs and draws N frames as fast as possible; prints frames per second, parse time
// and render time.

#include <chrono>
#include <cstdio>

#include "tools/swftool/RenderSession.h"

namespace plavex::swftool {

int runBench(Args args) {
  std::string error;
  auto options = parseRunOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "swftool: %s\n", error.c_str());
    return 2;
  }
  bool framesGiven = false;
  bool qualityGiven = false;
  for (auto a : args) framesGiven |= a == "--frames", qualityGiven |= a == "--quality";
  if (!qualityGiven) options->antialias = true;  // benchmarks measure high quality
  ensureGuiApplication();
  using Clock = std::chrono::steady_clock;
  auto t0 = Clock::now();
  HeadlessSession session;
  if (auto failure = session.load(options->file)) {
    std::fprintf(stderr, "swftool: %s\n", failure->c_str());
    return 1;
  }
  auto t1 = Clock::now();
  int frames = framesGiven ? options->frames : std::max(1, session.movie().totalFrames());
  double renderSeconds = 0, tickSeconds = 0;
  for (int i = 0; i < frames; ++i) {
    auto a = Clock::now();
    if (i > 0) session.player().tick();
    auto b = Clock::now();
    QImage image = session.picture(options->width, options->height, options->antialias);
    auto c = Clock::now();
    tickSeconds += std::chrono::duration<double>(b - a).count();
    renderSeconds += std::chrono::duration<double>(c - b).count();
  }
  double parseMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
  double total = renderSeconds + tickSeconds;
  std::printf("frames=%d fps=%.1f parse_ms=%.2f render_ms=%.2f (%.3f per frame) advance_ms=%.2f\n", frames,
              total > 0 ? frames / total : 0.0, parseMs, renderSeconds * 1000, renderSeconds * 1000 / frames,
              tickSeconds * 1000);
  return 0;
}

}  // namespace plavex::swftool
