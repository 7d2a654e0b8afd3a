#pragma once
// Text files of the player: GBK (the code page its files are written in) or, where a
// byte-order mark says so, UTF-8 / UTF-16.

#include <QByteArray>
#include <QString>
#include <optional>

namespace plavex::platform {

enum class TextEncoding { Gbk, Utf8, Utf16LE, Utf16BE };

// The encoding a byte-order mark selects, GBK without one; `bomLength` gets the mark's size.
TextEncoding DetectEncoding(const QByteArray& bytes, int* bomLength = nullptr);

// Decodes a whole file's bytes, honouring a byte-order mark. Bytes that are not valid
// in the encoding become U+FFFD; decoding never fails.
QString DecodeText(const QByteArray& bytes);

// GBK bytes of the text, or nothing when a character has no GBK form.
std::optional<QByteArray> EncodeGbk(const QString& text);

// UTF-8 with a byte-order mark: the form for texts that GBK cannot hold.
QByteArray EncodeUtf8WithBom(const QString& text);

// GBK when every character fits, UTF-8 with a byte-order mark otherwise, so nothing is lost.
QByteArray EncodeGbkOrUtf8(const QString& text);

}  // namespace plavex::platform
