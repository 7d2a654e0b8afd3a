#pragma once
// The playback state of one embedded video instance: which of the stream's frames it
// shows (the placement's ratio), its decoder and the picture on show. Going forward
// decodes the frames in between; going back, or far ahead, decodes from the nearest key
// frame. A frame without data, or one that fails to decode, keeps the last picture.

#include <cstdint>
#include <memory>

#include "engine/core/Movie.h"
#include "engine/video/Picture.h"

namespace plavex::engine {

class DisplayList;

namespace video {
class VideoDecoder;
}

class VideoPlayback {
 public:
  // `character` holds a VideoDefinition.
  explicit VideoPlayback(std::shared_ptr<const Character> character);
  ~VideoPlayback();
  VideoPlayback(const VideoPlayback&) = delete;
  VideoPlayback& operator=(const VideoPlayback&) = delete;

  // Shows video frame `frame`.
  void seek(int frame);

  const video::Picture& picture() const { return picture_; }
  // Changes whenever the picture does (for caches of its image).
  std::uint64_t pictureVersion() const { return pictureVersion_; }
  const swf::DefineVideoStream& stream() const { return definition().stream; }
  int shownFrame() const { return shownFrame_; }
  // Frames handed to the decoder so far (for tests of seeking).
  std::uint64_t decodedCount() const { return decodedCount_; }

 private:
  const VideoDefinition& definition() const;
  bool ensureDecoder();
  // The first frame to decode to reach `target` from the current decoder position.
  int startFor(int target) const;
  void decodeFrame(int number, const swf::Bytes& data);

  std::shared_ptr<const Character> character_;
  std::unique_ptr<video::VideoDecoder> decoder_;
  bool decoderFailed_ = false;
  int decodedFrame_ = -1;  // last frame given to the decoder; -1: none since the start
  int shownFrame_ = -1;
  video::Picture picture_;
  std::uint64_t pictureVersion_ = 0;
  std::uint64_t decodedCount_ = 0;
};

// Brings every video on the list to the frame its ratio asks for.
void showVideoFrames(DisplayList& list);

}  // namespace plavex::engine
