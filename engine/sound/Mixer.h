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

// How a script's Sound object sends a voice to the output: the share (percent) of each
// input side on each output side, then a volume (percent). Values may lie outside
// 0..100 (scripts set any integer); the mix clips to 16 bits at the end.
struct ChannelTransform {
  int leftToLeft = 100, leftToRight = 0, rightToLeft = 0, rightToRight = 100;
  int volume = 100;
  bool operator==(const ChannelTransform&) const = default;
};
// One stereo frame through a transform.
std::pair<std::int64_t, std::int64_t> transformFrame(std::int64_t left, std::int64_t right, const ChannelTransform& t);

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
  // Stops the owner's sounds and forgets its transforms (the movie has gone).
  void releaseOwner(OwnerId owner);
  std::size_t activeVoices() const;

  // ---- sounds started by scripts ----
  // A group is what one script Sound object controls (a clip of a movie); group 0 is
  // the whole movie, and its transform applies to every sound of the owner on top.
  using GroupId = std::uint64_t;
  using VoiceId = std::uint64_t;
  // Starts a sound `offsetFrames` into it, `loops` times (at least once). 0 when
  // there is nothing to play.
  VoiceId startVoice(OwnerId owner, GroupId group, int soundId, SoundSamples samples, std::size_t offsetFrames,
                     int loops);
  // Stops the group's voices (group 0: every voice of the owner) of a sound, or all
  // of them when `soundId` is negative.
  void stopGroup(OwnerId owner, GroupId group, int soundId = -1);
  void setTransform(OwnerId owner, GroupId group, const ChannelTransform& transform);
  ChannelTransform transform(OwnerId owner, GroupId group) const;
  // The frame within the sound a voice plays next; nothing once it has ended.
  std::optional<std::size_t> voicePosition(VoiceId voice) const;

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
    GroupId group = 0;
    VoiceId id = 0;
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
  VoiceId nextVoice_ = 1;
  std::vector<std::pair<std::pair<OwnerId, GroupId>, ChannelTransform>> transforms_;
  const ChannelTransform* findTransform(OwnerId owner, GroupId group) const;
};

// The envelope's levels (0..32768 each side) at a time in 44.1 kHz frames: linear
// between points, the first point's level before it, the last one's after.
std::pair<int, int> envelopeLevels(std::span<const swf::EnvelopePoint> envelope, std::uint64_t time);

}  // namespace plavex::sound
