#pragma once
// The seam for sound: the timelines hand the sound tags of the frames they show to a
// sound sink. Without one, sound tags are ignored.

#include "engine/format/Records.h"

namespace plavex::engine {

class Timeline;

class SoundSink {
 public:
  virtual ~SoundSink() = default;
  // A StartSound or StartSound2 tag of a frame being shown.
  virtual void startSound(const swf::StartSound& tag) = 0;
  // The stream sound header of a timeline (met when its first frame is shown).
  virtual void streamHead(const Timeline& timeline, const swf::SoundStreamHead& head) = 0;
  // The stream sound block of frame `frame` (0-based) of a timeline.
  virtual void streamBlock(const Timeline& timeline, int frame, const swf::SoundStreamBlock& block) = 0;
  // A sprite's timeline leaves the stage: its stream sound ends with it.
  virtual void timelineRemoved(const Timeline& timeline) {}
};

}  // namespace plavex::engine
