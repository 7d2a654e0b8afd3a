#include "engine/sound/Mixer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>

namespace plavex::sound {

std::int16_t scaledSample(std::int32_t mixed, const MixLevel& level) {
  if (!level.enabled) return 0;
  const std::int64_t v = static_cast<std::int64_t>(mixed) * std::clamp(level.volume, 0, 100) / 100;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

std::pair<std::int64_t, std::int64_t> transformFrame(std::int64_t left, std::int64_t right, const ChannelTransform& t) {
  const std::int64_t l = (left * t.leftToLeft + right * t.rightToLeft) / 100;
  const std::int64_t r = (left * t.leftToRight + right * t.rightToRight) / 100;
  return {l * t.volume / 100, r * t.volume / 100};
}

std::pair<int, int> envelopeLevels(std::span<const swf::EnvelopePoint> envelope, std::uint64_t time) {
  if (envelope.empty()) return {32768, 32768};
  if (time <= envelope.front().pos44) return {envelope.front().leftLevel, envelope.front().rightLevel};
  for (std::size_t i = 1; i < envelope.size(); ++i) {
    const auto& a = envelope[i - 1];
    const auto& b = envelope[i];
    if (time < b.pos44) {
      if (b.pos44 <= a.pos44) return {b.leftLevel, b.rightLevel};
      const std::int64_t span = b.pos44 - a.pos44, at = static_cast<std::int64_t>(time - a.pos44);
      auto mix = [&](int x, int y) { return static_cast<int>(x + (static_cast<std::int64_t>(y - x) * at) / span); };
      return {mix(a.leftLevel, b.leftLevel), mix(a.rightLevel, b.rightLevel)};
    }
  }
  return {envelope.back().leftLevel, envelope.back().rightLevel};
}

Mixer::OwnerId Mixer::newOwner() {
  std::lock_guard lock(mutex_);
  return nextOwner_++;
}

void Mixer::startEvent(OwnerId owner, int soundId, SoundSamples samples, const swf::SoundInfo& info) {
  std::lock_guard lock(mutex_);
  if (info.syncStop) {
    std::erase_if(events_, [&](const EventVoice& v) { return v.owner == owner && v.soundId == soundId; });
    return;
  }
  if (info.syncNoMultiple &&
      std::any_of(events_.begin(), events_.end(), [&](const EventVoice& v) { return v.owner == owner && v.soundId == soundId; }))
    return;
  if (!samples || samples->size() < 2) return;
  EventVoice v;
  v.owner = owner;
  v.soundId = soundId;
  const std::size_t frames = samples->size() / 2;
  v.samples = std::move(samples);
  v.begin = std::min<std::size_t>(info.inPoint.value_or(0), frames);
  v.end = std::clamp<std::size_t>(info.outPoint.value_or(frames), v.begin, frames);
  if (v.end <= v.begin) return;
  v.position = v.begin;
  v.loopsLeft = std::max<int>(1, info.loopCount.value_or(1));
  if (info.envelope) v.envelope = *info.envelope;
  events_.push_back(std::move(v));
}

void Mixer::stopEvent(OwnerId owner, int soundId) {
  std::lock_guard lock(mutex_);
  std::erase_if(events_, [&](const EventVoice& v) { return v.owner == owner && v.soundId == soundId; });
}

bool Mixer::eventPlaying(OwnerId owner, int soundId) const {
  std::lock_guard lock(mutex_);
  return std::any_of(events_.begin(), events_.end(),
                     [&](const EventVoice& v) { return v.owner == owner && v.soundId == soundId; });
}

Mixer::StreamVoice* Mixer::findStream(OwnerId owner, StreamKey key) {
  for (auto& s : streams_)
    if (s.owner == owner && s.key == key) return &s;
  return nullptr;
}

const Mixer::StreamVoice* Mixer::findStream(OwnerId owner, StreamKey key) const {
  for (const auto& s : streams_)
    if (s.owner == owner && s.key == key) return &s;
  return nullptr;
}

void Mixer::pushStream(OwnerId owner, StreamKey stream, std::span<const std::int16_t> samples) {
  std::lock_guard lock(mutex_);
  StreamVoice* voice = findStream(owner, stream);
  if (!voice) {
    streams_.push_back(StreamVoice{owner, stream, {}, 0});
    voice = &streams_.back();
  }
  voice->pending.insert(voice->pending.end(), samples.begin(), samples.end() - static_cast<std::ptrdiff_t>(samples.size() % 2));
  const std::size_t limit = kMaxStreamBacklog * 2;
  if (voice->pending.size() > limit) {
    const std::size_t drop = voice->pending.size() - limit;
    voice->pending.erase(voice->pending.begin(), voice->pending.begin() + static_cast<std::ptrdiff_t>(drop));
    voice->played += drop / 2;
  }
}

void Mixer::clearStream(OwnerId owner, StreamKey stream) {
  std::lock_guard lock(mutex_);
  if (StreamVoice* voice = findStream(owner, stream)) voice->pending.clear();
}

std::size_t Mixer::streamBacklog(OwnerId owner, StreamKey stream) const {
  std::lock_guard lock(mutex_);
  const StreamVoice* voice = findStream(owner, stream);
  return voice ? voice->pending.size() / 2 : 0;
}

std::uint64_t Mixer::streamPlayed(OwnerId owner, StreamKey stream) const {
  std::lock_guard lock(mutex_);
  const StreamVoice* voice = findStream(owner, stream);
  return voice ? voice->played : 0;
}

Mixer::VoiceId Mixer::startVoice(OwnerId owner, GroupId group, int soundId, SoundSamples samples,
                                 std::size_t offsetFrames, int loops) {
  std::lock_guard lock(mutex_);
  if (!samples || samples->size() < 2) return 0;
  const std::size_t frames = samples->size() / 2;
  EventVoice v;
  v.owner = owner;
  v.soundId = soundId;
  v.group = group;
  v.id = nextVoice_++;
  v.samples = std::move(samples);
  v.begin = 0;
  v.end = frames;
  // Only the first loop starts at the offset.
  v.position = std::min(offsetFrames, frames);
  v.loopsLeft = std::max(1, loops);
  if (v.position >= frames) {
    v.position = 0;
    if (--v.loopsLeft <= 0) return 0;
  }
  events_.push_back(std::move(v));
  return events_.back().id;
}

void Mixer::stopGroup(OwnerId owner, GroupId group, int soundId) {
  std::lock_guard lock(mutex_);
  std::erase_if(events_, [&](const EventVoice& v) {
    return v.owner == owner && (group == 0 || v.group == group) && (soundId < 0 || v.soundId == soundId);
  });
}

const ChannelTransform* Mixer::findTransform(OwnerId owner, GroupId group) const {
  for (const auto& [key, t] : transforms_)
    if (key.first == owner && key.second == group) return &t;
  return nullptr;
}

void Mixer::setTransform(OwnerId owner, GroupId group, const ChannelTransform& transform) {
  std::lock_guard lock(mutex_);
  for (auto& [key, t] : transforms_)
    if (key.first == owner && key.second == group) {
      t = transform;
      return;
    }
  transforms_.push_back({{owner, group}, transform});
}

ChannelTransform Mixer::transform(OwnerId owner, GroupId group) const {
  std::lock_guard lock(mutex_);
  const ChannelTransform* t = findTransform(owner, group);
  return t ? *t : ChannelTransform{};
}

std::optional<std::size_t> Mixer::voicePosition(VoiceId voice) const {
  std::lock_guard lock(mutex_);
  for (const auto& v : events_)
    if (v.id == voice && voice != 0) return v.position;
  return std::nullopt;
}

void Mixer::stopOwner(OwnerId owner) {
  std::lock_guard lock(mutex_);
  std::erase_if(events_, [&](const EventVoice& v) { return v.owner == owner; });
  std::erase_if(streams_, [&](const StreamVoice& v) { return v.owner == owner; });
}

void Mixer::releaseOwner(OwnerId owner) {
  stopOwner(owner);
  std::lock_guard lock(mutex_);
  std::erase_if(transforms_, [&](const auto& entry) { return entry.first.first == owner; });
}

std::size_t Mixer::activeVoices() const {
  std::lock_guard lock(mutex_);
  std::size_t n = events_.size();
  for (const auto& s : streams_)
    if (!s.pending.empty()) ++n;
  return n;
}

void Mixer::pull(std::span<std::int16_t> out, const MixLevel& level) {
  std::lock_guard lock(mutex_);
  const std::size_t frames = out.size() / 2;
  accumulator_.assign(frames * 2, 0);
  static const ChannelTransform kIdentity;
  auto clip32 = [](std::int64_t x) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(x, INT32_MIN / 4, INT32_MAX / 4));
  };
  for (auto& v : events_) {
    const auto& data = *v.samples;
    const ChannelTransform* movieTransform = findTransform(v.owner, 0);
    const ChannelTransform* groupTransform = v.group ? findTransform(v.owner, v.group) : nullptr;
    for (std::size_t f = 0; f < frames && v.loopsLeft > 0; ++f) {
      std::int32_t left = data[v.position * 2], right = data[v.position * 2 + 1];
      if (groupTransform || movieTransform) {
        auto [l, r] = transformFrame(left, right, groupTransform ? *groupTransform : kIdentity);
        if (movieTransform) std::tie(l, r) = transformFrame(l, r, *movieTransform);
        left = clip32(l);
        right = clip32(r);
      }
      if (!v.envelope.empty()) {
        const auto [l, r] = envelopeLevels(v.envelope, v.played);
        left = static_cast<std::int32_t>((static_cast<std::int64_t>(left) * l) / 32768);
        right = static_cast<std::int32_t>((static_cast<std::int64_t>(right) * r) / 32768);
      }
      accumulator_[f * 2] += left;
      accumulator_[f * 2 + 1] += right;
      ++v.played;
      if (++v.position >= v.end) {
        v.position = v.begin;
        --v.loopsLeft;
      }
    }
  }
  std::erase_if(events_, [](const EventVoice& v) { return v.loopsLeft <= 0; });
  for (auto& s : streams_) {
    const std::size_t available = std::min(frames, s.pending.size() / 2);
    if (const ChannelTransform* t = findTransform(s.owner, 0)) {
      for (std::size_t f = 0; f < available; ++f) {
        const auto [l, r] = transformFrame(s.pending[f * 2], s.pending[f * 2 + 1], *t);
        accumulator_[f * 2] += clip32(l);
        accumulator_[f * 2 + 1] += clip32(r);
      }
    } else {
      for (std::size_t i = 0; i < available * 2; ++i) accumulator_[i] += s.pending[i];
    }
    s.pending.erase(s.pending.begin(), s.pending.begin() + static_cast<std::ptrdiff_t>(available * 2));
    s.played += available;
  }
  for (std::size_t i = 0; i < frames * 2; ++i) out[i] = scaledSample(accumulator_[i], level);
  if (out.size() % 2) out.back() = 0;
}

}  // namespace plavex::sound
