// Sound mixing: eight MP3 event sounds playing at once and one MP3 stream sound, the
// stream decoded frame by frame as the timeline shows its blocks. The goal is under 5 %
// of one core, i.e. one second of audio made in under 50 ms of CPU time.
// "core_share" is CPU time per second of audio produced.

#include <benchmark/benchmark.h>

#include <ctime>

#include "engine/core/Player.h"
#include "engine/sound/Mixer.h"
#include "engine/sound/MovieSound.h"
#include "tests/sound/Mp3Fixture.h"

namespace {

using namespace plavex;

constexpr double kFps = 24;
constexpr int kSeconds = 10;

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A movie with a looping MP3 stream and eight MP3 event sounds started on frame 1.
struct MixMovie {
  swf::Movie movie;
  bool ok = false;
};

MixMovie makeMixMovie() {
  MixMovie made;
  auto stream = sound::encodeMp3Tone(441, 44100, kSeconds);
  if (!stream) return made;
  made.movie = sound::mp3StreamMovie(sound::mp3Frames(*stream), kFps, static_cast<int>(kFps * kSeconds));
  std::vector<swf::Tag> prologue;
  for (std::uint16_t id = 1; id <= 8; ++id) {
    auto mp3 = sound::encodeMp3Tone(220.0 * id, 22050, 2);
    if (!mp3) return made;
    swf::DefineSound def;
    def.id = id;
    def.format = 2;
    def.rate = 2;
    def.is16Bit = true;
    def.sampleCount = 22050 * 2;
    def.data = {0, 0};
    def.data.insert(def.data.end(), mp3->begin(), mp3->end());
    prologue.push_back(swf::Tag{def});
  }
  for (std::uint16_t id = 1; id <= 8; ++id) {
    swf::StartSound start;
    start.soundId = id;
    start.info.loopCount = 100;
    prologue.push_back(swf::Tag{start});
  }
  made.movie.tags.insert(made.movie.tags.begin(), prologue.begin(), prologue.end());
  made.ok = true;
  return made;
}

void BM_MixEightEventSoundsAndAStream(benchmark::State& state) {
  static const MixMovie made = makeMixMovie();
  if (!made.ok) {
    state.SkipWithError("no MP3 encoder in this libavcodec");
    return;
  }
  const auto movie = engine::buildMovie(made.movie);
  const std::size_t perFrame = static_cast<std::size_t>(44100 / kFps);
  std::vector<std::int16_t> block(perFrame * 2);
  double cpu = 0, audio = 0;
  std::size_t voices = 0;
  for (auto _ : state) {
    sound::Mixer mixer;
    sound::MovieSound sound(mixer);
    for (const auto& tag : made.movie.tags) sound.addTag(tag);
    engine::Player player(movie, nullptr, &sound);
    player.framesArrived();
    // The event sounds are decoded when first started; the steady state is what counts.
    mixer.pull(block, {});
    const double began = cpuSeconds();
    for (int f = 1; f < kFps * kSeconds; ++f) {
      player.tick();
      mixer.pull(block, {});
    }
    cpu += cpuSeconds() - began;
    audio += (kFps * kSeconds - 1) / kFps;
    voices = mixer.activeVoices();
  }
  state.counters["core_share"] = cpu / audio;
  state.counters["voices"] = double(voices);
}
BENCHMARK(BM_MixEightEventSoundsAndAStream)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
