#include "engine/render/Bitmaps.h"

#include <zlib.h>

#include <algorithm>

namespace plavex::engine::render {

namespace {

constexpr std::size_t kMaxPixels = 4096u * 4096u;  // 64 MB decoded

// Some writers put an extra end/start marker pair at the front of the data.
swf::Bytes withoutBogusMarkers(const swf::Bytes& data) {
  swf::Bytes out = data;
  for (std::size_t i = 0; i + 3 < out.size(); ++i) {
    if (out[i] == 0xFF && out[i + 1] == 0xD9 && out[i + 2] == 0xFF && out[i + 3] == 0xD8) {
      out.erase(out.begin() + static_cast<std::ptrdiff_t>(i), out.begin() + static_cast<std::ptrdiff_t>(i + 4));
      break;
    }
  }
  return out;
}

swf::Bytes mergeTables(const swf::Bytes& tables, const swf::Bytes& image) {
  if (tables.size() < 4) return image;
  swf::Bytes t = withoutBogusMarkers(tables);
  swf::Bytes im = withoutBogusMarkers(image);
  // tables: SOI ... EOI; image: SOI ... EOI  ->  SOI tables image-without-SOI
  if (t.size() >= 2 && t[t.size() - 2] == 0xFF && t[t.size() - 1] == 0xD9) t.resize(t.size() - 2);
  std::size_t skip = (im.size() >= 2 && im[0] == 0xFF && im[1] == 0xD8) ? 2 : 0;
  t.insert(t.end(), im.begin() + static_cast<std::ptrdiff_t>(skip), im.end());
  return t;
}

QImage decodeJpeg(const swf::DefineBitsJpeg& jpeg, const swf::Bytes& tables) {
  swf::Bytes data = jpeg.version == 1 ? mergeTables(tables, jpeg.imageData) : withoutBogusMarkers(jpeg.imageData);
  QImage image = QImage::fromData(data.data(), static_cast<int>(data.size()));
  if (image.isNull()) return {};
  image = image.convertToFormat(QImage::Format_ARGB32);
  if ((jpeg.version == 3 || jpeg.version == 4) && !jpeg.alphaData.empty()) {
    std::size_t n = std::size_t(image.width()) * image.height();
    auto alpha = inflateAll(jpeg.alphaData, n);
    if (alpha && alpha->size() >= n) {
      // The colour data of such images is premultiplied by the alpha plane already.
      QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
      for (int y = 0; y < image.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
          int a = (*alpha)[std::size_t(y) * image.width() + x];
          QRgb p = src[x];
          dst[x] = qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a), a);
        }
      }
      return out;
    }
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decodeLossless(const swf::DefineBitsLossless& b) {
  const int w = b.width, h = b.height;
  if (w == 0 || h == 0 || std::size_t(w) * h > kMaxPixels) return {};
  const bool alpha = b.version == 2;
  QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
  if (b.format == 3) {
    const std::size_t colours = std::size_t(b.colorTableSize) + 1;
    const std::size_t entry = alpha ? 4 : 3;
    const std::size_t stride = (std::size_t(w) + 3) & ~std::size_t(3);
    auto data = inflateAll(b.zlibData, colours * entry + stride * h);
    if (!data || data->size() < colours * entry) return {};
    std::vector<QRgb> table(256, 0);
    for (std::size_t i = 0; i < colours; ++i) {
      const auto* p = data->data() + i * entry;
      int a = alpha ? p[3] : 255;
      table[i] = qRgba(std::min<int>(p[0], a), std::min<int>(p[1], a), std::min<int>(p[2], a), a);
    }
    const auto* pixels = data->data() + colours * entry;
    std::size_t available = data->size() - colours * entry;
    for (int y = 0; y < h; ++y) {
      auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < w; ++x) {
        std::size_t at = std::size_t(y) * stride + x;
        dst[x] = at < available ? table[pixels[at]] : 0;
      }
    }
    return out;
  }
  if (b.format == 4) {
    const std::size_t stride = (std::size_t(w) * 2 + 3) & ~std::size_t(3);
    auto data = inflateAll(b.zlibData, stride * h);
    if (!data) return {};
    for (int y = 0; y < h; ++y) {
      auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < w; ++x) {
        std::size_t at = std::size_t(y) * stride + std::size_t(x) * 2;
        if (at + 1 >= data->size()) {
          dst[x] = 0;
          continue;
        }
        int v = ((*data)[at] << 8) | (*data)[at + 1];
        int r = (v >> 10) & 31, g = (v >> 5) & 31, bl = v & 31;
        dst[x] = qRgb(r * 255 / 31, g * 255 / 31, bl * 255 / 31);
      }
    }
    return out;
  }
  if (b.format == 5) {
    auto data = inflateAll(b.zlibData, std::size_t(w) * h * 4);
    if (!data) return {};
    for (int y = 0; y < h; ++y) {
      auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < w; ++x) {
        std::size_t at = (std::size_t(y) * w + x) * 4;
        if (at + 3 >= data->size()) {
          dst[x] = 0;
          continue;
        }
        const auto* p = data->data() + at;
        int a = alpha ? p[0] : 255;
        dst[x] = qRgba(std::min<int>(p[1], a), std::min<int>(p[2], a), std::min<int>(p[3], a), a);
      }
    }
    return out;
  }
  return {};
}

}  // namespace

std::optional<std::vector<std::uint8_t>> inflateAll(const swf::Bytes& data, std::size_t limit) {
  z_stream s{};
  if (inflateInit(&s) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out(limit);
  s.next_in = const_cast<Bytef*>(data.data());
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&s, Z_FINISH);
  std::size_t produced = out.size() - s.avail_out;
  inflateEnd(&s);
  if (rc != Z_STREAM_END && rc != Z_OK && rc != Z_BUF_ERROR) {
    if (produced == 0) return std::nullopt;
  }
  out.resize(produced);
  return out;
}

QImage decodeBitmap(const BitmapDefinition& bitmap) {
  if (const auto* jpeg = std::get_if<swf::DefineBitsJpeg>(&bitmap.data)) return decodeJpeg(*jpeg, bitmap.jpegTables);
  return decodeLossless(std::get<swf::DefineBitsLossless>(bitmap.data));
}

}  // namespace plavex::engine::render
