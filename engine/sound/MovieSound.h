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

  void startSound(const swf::StartSound& tag) override;
  void streamHead(const engine::Timeline& timeline, const swf::SoundStreamHead& head) override;
  void streamBlock(const engine::Timeline& timeline, int frame, const swf::SoundStreamBlock& block) override;

 private:
  struct Stream {
    swf::SoundStreamHead head;
    std::unique_ptr<AudioDecoder> decoder;
    std::optional<Resampler> resampler;
    int lastFrame = -2;
    std::size_t skip = 0;  // MP3 samples still to drop (the head's latency seek)
  };
  void restart(Stream& stream);
  SoundSamples samplesFor(std::uint16_t id);

  Mixer& mixer_;
  Mixer::OwnerId owner_;
  std::unordered_map<std::uint16_t, swf::DefineSound> definitions_;
  std::unordered_map<std::uint16_t, SoundSamples> decoded_;
  std::unordered_map<std::string, std::uint16_t> exported_;
  std::unordered_map<const engine::Timeline*, Stream> streams_;
};

}  // namespace plavex::sound
