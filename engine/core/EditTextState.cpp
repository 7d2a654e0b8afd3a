#include "engine/core/EditTextState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/Movie.h"
#include "engine/format/Utf16.h"

namespace plavex::engine {

namespace {

std::u16string utf16(std::string_view s) { return swf::toUtf16(s); }
std::string utf8(std::u16string_view s) { return swf::fromUtf16(s); }
using swf::appendUtf8;

// Line ends as the field stores them: "\r\n" and "\n" become "\r".
std::u16string normaliseNewlines(std::u16string s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') continue;
    out.push_back(s[i] == u'\n' ? u'\r' : s[i]);
  }
  return out;
}

CharFormat defaultFormat() {
  CharFormat f;
  f.font = "Times New Roman";
  f.size = 12;
  f.color = 0;
  f.bold = f.italic = f.underline = f.bullet = f.kerning = false;
  f.url = f.target = "";
  f.align = "left";
  f.leftMargin = f.rightMargin = f.indent = f.leading = f.blockIndent = f.letterSpacing = 0;
  f.tabStops = std::vector<double>{};
  return f;
}

std::string number(double v) {
  if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string escapeHtml(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    switch (c) {
      case u'<': out += "&lt;"; break;
      case u'>': out += "&gt;"; break;
      case u'&': out += "&amp;"; break;
      case u'"': out += "&quot;"; break;
      default: out += utf8(std::u16string_view(&c, 1));
    }
  }
  return out;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// ---- the HTML reader ----

struct Tag {
  std::string name;  // lower case, without '/'
  bool closing = false, selfClosing = false;
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case
  std::optional<std::string> attribute(std::string_view n) const {
    for (const auto& [k, v] : attributes)
      if (k == n) return v;
    return std::nullopt;
  }
};

std::string decodeEntities(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out.push_back(s[i]);
      continue;
    }
    std::size_t semi = s.find(';', i);
    if (semi == std::string_view::npos || semi - i > 10) {
      out.push_back('&');
      continue;
    }
    std::string_view e = s.substr(i + 1, semi - i - 1);
    std::optional<char32_t> cp;
    if (e == "lt") cp = '<';
    else if (e == "gt") cp = '>';
    else if (e == "amp") cp = '&';
    else if (e == "quot") cp = '"';
    else if (e == "apos") cp = '\'';
    else if (e == "nbsp") cp = 0xA0;
    else if (e.size() > 1 && e[0] == '#') {
      char* end = nullptr;
      std::string digits(e.substr(1));
      long v = digits[0] == 'x' || digits[0] == 'X' ? std::strtol(digits.c_str() + 1, &end, 16)
                                                    : std::strtol(digits.c_str(), &end, 10);
      if (end && !*end && v > 0 && v < 0x110000) cp = static_cast<char32_t>(v);
    }
    if (!cp) {
      out.push_back('&');
      continue;
    }
    appendUtf8(out, *cp);
    i = semi;
  }
  return out;
}

std::optional<Tag> parseTag(std::string_view body) {
  Tag t;
  std::size_t i = 0;
  auto skipSpace = [&] {
    while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
  };
  skipSpace();
  if (i < body.size() && body[i] == '/') t.closing = true, ++i;
  std::size_t start = i;
  while (i < body.size() && (std::isalnum(static_cast<unsigned char>(body[i])) || body[i] == '_')) ++i;
  if (i == start) return std::nullopt;
  t.name = lower(std::string(body.substr(start, i - start)));
  while (i < body.size()) {
    skipSpace();
    if (i >= body.size()) break;
    if (body[i] == '/') {
      t.selfClosing = true;
      ++i;
      continue;
    }
    start = i;
    while (i < body.size() && body[i] != '=' && !std::isspace(static_cast<unsigned char>(body[i])) && body[i] != '/') ++i;
    std::string name = lower(std::string(body.substr(start, i - start)));
    skipSpace();
    std::string value;
    if (i < body.size() && body[i] == '=') {
      ++i;
      skipSpace();
      if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
        char q = body[i++];
        start = i;
        while (i < body.size() && body[i] != q) ++i;
        value = std::string(body.substr(start, i - start));
        if (i < body.size()) ++i;
      } else {
        start = i;
        while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
        value = std::string(body.substr(start, i - start));
      }
    }
    if (!name.empty()) t.attributes.emplace_back(std::move(name), decodeEntities(value));
    if (i == start) ++i;
  }
  return t;
}

std::optional<double> parseNumber(const std::string& s) {
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str()) return std::nullopt;
  return v;
}

std::optional<std::uint32_t> parseColor(std::string s) {
  if (!s.empty() && s[0] == '#') s.erase(0, 1);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  unsigned long v = std::strtoul(s.c_str(), &end, 16);
  return static_cast<std::uint32_t>(v & 0xFFFFFF);
}

std::string colorText(std::uint32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%06X", c & 0xFFFFFF);
  return buf;
}

}  // namespace

// ---- CharFormat ----

void CharFormat::apply(const CharFormat& o) {
  if (o.font) font = o.font;
  if (o.size) size = o.size;
  if (o.color) color = o.color;
  if (o.bold) bold = o.bold;
  if (o.italic) italic = o.italic;
  if (o.underline) underline = o.underline;
  if (o.bullet) bullet = o.bullet;
  if (o.kerning) kerning = o.kerning;
  if (o.url) url = o.url;
  if (o.target) target = o.target;
  if (o.align) align = o.align;
  if (o.leftMargin) leftMargin = o.leftMargin;
  if (o.rightMargin) rightMargin = o.rightMargin;
  if (o.indent) indent = o.indent;
  if (o.leading) leading = o.leading;
  if (o.blockIndent) blockIndent = o.blockIndent;
  if (o.letterSpacing) letterSpacing = o.letterSpacing;
  if (o.tabStops) tabStops = o.tabStops;
}

void CharFormat::intersect(const CharFormat& o) {
  auto keep = [](auto& mine, const auto& theirs) {
    if (mine && !(theirs && *theirs == *mine)) mine.reset();
  };
  keep(font, o.font);
  keep(size, o.size);
  keep(color, o.color);
  keep(bold, o.bold);
  keep(italic, o.italic);
  keep(underline, o.underline);
  keep(bullet, o.bullet);
  keep(kerning, o.kerning);
  keep(url, o.url);
  keep(target, o.target);
  keep(align, o.align);
  keep(leftMargin, o.leftMargin);
  keep(rightMargin, o.rightMargin);
  keep(indent, o.indent);
  keep(leading, o.leading);
  keep(blockIndent, o.blockIndent);
  keep(letterSpacing, o.letterSpacing);
  keep(tabStops, o.tabStops);
}

// ---- EditTextState ----

EditTextState EditTextState::fromDefinition(const swf::DefineEditText& d, const MovieData* movie) {
  EditTextState s;
  EditTextSettings& st = s.settings;
  st.html = d.html;
  st.border = st.background = d.border;
  st.wordWrap = d.wordWrap;
  st.multiline = d.multiline;
  st.password = d.password;
  st.selectable = !d.noSelect;
  st.embedFonts = d.useOutlines;
  st.input = !d.readOnly;
  st.maxChars = d.maxLength.value_or(0);
  st.autoSize = d.autoSize ? "left" : "none";
  st.variable = d.variableName;
  st.bounds = d.bounds;
  CharFormat f = defaultFormat();
  if (d.fontId && movie) {
    if (auto c = movie->character(*d.fontId))
      if (const auto* font = std::get_if<FontDefinition>(&c->body)) {
        std::string name = font->name;
        while (!name.empty() && name.back() == '\0') name.pop_back();
        if (!name.empty()) f.font = name;
        f.bold = font->bold;
        f.italic = font->italic;
      }
  } else if (d.fontClass) {
    f.font = *d.fontClass;
  }
  if (d.fontId || d.fontClass) f.size = d.fontHeight / 20.0;
  if (d.textColor) f.color = (std::uint32_t{d.textColor->r} << 16) | (std::uint32_t{d.textColor->g} << 8) | d.textColor->b;
  if (d.layout) {
    static const char* const aligns[] = {"left", "right", "center", "justify"};
    f.align = aligns[d.layout->align & 3];
    f.leftMargin = d.layout->leftMargin / 20.0;
    f.rightMargin = d.layout->rightMargin / 20.0;
    f.indent = d.layout->indent / 20.0;
    f.leading = d.layout->leading / 20.0;
  }
  s.newFormat_ = f;
  if (d.initialText) {
    if (d.html) s.setHtmlText(*d.initialText);
    else s.setText(*d.initialText);
  }
  return s;
}

EditTextState EditTextState::created(double width, double height) {
  EditTextState s;
  s.settings.bounds = swf::Rect{0, static_cast<std::int32_t>(std::lround(width * 20)), 0,
                                static_cast<std::int32_t>(std::lround(height * 20))};
  s.newFormat_ = defaultFormat();
  return s;
}

std::string EditTextState::textUtf8() const { return utf8(text_); }

void EditTextState::setText(const std::string& s) {
  text_ = normaliseNewlines(utf16(s));
  // A field gets the format its first character had (or the new-text format).
  CharFormat f = formats_.empty() ? newFormat_ : formats_.front();
  formats_.assign(text_.size(), newFormat_);
  (void)f;
  selectionBegin = std::min(selectionBegin, length());
  selectionEnd = std::min(selectionEnd, length());
  ++revision_;
}

void EditTextState::replaceText(int begin, int end, const std::string& s) {
  begin = std::clamp(begin, 0, length());
  end = std::clamp(end, begin, length());
  std::u16string inserted = normaliseNewlines(utf16(s));
  CharFormat f = begin < length() ? formats_[static_cast<std::size_t>(begin)]
                                  : (begin > 0 ? formats_[static_cast<std::size_t>(begin - 1)] : newFormat_);
  text_.replace(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin), inserted);
  formats_.erase(formats_.begin() + begin, formats_.begin() + end);
  formats_.insert(formats_.begin() + begin, inserted.size(), f);
  ++revision_;
}

void EditTextState::typeText(const std::string& s) {
  std::u16string typed;
  for (char16_t c : utf16(s)) {
    if (c == u'\r' || c == u'\n') {
      if (!settings.multiline) continue;
      c = u'\r';
    } else if (!restrictAllows(settings.restrict, c)) {
      continue;
    }
    typed.push_back(c);
  }
  int begin = std::max(0, std::min(selectionBegin, selectionEnd));
  int end = std::max(begin, std::max(selectionBegin, selectionEnd));
  if (selectionBegin < 0) begin = end = length();
  if (settings.maxChars > 0) {
    int room = settings.maxChars - (length() - (end - begin));
    if (room <= 0) return;
    if (static_cast<int>(typed.size()) > room) typed.resize(static_cast<std::size_t>(room));
  }
  if (typed.empty()) return;
  std::u16string before = text_;
  text_.replace(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin), typed);
  formats_.erase(formats_.begin() + begin, formats_.begin() + end);
  formats_.insert(formats_.begin() + begin, typed.size(), newFormat_);
  selectionBegin = selectionEnd = begin + static_cast<int>(typed.size());
  ++revision_;
}

CharFormat EditTextState::formatOf(int begin, int end) const {
  begin = std::clamp(begin, 0, length());
  end = std::clamp(end, begin, length());
  if (begin == end) {
    // An empty range reads the character before it (or the new-text format).
    if (formats_.empty()) return newFormat_;
    return formats_[static_cast<std::size_t>(std::min(begin, length() - 1))];
  }
  CharFormat f = formats_[static_cast<std::size_t>(begin)];
  for (int i = begin + 1; i < end; ++i) f.intersect(formats_[static_cast<std::size_t>(i)]);
  return f;
}

void EditTextState::setFormat(int begin, int end, const CharFormat& format) {
  begin = std::clamp(begin, 0, length());
  end = std::clamp(end, begin, length());
  for (int i = begin; i < end; ++i) formats_[static_cast<std::size_t>(i)].apply(format);
  ++revision_;
}

std::string EditTextState::htmlText(int swfVersion) const {
  if (!settings.html) return textUtf8();
  std::string out;
  auto paragraph = [&](std::size_t from, std::size_t to) {
    const CharFormat& pf = from < formats_.size() ? formats_[from] : newFormat_;
    bool textFormat = pf.leftMargin.value_or(0) != 0 || pf.rightMargin.value_or(0) != 0 || pf.indent.value_or(0) != 0 ||
                      pf.blockIndent.value_or(0) != 0 || pf.leading.value_or(0) != 0 ||
                      (pf.tabStops && !pf.tabStops->empty());
    if (textFormat) {
      out += "<TEXTFORMAT";
      if (pf.leftMargin.value_or(0) != 0) out += " LEFTMARGIN=\"" + number(*pf.leftMargin) + "\"";
      if (pf.rightMargin.value_or(0) != 0) out += " RIGHTMARGIN=\"" + number(*pf.rightMargin) + "\"";
      if (pf.indent.value_or(0) != 0) out += " INDENT=\"" + number(*pf.indent) + "\"";
      if (pf.blockIndent.value_or(0) != 0) out += " BLOCKINDENT=\"" + number(*pf.blockIndent) + "\"";
      if (pf.leading.value_or(0) != 0) out += " LEADING=\"" + number(*pf.leading) + "\"";
      if (pf.tabStops && !pf.tabStops->empty()) {
        out += " TABSTOPS=\"";
        for (std::size_t i = 0; i < pf.tabStops->size(); ++i) out += (i ? "," : "") + number((*pf.tabStops)[i]);
        out += "\"";
      }
      out += ">";
    }
    bool bullet = pf.bullet.value_or(false);
    out += bullet ? "<LI>" : "<P ALIGN=\"" + upper(pf.align.value_or("left")) + "\">";
    std::size_t i = from;
    do {
      const CharFormat& f = i < formats_.size() ? formats_[i] : newFormat_;
      std::size_t j = i;
      while (j < to && formats_[j] == f) ++j;
      out += "<FONT FACE=\"" + f.font.value_or("") + "\" SIZE=\"" + number(f.size.value_or(12)) + "\" COLOR=\"" +
             colorText(f.color.value_or(0)) + "\"";
      if (swfVersion >= 8)
        out += " LETTERSPACING=\"" + number(f.letterSpacing.value_or(0)) + "\" KERNING=\"" +
               (f.kerning.value_or(false) ? "1" : "0") + "\"";
      out += ">";
      bool link = !f.url.value_or("").empty();
      if (link) out += "<A HREF=\"" + *f.url + "\" TARGET=\"" + f.target.value_or("") + "\">";
      if (f.bold.value_or(false)) out += "<B>";
      if (f.italic.value_or(false)) out += "<I>";
      if (f.underline.value_or(false)) out += "<U>";
      out += escapeHtml(std::u16string_view(text_).substr(i, j - i));
      if (f.underline.value_or(false)) out += "</U>";
      if (f.italic.value_or(false)) out += "</I>";
      if (f.bold.value_or(false)) out += "</B>";
      if (link) out += "</A>";
      out += "</FONT>";
      i = j;
    } while (i < to);
    out += bullet ? "</LI>" : "</P>";
    if (textFormat) out += "</TEXTFORMAT>";
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text_.size(); ++i) {
    if (i == text_.size() || text_[i] == u'\r') {
      if (i < text_.size() || start < text_.size() || start == 0) paragraph(start, i);
      start = i + 1;
    }
  }
  return out;
}

void EditTextState::setHtmlText(const std::string& html) {
  std::u16string text;
  std::vector<CharFormat> formats;
  std::vector<std::pair<std::string, CharFormat>> stack;  // open tags and the format before them
  CharFormat current = newFormat_;
  auto appendText = [&](std::string_view raw) {
    std::u16string t = utf16(decodeEntities(raw));
    if (settings.condenseWhite) {
      std::u16string c;
      for (char16_t ch : t) {
        bool space = ch == u' ' || ch == u'\n' || ch == u'\r' || ch == u'\t';
        if (space) {
          if (!c.empty() && c.back() == u' ') continue;
          if (c.empty() && (text.empty() || text.back() == u' ' || text.back() == u'\r')) continue;
          c.push_back(u' ');
        } else {
          c.push_back(ch);
        }
      }
      t = c;
    } else {
      t = normaliseNewlines(t);
    }
    text += t;
    formats.insert(formats.end(), t.size(), current);
  };
  auto newline = [&] {
    text.push_back(u'\r');
    formats.push_back(current);
  };
  std::size_t i = 0;
  while (i < html.size()) {
    std::size_t lt = html.find('<', i);
    if (lt == std::string::npos) {
      appendText(std::string_view(html).substr(i));
      break;
    }
    if (lt > i) appendText(std::string_view(html).substr(i, lt - i));
    std::size_t gt = html.find('>', lt);
    if (gt == std::string::npos) break;  // an unclosed tag: the rest is dropped
    auto tag = parseTag(std::string_view(html).substr(lt + 1, gt - lt - 1));
    i = gt + 1;
    if (!tag) continue;
    const std::string& n = tag->name;
    if (tag->closing) {
      for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->first != n) continue;
        if ((n == "p" || n == "li") && i < html.size()) newline();
        current = it->second;
        stack.erase(std::next(it).base(), stack.end());
        break;
      }
      continue;
    }
    if (n == "br") {
      newline();
      continue;
    }
    CharFormat before = current;
    if (n == "b") current.bold = true;
    else if (n == "i") current.italic = true;
    else if (n == "u") current.underline = true;
    else if (n == "li") current.bullet = true;
    else if (n == "p") {
      if (auto a = tag->attribute("align")) current.align = lower(*a);
    } else if (n == "a") {
      if (auto a = tag->attribute("href")) current.url = *a;
      if (auto a = tag->attribute("target")) current.target = *a;
    } else if (n == "font") {
      if (auto a = tag->attribute("face")) current.font = *a;
      if (auto a = tag->attribute("color")) current.color = parseColor(*a);
      if (auto a = tag->attribute("size"); a && !a->empty()) {
        if (auto v = parseNumber(*a)) {
          bool relative = (*a)[0] == '+' || (*a)[0] == '-';
          current.size = relative ? current.size.value_or(12) + *v : *v;
        }
      }
      if (auto a = tag->attribute("letterspacing")) current.letterSpacing = parseNumber(*a).value_or(0);
      if (auto a = tag->attribute("kerning")) current.kerning = parseNumber(*a).value_or(0) != 0;
    } else if (n == "textformat") {
      auto num = [&](const char* name, std::optional<double>& field) {
        if (auto a = tag->attribute(name))
          if (auto v = parseNumber(*a)) field = *v;
      };
      num("leftmargin", current.leftMargin);
      num("rightmargin", current.rightMargin);
      num("indent", current.indent);
      num("blockindent", current.blockIndent);
      num("leading", current.leading);
      if (auto a = tag->attribute("tabstops")) {
        std::vector<double> stops;
        std::size_t p = 0;
        while (p <= a->size()) {
          std::size_t comma = a->find(',', p);
          if (comma == std::string::npos) comma = a->size();
          if (auto v = parseNumber(a->substr(p, comma - p))) stops.push_back(*v);
          p = comma + 1;
        }
        current.tabStops = stops;
      }
    } else {
      continue;  // tags the text engine does not know: their text stays
    }
    if (!tag->selfClosing) stack.emplace_back(n, before);
    else current = before;
  }
  text_ = std::move(text);
  formats_ = std::move(formats);
  ++revision_;
}

swf::DefineEditText EditTextState::forDrawing(const swf::DefineEditText& base) const {
  swf::DefineEditText d = base;
  d.bounds = settings.bounds;
  d.html = false;
  d.border = settings.border;
  d.wordWrap = settings.wordWrap;
  d.multiline = settings.multiline;
  d.password = settings.password;
  std::string plain = textUtf8();
  std::replace(plain.begin(), plain.end(), '\r', '\n');
  d.initialText = plain;
  const CharFormat& f = formats_.empty() ? newFormat_ : formats_.front();
  if (f.color) d.textColor = swf::Rgba{static_cast<std::uint8_t>(*f.color >> 16), static_cast<std::uint8_t>(*f.color >> 8),
                                       static_cast<std::uint8_t>(*f.color), 255};
  if (f.size && (d.fontId || d.fontClass)) d.fontHeight = static_cast<std::uint16_t>(std::clamp(*f.size * 20, 0.0, 65535.0));
  return d;
}

bool restrictAllows(const std::optional<std::string>& pattern, char16_t c) {
  if (!pattern) return true;
  std::u16string p = utf16(*pattern);
  if (p.empty()) return false;
  // Ranges after '^' exclude, before it include; with no including range at the start
  // of a '^' pattern everything else is allowed.
  bool allowed = p[0] == u'^';
  bool excluding = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    char16_t a = p[i];
    if (a == u'^') {
      excluding = !excluding;
      continue;
    }
    if (a == u'\\' && i + 1 < p.size()) a = p[++i];
    char16_t b = a;
    if (i + 2 < p.size() && p[i + 1] == u'-') {
      b = p[i + 2];
      if (b == u'\\' && i + 3 < p.size()) b = p[i + 3], ++i;
      i += 2;
    }
    if (c >= a && c <= b) allowed = !excluding;
  }
  return allowed;
}

}  // namespace plavex::engine
