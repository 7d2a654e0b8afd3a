#include "engine/video/SorensonHeader.h"

#include <array>

namespace plavex::engine::video {

namespace {
class Bits {
 public:
  explicit Bits(std::span<const std::uint8_t> d) : data_(d) {}
  std::optional<std::uint32_t> read(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      if (pos_ >= data_.size() * 8) return std::nullopt;
      v = v << 1 | ((data_[pos_ / 8] >> (7 - pos_ % 8)) & 1u);
      ++pos_;
    }
    return v;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

constexpr std::array<std::array<int, 2>, 5> kStandardSizes = {{{352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}}};
}  // namespace

std::optional<SorensonHeader> parseSorensonHeader(std::span<const std::uint8_t> data) {
  Bits bits(data);
  auto start = bits.read(17);
  auto version = bits.read(5);
  if (!start || *start != 1 || !version || *version > 1) return std::nullopt;
  if (!bits.read(8)) return std::nullopt;  // temporal reference
  auto size = bits.read(3);
  if (!size) return std::nullopt;
  SorensonHeader h;
  if (*size <= 1) {
    const int n = *size == 0 ? 8 : 16;
    auto w = bits.read(n), hh = bits.read(n);
    if (!w || !hh) return std::nullopt;
    h.width = static_cast<int>(*w);
    h.height = static_cast<int>(*hh);
  } else if (*size <= 6) {
    h.width = kStandardSizes[*size - 2][0];
    h.height = kStandardSizes[*size - 2][1];
  } else {
    return std::nullopt;
  }
  auto type = bits.read(2);
  auto deblocking = bits.read(1);
  auto quantizer = bits.read(5);
  if (!type || *type > 2 || !deblocking || !quantizer) return std::nullopt;
  h.type = static_cast<SorensonHeader::Type>(*type);
  h.deblocking = *deblocking != 0;
  h.quantizer = static_cast<int>(*quantizer);
  if (h.width == 0 || h.height == 0) return std::nullopt;
  return h;
}

}  // namespace plavex::engine::video
