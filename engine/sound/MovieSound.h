#pragma once
// The sound of one movie: its sound definitions, the StartSound tags and stream blocks
// its timelines show, handed to the mixer as one owner.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "engine/core/SoundSink.h"
#include "engine/sound/Decoders.h"
#include "engine/sound/Mixer.h"
#include "engine/sound/Resampler.h"

namespace plavex::sound {

// Decodes a DefineSound to the mixer's format (MP3: without the skipped leading
// samples; every codec: cut to the declared sample count). Empty when undecodable.
SoundSamples decodeEventSound(const swf::DefineSound& sound);

class MovieSound final : public engine::SoundSink {
 public:
  explicit MovieSound(Mixer& mixer);
  ~MovieSound() override;
  MovieSound(const MovieSound&) = delete;
  MovieSound& operator=(const MovieSound&) = delete;

  // Top-level tags as they arrive: DefineSound, ExportAssets (names for StartSound2).
  void addTag(const swf::Tag& tag);
  // Stops every sound of the movie.
  void stopAll();
  Mixer::OwnerId owner() const { return owner_; }
  Mixer& mixer() { return mixer_; }
  // The sound exported under a name (as written), for scripts' attachSound.
  std::optional<std::uint16_t> exportedSound(const std::string& name) const;
  // A defined sound decoded to the mixer's format (null when undefined or undecodable).
  SoundSamples soundSamples(std::uint16_t id) { return samplesFor(id); }
  // How far the timeline's stream sound has been heard, as a (fractional, 0-based) frame
  // of that timeline at `framesPerSecond`; nothing when no stream sound is sounding
  // (none, not started, or run dry) and the timeline should keep its own clock.
  std::optional<double> streamFrame(const engine::Timeline& timeline, double framesPerSecond) const;

  void startSound(const swf::StartSound& tag) override;
  void streamHead(const engine::Timeline& timeline, const swf::SoundStreamHead& head) override;
  void streamBlock(const engine::Timeline& timeline, int frame, const swf::SoundStreamBlock& block) override;
  void timelineRemoved(const engine::Timeline& timeline) override;

 private:
  struct Stream {
    swf::SoundStreamHead head;
    std::unique_ptr<AudioDecoder> decoder;
    std::optional<Resampler> resampler;
    int lastFrame = -2;
    int segmentFrame = -1;           // frame whose block began the sounding stretch
    std::uint64_t segmentStart = 0;  // mixer frames of the stream played before it
    int bufferedUpTo = -1;           // last frame whose block is in the mixer
    std::size_t skip = 0;  // MP3 samples still to drop (the head's latency seek)
  };
  // Sound of the frames ahead kept buffered (mixer frames).
  static constexpr std::size_t kStreamPrebuffer = 44100 * 3 / 10;
  void restart(Stream& stream);
  void pushBlock(Stream& stream, Mixer::StreamKey key, const swf::SoundStreamBlock& block);
  SoundSamples samplesFor(std::uint16_t id);

  Mixer& mixer_;
  Mixer::OwnerId owner_;
  std::unordered_map<std::uint16_t, swf::DefineSound> definitions_;
  std::unordered_map<std::uint16_t, SoundSamples> decoded_;
  std::unordered_map<std::string, std::uint16_t> exported_;
  std::unordered_map<const engine::Timeline*, Stream> streams_;
};

}  // namespace plavex::sound
