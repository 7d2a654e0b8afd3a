// swftool audio FILE --frames N --out OUT.wav [--volume V] [--mute]
// Runs the movie headless for N frames and writes what the mixer produced in that time
// (44.1 kHz, 16-bit, stereo): after each frame, one frame period of samples is mixed.

#include <cstdio>
#include <fstream>
#include <string>

#include "engine/core/Movie.h"
#include "engine/core/Player.h"
#include "engine/core/PlayLoop.h"
#include "engine/core/ProgressiveParser.h"
#include "engine/format/SwfReader.h"
#include "engine/sound/MovieSound.h"
#include "tools/swftool/AudioWav.h"
#include "tools/swftool/Commands.h"

namespace plavex::swftool {

namespace {
struct AudioOptions {
  std::string file, out;
  int frames = 1;
  sound::MixLevel level;
};

std::optional<AudioOptions> parseAudioOptions(Args args, std::string& error) {
  AudioOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return std::string(args[++i]);
    };
    auto number = [&](int& target) {
      auto v = value();
      try {
        if (!v) throw 0;
        target = std::stoi(*v);
        return true;
      } catch (...) {
        error = std::string(a) + " needs a number";
        return false;
      }
    };
    if (a == "--frames") {
      if (!number(o.frames)) return std::nullopt;
    } else if (a == "--volume") {
      if (!number(o.level.volume)) return std::nullopt;
    } else if (a == "--mute") {
      o.level.enabled = false;
    } else if (a == "--out") {
      auto v = value();
      if (!v) {
        error = "--out needs a file";
        return std::nullopt;
      }
      o.out = *v;
    } else if (!a.empty() && a[0] == '-') {
      error = "unknown option " + std::string(a);
      return std::nullopt;
    } else {
      o.file = std::string(a);
    }
  }
  if (o.file.empty() || o.out.empty()) {
    error = "audio needs FILE and --out OUT.wav";
    return std::nullopt;
  }
  if (o.frames < 1 || o.frames > 10'000'000) {
    error = "--frames must be 1 .. 10000000";
    return std::nullopt;
  }
  return o;
}
}  // namespace

std::int64_t samplesBeforeFrame(std::int64_t frame, double rate) {
  return static_cast<std::int64_t>(static_cast<double>(frame) * sound::kMixRate / rate + 0.5);
}

int runAudio(Args args) {
  std::string error;
  auto options = parseAudioOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "swftool: %s\n", error.c_str());
    return 2;
  }
  auto bytes = swf::readFileBytes(options->file, error);
  if (!bytes) {
    std::fprintf(stderr, "swftool: %s\n", error.c_str());
    return 1;
  }
  engine::ProgressiveParser parser;
  parser.feed(*bytes);
  parser.finish();
  if (parser.failed() || !parser.header()) {
    std::fprintf(stderr, "swftool: %s: %s\n", options->file.c_str(),
                 parser.error().empty() ? "not a movie" : parser.error().c_str());
    return 1;
  }
  auto movie = std::make_shared<engine::MovieData>(*parser.header());
  sound::Mixer mixer;
  sound::MovieSound sounds(mixer);
  for (const auto& tag : parser.takeTags()) {
    sounds.addTag(tag);
    movie->appendTag(tag);
  }
  movie->markComplete();
  engine::Player player(movie, nullptr, &sounds);
  const double rate = engine::effectiveFrameRate(movie->header().frameRate);
  std::vector<std::int16_t> output;
  std::vector<std::int16_t> block;
  for (int frame = 1; frame <= options->frames; ++frame) {
    if (frame > 1) player.tick();
    const auto count = samplesBeforeFrame(frame, rate) - samplesBeforeFrame(frame - 1, rate);
    block.assign(static_cast<std::size_t>(count) * 2, 0);
    mixer.pull(block, options->level);
    output.insert(output.end(), block.begin(), block.end());
  }
  if (!writeWav(options->out, output)) {
    std::fprintf(stderr, "swftool: cannot write %s\n", options->out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace plavex::swftool
