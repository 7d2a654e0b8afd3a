#include "engine/sound/Resampler.h"

#include <algorithm>

namespace plavex::sound {

int halfHertzForRateCode(int code) {
  switch (code & 3) {
    case 0: return 11025;
    case 1: return 22050;
    case 2: return 44100;
    default: return 88200;
  }
}

Resampler::Resampler(int inputHalfHertz, int inputChannels)
    : inputHalfHertz_(std::max(inputHalfHertz, 1)), channels_(std::clamp(inputChannels, 1, 2)) {}

void Resampler::push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out) {
  const std::size_t whole = input.size() - input.size() % static_cast<std::size_t>(channels_);
  buffer_.insert(buffer_.end(), input.begin(), input.begin() + static_cast<std::ptrdiff_t>(whole));
  produce(out, false);
}

void Resampler::finish(std::vector<std::int16_t>& out) { produce(out, true); }

void Resampler::produce(std::vector<std::int16_t>& out, bool atEnd) {
  const std::uint64_t ch = static_cast<std::uint64_t>(channels_);
  const std::uint64_t available = bufferBase_ + buffer_.size() / ch;
  auto sample = [&](std::uint64_t frame, int channel) -> int {
    const std::uint64_t c = static_cast<std::uint64_t>(std::min(channel, channels_ - 1));
    return buffer_[static_cast<std::size_t>((frame - bufferBase_) * ch + c)];
  };
  for (;;) {
    const std::uint64_t position = emitted_ * static_cast<std::uint64_t>(inputHalfHertz_);
    const std::uint64_t index = position / kMixHalfHertz;
    const std::uint64_t fraction = position % kMixHalfHertz;
    if (index >= available) break;
    const bool needNext = fraction != 0;
    if (needNext && index + 1 >= available && !atEnd) break;
    const bool haveNext = needNext && index + 1 < available;
    for (int c = 0; c < 2; ++c) {
      const int a = sample(index, c);
      const int b = haveNext ? sample(index + 1, c) : a;
      const std::int64_t v = a + (static_cast<std::int64_t>(b - a) * static_cast<std::int64_t>(fraction)) / kMixHalfHertz;
      out.push_back(static_cast<std::int16_t>(v));
    }
    ++emitted_;
  }
  // Keep the input from the next output's first frame on.
  const std::uint64_t keepFrom =
      std::min<std::uint64_t>(available, emitted_ * static_cast<std::uint64_t>(inputHalfHertz_) / kMixHalfHertz);
  if (keepFrom > bufferBase_) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>((keepFrom - bufferBase_) * ch));
    bufferBase_ = keepFrom;
  }
}

}  // namespace plavex::sound
