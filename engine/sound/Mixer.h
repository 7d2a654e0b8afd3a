#pragma once
// The mixer: event sounds and stream sounds of every movie of the process, mixed to
// 44.1 kHz 16-bit stereo. It is driven by whoever pulls samples: the audio device, or
// a clock when there is none (tools and tests pull a frame's worth at a time).
// The volume (0-100) scales every sample; with the audio switch off the output is
// silent while the sounds go on in time.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::sound {

// Samples of a decoded sound: 44.1 kHz stereo, interleaved.
using SoundSamples = std::shared_ptr<const std::vector<std::int16_t>>;

struct MixLevel {
  int volume = 100;  // 0..100
  bool enabled = true;
};

// Applies the volume to one mixed value (sum of voices) and clips it to 16 bits.
std::int16_t scaledSample(std::int32_t mixed, const MixLevel& level);

class Mixer {
 public:
  using OwnerId = std::uint64_t;
  using StreamKey = std::uintptr_t;
  // Streams buffer at most this many frames ahead of the output (a movie running
  // without anyone pulling must not grow without end).
  static constexpr std::size_t kMaxStreamBacklog = 10 * 44100;

  // A new owner (one per movie); its sounds are stopped together.
  OwnerId newOwner();

  // StartSound: the stop flag stops the sound's instances of the owner; the
  // no-multiple flag starts nothing when one is playing already.
  void startEvent(OwnerId owner, int soundId, SoundSamples samples, const swf::SoundInfo& info);
  void stopEvent(OwnerId owner, int soundId);
  bool eventPlaying(OwnerId owner, int soundId) const;

  // Appends stream sound (44.1 kHz stereo interleaved) to a stream of an owner.
  void pushStream(OwnerId owner, StreamKey stream, std::span<const std::int16_t> samples);
  // Drops what a stream has buffered (the timeline jumped).
  void clearStream(OwnerId owner, StreamKey stream);
  // Output frames the stream has buffered and not yet played.
  std::size_t streamBacklog(OwnerId owner, StreamKey stream) const;
  // Output frames the stream has played since it was created.
  std::uint64_t streamPlayed(OwnerId owner, StreamKey stream) const;

  void stopOwner(OwnerId owner);
  std::size_t activeVoices() const;

  // Mixes out.size() / 2 stereo frames.
  void pull(std::span<std::int16_t> out, const MixLevel& level);

 private:
  struct EventVoice {
    OwnerId owner = 0;
    int soundId = 0;
    SoundSamples samples;
    std::size_t begin = 0, end = 0;  // frames of one loop
    std::size_t position = 0;        // next frame
    int loopsLeft = 1;
    std::uint64_t played = 0;        // frames since start (envelope time)
    std::vector<swf::EnvelopePoint> envelope;
  };
  struct StreamVoice {
    OwnerId owner = 0;
    StreamKey key = 0;
    std::deque<std::int16_t> pending;  // interleaved stereo
    std::uint64_t played = 0;
  };
  StreamVoice* findStream(OwnerId owner, StreamKey key);
  const StreamVoice* findStream(OwnerId owner, StreamKey key) const;

  mutable std::mutex mutex_;
  OwnerId nextOwner_ = 1;
  std::vector<EventVoice> events_;
  std::vector<StreamVoice> streams_;
  std::vector<std::int32_t> accumulator_;
};

// The envelope's levels (0..32768 each side) at a time in 44.1 kHz frames: linear
// between points, the first point's level before it, the last one's after.
std::pair<int, int> envelopeLevels(std::span<const swf::EnvelopePoint> envelope, std::uint64_t time);

}  // namespace plavex::sound
