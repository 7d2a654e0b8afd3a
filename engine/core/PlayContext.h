#pragma once
// What the timelines need while they run: the movie's dictionary, the script host and
// the change counter the stage uses to know that it must redraw.

#include <cstdint>

#include "engine/core/Movie.h"
#include "engine/core/ScriptHost.h"
#include "engine/core/SoundSink.h"

namespace plavex::engine {

// A sprite that places itself (directly or through others) would nest without end.
inline constexpr int kMaxNesting = 32;
// Instances one tick may create (a sprite placing itself twice doubles on every level).
inline constexpr std::uint64_t kMaxInstancesPerTick = 100000;

struct PlayContext {
  const MovieData& movie;
  ScriptHost& scripts;
  std::uint64_t tick = 0;      // number of the tick being run
  std::uint64_t revision = 0;  // bumped by every visible change
  std::uint64_t nextSerial = 1;
  std::uint64_t instanceCounter = 0;  // numbers unnamed instances ("instance1", ...)
  int nesting = 0;  // sprites and buttons being created or run inside each other
  std::uint64_t createdThisTick = 0;  // instances created since the tick began
  SoundSink* sounds = nullptr;        // where sound tags go; none: ignored
  void changed() { ++revision; }
};

}  // namespace plavex::engine
