#include "engine/format/SwfReader.h"

#include <algorithm>
#include <fstream>

#include "engine/format/BitIo.h"
#include "engine/format/Decompress.h"
#include "engine/format/TagCodes.h"

namespace plavex::swf {

using detail::BitReader;
using detail::ParseError;

namespace {

// ---- basic structures --------------------------------------------------------

Rect readRect(BitReader& r) {
  r.align();
  int n = static_cast<int>(r.ub(5));
  Rect rect;
  rect.xMin = r.sb(n);
  rect.xMax = r.sb(n);
  rect.yMin = r.sb(n);
  rect.yMax = r.sb(n);
  r.align();
  return rect;
}

Matrix readMatrix(BitReader& r) {
  r.align();
  Matrix m;
  if (r.flag()) {
    int n = static_cast<int>(r.ub(5));
    m.scaleX = r.sb(n);
    m.scaleY = r.sb(n);
  }
  if (r.flag()) {
    int n = static_cast<int>(r.ub(5));
    m.rotateSkew0 = r.sb(n);
    m.rotateSkew1 = r.sb(n);
  }
  int n = static_cast<int>(r.ub(5));
  m.translateX = r.sb(n);
  m.translateY = r.sb(n);
  r.align();
  return m;
}

ColorTransform readCxform(BitReader& r, bool withAlpha) {
  r.align();
  ColorTransform c;
  bool hasAdd = r.flag();
  bool hasMult = r.flag();
  int n = static_cast<int>(r.ub(4));
  if (hasMult) {
    c.multR = static_cast<std::int16_t>(r.sb(n));
    c.multG = static_cast<std::int16_t>(r.sb(n));
    c.multB = static_cast<std::int16_t>(r.sb(n));
    if (withAlpha) c.multA = static_cast<std::int16_t>(r.sb(n));
  }
  if (hasAdd) {
    c.addR = static_cast<std::int16_t>(r.sb(n));
    c.addG = static_cast<std::int16_t>(r.sb(n));
    c.addB = static_cast<std::int16_t>(r.sb(n));
    if (withAlpha) c.addA = static_cast<std::int16_t>(r.sb(n));
  }
  r.align();
  return c;
}

// ---- shapes ------------------------------------------------------------------

std::size_t readStyleCount(BitReader& r, bool extended) {
  std::size_t n = r.u8();
  if (n == 0xFF && extended) n = r.u16();
  return n;
}

Gradient readGradient(BitReader& r, int shapeVersion, bool focal) {
  Gradient g;
  std::uint8_t b = r.u8();
  g.spreadMode = b >> 6;
  g.interpolationMode = (b >> 4) & 3;
  int n = b & 15;
  for (int i = 0; i < n; ++i) {
    GradientRecord rec;
    rec.ratio = r.u8();
    rec.color = shapeVersion >= 3 ? r.rgba() : r.rgb();
    g.records.push_back(rec);
  }
  if (focal) g.focalPoint = r.s16();
  return g;
}

FillStyle readFillStyle(BitReader& r, int shapeVersion) {
  FillStyle f;
  f.type = r.u8();
  if (f.type == fill::kSolid) {
    f.color = shapeVersion >= 3 ? r.rgba() : r.rgb();
  } else if (fill::isGradient(f.type)) {
    f.matrix = readMatrix(r);
    f.gradient = readGradient(r, shapeVersion, f.type == fill::kFocal);
  } else if (fill::isBitmap(f.type)) {
    f.bitmapId = r.u16();
    f.matrix = readMatrix(r);
  } else {
    throw ParseError("unknown fill style type " + std::to_string(f.type));
  }
  return f;
}

std::vector<FillStyle> readFillStyles(BitReader& r, int shapeVersion) {
  std::size_t n = readStyleCount(r, shapeVersion >= 2);
  std::vector<FillStyle> out;
  for (std::size_t i = 0; i < n; ++i) out.push_back(readFillStyle(r, shapeVersion));
  return out;
}

// The flags and miter limit that LineStyle2 and MorphLineStyle2 share; true when a fill follows.
template <typename Style>
bool readLineStyle2Flags(BitReader& r, Style& l) {
  l.startCapStyle = static_cast<std::uint8_t>(r.ub(2));
  l.joinStyle = static_cast<std::uint8_t>(r.ub(2));
  const bool hasFill = r.flag();
  l.noHScale = r.flag();
  l.noVScale = r.flag();
  l.pixelHinting = r.flag();
  r.ub(5);
  l.noClose = r.flag();
  l.endCapStyle = static_cast<std::uint8_t>(r.ub(2));
  if (l.joinStyle == 2) l.miterLimitFactor = r.u16();
  return hasFill;
}

std::vector<LineStyle> readLineStyles(BitReader& r, int shapeVersion) {
  std::size_t n = readStyleCount(r, shapeVersion >= 2);
  std::vector<LineStyle> out;
  for (std::size_t i = 0; i < n; ++i) {
    LineStyle l;
    l.width = r.u16();
    if (shapeVersion >= 4) {
      const bool hasFill = readLineStyle2Flags(r, l);
      if (hasFill)
        l.fill = readFillStyle(r, shapeVersion);
      else
        l.color = r.rgba();
    } else {
      l.color = shapeVersion >= 3 ? r.rgba() : r.rgb();
    }
    out.push_back(std::move(l));
  }
  return out;
}

std::vector<ShapeRecord> readShapeRecords(BitReader& r, int shapeVersion, int fillBits, int lineBits) {
  std::vector<ShapeRecord> out;
  for (;;) {
    if (!r.flag()) {
      std::uint32_t flags = r.ub(5);
      if (flags == 0) break;
      StyleChange sc;
      if (flags & 1) {
        int n = static_cast<int>(r.ub(5));
        sc.moveTo = MoveTo{r.sb(n), r.sb(n)};
      }
      if (flags & 2) sc.fillStyle0 = r.ub(fillBits);
      if (flags & 4) sc.fillStyle1 = r.ub(fillBits);
      if (flags & 8) sc.lineStyle = r.ub(lineBits);
      if (flags & 16) {
        NewStyles ns;
        ns.fills = readFillStyles(r, shapeVersion);
        ns.lines = readLineStyles(r, shapeVersion);
        fillBits = static_cast<int>(r.ub(4));
        lineBits = static_cast<int>(r.ub(4));
        sc.newStyles = std::move(ns);
      }
      out.emplace_back(std::move(sc));
    } else if (r.flag()) {
      int n = static_cast<int>(r.ub(4)) + 2;
      StraightEdge e;
      if (r.flag()) {
        e.dx = r.sb(n);
        e.dy = r.sb(n);
      } else if (r.flag()) {
        e.dy = r.sb(n);
      } else {
        e.dx = r.sb(n);
      }
      out.emplace_back(e);
    } else {
      int n = static_cast<int>(r.ub(4)) + 2;
      CurvedEdge e;
      e.controlDx = r.sb(n);
      e.controlDy = r.sb(n);
      e.anchorDx = r.sb(n);
      e.anchorDy = r.sb(n);
      out.emplace_back(e);
    }
  }
  r.align();
  return out;
}

Shape readShape(BitReader& r, int shapeVersion) {
  r.align();
  int fillBits = static_cast<int>(r.ub(4));
  int lineBits = static_cast<int>(r.ub(4));
  return Shape{readShapeRecords(r, shapeVersion, fillBits, lineBits)};
}

DefineShape readDefineShape(BitReader& r, std::uint8_t version) {
  DefineShape s;
  s.version = version;
  s.id = r.u16();
  s.bounds = readRect(r);
  if (version >= 4) {
    s.edgeBounds = readRect(r);
    std::uint8_t b = r.u8();
    s.usesFillWindingRule = b & 4;
    s.usesNonScalingStrokes = b & 2;
    s.usesScalingStrokes = b & 1;
  }
  s.shape.fills = readFillStyles(r, version);
  s.shape.lines = readLineStyles(r, version);
  r.align();
  int fillBits = static_cast<int>(r.ub(4));
  int lineBits = static_cast<int>(r.ub(4));
  s.shape.records = readShapeRecords(r, version, fillBits, lineBits);
  return s;
}

MorphFillStyle readMorphFillStyle(BitReader& r) {
  MorphFillStyle f;
  f.type = r.u8();
  if (f.type == fill::kSolid) {
    f.startColor = r.rgba();
    f.endColor = r.rgba();
  } else if (fill::isGradient(f.type)) {
    f.startMatrix = readMatrix(r);
    f.endMatrix = readMatrix(r);
    std::uint8_t b = r.u8();
    f.spreadMode = b >> 6;
    f.interpolationMode = (b >> 4) & 3;
    int n = b & 15;
    for (int i = 0; i < n; ++i) {
      MorphGradientRecord g;
      g.startRatio = r.u8();
      g.startColor = r.rgba();
      g.endRatio = r.u8();
      g.endColor = r.rgba();
      f.gradient.push_back(g);
    }
    if (f.type == fill::kFocal) f.focalPoint = r.s16();
  } else if (fill::isBitmap(f.type)) {
    f.bitmapId = r.u16();
    f.startMatrix = readMatrix(r);
    f.endMatrix = readMatrix(r);
  } else {
    throw ParseError("unknown morph fill style type " + std::to_string(f.type));
  }
  return f;
}

DefineMorphShape readDefineMorphShape(BitReader& r, std::uint8_t version) {
  DefineMorphShape m;
  m.version = version;
  m.id = r.u16();
  m.startBounds = readRect(r);
  m.endBounds = readRect(r);
  if (version >= 2) {
    m.startEdgeBounds = readRect(r);
    m.endEdgeBounds = readRect(r);
    std::uint8_t b = r.u8();
    m.usesNonScalingStrokes = b & 2;
    m.usesScalingStrokes = b & 1;
  }
  std::uint32_t offset = r.u32();
  std::size_t endEdgesAt = r.pos() + offset;
  std::size_t nFills = readStyleCount(r, true);
  for (std::size_t i = 0; i < nFills; ++i) m.fills.push_back(readMorphFillStyle(r));
  std::size_t nLines = readStyleCount(r, true);
  for (std::size_t i = 0; i < nLines; ++i) {
    MorphLineStyle l;
    l.startWidth = r.u16();
    l.endWidth = r.u16();
    if (version >= 2) {
      const bool hasFill = readLineStyle2Flags(r, l);
      if (hasFill) {
        l.fill = readMorphFillStyle(r);
      } else {
        l.startColor = r.rgba();
        l.endColor = r.rgba();
      }
    } else {
      l.startColor = r.rgba();
      l.endColor = r.rgba();
    }
    m.lines.push_back(std::move(l));
  }
  m.startEdges = readShape(r, 3);
  // The offset locates the end edges; a broken offset falls back to what follows.
  if (offset != 0 && endEdgesAt >= r.pos() && endEdgesAt < r.pos() + r.remaining()) r.seek(endEdgesAt);
  m.endEdges = readShape(r, 3);
  return m;
}

// ---- filters -----------------------------------------------------------------

Filter readFilter(BitReader& r) {
  Filter f;
  f.type = r.u8();
  auto readBlurs = [&] {
    f.blurX = r.s32();
    f.blurY = r.s32();
  };
  // The flag byte shadows, glows and bevels share; bevels keep a bit of the passes for "on top".
  auto readShadowFlags = [&](bool hasOnTop) {
    const std::uint8_t b = r.u8();
    f.innerShadow = b & 0x80;
    f.knockout = b & 0x40;
    f.compositeSource = b & 0x20;
    if (hasOnTop) f.onTop = b & 0x10;
    f.passes = b & (hasOnTop ? 0x0F : 0x1F);
  };
  switch (f.type) {
    case filter::kDropShadow: {
      f.colors.push_back(r.rgba());
      readBlurs();
      f.angle = r.s32();
      f.distance = r.s32();
      f.strength = r.s16();
      readShadowFlags(false);
      break;
    }
    case filter::kBlur: {
      readBlurs();
      f.passes = r.u8() >> 3;
      break;
    }
    case filter::kGlow: {
      f.colors.push_back(r.rgba());
      readBlurs();
      f.strength = r.s16();
      readShadowFlags(false);
      break;
    }
    case filter::kBevel:
    case filter::kGradientGlow:
    case filter::kGradientBevel: {
      if (f.type == filter::kBevel) {
        f.colors.push_back(r.rgba());
        f.colors.push_back(r.rgba());
      } else {
        int n = r.u8();
        for (int i = 0; i < n; ++i) f.colors.push_back(r.rgba());
        for (int i = 0; i < n; ++i) f.ratios.push_back(r.u8());
      }
      readBlurs();
      f.angle = r.s32();
      f.distance = r.s32();
      f.strength = r.s16();
      readShadowFlags(true);
      break;
    }
    case filter::kConvolution: {
      f.matrixX = r.u8();
      f.matrixY = r.u8();
      f.divisor = r.f32();
      f.bias = r.f32();
      std::size_t n = std::size_t{f.matrixX} * f.matrixY;
      r.need(n * 4);
      f.matrix.reserve(n);
      for (std::size_t i = 0; i < n; ++i) f.matrix.push_back(r.f32());
      f.defaultColor = r.rgba();
      std::uint8_t b = r.u8();
      f.clamp = b & 2;
      f.preserveAlpha = b & 1;
      break;
    }
    case filter::kColorMatrix: {
      for (int i = 0; i < 20; ++i) f.matrix.push_back(r.f32());
      break;
    }
    default:
      throw ParseError("unknown filter type " + std::to_string(f.type));
  }
  return f;
}

std::vector<Filter> readFilterList(BitReader& r) {
  int n = r.u8();
  std::vector<Filter> out;
  for (int i = 0; i < n; ++i) out.push_back(readFilter(r));
  return out;
}

// ---- display list, buttons, sounds -----------------------------------------

ClipActions readClipActions(BitReader& r, int swfVersion) {
  ClipActions ca;
  r.u16();
  auto flags = [&]() -> std::uint32_t { return swfVersion <= 5 ? r.u16() : r.u32(); };
  ca.allEventFlags = flags();
  for (;;) {
    std::uint32_t ev = flags();
    if (ev == 0) break;
    std::uint32_t size = r.u32();
    r.need(size);
    BitReader sub(r.cursor(), r.cursor() + size);
    ClipActionRecord rec;
    rec.eventFlags = ev;
    if (ev & kClipEventKeyPress) rec.keyCode = sub.u8();
    rec.actions = sub.rest();
    r.seek(r.pos() + size);
    ca.records.push_back(std::move(rec));
  }
  return ca;
}

PlaceObject readPlaceObject(BitReader& r, std::uint8_t version, int swfVersion) {
  PlaceObject p;
  p.version = version;
  if (version == 1) {
    p.characterId = r.u16();
    p.depth = r.u16();
    p.matrix = readMatrix(r);
    if (r.remaining() > 0) p.cxform = readCxform(r, false);
    return p;
  }
  std::uint8_t f1 = r.u8();
  std::uint8_t f2 = version >= 3 ? r.u8() : 0;
  p.move = f1 & 0x01;
  p.depth = r.u16();
  p.hasImage = f2 & 0x10;
  if ((f2 & 0x08) || (p.hasImage && (f1 & 0x02))) p.className = r.str();
  if (f1 & 0x02) p.characterId = r.u16();
  if (f1 & 0x04) p.matrix = readMatrix(r);
  if (f1 & 0x08) p.cxform = readCxform(r, true);
  if (f1 & 0x10) p.ratio = r.u16();
  if (f1 & 0x20) p.name = r.str();
  if (f1 & 0x40) p.clipDepth = r.u16();
  if (f2 & 0x01) p.filters = readFilterList(r);
  if (f2 & 0x02) p.blendMode = r.u8();
  // Some writers set the cache flag without its byte at the very end of the tag.
  if (f2 & 0x04) p.bitmapCache = r.remaining() > 0 ? r.u8() : std::uint8_t{1};
  if (f2 & 0x20) p.visible = r.u8();
  if (f2 & 0x40) p.backgroundColor = r.rgba();
  if (f1 & 0x80) p.clipActions = readClipActions(r, swfVersion);
  return p;
}

SoundInfo readSoundInfo(BitReader& r) {
  SoundInfo s;
  std::uint8_t b = r.u8();
  s.syncStop = b & 0x20;
  s.syncNoMultiple = b & 0x10;
  if (b & 0x01) s.inPoint = r.u32();
  if (b & 0x02) s.outPoint = r.u32();
  if (b & 0x04) s.loopCount = r.u16();
  if (b & 0x08) {
    int n = r.u8();
    std::vector<EnvelopePoint> env;
    for (int i = 0; i < n; ++i) {
      EnvelopePoint e;
      e.pos44 = r.u32();
      e.leftLevel = r.u16();
      e.rightLevel = r.u16();
      env.push_back(e);
    }
    s.envelope = std::move(env);
  }
  return s;
}

DefineButton readDefineButton(BitReader& r, std::uint8_t version) {
  DefineButton b;
  b.version = version;
  b.id = r.u16();
  std::size_t actionOffsetAt = 0;
  std::uint16_t actionOffset = 0;
  if (version == 2) {
    b.trackAsMenu = r.u8() & 1;
    actionOffsetAt = r.pos();
    actionOffset = r.u16();
  }
  for (;;) {
    std::uint8_t flags = r.u8();
    if (flags == 0) break;
    ButtonRecord rec;
    rec.hitTest = flags & 0x08;
    rec.down = flags & 0x04;
    rec.over = flags & 0x02;
    rec.up = flags & 0x01;
    rec.characterId = r.u16();
    rec.depth = r.u16();
    rec.matrix = readMatrix(r);
    if (version == 2) {
      rec.cxform = readCxform(r, true);
      if (flags & 0x10) rec.filters = readFilterList(r);
      if (flags & 0x20) rec.blendMode = r.u8();
    }
    b.records.push_back(std::move(rec));
  }
  if (version == 1) {
    b.actions = r.rest();
    return b;
  }
  if (actionOffset == 0) return b;
  r.seek(actionOffsetAt + actionOffset);
  for (;;) {
    std::uint16_t size = r.u16();
    ButtonCondAction ca;
    ca.conditions = r.u16();
    if (size == 0) {
      ca.actions = r.rest();
      b.condActions.push_back(std::move(ca));
      break;
    }
    if (size < 4) throw ParseError("button action record shorter than its header");
    ca.actions = r.bytes(size - 4u);
    b.condActions.push_back(std::move(ca));
    if (r.remaining() == 0) break;
  }
  return b;
}

// ---- fonts and texts ---------------------------------------------------------

DefineFont readDefineFont(BitReader& r) {
  DefineFont f;
  f.id = r.u16();
  if (r.remaining() == 0) return f;
  std::size_t base = r.pos();
  std::size_t first = r.u16();
  std::size_t n = first / 2;
  if (n == 0) return f;
  r.need(first - 2);
  std::vector<std::size_t> offsets{first};
  for (std::size_t i = 1; i < n; ++i) offsets.push_back(r.u16());
  std::size_t bodySize = r.pos() + r.remaining() - base;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t from = offsets[i], to = i + 1 < n ? offsets[i + 1] : bodySize;
    if (from > to || to > bodySize) throw ParseError("glyph offset table out of order");
    BitReader g(r.cursor() - (r.pos() - base) + from, r.cursor() - (r.pos() - base) + to);
    f.glyphs.push_back(readShape(g, 1));
  }
  return f;
}

DefineFontInfo readDefineFontInfo(BitReader& r, std::uint8_t version) {
  DefineFontInfo f;
  f.version = version;
  f.fontId = r.u16();
  f.name = r.chars(r.u8());
  std::uint8_t b = r.u8();
  f.smallText = b & 0x20;
  f.shiftJis = b & 0x10;
  f.ansi = b & 0x08;
  f.italic = b & 0x04;
  f.bold = b & 0x02;
  f.wideCodes = b & 0x01;
  if (version == 2) f.languageCode = r.u8();
  while (r.remaining() >= (f.wideCodes ? 2u : 1u)) f.codes.push_back(f.wideCodes ? r.u16() : r.u8());
  return f;
}

DefineFont2 readDefineFont2(BitReader& r, std::uint8_t version) {
  DefineFont2 f;
  f.version = version;
  f.id = r.u16();
  std::uint8_t b = r.u8();
  bool hasLayout = b & 0x80;
  f.shiftJis = b & 0x40;
  f.smallText = b & 0x20;
  f.ansi = b & 0x10;
  bool wideOffsets = b & 0x08;
  f.wideCodes = b & 0x04;
  f.italic = b & 0x02;
  f.bold = b & 0x01;
  f.languageCode = r.u8();
  f.name = r.chars(r.u8());
  std::size_t n = r.u16();
  const std::size_t offW = wideOffsets ? 4 : 2, codeW = f.wideCodes ? 2 : 1;
  const std::size_t base = r.pos();
  if (n > 0) {
    r.need((n + 1) * offW);
    std::vector<std::size_t> offsets;
    offsets.reserve(n + 1);
    for (std::size_t i = 0; i <= n; ++i) offsets.push_back(wideOffsets ? r.u32() : r.u16());
    const std::uint8_t* origin = r.cursor() - (r.pos() - base);
    std::size_t avail = r.pos() + r.remaining() - base;
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t from = offsets[i], to = offsets[i + 1];
      if (from > to || to > avail) throw ParseError("glyph offset table out of order");
      BitReader g(origin + from, origin + to);
      f.glyphs.push_back(readShape(g, 1));
    }
    r.seek(base + offsets[n]);
    for (std::size_t i = 0; i < n; ++i) f.codes.push_back(f.wideCodes ? r.u16() : r.u8());
  } else {
    // Without glyphs the code table offset is optional in practice; it is there when
    // the rest of the tag only adds up with it.
    std::size_t rem = r.remaining();
    bool offsetPresent = false;
    if (!hasLayout) {
      offsetPresent = rem >= offW;
    } else if (rem >= offW + 8) {
      BitReader peek(r.cursor() + offW + 6, r.cursor() + offW + 8);
      std::size_t k = peek.u16();
      offsetPresent = rem == offW + 8 + k * (2 * codeW + 2);
    }
    if (offsetPresent) r.seek(r.pos() + offW);
  }
  if (hasLayout) {
    FontLayout l;
    l.ascent = r.s16();
    l.descent = r.s16();
    l.leading = r.s16();
    r.need(n * 2);
    for (std::size_t i = 0; i < n; ++i) l.advances.push_back(r.s16());
    for (std::size_t i = 0; i < n; ++i) l.bounds.push_back(readRect(r));
    std::size_t k = r.u16();
    for (std::size_t i = 0; i < k; ++i) {
      KerningRecord kr;
      kr.code1 = f.wideCodes ? r.u16() : r.u8();
      kr.code2 = f.wideCodes ? r.u16() : r.u8();
      kr.adjustment = r.s16();
      l.kerning.push_back(kr);
    }
    f.layout = std::move(l);
  }
  return f;
}

DefineFontAlignZones readAlignZones(BitReader& r) {
  DefineFontAlignZones z;
  z.fontId = r.u16();
  z.csmTableHint = r.u8() >> 6;
  while (r.remaining() > 0) {
    AlignZone zone;
    int n = r.u8();
    for (int i = 0; i < n; ++i) {
      std::uint16_t a = r.u16();
      std::uint16_t b = r.u16();
      zone.data.push_back({a, b});
    }
    std::uint8_t m = r.u8();
    zone.maskY = m & 2;
    zone.maskX = m & 1;
    z.zones.push_back(std::move(zone));
  }
  return z;
}

DefineText readDefineText(BitReader& r, std::uint8_t version) {
  DefineText t;
  t.version = version;
  t.id = r.u16();
  t.bounds = readRect(r);
  t.matrix = readMatrix(r);
  int glyphBits = r.u8();
  int advanceBits = r.u8();
  if (glyphBits > 32 || advanceBits > 32) throw ParseError("glyph bit widths above 32");
  for (;;) {
    std::uint8_t b = r.u8();
    if (b == 0) break;
    TextRecord rec;
    if (b & 0x08) rec.fontId = r.u16();
    if (b & 0x04) rec.color = version == 2 ? r.rgba() : r.rgb();
    if (b & 0x01) rec.xOffset = r.s16();
    if (b & 0x02) rec.yOffset = r.s16();
    if (b & 0x08) rec.textHeight = r.u16();
    int n = r.u8();
    for (int i = 0; i < n; ++i) {
      GlyphEntry g;
      g.index = r.ub(glyphBits);
      g.advance = r.sb(advanceBits);
      rec.glyphs.push_back(g);
    }
    r.align();
    t.records.push_back(std::move(rec));
  }
  return t;
}

DefineEditText readDefineEditText(BitReader& r) {
  DefineEditText e;
  e.id = r.u16();
  e.bounds = readRect(r);
  std::uint8_t f1 = r.u8(), f2 = r.u8();
  e.wordWrap = f1 & 0x40;
  e.multiline = f1 & 0x20;
  e.password = f1 & 0x10;
  e.readOnly = f1 & 0x08;
  e.autoSize = f2 & 0x40;
  e.noSelect = f2 & 0x10;
  e.border = f2 & 0x08;
  e.wasStatic = f2 & 0x04;
  e.html = f2 & 0x02;
  e.useOutlines = f2 & 0x01;
  if (f1 & 0x01) e.fontId = r.u16();
  if (f2 & 0x80) e.fontClass = r.str();
  if ((f1 & 0x01) || (f2 & 0x80)) e.fontHeight = r.u16();
  if (f1 & 0x04) e.textColor = r.rgba();
  if (f1 & 0x02) e.maxLength = r.u16();
  if (f2 & 0x20) {
    EditTextLayout l;
    l.align = r.u8();
    l.leftMargin = r.u16();
    l.rightMargin = r.u16();
    l.indent = r.u16();
    l.leading = r.s16();
    e.layout = l;
  }
  e.variableName = r.str();
  if (f1 & 0x80) e.initialText = r.str();
  return e;
}

std::vector<AssetEntry> readAssets(BitReader& r) {
  std::size_t n = r.u16();
  std::vector<AssetEntry> out;
  for (std::size_t i = 0; i < n; ++i) {
    AssetEntry a;
    a.id = r.u16();
    a.name = r.str();
    out.push_back(std::move(a));
  }
  return out;
}

// ---- the tag list ------------------------------------------------------------

struct Context {
  int swfVersion = 0;
  const ReadOptions& options;
  std::vector<ReadProblem>& warnings;
};

struct TagListEnd {
  std::optional<ReadProblem> stop;
  bool sawEnd = false;
};

TagListEnd readTagList(const std::uint8_t* begin, const std::uint8_t* end, std::size_t baseOffset,
                       const Context& ctx, int depth, std::vector<Tag>& out);

TagBody readTagBody(std::uint16_t c, BitReader& r, std::size_t bodyOffset, const Context& ctx, int depth) {
  using namespace code;
  switch (c) {
    case kShowFrame: return ShowFrame{};
    case kDefineShape: return readDefineShape(r, 1);
    case kDefineShape2: return readDefineShape(r, 2);
    case kDefineShape3: return readDefineShape(r, 3);
    case kDefineShape4: return readDefineShape(r, 4);
    case kDefineMorphShape: return readDefineMorphShape(r, 1);
    case kDefineMorphShape2: return readDefineMorphShape(r, 2);
    case kJpegTables: return JpegTables{r.rest()};
    case kDefineBits:
    case kDefineBitsJpeg2: {
      DefineBitsJpeg j;
      j.version = c == kDefineBits ? 1 : 2;
      j.id = r.u16();
      j.imageData = r.rest();
      return j;
    }
    case kDefineBitsJpeg3:
    case kDefineBitsJpeg4: {
      DefineBitsJpeg j;
      j.version = c == kDefineBitsJpeg3 ? 3 : 4;
      j.id = r.u16();
      std::uint32_t alphaOffset = r.u32();
      if (j.version == 4) j.deblock = r.u16();
      j.imageData = r.bytes(alphaOffset);
      j.alphaData = r.rest();
      return j;
    }
    case kDefineBitsLossless:
    case kDefineBitsLossless2: {
      DefineBitsLossless l;
      l.version = c == kDefineBitsLossless ? 1 : 2;
      l.id = r.u16();
      l.format = r.u8();
      l.width = r.u16();
      l.height = r.u16();
      if (l.format == 3) l.colorTableSize = r.u8();
      l.zlibData = r.rest();
      return l;
    }
    case kDefineFont: return readDefineFont(r);
    case kDefineFontInfo: return readDefineFontInfo(r, 1);
    case kDefineFontInfo2: return readDefineFontInfo(r, 2);
    case kDefineFont2: return readDefineFont2(r, 2);
    case kDefineFont3: return readDefineFont2(r, 3);
    case kDefineFontAlignZones: return readAlignZones(r);
    case kDefineFontName: {
      DefineFontName n;
      n.fontId = r.u16();
      n.name = r.str();
      n.copyright = r.str();
      return n;
    }
    case kDefineFont4: {
      DefineFont4 f;
      f.id = r.u16();
      std::uint8_t b = r.u8();
      f.hasFontData = b & 4;
      f.italic = b & 2;
      f.bold = b & 1;
      f.name = r.str();
      f.fontData = r.rest();
      return f;
    }
    case kDefineText: return readDefineText(r, 1);
    case kDefineText2: return readDefineText(r, 2);
    case kDefineEditText: return readDefineEditText(r);
    case kDefineSound: {
      DefineSound s;
      s.id = r.u16();
      std::uint8_t b = r.u8();
      s.format = b >> 4;
      s.rate = (b >> 2) & 3;
      s.is16Bit = b & 2;
      s.stereo = b & 1;
      s.sampleCount = r.u32();
      s.data = r.rest();
      return s;
    }
    case kStartSound:
    case kStartSound2: {
      StartSound s;
      s.version = c == kStartSound ? 1 : 2;
      if (s.version == 1)
        s.soundId = r.u16();
      else
        s.className = r.str();
      s.info = readSoundInfo(r);
      return s;
    }
    case kSoundStreamHead:
    case kSoundStreamHead2: {
      SoundStreamHead h;
      h.version = c == kSoundStreamHead ? 1 : 2;
      std::uint8_t a = r.u8(), b = r.u8();
      h.playbackRate = (a >> 2) & 3;
      h.playback16Bit = a & 2;
      h.playbackStereo = a & 1;
      h.compression = b >> 4;
      h.streamRate = (b >> 2) & 3;
      h.stream16Bit = b & 2;
      h.streamStereo = b & 1;
      h.sampleCount = r.u16();
      if (h.compression == 2 && r.remaining() >= 2) h.latencySeek = r.s16();
      return h;
    }
    case kSoundStreamBlock: return SoundStreamBlock{r.rest()};
    case kDefineButton: return readDefineButton(r, 1);
    case kDefineButton2: return readDefineButton(r, 2);
    case kDefineButtonCxform: {
      DefineButtonCxform b;
      b.buttonId = r.u16();
      b.cxform = readCxform(r, false);
      return b;
    }
    case kDefineButtonSound: {
      DefineButtonSound b;
      b.buttonId = r.u16();
      for (auto& s : b.sounds) {
        s.soundId = r.u16();
        if (s.soundId != 0) s.info = readSoundInfo(r);
      }
      return b;
    }
    case kPlaceObject: return readPlaceObject(r, 1, ctx.swfVersion);
    case kPlaceObject2: return readPlaceObject(r, 2, ctx.swfVersion);
    case kPlaceObject3: return readPlaceObject(r, 3, ctx.swfVersion);
    case kRemoveObject: {
      RemoveObject o;
      o.version = 1;
      o.characterId = r.u16();
      o.depth = r.u16();
      return o;
    }
    case kRemoveObject2: {
      RemoveObject o;
      o.version = 2;
      o.depth = r.u16();
      return o;
    }
    case kSetBackgroundColor: return SetBackgroundColor{r.rgb()};
    case kFrameLabel: {
      FrameLabel l;
      l.name = r.str();
      l.namedAnchor = r.remaining() > 0 && r.u8() == 1;
      return l;
    }
    case kDefineSceneAndFrameLabelData: {
      DefineSceneAndFrameLabelData d;
      std::uint32_t n = r.encodedU32();
      for (std::uint32_t i = 0; i < n; ++i) {
        SceneEntry s;
        s.frameOffset = r.encodedU32();
        s.name = r.str();
        d.scenes.push_back(std::move(s));
      }
      n = r.encodedU32();
      for (std::uint32_t i = 0; i < n; ++i) {
        FrameLabelEntry l;
        l.frame = r.encodedU32();
        l.label = r.str();
        d.labels.push_back(std::move(l));
      }
      return d;
    }
    case kDefineVideoStream: {
      DefineVideoStream v;
      v.id = r.u16();
      v.numFrames = r.u16();
      v.width = r.u16();
      v.height = r.u16();
      std::uint8_t b = r.u8();
      v.deblocking = (b >> 1) & 7;
      v.smoothing = b & 1;
      v.codecId = r.u8();
      return v;
    }
    case kVideoFrame: {
      VideoFrame v;
      v.streamId = r.u16();
      v.frameNum = r.u16();
      v.data = r.rest();
      return v;
    }
    case kDoAction: return DoAction{r.rest()};
    case kDoInitAction: {
      DoInitAction a;
      a.spriteId = r.u16();
      a.actions = r.rest();
      return a;
    }
    case kExportAssets: return ExportAssets{readAssets(r)};
    case kImportAssets:
    case kImportAssets2: {
      ImportAssets a;
      a.version = c == kImportAssets ? 1 : 2;
      a.url = r.str();
      if (a.version == 2) {
        r.u8();
        r.u8();
      }
      a.assets = readAssets(r);
      return a;
    }
    case kSymbolClass: return SymbolClass{readAssets(r)};
    case kFileAttributes: {
      FileAttributes a;
      // Short tags (seen in the wild) carry only the first flag bytes.
      for (std::uint32_t i = 0; i < 4 && r.remaining() > 0; ++i) a.flags |= std::uint32_t{r.u8()} << (8 * i);
      return a;
    }
    case kMetadata: return Metadata{r.str()};
    case kScriptLimits: {
      ScriptLimits l;
      l.maxRecursionDepth = r.u16();
      l.scriptTimeoutSeconds = r.u16();
      return l;
    }
    case kSetTabIndex: {
      SetTabIndex t;
      t.depth = r.u16();
      t.tabIndex = r.u16();
      return t;
    }
    case kProtect:
    case kEnableDebugger:
    case kEnableDebugger2: {
      Protect p;
      p.code = c;
      if (r.remaining() == 0) return p;
      if (c != kEnableDebugger) r.u16();
      if (r.remaining() > 0) p.passwordHash = r.str();
      return p;
    }
    case kDefineBinaryData: {
      DefineBinaryData d;
      d.id = r.u16();
      r.u32();
      d.data = r.rest();
      return d;
    }
    case kEnableTelemetry: {
      EnableTelemetry t;
      r.u16();
      t.passwordHash = r.rest();
      return t;
    }
    case kDefineScalingGrid: {
      DefineScalingGrid g;
      g.characterId = r.u16();
      g.splitter = readRect(r);
      return g;
    }
    case kDefineSprite: {
      if (depth >= ctx.options.maxSpriteDepth) throw ParseError("sprites nested too deeply");
      DefineSprite s;
      s.id = r.u16();
      s.frameCount = r.u16();
      TagListEnd e = readTagList(r.cursor(), r.end(), bodyOffset + r.pos(), ctx, depth + 1, s.tags);
      if (e.stop) ctx.warnings.push_back({e.stop->offset, "in DefineSprite " + std::to_string(s.id) + ": " + e.stop->message});
      return s;
    }
    default: return RawTag{c, r.rest()};
  }
}

TagListEnd readTagList(const std::uint8_t* begin, const std::uint8_t* end, std::size_t baseOffset,
                       const Context& ctx, int depth, std::vector<Tag>& out) {
  const std::uint8_t* p = begin;
  TagListEnd result;
  auto offsetOf = [&](const std::uint8_t* at) { return baseOffset + static_cast<std::size_t>(at - begin); };
  while (p < end) {
    const std::uint8_t* tagStart = p;
    std::size_t left = static_cast<std::size_t>(end - p);
    if (left < 2) {
      result.stop = ReadProblem{offsetOf(tagStart), "truncated tag header"};
      return result;
    }
    std::uint16_t codeAndLength = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    p += 2;
    std::uint16_t c = codeAndLength >> 6;
    std::size_t length = codeAndLength & 0x3F;
    if (length == 0x3F) {
      if (static_cast<std::size_t>(end - p) < 4) {
        result.stop = ReadProblem{offsetOf(tagStart), "truncated tag header"};
        return result;
      }
      length = std::size_t{p[0]} | (std::size_t{p[1]} << 8) | (std::size_t{p[2]} << 16) | (std::size_t{p[3]} << 24);
      p += 4;
    }
    std::size_t avail = static_cast<std::size_t>(end - p);
    if (length > avail) {
      result.stop = ReadProblem{offsetOf(tagStart), tagName(c) + " tag claims " + std::to_string(length) +
                                                        " bytes but only " + std::to_string(avail) + " remain"};
      return result;
    }
    if (c == code::kEnd) {
      result.sawEnd = true;
      return result;
    }
    BitReader r(p, p + length);
    try {
      out.push_back(Tag{readTagBody(c, r, offsetOf(p), ctx, depth)});
    } catch (const ParseError& e) {
      ctx.warnings.push_back({offsetOf(tagStart), tagName(c) + ": " + e.what() + " (kept as raw bytes)"});
      out.push_back(Tag{RawTag{c, Bytes(p, p + length)}});
    }
    p += length;
  }
  if (depth == 0) result.stop = ReadProblem{offsetOf(p), "movie data ends before the End tag"};
  return result;
}

// ---- header ------------------------------------------------------------------

struct FileHeader {
  std::string signature;
  int version = 0;
  std::uint32_t fileLength = 0;
};

std::optional<FileHeader> readFileHeader(std::span<const std::uint8_t> bytes, std::string& error) {
  if (bytes.size() < 8) {
    error = "not a SWF movie: file shorter than the 8-byte header";
    return std::nullopt;
  }
  FileHeader h;
  h.signature.assign(reinterpret_cast<const char*>(bytes.data()), 3);
  if (h.signature != "FWS" && h.signature != "CWS" && h.signature != "ZWS") {
    error = "not a SWF movie: unknown signature";
    return std::nullopt;
  }
  h.version = bytes[3];
  h.fileLength = std::uint32_t{bytes[4]} | (std::uint32_t{bytes[5]} << 8) | (std::uint32_t{bytes[6]} << 16) |
                 (std::uint32_t{bytes[7]} << 24);
  return h;
}

// Reads the stage rectangle, frame rate and count from the start of the body.
// Returns the number of body bytes used.
std::size_t readMovieHeader(BitReader& r, SwfHeader& h) {
  h.stage = readRect(r);
  std::uint16_t rate = r.u16();
  h.frameRate = rate / 256.0;
  h.frameCount = r.u16();
  return r.pos();
}

SwfHeader makeHeader(const FileHeader& f) {
  SwfHeader h;
  h.signature = f.signature;
  h.version = f.version;
  h.fileLength = f.fileLength;
  return h;
}

}  // namespace

namespace {

// The movie after the 8-byte header: the file's own bytes for "FWS", else decompressed.
struct Body {
  detail::Decompressed decompressed;
  std::span<const std::uint8_t> bytes;
};

Body bodyOf(const FileHeader& fh, std::span<const std::uint8_t> fileBytes, const ReadOptions& options) {
  Body b;
  auto payload = fileBytes.subspan(8);
  std::size_t expected = fh.fileLength >= 8 ? fh.fileLength - 8 : 0;
  if (fh.signature == "FWS") {
    b.bytes = payload;
    return b;
  }
  b.decompressed = fh.signature == "CWS" ? detail::inflateZlib(payload, expected, options.maxMovieBytes, false)
                                         : detail::decodeSwfLzma(payload, expected, options.maxMovieBytes, false);
  b.bytes = std::span<const std::uint8_t>(b.decompressed.data(), b.decompressed.size);
  return b;
}

}  // namespace

BodyResult decompressBody(std::span<const std::uint8_t> fileBytes, const ReadOptions& options) {
  BodyResult out;
  auto fh = readFileHeader(fileBytes, out.error);
  if (!fh) return out;
  Body b = bodyOf(*fh, fileBytes, options);
  out.body.assign(b.bytes.begin(), b.bytes.end());
  out.error = b.decompressed.error;
  return out;
}

HeaderResult readSwfHeader(std::span<const std::uint8_t> fileBytes) {
  HeaderResult out;
  auto fh = readFileHeader(fileBytes, out.error);
  if (!fh) return out;
  constexpr std::size_t kHeaderBodyBytes = 32;  // rectangle (at most 17 bytes), rate, count
  auto payload = fileBytes.subspan(8);
  std::vector<std::uint8_t> prefix;
  if (fh->signature == "FWS") {
    prefix.assign(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(std::min(payload.size(), kHeaderBodyBytes)));
  } else {
    detail::Decompressed d = fh->signature == "CWS" ? detail::inflateZlib(payload, kHeaderBodyBytes, kHeaderBodyBytes, true)
                                                    : detail::decodeSwfLzma(payload, kHeaderBodyBytes, kHeaderBodyBytes, true);
    prefix.assign(d.data(), d.data() + d.size);
  }
  SwfHeader h = makeHeader(*fh);
  try {
    BitReader r(prefix.data(), prefix.data() + prefix.size());
    readMovieHeader(r, h);
  } catch (const ParseError&) {
    out.error = "movie header is truncated or damaged";
    return out;
  }
  out.header = std::move(h);
  return out;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::filesystem::path& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path.string();
    return std::nullopt;
  }
  std::vector<std::uint8_t> data;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) data.insert(data.end(), chunk, chunk + in.gcount());
  if (in.bad()) {
    error = "cannot read " + path.string();
    return std::nullopt;
  }
  return data;
}

HeaderResult readSwfHeader(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return HeaderResult{std::nullopt, "cannot open " + path.string()};
  // The header needs at most 8 + 21 bytes; compressed movies need a little input to inflate them.
  std::vector<std::uint8_t> head(4096);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return readSwfHeader(std::span<const std::uint8_t>(head));
}

ReadResult readSwf(std::span<const std::uint8_t> fileBytes, const ReadOptions& options) {
  ReadResult result;
  std::string error;
  auto fh = readFileHeader(fileBytes, error);
  if (!fh) {
    result.stop = ReadProblem{0, error};
    return result;
  }
  result.movie.header = makeHeader(*fh);
  Body body = bodyOf(*fh, fileBytes, options);
  const std::string& bodyError = body.decompressed.error;
  BitReader hr(body.bytes.data(), body.bytes.data() + body.bytes.size());
  std::size_t used = 0;
  try {
    used = readMovieHeader(hr, result.movie.header);
  } catch (const ParseError&) {
    result.stop = ReadProblem{8, bodyError.empty() ? "movie header is truncated" : bodyError};
    return result;
  }
  result.headerRead = true;
  Context ctx{fh->version, options, result.warnings};
  const std::uint8_t* begin = body.bytes.data() + used;
  TagListEnd e = readTagList(begin, body.bytes.data() + body.bytes.size(), 8 + used, ctx, 0, result.movie.tags);
  if (e.stop) {
    result.stop = e.stop;
    if (!bodyError.empty()) result.stop->message = bodyError + "; " + result.stop->message;
  } else if (!bodyError.empty()) {
    result.warnings.push_back({8 + body.bytes.size(), bodyError + " (after the End tag)"});
  }
  return result;
}

ReadResult readSwfFile(const std::filesystem::path& path, const ReadOptions& options) {
  std::string error;
  auto bytes = readFileBytes(path, error);
  if (!bytes) {
    ReadResult r;
    r.stop = ReadProblem{0, error};
    return r;
  }
  return readSwf(*bytes, options);
}

}  // namespace plavex::swf
