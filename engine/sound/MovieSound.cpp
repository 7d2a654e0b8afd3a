#include "engine/sound/MovieSound.h"

#include <algorithm>

#include "engine/core/Timeline.h"

namespace plavex::sound {

namespace {
std::span<const std::uint8_t> after(const swf::Bytes& data, std::size_t skip) {
  if (data.size() <= skip) return {};
  return std::span<const std::uint8_t>(data).subspan(skip);
}

std::int16_t readS16(const swf::Bytes& data, std::size_t at) {
  if (data.size() < at + 2) return 0;
  return static_cast<std::int16_t>(data[at] | data[at + 1] << 8);
}
}  // namespace

SoundSamples decodeEventSound(const swf::DefineSound& sound) {
  SoundShape shape{sound.format, sound.rate, sound.is16Bit, sound.stereo};
  auto decoder = makeDecoder(shape);
  if (!decoder) return nullptr;
  std::vector<std::int16_t> source;
  std::size_t skipFrames = 0;
  if (shape.codec == static_cast<std::uint8_t>(SoundCodec::Mp3)) {
    skipFrames = static_cast<std::size_t>(std::max<int>(0, readS16(sound.data, 0)));
    decoder->decode(after(sound.data, 2), source);
  } else {
    decoder->decode(sound.data, source);
  }
  const auto channels = static_cast<std::size_t>(decoder->channels());
  std::size_t frames = source.size() / channels;
  skipFrames = std::min(skipFrames, frames);
  // The declared count is at the declared rate; MP3 may decode at another one.
  std::size_t wanted = frames - skipFrames;
  if (sound.sampleCount > 0) {
    const std::uint64_t declared = static_cast<std::uint64_t>(sound.sampleCount) *
                                   static_cast<std::uint64_t>(decoder->halfHertz()) /
                                   static_cast<std::uint64_t>(halfHertzForRateCode(sound.rate));
    wanted = std::min<std::size_t>(wanted, static_cast<std::size_t>(declared));
  }
  Resampler resampler(decoder->halfHertz(), static_cast<int>(channels));
  auto out = std::make_shared<std::vector<std::int16_t>>();
  resampler.push(std::span<const std::int16_t>(source).subspan(skipFrames * channels, wanted * channels), *out);
  resampler.finish(*out);
  return out;
}

MovieSound::MovieSound(Mixer& mixer) : mixer_(mixer), owner_(mixer.newOwner()) {}

MovieSound::~MovieSound() { mixer_.releaseOwner(owner_); }

void MovieSound::addTag(const swf::Tag& tag) {
  if (const auto* sound = std::get_if<swf::DefineSound>(&tag.body)) {
    definitions_.try_emplace(sound->id, *sound);  // the first definition of an id wins
  } else if (const auto* exports = std::get_if<swf::ExportAssets>(&tag.body)) {
    for (const auto& asset : exports->assets) exported_.try_emplace(asset.name, asset.id);
  } else if (const auto* symbols = std::get_if<swf::SymbolClass>(&tag.body)) {
    for (const auto& asset : symbols->symbols) exported_.try_emplace(asset.name, asset.id);
  }
}

std::optional<std::uint16_t> MovieSound::exportedSound(const std::string& name) const {
  auto named = exported_.find(name);
  if (named == exported_.end() || !definitions_.count(named->second)) return std::nullopt;
  return named->second;
}

void MovieSound::stopAll() {
  mixer_.stopOwner(owner_);
  for (auto& [timeline, stream] : streams_) restart(stream);
}

SoundSamples MovieSound::samplesFor(std::uint16_t id) {
  auto cached = decoded_.find(id);
  if (cached != decoded_.end()) return cached->second;
  auto definition = definitions_.find(id);
  if (definition == definitions_.end()) return nullptr;
  auto samples = decodeEventSound(definition->second);
  decoded_.emplace(id, samples);
  return samples;
}

void MovieSound::startSound(const swf::StartSound& tag) {
  std::uint16_t id = tag.soundId;
  if (tag.version == 2) {
    auto named = exported_.find(tag.className);
    if (named == exported_.end()) return;
    id = named->second;
  }
  if (!definitions_.count(id)) return;
  // Stopping needs no samples; decoding waits for the first real start.
  mixer_.startEvent(owner_, id, tag.info.syncStop ? nullptr : samplesFor(id), tag.info);
}

void MovieSound::restart(Stream& stream) {
  SoundShape shape{stream.head.compression, stream.head.streamRate, stream.head.stream16Bit, stream.head.streamStereo};
  stream.decoder = makeDecoder(shape);
  stream.resampler.reset();
  stream.lastFrame = -2;
  stream.segmentFrame = -1;
  stream.skip = stream.head.compression == static_cast<std::uint8_t>(SoundCodec::Mp3)
                    ? static_cast<std::size_t>(std::max<int>(0, stream.head.latencySeek))
                    : 0;
}

void MovieSound::streamHead(const engine::Timeline& timeline, const swf::SoundStreamHead& head) {
  auto& stream = streams_[&timeline];
  if (stream.decoder && stream.head == head) return;  // the same head met again after a loop
  stream.head = head;
  restart(stream);
}

namespace {
const swf::SoundStreamBlock* streamBlockOf(const engine::Frame& frame) {
  for (const auto& tag : frame.tags)
    if (const auto* block = std::get_if<swf::SoundStreamBlock>(&tag.body)) return block;
  return nullptr;
}
}  // namespace

void MovieSound::streamBlock(const engine::Timeline& timeline, int frame, const swf::SoundStreamBlock& block) {
  auto found = streams_.find(&timeline);
  if (found == streams_.end() || !found->second.decoder) return;
  Stream& stream = found->second;
  const auto key = reinterpret_cast<Mixer::StreamKey>(&timeline);
  const bool inOrder = frame == stream.lastFrame + 1;
  // The sound of this frame was buffered ahead and has been played out already (the
  // timeline was stopped, or the picture starved it): start over from this frame.
  const bool ranAhead = stream.segmentFrame >= 0 && frame <= stream.bufferedUpTo &&
                        mixer_.streamBacklog(owner_, key) == 0;
  if ((!inOrder || ranAhead) && stream.lastFrame >= 0) {
    mixer_.clearStream(owner_, key);
    restart(stream);
  }
  stream.lastFrame = frame;
  if (stream.segmentFrame < 0) {
    stream.segmentFrame = frame;
    stream.segmentStart = mixer_.streamPlayed(owner_, key) + mixer_.streamBacklog(owner_, key);
    stream.bufferedUpTo = frame - 1;
  }
  if (frame > stream.bufferedUpTo) {
    pushBlock(stream, key, block);
    stream.bufferedUpTo = frame;
  }
  // Keep a little sound of the frames ahead buffered, so that a late picture drops
  // frames instead of leaving the sound with a gap.
  const auto& frames = timeline.definition().frames;
  while (mixer_.streamBacklog(owner_, key) < kStreamPrebuffer &&
         stream.bufferedUpTo + 1 < static_cast<int>(frames.size())) {
    const auto* next = streamBlockOf(frames[static_cast<std::size_t>(stream.bufferedUpTo + 1)]);
    if (!next) break;
    pushBlock(stream, key, *next);
    ++stream.bufferedUpTo;
  }
}

void MovieSound::pushBlock(Stream& stream, Mixer::StreamKey key, const swf::SoundStreamBlock& block) {
  std::vector<std::int16_t> source;
  const bool mp3 = stream.head.compression == static_cast<std::uint8_t>(SoundCodec::Mp3);
  // MP3 blocks begin with the block's sample count and its seek offset.
  stream.decoder->decode(mp3 ? after(block.data, 4) : std::span<const std::uint8_t>(block.data), source);
  const auto channels = static_cast<std::size_t>(stream.decoder->channels());
  std::size_t from = 0;
  if (stream.skip > 0) {
    const std::size_t frames = source.size() / channels;
    const std::size_t dropped = std::min(stream.skip, frames);
    stream.skip -= dropped;
    from = dropped * channels;
  }
  if (!stream.resampler) stream.resampler.emplace(stream.decoder->halfHertz(), static_cast<int>(channels));
  std::vector<std::int16_t> mixed;
  stream.resampler->push(std::span<const std::int16_t>(source).subspan(from), mixed);
  if (!mixed.empty()) mixer_.pushStream(owner_, key, mixed);
}

void MovieSound::timelineRemoved(const engine::Timeline& timeline) {
  auto found = streams_.find(&timeline);
  if (found == streams_.end()) return;
  mixer_.clearStream(owner_, reinterpret_cast<Mixer::StreamKey>(&timeline));
  streams_.erase(found);
}

std::optional<double> MovieSound::streamFrame(const engine::Timeline& timeline, double framesPerSecond) const {
  auto found = streams_.find(&timeline);
  if (found == streams_.end() || found->second.segmentFrame < 0 || framesPerSecond <= 0) return std::nullopt;
  const Stream& stream = found->second;
  const auto key = reinterpret_cast<Mixer::StreamKey>(&timeline);
  if (mixer_.streamBacklog(owner_, key) == 0) return std::nullopt;
  const std::uint64_t played = mixer_.streamPlayed(owner_, key);
  const double heard = played > stream.segmentStart ? double(played - stream.segmentStart) : 0.0;
  return stream.segmentFrame + heard * framesPerSecond / 44100.0;
}

}  // namespace plavex::sound
