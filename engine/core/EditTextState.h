#pragma once
// The live state of an edit-text instance: its text with a format per character, the
// field's settings scripts may change, the "new text" format, the selection and the
// scroll position. Scripts write it; the renderer reads it instead of the definition.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::engine {

class MovieData;

// A character format. An absent field is unset (in a query over a range: mixed).
struct CharFormat {
  std::optional<std::string> font;
  std::optional<double> size;
  std::optional<std::uint32_t> color;  // 0xRRGGBB
  std::optional<bool> bold, italic, underline, bullet, kerning;
  std::optional<std::string> url, target;
  std::optional<std::string> align;  // "left", "right", "center", "justify"
  std::optional<double> leftMargin, rightMargin, indent, leading, blockIndent, letterSpacing;
  std::optional<std::vector<double>> tabStops;

  // The fields `other` sets replace these.
  void apply(const CharFormat& other);
  // Keeps only the fields both set to the same value.
  void intersect(const CharFormat& other);
  bool operator==(const CharFormat&) const = default;
};

struct EditTextSettings {
  bool html = false, border = false, background = false, wordWrap = false, multiline = false, password = false;
  bool selectable = true, embedFonts = false, condenseWhite = false, mouseWheelEnabled = true, input = false;
  std::uint32_t borderColor = 0x000000, backgroundColor = 0xFFFFFF;
  int maxChars = 0;  // 0: no limit
  std::optional<std::string> restrict;
  std::string autoSize = "none";
  std::string antiAliasType = "normal", gridFitType = "pixel";
  double sharpness = 0, thickness = 0;
  std::string variable;
  swf::Rect bounds;  // twips, in the field's own coordinates
};

class EditTextState {
 public:
  EditTextState() = default;
  // The state a placed field starts with.
  static EditTextState fromDefinition(const swf::DefineEditText& definition, const MovieData* movie);
  // A field made by a script: `width` and `height` in pixels.
  static EditTextState created(double width, double height);

  EditTextSettings settings;

  // Text in UTF-16 units, as scripts count it. Paragraphs end with '\r'.
  const std::u16string& text() const { return text_; }
  std::string textUtf8() const;
  int length() const { return static_cast<int>(text_.size()); }
  // Replaces the whole text; the characters take the new-text format.
  void setText(const std::string& utf8);
  // Replaces [begin, end) with `utf8` in the format of the first replaced character
  // (or the new-text format in an empty field).
  void replaceText(int begin, int end, const std::string& utf8);
  // Inserts what the user types at the selection, honouring restrict and maxChars.
  void typeText(const std::string& utf8);

  // The HTML as scripts read it back (the reference player's upper-case form).
  std::string htmlText(int swfVersion) const;
  void setHtmlText(const std::string& html);

  // Format of [begin, end): fields mixed in the range are unset.
  CharFormat formatOf(int begin, int end) const;
  void setFormat(int begin, int end, const CharFormat& format);
  const CharFormat& newTextFormat() const { return newFormat_; }
  void setNewTextFormat(const CharFormat& format) { newFormat_.apply(format); }

  // The selection (caret when equal); -1: the field has no focus.
  int selectionBegin = -1, selectionEnd = -1;
  int scroll = 1, hscroll = 0;

  // Bumped on every change, for caches and for variable binding.
  std::uint64_t revision() const { return revision_; }
  // What the renderer draws: the definition with the live text and settings.
  swf::DefineEditText forDrawing(const swf::DefineEditText& base) const;

 private:
  std::u16string text_;
  std::vector<CharFormat> formats_;  // one per character
  CharFormat newFormat_;
  std::uint64_t revision_ = 0;
};

// What a restrict pattern ("a-z", "^0-9", "\\-" escapes) lets through; no pattern allows all.
bool restrictAllows(const std::optional<std::string>& pattern, char16_t c);

}  // namespace plavex::engine
