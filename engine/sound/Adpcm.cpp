#include <algorithm>

#include "engine/sound/Decoders.h"

namespace plavex::sound {

const std::int16_t kAdpcmSteps[kAdpcmStepCount] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

namespace {
constexpr int kIndex2[] = {-1, 2};
constexpr int kIndex3[] = {-1, -1, 2, 4};
constexpr int kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};

// Most significant bit first, as SWF packs bit fields; reads past the end fail.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t bitsLeft() const { return data_.size() * 8 - position_; }
  std::uint32_t take(int bits) {
    std::uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
      const std::uint8_t byte = data_[position_ >> 3];
      v = (v << 1) | ((byte >> (7 - (position_ & 7))) & 1u);
      ++position_;
    }
    return v;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

struct ChannelState {
  int sample = 0;
  int index = 0;
};

std::int16_t step(ChannelState& s, std::uint32_t code, int bits, std::span<const int> indexTable) {
  const std::uint32_t signBit = 1u << (bits - 1);
  const std::uint32_t magnitude = code & (signBit - 1);
  int stepSize = kAdpcmSteps[s.index];
  // diff = step * (magnitude + 0.5) / 2^(bits-2), computed bit by bit as the codec does.
  int diff = stepSize >> (bits - 1);
  for (std::uint32_t mask = signBit >> 1; mask; mask >>= 1) {
    if (magnitude & mask) diff += stepSize;
    stepSize >>= 1;
  }
  s.sample = std::clamp(code & signBit ? s.sample - diff : s.sample + diff, -32768, 32767);
  s.index = std::clamp(s.index + indexTable[magnitude], 0, kAdpcmStepCount - 1);
  return static_cast<std::int16_t>(s.sample);
}
}  // namespace

std::span<const int> adpcmIndexTable(int bits) {
  switch (bits) {
    case 2: return kIndex2;
    case 3: return kIndex3;
    case 4: return kIndex4;
    default: return kIndex5;
  }
}

std::vector<std::int16_t> decodeAdpcm(std::span<const std::uint8_t> data, bool stereo) {
  std::vector<std::int16_t> out;
  BitReader in(data);
  if (in.bitsLeft() < 2) return out;
  const int bits = static_cast<int>(in.take(2)) + 2;
  const auto table = adpcmIndexTable(bits);
  const int channels = stereo ? 2 : 1;
  const std::size_t headerBits = 22u * static_cast<std::size_t>(channels);
  const std::size_t frameBits = static_cast<std::size_t>(bits * channels);
  while (in.bitsLeft() >= headerBits) {
    ChannelState state[2];
    for (int c = 0; c < channels; ++c) {
      state[c].sample = static_cast<std::int16_t>(in.take(16));
      state[c].index = std::min<int>(static_cast<int>(in.take(6)), kAdpcmStepCount - 1);
      // The first sample of each channel is stored raw; its pair is emitted after both are read.
    }
    for (int c = 0; c < channels; ++c) out.push_back(static_cast<std::int16_t>(state[c].sample));
    for (int n = 0; n < 4095 && in.bitsLeft() >= frameBits; ++n)
      for (int c = 0; c < channels; ++c) out.push_back(step(state[c], in.take(bits), bits, table));
  }
  return out;
}

std::vector<std::int16_t> decodeRaw(std::span<const std::uint8_t> data, bool is16Bit, bool bigEndian) {
  std::vector<std::int16_t> out;
  if (!is16Bit) {
    out.reserve(data.size());
    for (std::uint8_t b : data) out.push_back(static_cast<std::int16_t>((int{b} - 128) << 8));
    return out;
  }
  out.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const std::uint16_t v = bigEndian ? static_cast<std::uint16_t>(data[i] << 8 | data[i + 1])
                                      : static_cast<std::uint16_t>(data[i + 1] << 8 | data[i]);
    out.push_back(static_cast<std::int16_t>(v));
  }
  return out;
}

}  // namespace plavex::sound
