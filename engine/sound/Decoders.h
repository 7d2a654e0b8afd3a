#pragma once
// Decoders for the sound formats of SWF movies. A decoder turns the bytes of one
// DefineSound body or one SoundStreamBlock into interleaved 16-bit samples at the
// source rate. Broken data decodes to what could be read, never to an error.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace plavex::sound {

enum class SoundCodec : std::uint8_t {
  RawNative = 0,  // the authoring machine's order; movies come from little-endian machines
  Adpcm = 1,
  Mp3 = 2,
  RawLittleEndian = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  G711ALaw = 7,
  G711MuLaw = 8,
  Speex = 11,
};

// The declared shape of the samples (from DefineSound or SoundStreamHead).
struct SoundShape {
  std::uint8_t codec = 0;
  std::uint8_t rateCode = 0;
  bool is16Bit = true, stereo = false;
};

class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;
  // Appends the decoded samples of `data` (one sound body or one stream block's sound
  // data, without the MP3 seek and count fields) to `out`.
  virtual void decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) = 0;
  // What decode() produces; valid after the first decode for MP3.
  virtual int channels() const = 0;
  virtual int halfHertz() const = 0;
};

// A decoder for the shape; nullptr for codecs this build cannot decode.
std::unique_ptr<AudioDecoder> makeDecoder(const SoundShape& shape);

// ADPCM of 2 to 5 bits as SWF stores it (a 2-bit code size, then packets of one raw
// sample, a 6-bit step index and 4095 codes per channel, bit-packed).
std::vector<std::int16_t> decodeAdpcm(std::span<const std::uint8_t> data, bool stereo);

// Uncompressed samples: 8-bit unsigned or 16-bit signed in the given order.
std::vector<std::int16_t> decodeRaw(std::span<const std::uint8_t> data, bool is16Bit, bool bigEndian);

// The IMA step sizes and index changes the ADPCM codec uses (shared with tests' encoders).
inline constexpr int kAdpcmStepCount = 89;
extern const std::int16_t kAdpcmSteps[kAdpcmStepCount];
std::span<const int> adpcmIndexTable(int bits);  // lower half, indexed by the magnitude

}  // namespace plavex::sound
