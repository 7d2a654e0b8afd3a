#include "engine/format/SwfWriter.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "engine/format/BitIo.h"
#include "engine/format/TagCodes.h"

namespace plavex::swf {

using detail::BitWriter;
using detail::EncodeError;
using detail::signedBits;
using detail::unsignedBits;

namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

int checkedBits(int n, int max, const char* what) {
  if (n > max) throw EncodeError(std::string(what) + " needs more bits than the format allows");
  return n;
}

// ---- basic structures --------------------------------------------------------

void writeRect(BitWriter& w, const Rect& r) {
  int n = checkedBits(std::max({signedBits(r.xMin), signedBits(r.xMax), signedBits(r.yMin), signedBits(r.yMax)}), 31,
                      "rectangle");
  w.align();
  w.ub(static_cast<std::uint32_t>(n), 5);
  w.sb(r.xMin, n);
  w.sb(r.xMax, n);
  w.sb(r.yMin, n);
  w.sb(r.yMax, n);
  w.align();
}

void writeMatrix(BitWriter& w, const Matrix& m) {
  w.align();
  bool hasScale = m.scaleX != 0x10000 || m.scaleY != 0x10000;
  w.flag(hasScale);
  if (hasScale) {
    int n = checkedBits(std::max(signedBits(m.scaleX), signedBits(m.scaleY)), 31, "matrix scale");
    w.ub(static_cast<std::uint32_t>(n), 5);
    w.sb(m.scaleX, n);
    w.sb(m.scaleY, n);
  }
  bool hasRotate = m.rotateSkew0 != 0 || m.rotateSkew1 != 0;
  w.flag(hasRotate);
  if (hasRotate) {
    int n = checkedBits(std::max(signedBits(m.rotateSkew0), signedBits(m.rotateSkew1)), 31, "matrix skew");
    w.ub(static_cast<std::uint32_t>(n), 5);
    w.sb(m.rotateSkew0, n);
    w.sb(m.rotateSkew1, n);
  }
  int n = checkedBits(std::max(signedBits(m.translateX), signedBits(m.translateY)), 31, "matrix translation");
  w.ub(static_cast<std::uint32_t>(n), 5);
  w.sb(m.translateX, n);
  w.sb(m.translateY, n);
  w.align();
}

void writeCxform(BitWriter& w, const ColorTransform& c, bool withAlpha) {
  w.align();
  bool hasMult = c.multR != 256 || c.multG != 256 || c.multB != 256 || (withAlpha && c.multA != 256);
  bool hasAdd = c.addR != 0 || c.addG != 0 || c.addB != 0 || (withAlpha && c.addA != 0);
  int n = 0;
  if (hasMult) n = std::max({n, signedBits(c.multR), signedBits(c.multG), signedBits(c.multB), withAlpha ? signedBits(c.multA) : 0});
  if (hasAdd) n = std::max({n, signedBits(c.addR), signedBits(c.addG), signedBits(c.addB), withAlpha ? signedBits(c.addA) : 0});
  checkedBits(n, 15, "colour transform");
  w.flag(hasAdd);
  w.flag(hasMult);
  w.ub(static_cast<std::uint32_t>(n), 4);
  if (hasMult) {
    w.sb(c.multR, n);
    w.sb(c.multG, n);
    w.sb(c.multB, n);
    if (withAlpha) w.sb(c.multA, n);
  }
  if (hasAdd) {
    w.sb(c.addR, n);
    w.sb(c.addG, n);
    w.sb(c.addB, n);
    if (withAlpha) w.sb(c.addA, n);
  }
  w.align();
}

// ---- shapes ------------------------------------------------------------------

void writeStyleCount(BitWriter& w, std::size_t n, bool extended) {
  if (n < 0xFF) {
    w.u8(static_cast<std::uint8_t>(n));
  } else if (extended && n <= 0xFFFF) {
    w.u8(0xFF);
    w.u16(static_cast<std::uint16_t>(n));
  } else {
    throw EncodeError("too many styles for this shape version");
  }
}

void writeColor(BitWriter& w, const Rgba& c, bool alpha) {
  if (alpha)
    w.rgba(c);
  else
    w.rgb(c);
}

void writeGradientHead(BitWriter& w, std::uint8_t spread, std::uint8_t interp, std::size_t n) {
  if (n > 15) throw EncodeError("gradient with more than 15 colours");
  w.u8(static_cast<std::uint8_t>(((spread & 3) << 6) | ((interp & 3) << 4) | n));
}

void writeFillStyle(BitWriter& w, const FillStyle& f, int version) {
  w.u8(f.type);
  if (f.type == fill::kSolid) {
    writeColor(w, f.color, version >= 3);
  } else if (fill::isGradient(f.type)) {
    writeMatrix(w, f.matrix);
    writeGradientHead(w, f.gradient.spreadMode, f.gradient.interpolationMode, f.gradient.records.size());
    for (const auto& r : f.gradient.records) {
      w.u8(r.ratio);
      writeColor(w, r.color, version >= 3);
    }
    if (f.type == fill::kFocal) w.s16(f.gradient.focalPoint);
  } else if (fill::isBitmap(f.type)) {
    w.u16(f.bitmapId);
    writeMatrix(w, f.matrix);
  } else {
    throw EncodeError("unknown fill style type");
  }
}

void writeFillStyles(BitWriter& w, const std::vector<FillStyle>& fills, int version) {
  writeStyleCount(w, fills.size(), version >= 2);
  for (const auto& f : fills) writeFillStyle(w, f, version);
}

void writeLineStyle2Flags(BitWriter& w, std::uint8_t startCap, std::uint8_t join, bool hasFill, bool noH, bool noV,
                          bool hint, bool noClose, std::uint8_t endCap) {
  w.ub(startCap & 3u, 2);
  w.ub(join & 3u, 2);
  w.flag(hasFill);
  w.flag(noH);
  w.flag(noV);
  w.flag(hint);
  w.ub(0, 5);
  w.flag(noClose);
  w.ub(endCap & 3u, 2);
}

void writeLineStyles(BitWriter& w, const std::vector<LineStyle>& lines, int version) {
  writeStyleCount(w, lines.size(), version >= 2);
  for (const auto& l : lines) {
    w.u16(l.width);
    if (version >= 4) {
      writeLineStyle2Flags(w, l.startCapStyle, l.joinStyle, l.fill.has_value(), l.noHScale, l.noVScale, l.pixelHinting,
                           l.noClose, l.endCapStyle);
      if ((l.joinStyle & 3) == 2) w.u16(l.miterLimitFactor);
      if (l.fill)
        writeFillStyle(w, *l.fill, version);
      else
        w.rgba(l.color);
    } else {
      writeColor(w, l.color, version >= 3);
    }
  }
}

// Bit widths for the style indices from `from` up to (and including) the next record
// that brings new styles: its indices are still written with the old widths.
std::pair<int, int> styleBits(const std::vector<ShapeRecord>& records, std::size_t from, std::size_t fills,
                              std::size_t lines) {
  int fb = unsignedBits(fills), lb = unsignedBits(lines);
  for (std::size_t i = from; i < records.size(); ++i) {
    const auto* sc = std::get_if<StyleChange>(&records[i]);
    if (!sc) continue;
    if (sc->fillStyle0) fb = std::max(fb, unsignedBits(*sc->fillStyle0));
    if (sc->fillStyle1) fb = std::max(fb, unsignedBits(*sc->fillStyle1));
    if (sc->lineStyle) lb = std::max(lb, unsignedBits(*sc->lineStyle));
    if (sc->newStyles) break;
  }
  return {checkedBits(fb, 15, "fill style index"), checkedBits(lb, 15, "line style index")};
}

void writeShapeRecords(BitWriter& w, const std::vector<ShapeRecord>& records, int version, std::size_t fills,
                       std::size_t lines) {
  int fb = 0, lb = 0;
  std::tie(fb, lb) = styleBits(records, 0, fills, lines);
  w.align();
  w.ub(static_cast<std::uint32_t>(fb), 4);
  w.ub(static_cast<std::uint32_t>(lb), 4);
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::visit(Overloaded{
                   [&](const StyleChange& sc) {
                     std::uint32_t flags = (sc.newStyles ? 16u : 0u) | (sc.lineStyle ? 8u : 0u) |
                                           (sc.fillStyle1 ? 4u : 0u) | (sc.fillStyle0 ? 2u : 0u) |
                                           (sc.moveTo ? 1u : 0u);
                     if (flags == 0) throw EncodeError("empty style change record");
                     w.ub(0, 1);
                     w.ub(flags, 5);
                     if (sc.moveTo) {
                       int n = checkedBits(std::max(signedBits(sc.moveTo->x), signedBits(sc.moveTo->y)), 31, "move");
                       w.ub(static_cast<std::uint32_t>(n), 5);
                       w.sb(sc.moveTo->x, n);
                       w.sb(sc.moveTo->y, n);
                     }
                     if (sc.fillStyle0) w.ub(*sc.fillStyle0, fb);
                     if (sc.fillStyle1) w.ub(*sc.fillStyle1, fb);
                     if (sc.lineStyle) w.ub(*sc.lineStyle, lb);
                     if (sc.newStyles) {
                       writeFillStyles(w, sc.newStyles->fills, version);
                       writeLineStyles(w, sc.newStyles->lines, version);
                       std::tie(fb, lb) = styleBits(records, i + 1, sc.newStyles->fills.size(), sc.newStyles->lines.size());
                       w.ub(static_cast<std::uint32_t>(fb), 4);
                       w.ub(static_cast<std::uint32_t>(lb), 4);
                     }
                   },
                   [&](const StraightEdge& e) {
                     int n = checkedBits(std::max({signedBits(e.dx), signedBits(e.dy), 2}), 17, "edge");
                     w.ub(3, 2);
                     w.ub(static_cast<std::uint32_t>(n - 2), 4);
                     if (e.dx != 0 && e.dy != 0) {
                       w.flag(true);
                       w.sb(e.dx, n);
                       w.sb(e.dy, n);
                     } else if (e.dx == 0) {
                       w.ub(1, 2);
                       w.sb(e.dy, n);
                     } else {
                       w.ub(0, 2);
                       w.sb(e.dx, n);
                     }
                   },
                   [&](const CurvedEdge& e) {
                     int n = checkedBits(std::max({signedBits(e.controlDx), signedBits(e.controlDy), signedBits(e.anchorDx),
                                                   signedBits(e.anchorDy), 2}),
                                         17, "curve");
                     w.ub(2, 2);
                     w.ub(static_cast<std::uint32_t>(n - 2), 4);
                     w.sb(e.controlDx, n);
                     w.sb(e.controlDy, n);
                     w.sb(e.anchorDx, n);
                     w.sb(e.anchorDy, n);
                   },
               },
               records[i]);
  }
  w.ub(0, 6);
  w.align();
}

void writeDefineShape(BitWriter& w, const DefineShape& s) {
  int v = std::clamp<int>(s.version, 1, 4);
  w.u16(s.id);
  writeRect(w, s.bounds);
  if (v >= 4) {
    writeRect(w, s.edgeBounds);
    w.u8(static_cast<std::uint8_t>((s.usesFillWindingRule ? 4 : 0) | (s.usesNonScalingStrokes ? 2 : 0) |
                                   (s.usesScalingStrokes ? 1 : 0)));
  }
  writeFillStyles(w, s.shape.fills, v);
  writeLineStyles(w, s.shape.lines, v);
  writeShapeRecords(w, s.shape.records, v, s.shape.fills.size(), s.shape.lines.size());
}

void writeMorphFillStyle(BitWriter& w, const MorphFillStyle& f) {
  w.u8(f.type);
  if (f.type == fill::kSolid) {
    w.rgba(f.startColor);
    w.rgba(f.endColor);
  } else if (fill::isGradient(f.type)) {
    writeMatrix(w, f.startMatrix);
    writeMatrix(w, f.endMatrix);
    writeGradientHead(w, f.spreadMode, f.interpolationMode, f.gradient.size());
    for (const auto& g : f.gradient) {
      w.u8(g.startRatio);
      w.rgba(g.startColor);
      w.u8(g.endRatio);
      w.rgba(g.endColor);
    }
    if (f.type == fill::kFocal) w.s16(f.focalPoint);
  } else if (fill::isBitmap(f.type)) {
    w.u16(f.bitmapId);
    writeMatrix(w, f.startMatrix);
    writeMatrix(w, f.endMatrix);
  } else {
    throw EncodeError("unknown morph fill style type");
  }
}

void writeDefineMorphShape(BitWriter& w, const DefineMorphShape& m) {
  w.u16(m.id);
  writeRect(w, m.startBounds);
  writeRect(w, m.endBounds);
  if (m.version >= 2) {
    writeRect(w, m.startEdgeBounds);
    writeRect(w, m.endEdgeBounds);
    w.u8(static_cast<std::uint8_t>((m.usesNonScalingStrokes ? 2 : 0) | (m.usesScalingStrokes ? 1 : 0)));
  }
  std::size_t offsetAt = w.size();
  w.u32(0);
  writeStyleCount(w, m.fills.size(), true);
  for (const auto& f : m.fills) writeMorphFillStyle(w, f);
  writeStyleCount(w, m.lines.size(), true);
  for (const auto& l : m.lines) {
    w.u16(l.startWidth);
    w.u16(l.endWidth);
    if (m.version >= 2) {
      writeLineStyle2Flags(w, l.startCapStyle, l.joinStyle, l.fill.has_value(), l.noHScale, l.noVScale, l.pixelHinting,
                           l.noClose, l.endCapStyle);
      if ((l.joinStyle & 3) == 2) w.u16(l.miterLimitFactor);
      if (l.fill) {
        writeMorphFillStyle(w, *l.fill);
        continue;
      }
    }
    w.rgba(l.startColor);
    w.rgba(l.endColor);
  }
  writeShapeRecords(w, m.startEdges.records, 3, m.fills.size(), m.lines.size());
  w.patch32(offsetAt, static_cast<std::uint32_t>(w.size() - offsetAt - 4));
  writeShapeRecords(w, m.endEdges.records, 3, 0, 0);
}

// ---- filters -----------------------------------------------------------------

Rgba colorAt(const Filter& f, std::size_t i) { return i < f.colors.size() ? f.colors[i] : Rgba{}; }

void writeFilter(BitWriter& w, const Filter& f) {
  w.u8(f.type);
  auto flags = [&](bool withOnTop, std::uint8_t passMask) {
    w.u8(static_cast<std::uint8_t>((f.innerShadow ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.compositeSource ? 0x20 : 0) |
                                   (withOnTop && f.onTop ? 0x10 : 0) | (f.passes & passMask)));
  };
  switch (f.type) {
    case filter::kDropShadow:
      w.rgba(colorAt(f, 0));
      w.s32(f.blurX);
      w.s32(f.blurY);
      w.s32(f.angle);
      w.s32(f.distance);
      w.s16(f.strength);
      flags(false, 0x1F);
      break;
    case filter::kBlur:
      w.s32(f.blurX);
      w.s32(f.blurY);
      w.u8(static_cast<std::uint8_t>((f.passes & 0x1F) << 3));
      break;
    case filter::kGlow:
      w.rgba(colorAt(f, 0));
      w.s32(f.blurX);
      w.s32(f.blurY);
      w.s16(f.strength);
      flags(false, 0x1F);
      break;
    case filter::kBevel:
    case filter::kGradientGlow:
    case filter::kGradientBevel:
      if (f.type == filter::kBevel) {
        w.rgba(colorAt(f, 0));
        w.rgba(colorAt(f, 1));
      } else {
        if (f.colors.size() > 255 || f.colors.size() != f.ratios.size())
          throw EncodeError("gradient filter colours and ratios do not match");
        w.u8(static_cast<std::uint8_t>(f.colors.size()));
        for (const auto& c : f.colors) w.rgba(c);
        for (auto r : f.ratios) w.u8(r);
      }
      w.s32(f.blurX);
      w.s32(f.blurY);
      w.s32(f.angle);
      w.s32(f.distance);
      w.s16(f.strength);
      flags(true, 0x0F);
      break;
    case filter::kConvolution:
      if (f.matrix.size() != std::size_t{f.matrixX} * f.matrixY) throw EncodeError("convolution matrix size mismatch");
      w.u8(f.matrixX);
      w.u8(f.matrixY);
      w.f32(f.divisor);
      w.f32(f.bias);
      for (float v : f.matrix) w.f32(v);
      w.rgba(f.defaultColor);
      w.u8(static_cast<std::uint8_t>((f.clamp ? 2 : 0) | (f.preserveAlpha ? 1 : 0)));
      break;
    case filter::kColorMatrix:
      if (f.matrix.size() != 20) throw EncodeError("colour matrix needs 20 values");
      for (float v : f.matrix) w.f32(v);
      break;
    default:
      throw EncodeError("unknown filter type");
  }
}

void writeFilterList(BitWriter& w, const std::vector<Filter>& filters) {
  if (filters.size() > 255) throw EncodeError("more than 255 filters");
  w.u8(static_cast<std::uint8_t>(filters.size()));
  for (const auto& f : filters) writeFilter(w, f);
}

// ---- sounds, buttons, display list -------------------------------------------

void writeSoundInfo(BitWriter& w, const SoundInfo& s) {
  w.u8(static_cast<std::uint8_t>((s.syncStop ? 0x20 : 0) | (s.syncNoMultiple ? 0x10 : 0) | (s.envelope ? 0x08 : 0) |
                                 (s.loopCount ? 0x04 : 0) | (s.outPoint ? 0x02 : 0) | (s.inPoint ? 0x01 : 0)));
  if (s.inPoint) w.u32(*s.inPoint);
  if (s.outPoint) w.u32(*s.outPoint);
  if (s.loopCount) w.u16(*s.loopCount);
  if (s.envelope) {
    if (s.envelope->size() > 255) throw EncodeError("more than 255 envelope points");
    w.u8(static_cast<std::uint8_t>(s.envelope->size()));
    for (const auto& e : *s.envelope) {
      w.u32(e.pos44);
      w.u16(e.leftLevel);
      w.u16(e.rightLevel);
    }
  }
}

void writeDefineButton(BitWriter& w, const DefineButton& b) {
  w.u16(b.id);
  std::size_t offsetAt = 0;
  if (b.version == 2) {
    w.u8(b.trackAsMenu ? 1 : 0);
    offsetAt = w.size();
    w.u16(0);
  }
  for (const auto& r : b.records) {
    std::uint8_t flags = static_cast<std::uint8_t>((r.hitTest ? 8 : 0) | (r.down ? 4 : 0) | (r.over ? 2 : 0) | (r.up ? 1 : 0));
    if (b.version == 2) flags |= static_cast<std::uint8_t>((r.blendMode ? 0x20 : 0) | (r.filters.empty() ? 0 : 0x10));
    if (flags == 0) throw EncodeError("button record without any state");
    w.u8(flags);
    w.u16(r.characterId);
    w.u16(r.depth);
    writeMatrix(w, r.matrix);
    if (b.version == 2) {
      writeCxform(w, r.cxform, true);
      if (!r.filters.empty()) writeFilterList(w, r.filters);
      if (r.blendMode) w.u8(*r.blendMode);
    }
  }
  w.u8(0);
  if (b.version == 1) {
    w.bytes(b.actions);
    return;
  }
  if (b.condActions.empty()) return;
  std::size_t offset = w.size() - offsetAt;
  if (offset > 0xFFFF) throw EncodeError("button records too long");
  w.patch16(offsetAt, static_cast<std::uint16_t>(offset));
  for (std::size_t i = 0; i < b.condActions.size(); ++i) {
    const auto& ca = b.condActions[i];
    bool last = i + 1 == b.condActions.size();
    if (!last && ca.actions.size() + 4 > 0xFFFF) throw EncodeError("button action record too long");
    w.u16(last ? 0 : static_cast<std::uint16_t>(ca.actions.size() + 4));
    w.u16(ca.conditions);
    w.bytes(ca.actions);
  }
}

void writePlaceObject(BitWriter& w, const PlaceObject& p, int swfVersion) {
  if (p.version == 1) {
    w.u16(p.characterId.value_or(0));
    w.u16(p.depth);
    writeMatrix(w, p.matrix.value_or(Matrix{}));
    if (p.cxform) writeCxform(w, *p.cxform, false);
    return;
  }
  std::uint8_t f1 = static_cast<std::uint8_t>((p.clipActions ? 0x80 : 0) | (p.clipDepth ? 0x40 : 0) | (p.name ? 0x20 : 0) |
                                              (p.ratio ? 0x10 : 0) | (p.cxform ? 0x08 : 0) | (p.matrix ? 0x04 : 0) |
                                              (p.characterId ? 0x02 : 0) | (p.move ? 0x01 : 0));
  w.u8(f1);
  bool v3 = p.version >= 3;
  if (v3) {
    w.u8(static_cast<std::uint8_t>((p.backgroundColor ? 0x40 : 0) | (p.visible ? 0x20 : 0) | (p.hasImage ? 0x10 : 0) |
                                   (p.className ? 0x08 : 0) | (p.bitmapCache ? 0x04 : 0) | (p.blendMode ? 0x02 : 0) |
                                   (p.filters ? 0x01 : 0)));
  }
  w.u16(p.depth);
  if (v3 && (p.className || (p.hasImage && p.characterId))) w.str(p.className.value_or(std::string()));
  if (p.characterId) w.u16(*p.characterId);
  if (p.matrix) writeMatrix(w, *p.matrix);
  if (p.cxform) writeCxform(w, *p.cxform, true);
  if (p.ratio) w.u16(*p.ratio);
  if (p.name) w.str(*p.name);
  if (p.clipDepth) w.u16(*p.clipDepth);
  if (v3) {
    if (p.filters) writeFilterList(w, *p.filters);
    if (p.blendMode) w.u8(*p.blendMode);
    if (p.bitmapCache) w.u8(*p.bitmapCache);
    if (p.visible) w.u8(*p.visible);
    if (p.backgroundColor) w.rgba(*p.backgroundColor);
  }
  if (p.clipActions) {
    auto flags = [&](std::uint32_t v) {
      if (swfVersion <= 5)
        w.u16(static_cast<std::uint16_t>(v));
      else
        w.u32(v);
    };
    w.u16(0);
    flags(p.clipActions->allEventFlags);
    for (const auto& r : p.clipActions->records) {
      std::uint32_t ev = swfVersion <= 5 ? (r.eventFlags & 0xFFFF) : r.eventFlags;
      if (ev == 0) throw EncodeError("clip action without events");
      flags(ev);
      bool key = ev & kClipEventKeyPress;
      w.u32(static_cast<std::uint32_t>(r.actions.size() + (key ? 1 : 0)));
      if (key) w.u8(r.keyCode);
      w.bytes(r.actions);
    }
    flags(0);
  }
}

// ---- fonts and texts ---------------------------------------------------------

Bytes glyphBytes(const Shape& s) {
  Bytes out;
  BitWriter g(out);
  writeShapeRecords(g, s.records, 1, 0, 0);
  return out;
}

void writeDefineFont(BitWriter& w, const DefineFont& f) {
  w.u16(f.id);
  if (f.glyphs.empty()) return;
  std::vector<Bytes> shapes;
  for (const auto& g : f.glyphs) shapes.push_back(glyphBytes(g));
  std::size_t offset = f.glyphs.size() * 2;
  for (const auto& s : shapes) {
    if (offset > 0xFFFF) throw EncodeError("font too large for DefineFont");
    w.u16(static_cast<std::uint16_t>(offset));
    offset += s.size();
  }
  for (const auto& s : shapes) w.bytes(s);
}

void writeDefineFont2(BitWriter& w, const DefineFont2& f) {
  if (f.name.size() > 255) throw EncodeError("font name longer than 255 bytes");
  if (f.glyphs.size() > 0xFFFF) throw EncodeError("too many glyphs");
  std::vector<Bytes> shapes;
  std::size_t total = 0;
  for (const auto& g : f.glyphs) {
    shapes.push_back(glyphBytes(g));
    total += shapes.back().size();
  }
  std::size_t n = f.glyphs.size();
  bool wideOffsets = (n + 1) * 2 + total > 0xFFFF;
  std::size_t offW = wideOffsets ? 4 : 2;
  w.u16(f.id);
  w.u8(static_cast<std::uint8_t>((f.layout ? 0x80 : 0) | (f.shiftJis ? 0x40 : 0) | (f.smallText ? 0x20 : 0) | (f.ansi ? 0x10 : 0) |
                                 (wideOffsets ? 0x08 : 0) | (f.wideCodes ? 0x04 : 0) | (f.italic ? 0x02 : 0) | (f.bold ? 0x01 : 0)));
  w.u8(f.languageCode);
  w.u8(static_cast<std::uint8_t>(f.name.size()));
  w.chars(f.name);
  w.u16(static_cast<std::uint16_t>(n));
  auto offset = [&](std::size_t v) {
    if (wideOffsets)
      w.u32(static_cast<std::uint32_t>(v));
    else
      w.u16(static_cast<std::uint16_t>(v));
  };
  std::size_t at = (n + 1) * offW;
  for (const auto& s : shapes) {
    offset(at);
    at += s.size();
  }
  offset(at);
  for (const auto& s : shapes) w.bytes(s);
  auto code = [&](std::uint16_t c) {
    if (f.wideCodes)
      w.u16(c);
    else
      w.u8(static_cast<std::uint8_t>(c));
  };
  for (std::size_t i = 0; i < n; ++i) code(i < f.codes.size() ? f.codes[i] : 0);
  if (f.layout) {
    const auto& l = *f.layout;
    w.s16(l.ascent);
    w.s16(l.descent);
    w.s16(l.leading);
    for (std::size_t i = 0; i < n; ++i) w.s16(i < l.advances.size() ? l.advances[i] : 0);
    for (std::size_t i = 0; i < n; ++i) writeRect(w, i < l.bounds.size() ? l.bounds[i] : Rect{});
    if (l.kerning.size() > 0xFFFF) throw EncodeError("too many kerning records");
    w.u16(static_cast<std::uint16_t>(l.kerning.size()));
    for (const auto& k : l.kerning) {
      code(k.code1);
      code(k.code2);
      w.s16(k.adjustment);
    }
  }
}

void writeDefineText(BitWriter& w, const DefineText& t) {
  w.u16(t.id);
  writeRect(w, t.bounds);
  writeMatrix(w, t.matrix);
  int glyphBits = 0, advanceBits = 0;
  for (const auto& r : t.records)
    for (const auto& g : r.glyphs) {
      glyphBits = std::max(glyphBits, unsignedBits(g.index));
      advanceBits = std::max(advanceBits, signedBits(g.advance));
    }
  w.u8(static_cast<std::uint8_t>(glyphBits));
  w.u8(static_cast<std::uint8_t>(advanceBits));
  for (const auto& r : t.records) {
    if (r.glyphs.size() > 255) throw EncodeError("text record with more than 255 glyphs");
    w.u8(static_cast<std::uint8_t>(0x80 | (r.fontId ? 0x08 : 0) | (r.color ? 0x04 : 0) | (r.yOffset ? 0x02 : 0) |
                                   (r.xOffset ? 0x01 : 0)));
    if (r.fontId) w.u16(*r.fontId);
    if (r.color) writeColor(w, *r.color, t.version == 2);
    if (r.xOffset) w.s16(*r.xOffset);
    if (r.yOffset) w.s16(*r.yOffset);
    if (r.fontId) w.u16(r.textHeight);
    w.u8(static_cast<std::uint8_t>(r.glyphs.size()));
    for (const auto& g : r.glyphs) {
      w.ub(g.index, glyphBits);
      w.sb(g.advance, advanceBits);
    }
    w.align();
  }
  w.u8(0);
}

void writeDefineEditText(BitWriter& w, const DefineEditText& e) {
  w.u16(e.id);
  writeRect(w, e.bounds);
  w.u8(static_cast<std::uint8_t>((e.initialText ? 0x80 : 0) | (e.wordWrap ? 0x40 : 0) | (e.multiline ? 0x20 : 0) |
                                 (e.password ? 0x10 : 0) | (e.readOnly ? 0x08 : 0) | (e.textColor ? 0x04 : 0) |
                                 (e.maxLength ? 0x02 : 0) | (e.fontId ? 0x01 : 0)));
  w.u8(static_cast<std::uint8_t>((e.fontClass ? 0x80 : 0) | (e.autoSize ? 0x40 : 0) | (e.layout ? 0x20 : 0) |
                                 (e.noSelect ? 0x10 : 0) | (e.border ? 0x08 : 0) | (e.wasStatic ? 0x04 : 0) |
                                 (e.html ? 0x02 : 0) | (e.useOutlines ? 0x01 : 0)));
  if (e.fontId) w.u16(*e.fontId);
  if (e.fontClass) w.str(*e.fontClass);
  if (e.fontId || e.fontClass) w.u16(e.fontHeight);
  if (e.textColor) w.rgba(*e.textColor);
  if (e.maxLength) w.u16(*e.maxLength);
  if (e.layout) {
    w.u8(e.layout->align);
    w.u16(e.layout->leftMargin);
    w.u16(e.layout->rightMargin);
    w.u16(e.layout->indent);
    w.s16(e.layout->leading);
  }
  w.str(e.variableName);
  if (e.initialText) w.str(*e.initialText);
}

void writeAssets(BitWriter& w, const std::vector<AssetEntry>& assets) {
  if (assets.size() > 0xFFFF) throw EncodeError("too many asset entries");
  w.u16(static_cast<std::uint16_t>(assets.size()));
  for (const auto& a : assets) {
    w.u16(a.id);
    w.str(a.name);
  }
}

// ---- tags --------------------------------------------------------------------

void writeTags(BitWriter& w, const std::vector<Tag>& tags, int swfVersion);

bool alwaysLongHeader(std::uint16_t c) {
  using namespace code;
  return c == kDefineBits || c == kDefineBitsJpeg2 || c == kDefineBitsJpeg3 || c == kDefineBitsJpeg4 ||
         c == kDefineBitsLossless || c == kDefineBitsLossless2;
}

void writeTagHeader(BitWriter& w, std::uint16_t c, std::size_t length) {
  if (c > 0x3FF) throw EncodeError("tag code above 1023");
  if (length > 0xFFFFFFFFu) throw EncodeError("tag longer than 4 GiB");
  if (length < 0x3F && !alwaysLongHeader(c)) {
    w.u16(static_cast<std::uint16_t>((c << 6) | length));
  } else {
    w.u16(static_cast<std::uint16_t>((c << 6) | 0x3F));
    w.u32(static_cast<std::uint32_t>(length));
  }
}

void writeTagBody(BitWriter& w, const Tag& tag, int swfVersion) {
  std::visit(
      Overloaded{
          [&](const RawTag& t) { w.bytes(t.data); },
          [&](const ShowFrame&) {},
          [&](const DefineShape& t) { writeDefineShape(w, t); },
          [&](const DefineMorphShape& t) { writeDefineMorphShape(w, t); },
          [&](const JpegTables& t) { w.bytes(t.data); },
          [&](const DefineBitsJpeg& t) {
            w.u16(t.id);
            if (t.version >= 3) {
              w.u32(static_cast<std::uint32_t>(t.imageData.size()));
              if (t.version == 4) w.u16(t.deblock);
            }
            w.bytes(t.imageData);
            if (t.version >= 3) w.bytes(t.alphaData);
          },
          [&](const DefineBitsLossless& t) {
            w.u16(t.id);
            w.u8(t.format);
            w.u16(t.width);
            w.u16(t.height);
            if (t.format == 3) w.u8(t.colorTableSize);
            w.bytes(t.zlibData);
          },
          [&](const DefineFont& t) { writeDefineFont(w, t); },
          [&](const DefineFontInfo& t) {
            if (t.name.size() > 255) throw EncodeError("font name longer than 255 bytes");
            w.u16(t.fontId);
            w.u8(static_cast<std::uint8_t>(t.name.size()));
            w.chars(t.name);
            w.u8(static_cast<std::uint8_t>((t.smallText ? 0x20 : 0) | (t.shiftJis ? 0x10 : 0) | (t.ansi ? 0x08 : 0) |
                                           (t.italic ? 0x04 : 0) | (t.bold ? 0x02 : 0) | (t.wideCodes ? 0x01 : 0)));
            if (t.version == 2) w.u8(t.languageCode);
            for (auto c : t.codes) {
              if (t.wideCodes)
                w.u16(c);
              else
                w.u8(static_cast<std::uint8_t>(c));
            }
          },
          [&](const DefineFont2& t) { writeDefineFont2(w, t); },
          [&](const DefineFontAlignZones& t) {
            w.u16(t.fontId);
            w.u8(static_cast<std::uint8_t>((t.csmTableHint & 3) << 6));
            for (const auto& z : t.zones) {
              if (z.data.size() > 255) throw EncodeError("align zone with more than 255 entries");
              w.u8(static_cast<std::uint8_t>(z.data.size()));
              for (const auto& d : z.data) {
                w.u16(d[0]);
                w.u16(d[1]);
              }
              w.u8(static_cast<std::uint8_t>((z.maskY ? 2 : 0) | (z.maskX ? 1 : 0)));
            }
          },
          [&](const DefineFontName& t) {
            w.u16(t.fontId);
            w.str(t.name);
            w.str(t.copyright);
          },
          [&](const DefineFont4& t) {
            w.u16(t.id);
            w.u8(static_cast<std::uint8_t>((t.hasFontData ? 4 : 0) | (t.italic ? 2 : 0) | (t.bold ? 1 : 0)));
            w.str(t.name);
            w.bytes(t.fontData);
          },
          [&](const DefineText& t) { writeDefineText(w, t); },
          [&](const DefineEditText& t) { writeDefineEditText(w, t); },
          [&](const DefineSound& t) {
            w.u16(t.id);
            w.u8(static_cast<std::uint8_t>(((t.format & 15) << 4) | ((t.rate & 3) << 2) | (t.is16Bit ? 2 : 0) | (t.stereo ? 1 : 0)));
            w.u32(t.sampleCount);
            w.bytes(t.data);
          },
          [&](const StartSound& t) {
            if (t.version == 1)
              w.u16(t.soundId);
            else
              w.str(t.className);
            writeSoundInfo(w, t.info);
          },
          [&](const SoundStreamHead& t) {
            w.u8(static_cast<std::uint8_t>(((t.playbackRate & 3) << 2) | (t.playback16Bit ? 2 : 0) | (t.playbackStereo ? 1 : 0)));
            w.u8(static_cast<std::uint8_t>(((t.compression & 15) << 4) | ((t.streamRate & 3) << 2) | (t.stream16Bit ? 2 : 0) |
                                           (t.streamStereo ? 1 : 0)));
            w.u16(t.sampleCount);
            if (t.compression == 2) w.s16(t.latencySeek);
          },
          [&](const SoundStreamBlock& t) { w.bytes(t.data); },
          [&](const DefineButton& t) { writeDefineButton(w, t); },
          [&](const DefineButtonCxform& t) {
            w.u16(t.buttonId);
            writeCxform(w, t.cxform, false);
          },
          [&](const DefineButtonSound& t) {
            w.u16(t.buttonId);
            for (const auto& s : t.sounds) {
              w.u16(s.soundId);
              if (s.soundId != 0) writeSoundInfo(w, s.info);
            }
          },
          [&](const PlaceObject& t) { writePlaceObject(w, t, swfVersion); },
          [&](const RemoveObject& t) {
            if (t.version == 1) w.u16(t.characterId);
            w.u16(t.depth);
          },
          [&](const SetBackgroundColor& t) { w.rgb(t.color); },
          [&](const FrameLabel& t) {
            w.str(t.name);
            if (t.namedAnchor) w.u8(1);
          },
          [&](const DefineSceneAndFrameLabelData& t) {
            w.encodedU32(static_cast<std::uint32_t>(t.scenes.size()));
            for (const auto& s : t.scenes) {
              w.encodedU32(s.frameOffset);
              w.str(s.name);
            }
            w.encodedU32(static_cast<std::uint32_t>(t.labels.size()));
            for (const auto& l : t.labels) {
              w.encodedU32(l.frame);
              w.str(l.label);
            }
          },
          [&](const DefineVideoStream& t) {
            w.u16(t.id);
            w.u16(t.numFrames);
            w.u16(t.width);
            w.u16(t.height);
            w.u8(static_cast<std::uint8_t>(((t.deblocking & 7) << 1) | (t.smoothing ? 1 : 0)));
            w.u8(t.codecId);
          },
          [&](const VideoFrame& t) {
            w.u16(t.streamId);
            w.u16(t.frameNum);
            w.bytes(t.data);
          },
          [&](const DoAction& t) { w.bytes(t.actions); },
          [&](const DoInitAction& t) {
            w.u16(t.spriteId);
            w.bytes(t.actions);
          },
          [&](const ExportAssets& t) { writeAssets(w, t.assets); },
          [&](const ImportAssets& t) {
            w.str(t.url);
            if (t.version == 2) {
              w.u8(1);
              w.u8(0);
            }
            writeAssets(w, t.assets);
          },
          [&](const SymbolClass& t) { writeAssets(w, t.symbols); },
          [&](const FileAttributes& t) { w.u32(t.flags); },
          [&](const Metadata& t) { w.str(t.xml); },
          [&](const ScriptLimits& t) {
            w.u16(t.maxRecursionDepth);
            w.u16(t.scriptTimeoutSeconds);
          },
          [&](const SetTabIndex& t) {
            w.u16(t.depth);
            w.u16(t.tabIndex);
          },
          [&](const Protect& t) {
            if (!t.passwordHash) return;
            if (t.code != code::kEnableDebugger) w.u16(0);
            w.str(*t.passwordHash);
          },
          [&](const DefineBinaryData& t) {
            w.u16(t.id);
            w.u32(0);
            w.bytes(t.data);
          },
          [&](const EnableTelemetry& t) {
            w.u16(0);
            w.bytes(t.passwordHash);
          },
          [&](const DefineScalingGrid& t) {
            w.u16(t.characterId);
            writeRect(w, t.splitter);
          },
          [&](const DefineSprite& t) {
            w.u16(t.id);
            w.u16(t.frameCount);
            writeTags(w, t.tags, swfVersion);
            w.u16(0);
          },
      },
      tag.body);
}

void writeTags(BitWriter& w, const std::vector<Tag>& tags, int swfVersion) {
  Bytes body;
  for (const auto& tag : tags) {
    std::uint16_t c = tagCode(tag);
    if (c == code::kEnd) throw EncodeError("End is written by the writer, not as a record");
    body.clear();
    BitWriter bw(body);
    writeTagBody(bw, tag, swfVersion);
    bw.align();
    writeTagHeader(w, c, body.size());
    w.bytes(body);
  }
}

Bytes deflateBody(const Bytes& body) {
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, body.data(), static_cast<uLong>(body.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw EncodeError("zlib compression failed");
  out.resize(size);
  return out;
}

// "ZWS" payload: compressed length, 5 property bytes, LZMA1 data (with end marker).
Bytes lzmaBody(const Bytes& body) {
  lzma_options_lzma opt;
  if (lzma_lzma_preset(&opt, 6)) throw EncodeError("LZMA preset unavailable");
  lzma_stream ls = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&ls, &opt) != LZMA_OK) throw EncodeError("LZMA encoder could not be initialised");
  Bytes alone(body.size() + body.size() / 2 + 4096);
  ls.next_in = body.data();
  ls.avail_in = body.size();
  ls.next_out = alone.data();
  ls.avail_out = alone.size();
  lzma_ret rc;
  while ((rc = lzma_code(&ls, LZMA_FINISH)) == LZMA_OK) {
    std::size_t used = alone.size() - ls.avail_out;
    alone.resize(alone.size() * 2);
    ls.next_out = alone.data() + used;
    ls.avail_out = alone.size() - used;
  }
  std::size_t total = alone.size() - ls.avail_out;
  lzma_end(&ls);
  if (rc != LZMA_STREAM_END || total < 13) throw EncodeError("LZMA compression failed");
  // The .lzma header is 5 property bytes and an 8-byte size; SWF keeps only the properties.
  Bytes out;
  std::uint32_t streamLength = static_cast<std::uint32_t>(total - 13);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(streamLength >> (8 * i)));
  out.insert(out.end(), alone.begin(), alone.begin() + 5);
  out.insert(out.end(), alone.begin() + 13, alone.begin() + static_cast<std::ptrdiff_t>(total));
  return out;
}

}  // namespace

WriteResult writeSwf(const Movie& movie) {
  WriteResult result;
  try {
    const SwfHeader& h = movie.header;
    Bytes body;
    BitWriter w(body);
    writeRect(w, h.stage);
    double rate = std::round(h.frameRate * 256.0);
    w.u16(static_cast<std::uint16_t>(std::clamp(rate, 0.0, 65535.0)));
    w.u16(h.frameCount);
    writeTags(w, movie.tags, h.version);
    w.u16(0);  // End
    std::size_t fileLength = body.size() + 8;
    if (fileLength > 0xFFFFFFFFu) throw EncodeError("movie longer than 4 GiB");
    std::string signature = h.signature == "CWS" || h.signature == "ZWS" ? h.signature : std::string("FWS");
    Bytes& out = result.bytes;
    out.insert(out.end(), signature.begin(), signature.end());
    out.push_back(static_cast<std::uint8_t>(std::clamp(h.version, 0, 255)));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(fileLength >> (8 * i)));
    if (signature == "FWS") {
      out.insert(out.end(), body.begin(), body.end());
    } else {
      Bytes packed = signature == "CWS" ? deflateBody(body) : lzmaBody(body);
      out.insert(out.end(), packed.begin(), packed.end());
    }
  } catch (const EncodeError& e) {
    result.bytes.clear();
    result.error = e.what();
  }
  return result;
}

}  // namespace plavex::swf
