#include "tools/swftool/AudioWav.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace plavex::swftool {

namespace {
void put32(std::vector<char>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
}
void put16(std::vector<char>& b, std::uint16_t v) {
  b.push_back(static_cast<char>(v));
  b.push_back(static_cast<char>(v >> 8));
}
std::uint32_t get32(const std::vector<char>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
  return v;
}
}  // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<char> b;
  b.reserve(44 + dataBytes);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put32(b, 36 + dataBytes);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, 2);
  put32(b, 44100);
  put32(b, 44100 * 4);
  put16(b, 4);
  put16(b, 16);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put32(b, dataBytes);
  for (std::int16_t s : samples) put16(b, static_cast<std::uint16_t>(s));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(out);
}

std::optional<std::vector<std::int16_t>> readWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::uint32_t size = get32(b, at + 4);
    if (std::memcmp(b.data() + at, "data", 4) == 0) {
      const std::size_t end = std::min<std::size_t>(b.size(), at + 8 + size);
      std::vector<std::int16_t> samples;
      for (std::size_t i = at + 8; i + 1 < end; i += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(b[i]) | static_cast<std::uint8_t>(b[i + 1]) << 8));
      return samples;
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

}  // namespace plavex::swftool
