#include "engine/core/PlayLoop.h"

#include <algorithm>
#include <cmath>

namespace plavex::engine {

double effectiveFrameRate(double headerRate) {
  if (!std::isfinite(headerRate) || headerRate <= 0) return kFallbackFrameRate;
  return std::clamp(headerRate, kMinimumFrameRate, kMaximumFrameRate);
}

FrameClock::FrameClock(double framesPerSecond) : rate_(effectiveFrameRate(framesPerSecond)) {}

void FrameClock::setRate(double framesPerSecond) { rate_ = effectiveFrameRate(framesPerSecond); }

FrameClock::Clock::duration FrameClock::period() const {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate_));
}

void FrameClock::restart(Clock::time_point now) { next_ = now + period(); }

int FrameClock::framesDue(Clock::time_point now, int maxCatchUp) {
  int due = 0;
  while (now >= next_ && due < maxCatchUp) {
    next_ += period();
    ++due;
  }
  if (now >= next_) next_ = now + period();  // too far behind: drop the backlog
  return due;
}

int FrameClock::msUntilNext(Clock::time_point now) const {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next_ - now).count();
  return static_cast<int>(std::max<std::int64_t>(ms, 0));
}

int framesToFollowStream(std::optional<double> heardFrame, int currentFrame, int clockDue, int maxCatchUp) {
  if (!heardFrame || !std::isfinite(*heardFrame)) return clockDue;
  const double lead = std::floor(*heardFrame) - currentFrame;
  if (lead < 0) return 0;
  if (lead > clockDue) return static_cast<int>(std::min<double>(lead, std::max(maxCatchUp, clockDue)));
  return clockDue;
}

}  // namespace plavex::engine
