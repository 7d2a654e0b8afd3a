#include "engine/core/VideoPlayback.h"

#include "engine/core/DisplayList.h"
#include "engine/video/VideoDecoder.h"

namespace plavex::engine {

namespace {
const VideoDefinition kNoVideo{};
}

VideoPlayback::VideoPlayback(std::shared_ptr<const Character> character) : character_(std::move(character)) {}

VideoPlayback::~VideoPlayback() = default;

const VideoDefinition& VideoPlayback::definition() const {
  const auto* video = character_ ? std::get_if<VideoDefinition>(&character_->body) : nullptr;
  return video ? *video : kNoVideo;
}

bool VideoPlayback::ensureDecoder() {
  if (decoder_) return true;
  if (decoderFailed_) return false;
  const auto& s = definition().stream;
  auto created = video::VideoDecoder::create({s.codecId, s.width, s.height, s.deblocking});
  decoder_ = std::move(created.decoder);
  decoderFailed_ = !decoder_;
  return decoder_ != nullptr;
}

int VideoPlayback::startFor(int target) const {
  const auto& frames = definition().frames;
  const std::uint8_t codec = definition().stream.codecId;
  // The nearest key frame at or before the target.
  int key = -1;
  for (auto it = frames.upper_bound(static_cast<std::uint16_t>(target)); it != frames.begin();) {
    --it;
    if (video::VideoDecoder::isKeyFrame(codec, it->second)) {
      key = it->first;
      break;
    }
  }
  // Going on from the decoder's position is cheaper when no key frame lies in between.
  if (decodedFrame_ >= 0 && decodedFrame_ < target && key <= decodedFrame_) return decodedFrame_ + 1;
  if (key >= 0) return key;
  return frames.empty() ? target : frames.begin()->first;  // no key frame: from the first frame we have
}

void VideoPlayback::seek(int frame) {
  if (frame == shownFrame_) return;
  shownFrame_ = frame;
  const auto& frames = definition().frames;
  auto wanted = frames.find(static_cast<std::uint16_t>(frame));
  if (wanted == frames.end() || frame == decodedFrame_) return;  // nothing new to show
  if (!ensureDecoder()) return;
  const int start = startFor(frame);
  if (start != decodedFrame_ + 1 || decodedFrame_ < 0) decoder_->reset();
  for (auto it = frames.lower_bound(static_cast<std::uint16_t>(start)); it != frames.end() && it->first <= frame; ++it)
    decodeFrame(it->first, it->second);
}

void VideoPlayback::decodeFrame(int number, const swf::Bytes& data) {
  ++decodedCount_;
  decodedFrame_ = number;
  auto result = decoder_->decode(data);
  if (!result.ok()) return;  // broken data: the last picture stays
  picture_ = std::move(result.picture);
  ++pictureVersion_;
}

void showVideoFrames(DisplayList& list) {
  for (auto& [depth, object] : list.objects())
    if (object.video) object.video->seek(object.placement.ratio);
}

}  // namespace plavex::engine
