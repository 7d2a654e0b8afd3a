#pragma once
// A parsed movie as the player uses it: the character dictionary and the frames of the
// root timeline. Tags are appended as they arrive, so a movie that is still loading
// already plays the frames it holds.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine {

// The control tags of one frame (place, remove, actions, sounds, labels), in file order.
struct Frame {
  std::vector<swf::Tag> tags;
};

// Frames and labels of a timeline: the root movie or a sprite.
struct TimelineDefinition {
  std::vector<Frame> frames;              // complete frames only
  std::map<std::string, int> labels;      // label -> frame index (0-based)
  int declaredFrameCount = 0;
  std::optional<int> findLabel(const std::string& label) const;  // case-insensitive
};

// Builds a timeline from a stream of tags: control tags go to the frame being built,
// ShowFrame closes it.
class TimelineBuilder {
 public:
  explicit TimelineBuilder(TimelineDefinition& target) : target_(target) {}
  void addControlTag(const swf::Tag& tag);  // ShowFrame, PlaceObject, FrameLabel, ...
  // A timeline without a closing ShowFrame still shows what its last frame placed.
  void finish();

 private:
  TimelineDefinition& target_;
  Frame pending_;
  bool pendingUsed_ = false;
};

struct SpriteDefinition {
  TimelineDefinition timeline;
};

// Fonts of DefineFont 1-3 (with DefineFontInfo merged in).
struct FontDefinition {
  std::vector<swf::Shape> glyphs;
  std::vector<std::uint16_t> codes;   // code of each glyph (empty for a DefineFont without info)
  double emSquare = 1024;             // glyph units per em: 1024, DefineFont3 20480
  std::string name;
  bool bold = false, italic = false;
  std::optional<swf::FontLayout> layout;
  std::optional<std::size_t> glyphFor(std::uint16_t code) const;
};

struct BitmapDefinition {
  std::variant<swf::DefineBitsJpeg, swf::DefineBitsLossless> data;
  swf::Bytes jpegTables;  // the movie's JPEGTables, for DefineBits (version 1)
};

// An embedded video stream: its definition and its encoded frames by number, filled in as
// the VideoFrame tags arrive (the first frame of a number wins).
struct VideoDefinition {
  swf::DefineVideoStream stream;
  std::map<std::uint16_t, swf::Bytes> frames;
};

using CharacterBody = std::variant<swf::DefineShape, swf::DefineMorphShape, SpriteDefinition, swf::DefineButton,
                                   swf::DefineText, swf::DefineEditText, FontDefinition, BitmapDefinition,
                                   VideoDefinition>;

struct Character {
  std::uint16_t id = 0;
  CharacterBody body;
  std::optional<swf::ColorTransform> buttonCxform;  // DefineButtonCxform
};

class MovieData {
 public:
  explicit MovieData(swf::SwfHeader header);

  const swf::SwfHeader& header() const { return header_; }
  const TimelineDefinition& root() const { return root_; }
  std::optional<swf::Rgba> backgroundColor() const { return background_; }
  std::shared_ptr<const Character> character(std::uint16_t id) const;
  bool complete() const { return complete_; }
  int loadedFrames() const { return static_cast<int>(root_.frames.size()); }
  // Frame count to report: the header's, or more when the movie holds more frames.
  int totalFrames() const;

  // The character an ExportAssets tag named (names compare without case), or none.
  std::shared_ptr<const Character> exported(const std::string& name) const;
  // The first name a character was exported under (empty when none).
  std::string exportName(std::uint16_t id) const;
  // Bytes of the movie as scripts count them: what has arrived (at most the stated length)
  // and the length the header states.
  std::uint64_t bytesLoaded() const { return std::min<std::uint64_t>(bytesArrived_, header_.fileLength); }
  std::uint64_t bytesTotal() const { return header_.fileLength; }
  void setBytesArrived(std::uint64_t bytes) { bytesArrived_ = bytes; }

  // Appends one top-level tag (definitions to the dictionary, control tags to the root).
  void appendTag(const swf::Tag& tag);
  // No more tags will come.
  void markComplete();

 private:
  void define(std::uint16_t id, CharacterBody body);
  void addVideoFrame(const swf::VideoFrame& frame);

  swf::SwfHeader header_;
  TimelineDefinition root_;
  TimelineBuilder rootBuilder_{root_};
  std::unordered_map<std::uint16_t, std::shared_ptr<Character>> characters_;
  std::optional<swf::Rgba> background_;
  swf::Bytes jpegTables_;
  std::unordered_map<std::string, std::uint16_t> exports_;  // lower-case name -> id
  std::unordered_map<std::uint16_t, std::string> exportNames_;  // id -> the first name, as written
  std::uint64_t bytesArrived_ = 0;
  bool complete_ = false;
};

// Builds a whole movie at once (tools and tests).
std::shared_ptr<MovieData> buildMovie(const swf::Movie& movie);

}  // namespace plavex::engine
