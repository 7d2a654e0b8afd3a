#pragma once
// Frame pacing. The header's rate is 8.8 fixed point; a rate of 0 gets a fallback and
// very high rates are capped for the real-time clock.
//
// The reference player accepts header rates of 0 (movies made by converters run) and
// treats its stage frame rate as limited to 0.01 .. 1000 fps, while a browser-hosted
// player never redraws faster than about 120 times a second. We run 0 at 12 fps (the
// authoring tool's default rate), rates below 0.01 as 0.01 and rates above 120 at 120.

#include <chrono>
#include <cstdint>
#include <optional>

namespace plavex::engine {

inline constexpr double kFallbackFrameRate = 12.0;
inline constexpr double kMaximumFrameRate = 120.0;
inline constexpr double kMinimumFrameRate = 0.01;

double effectiveFrameRate(double headerRate);

// Counts the frames that are due from elapsed time, so that a late timer catches up
// (at most a few frames at once) and an early one waits.
class FrameClock {
 public:
  using Clock = std::chrono::steady_clock;
  explicit FrameClock(double framesPerSecond = kFallbackFrameRate);
  void setRate(double framesPerSecond);
  double rate() const { return rate_; }
  void restart(Clock::time_point now);
  // Frames due at `now` since the last call (capped at maxCatchUp).
  int framesDue(Clock::time_point now, int maxCatchUp = 4);
  // Milliseconds until the next frame is due.
  int msUntilNext(Clock::time_point now) const;

 private:
  double rate_;
  Clock::time_point next_{};
  Clock::duration period() const;
};

// Frames to advance when a stream sound sets the pace: the timeline follows what has
// been heard, dropping frames (up to `maxCatchUp` at once) when drawing fell behind and
// waiting while it is a frame ahead. Without a sounding stream, the clock's count.
int framesToFollowStream(std::optional<double> heardFrame, int currentFrame, int clockDue, int maxCatchUp);

}  // namespace plavex::engine
