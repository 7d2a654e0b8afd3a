// swftool trace FILE --frames N [--input EVENTS.json]
// Runs the movie headless for N frames; stdout carries only what the movie traces.

#include "tools/swftool/Commands.h"

namespace plavex::swftool {

int runHeadless(Args args, bool picture);

int runTrace(Args args) { return runHeadless(args, false); }

}  // namespace plavex::swftool
