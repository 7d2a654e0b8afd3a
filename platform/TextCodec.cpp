#include "TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace plavex::platform {

namespace {

// RAII for an iconv conversion descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

QString DecodeGbk(const char* data, size_t size) {
  Converter converter("UTF-16LE", "GBK");
  if (!converter.valid()) return QString::fromLatin1(data, static_cast<qsizetype>(size));
  QString out;
  out.reserve(static_cast<qsizetype>(size));
  std::vector<char> buffer(4096);
  char* in = const_cast<char*>(data);
  size_t inLeft = size;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t rc = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    const size_t produced = buffer.size() - outLeft;
    out.append(reinterpret_cast<const QChar*>(buffer.data()), static_cast<qsizetype>(produced / 2));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or cut-off sequence: mark it and go on with the next byte.
      out.append(QChar::ReplacementCharacter);
      ++in;
      --inLeft;
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace

TextEncoding DetectEncoding(const QByteArray& bytes, int* bomLength) {
  auto at = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
  TextEncoding encoding = TextEncoding::Gbk;
  int length = 0;
  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
    encoding = TextEncoding::Utf8;
    length = 3;
  } else if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
    encoding = TextEncoding::Utf16LE;
    length = 2;
  } else if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
    encoding = TextEncoding::Utf16BE;
    length = 2;
  }
  if (bomLength) *bomLength = length;
  return encoding;
}

QString DecodeText(const QByteArray& bytes) {
  int bom = 0;
  const TextEncoding encoding = DetectEncoding(bytes, &bom);
  const char* data = bytes.constData() + bom;
  const qsizetype size = bytes.size() - bom;
  switch (encoding) {
    case TextEncoding::Utf8:
      return QString::fromUtf8(data, size);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
      QString out;
      out.reserve(size / 2);
      const bool little = encoding == TextEncoding::Utf16LE;
      for (qsizetype i = 0; i + 1 < size; i += 2) {
        const auto lo = static_cast<unsigned char>(data[little ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(data[little ? i + 1 : i]);
        out.append(QChar(static_cast<char16_t>(lo | (hi << 8))));
      }
      return out;
    }
    case TextEncoding::Gbk:
      break;
  }
  return DecodeGbk(data, static_cast<size_t>(size));
}

std::optional<QByteArray> EncodeGbk(const QString& text) {
  Converter converter("GBK", "UTF-16LE");
  if (!converter.valid()) return std::nullopt;
  QByteArray out;
  out.reserve(text.size() * 2);
  char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.constData()));
  size_t inLeft = static_cast<size_t>(text.size()) * 2;
  std::vector<char> buffer(4096);
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t rc = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) return std::nullopt;
  }
  return out;
}

QByteArray EncodeUtf8WithBom(const QString& text) {
  return QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
}

QByteArray EncodeGbkOrUtf8(const QString& text) {
  if (auto gbk = EncodeGbk(text)) return *gbk;
  return EncodeUtf8WithBom(text);
}

}  // namespace plavex::platform
