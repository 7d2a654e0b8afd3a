#pragma once
// Rate conversion to the mixer's format (44.1 kHz, stereo, 16-bit), chunk by chunk, by
// linear interpolation. Rates are in half hertz so that 5512.5 Hz is exact; every
// output sample that falls on an input sample is that sample unchanged.

#include <cstdint>
#include <span>
#include <vector>

namespace plavex::sound {

inline constexpr int kMixRate = 44100;
inline constexpr int kMixHalfHertz = 2 * kMixRate;

// The half-hertz rate of a SWF rate code (0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz).
int halfHertzForRateCode(int code);

class Resampler {
 public:
  Resampler(int inputHalfHertz, int inputChannels);
  int inputHalfHertz() const { return inputHalfHertz_; }
  int inputChannels() const { return channels_; }
  // Converts interleaved input frames, appending interleaved stereo frames to `out`.
  // Output that needs input not seen yet waits for the next chunk or finish().
  void push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out);
  // No more input: emits what is left up to the end of the input.
  void finish(std::vector<std::int16_t>& out);

 private:
  void produce(std::vector<std::int16_t>& out, bool atEnd);

  int inputHalfHertz_;
  int channels_;
  std::uint64_t emitted_ = 0;    // output frames so far
  std::uint64_t bufferBase_ = 0; // input frame index of buffer_[0]
  std::vector<std::int16_t> buffer_;
};

}  // namespace plavex::sound
