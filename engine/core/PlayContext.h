#pragma once
// What the timelines need while they run: the movie's dictionary, the script host and
// the change counter the stage uses to know that it must redraw.

#include <cstdint>

#include "engine/core/Movie.h"
#include "engine/core/ScriptHost.h"

namespace plavex::engine {

struct PlayContext {
  const MovieData& movie;
  ScriptHost& scripts;
  std::uint64_t tick = 0;      // number of the tick being run
  std::uint64_t revision = 0;  // bumped by every visible change
  std::uint64_t nextSerial = 1;
  void changed() { ++revision; }
};

}  // namespace plavex::engine
