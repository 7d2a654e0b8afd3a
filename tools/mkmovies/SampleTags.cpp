#include "tools/mkmovies/SampleTags.h"

#include "tools/mkmovies/Drawing.h"

namespace plavex::mkmovies {

using namespace swf;

namespace {

Bytes bytesOf(std::initializer_list<int> v) {
  Bytes b;
  for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
  return b;
}

Matrix skewed() {
  Matrix m;
  m.scaleX = -0x18000;
  m.scaleY = 0x7FFF;
  m.rotateSkew0 = 0x1234;
  m.rotateSkew1 = -0x4321;
  m.translateX = -12345;
  m.translateY = 678901;
  return m;
}

ColorTransform tinted() {
  ColorTransform c;
  c.multR = -256;
  c.multG = 128;
  c.multB = 256;
  c.multA = 300;
  c.addR = 255;
  c.addG = -255;
  c.addB = 7;
  c.addA = -1;
  return c;
}

std::vector<ShapeRecord> edges() {
  std::vector<ShapeRecord> r;
  StyleChange sc;
  sc.moveTo = MoveTo{-70000, 3};
  sc.fillStyle0 = 1;
  sc.fillStyle1 = 2;
  sc.lineStyle = 1;
  r.emplace_back(sc);
  r.emplace_back(StraightEdge{100, 0});
  r.emplace_back(StraightEdge{0, -65535});
  r.emplace_back(StraightEdge{-3, 4});
  r.emplace_back(CurvedEdge{65535, -65536, 1, -1});
  return r;
}

FillStyle gradientFill(std::uint8_t type, int colors) {
  FillStyle f;
  f.type = type;
  f.matrix = skewed();
  f.gradient.spreadMode = 1;
  f.gradient.interpolationMode = 1;
  for (int i = 0; i < colors; ++i)
    f.gradient.records.push_back({static_cast<std::uint8_t>(i * 17), Rgba{static_cast<std::uint8_t>(i * 10), 20, 30, 128}});
  if (type == fill::kFocal) f.gradient.focalPoint = -0x80;
  return f;
}

FillStyle bitmapFill() {
  FillStyle f;
  f.type = fill::kHardClippedBitmap;
  f.bitmapId = 0xFFFF;
  f.matrix = skewed();
  return f;
}

DefineShape shape(std::uint8_t version) {
  DefineShape s;
  s.version = version;
  s.id = 10;
  s.bounds = Rect{-1, 1 << 20, 0, -7};
  bool alpha = version >= 3;
  s.shape.fills.push_back(solidFill(Rgba{1, 2, 3, static_cast<std::uint8_t>(alpha ? 4 : 255)}));
  FillStyle lin = gradientFill(fill::kLinear, 15);
  FillStyle rad = gradientFill(fill::kRadial, 2);
  if (!alpha)
    for (auto* f : {&lin, &rad})
      for (auto& g : f->gradient.records) g.color.a = 255;
  if (version < 4)
    for (auto* f : {&lin, &rad}) f->gradient.spreadMode = f->gradient.interpolationMode = 0;
  s.shape.fills.push_back(lin);
  s.shape.fills.push_back(rad);
  s.shape.fills.push_back(bitmapFill());
  LineStyle l;
  l.width = 20;
  l.color = Rgba{9, 8, 7, static_cast<std::uint8_t>(alpha ? 6 : 255)};
  s.shape.lines.push_back(l);
  s.shape.records = edges();
  StyleChange ns;
  ns.lineStyle = 0;
  NewStyles styles;
  for (int i = 0; i < (version >= 2 ? 300 : 3); ++i) styles.fills.push_back(solidFill(Rgba{static_cast<std::uint8_t>(i), 0, 0, 255}));
  styles.lines.push_back(l);
  ns.newStyles = styles;
  s.shape.records.emplace_back(ns);
  StyleChange use;
  use.fillStyle0 = version >= 2 ? 300 : 3;
  s.shape.records.emplace_back(use);
  s.shape.records.emplace_back(StraightEdge{5, 5});
  if (version == 4) {
    s.edgeBounds = Rect{-3, 3, -4, 4};
    s.usesFillWindingRule = true;
    s.usesScalingStrokes = true;
    s.shape.fills.push_back(gradientFill(fill::kFocal, 3));
    LineStyle l2;
    l2.width = 40;
    l2.startCapStyle = 1;
    l2.joinStyle = 2;
    l2.endCapStyle = 2;
    l2.noHScale = true;
    l2.pixelHinting = true;
    l2.noClose = true;
    l2.miterLimitFactor = 0x0300;
    l2.color = Rgba{1, 1, 1, 1};
    LineStyle l3;
    l3.width = 1;
    l3.noVScale = true;
    l3.fill = gradientFill(fill::kRadial, 4);
    s.shape.lines = {l2, l3};
    std::get<StyleChange>(s.shape.records[5]).newStyles->lines = {l2, l3};
  }
  return s;
}

MorphFillStyle morphGradient(std::uint8_t type) {
  MorphFillStyle f;
  f.type = type;
  f.startMatrix = skewed();
  f.endMatrix = Matrix{};
  f.spreadMode = 2;
  f.gradient = {{0, Rgba{1, 2, 3, 4}, 255, Rgba{5, 6, 7, 8}}, {128, Rgba{9, 9, 9, 9}, 1, Rgba{0, 0, 0, 0}}};
  if (type == fill::kFocal) f.focalPoint = 0x40;
  return f;
}

DefineMorphShape morph(std::uint8_t version) {
  DefineMorphShape m;
  m.version = version;
  m.id = 20;
  m.startBounds = Rect{0, 100, 0, 100};
  m.endBounds = Rect{-100, 0, -100, 0};
  MorphFillStyle solid;
  solid.startColor = Rgba{255, 0, 0, 255};
  solid.endColor = Rgba{0, 0, 255, 0};
  MorphFillStyle bmp;
  bmp.type = fill::kRepeatingBitmap;
  bmp.bitmapId = 3;
  bmp.startMatrix = skewed();
  m.fills = {solid, morphGradient(fill::kLinear), morphGradient(fill::kFocal), bmp};
  MorphLineStyle l;
  l.startWidth = 20;
  l.endWidth = 200;
  l.startColor = Rgba{1, 2, 3, 4};
  l.endColor = Rgba{4, 3, 2, 1};
  m.lines = {l};
  if (version == 2) {
    m.startEdgeBounds = Rect{1, 2, 3, 4};
    m.endEdgeBounds = Rect{-1, -2, -3, -4};
    m.usesNonScalingStrokes = true;
    MorphLineStyle l2;
    l2.startWidth = 1;
    l2.endWidth = 2;
    l2.joinStyle = 2;
    l2.miterLimitFactor = 0x100;
    l2.noClose = true;
    l2.fill = morphGradient(fill::kRadial);
    m.lines.push_back(l2);
  }
  m.startEdges.records = edges();
  std::vector<ShapeRecord> end;
  StyleChange mv;
  mv.moveTo = MoveTo{5, 5};
  end.emplace_back(mv);
  end.emplace_back(StraightEdge{-100, 0});
  end.emplace_back(StraightEdge{0, -100});
  end.emplace_back(StraightEdge{-1, 1});
  end.emplace_back(CurvedEdge{1, 2, 3, 4});
  m.endEdges.records = end;
  return m;
}

std::vector<Filter> allFilters() {
  std::vector<Filter> out;
  Filter drop;
  drop.type = filter::kDropShadow;
  drop.colors = {Rgba{0, 0, 0, 128}};
  drop.blurX = 0x50000;
  drop.blurY = 0x40000;
  drop.angle = -0xC90F;
  drop.distance = 0x40000;
  drop.strength = 0x100;
  drop.innerShadow = true;
  drop.compositeSource = true;
  drop.passes = 3;
  out.push_back(drop);
  Filter blur;
  blur.type = filter::kBlur;
  blur.blurX = 0x20000;
  blur.blurY = 0x10000;
  blur.passes = 31;
  out.push_back(blur);
  Filter glow;
  glow.type = filter::kGlow;
  glow.colors = {Rgba{255, 255, 0, 255}};
  glow.blurX = glow.blurY = 0x60000;
  glow.strength = 0x200;
  glow.knockout = true;
  glow.passes = 1;
  out.push_back(glow);
  Filter bevel;
  bevel.type = filter::kBevel;
  bevel.colors = {Rgba{0, 0, 0, 255}, Rgba{255, 255, 255, 255}};
  bevel.blurX = bevel.blurY = 0x40000;
  bevel.angle = 0xC90F;
  bevel.distance = 0x40000;
  bevel.strength = 0x100;
  bevel.onTop = true;
  bevel.passes = 15;
  out.push_back(bevel);
  for (std::uint8_t t : {filter::kGradientGlow, filter::kGradientBevel}) {
    Filter g = bevel;
    g.type = t;
    g.colors = {Rgba{1, 2, 3, 4}, Rgba{5, 6, 7, 8}, Rgba{9, 10, 11, 12}};
    g.ratios = {0, 128, 255};
    g.onTop = false;
    g.innerShadow = true;
    out.push_back(g);
  }
  Filter conv;
  conv.type = filter::kConvolution;
  conv.matrixX = 3;
  conv.matrixY = 2;
  conv.divisor = 2.5f;
  conv.bias = -1.0f;
  conv.matrix = {1, 2, 3, 4, 5, 6.5f};
  conv.defaultColor = Rgba{7, 7, 7, 7};
  conv.clamp = true;
  out.push_back(conv);
  Filter cm;
  cm.type = filter::kColorMatrix;
  for (int i = 0; i < 20; ++i) cm.matrix.push_back(static_cast<float>(i) / 4.0f);
  out.push_back(cm);
  return out;
}

SoundInfo fullSoundInfo() {
  SoundInfo s;
  s.syncNoMultiple = true;
  s.inPoint = 44100;
  s.outPoint = 0xFFFFFFF0u;
  s.loopCount = 3;
  s.envelope = std::vector<EnvelopePoint>{{0, 32768, 0}, {88200, 0, 32768}};
  return s;
}

Shape glyph(int size) {
  Shape s;
  appendRect(s.records, 0, -size, size / 2, size, 1);
  return s;
}

}  // namespace

std::vector<SampleTag> sampleTags() {
  std::vector<SampleTag> out;
  auto add = [&](std::string name, TagBody body, int minVersion = 1) {
    out.push_back(SampleTag{std::move(name), Tag{std::move(body)}, minVersion});
  };

  add("ShowFrame", ShowFrame{});
  for (std::uint8_t v = 1; v <= 4; ++v) add("DefineShape" + std::to_string(v), shape(v));
  add("DefineMorphShape", morph(1));
  add("DefineMorphShape2", morph(2));

  add("JPEGTables", JpegTables{bytesOf({0xFF, 0xD8, 0xFF, 0xD9})});
  for (std::uint8_t v = 1; v <= 4; ++v) {
    DefineBitsJpeg j;
    j.version = v;
    j.id = static_cast<std::uint16_t>(30 + v);
    j.imageData = bytesOf({0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9});
    if (v >= 3) j.alphaData = bytesOf({0x78, 0x9C, 3, 0, 0, 0, 0, 1});
    if (v == 4) j.deblock = 0x0180;
    add("DefineBitsJPEG v" + std::to_string(v), j);
  }
  for (std::uint8_t format : {3, 5}) {
    DefineBitsLossless l;
    l.version = format == 3 ? 1 : 2;
    l.id = 40;
    l.format = format;
    l.width = 640;
    l.height = 1;
    l.colorTableSize = format == 3 ? 255 : 0;
    l.zlibData = bytesOf({0x78, 0x9C, 1, 2, 3});
    add("DefineBitsLossless format " + std::to_string(format), l);
  }

  DefineFont f1;
  f1.id = 50;
  f1.glyphs = {glyph(1024), glyph(512), Shape{}};
  add("DefineFont", f1);
  add("DefineFont without glyphs", DefineFont{51, {}});
  DefineFontInfo fi;
  fi.fontId = 50;
  fi.name = "Arial";
  fi.bold = fi.ansi = true;
  fi.codes = {65, 66, 67};
  add("DefineFontInfo", fi);
  DefineFontInfo fi2 = fi;
  fi2.version = 2;
  fi2.wideCodes = true;
  fi2.languageCode = 2;
  fi2.codes = {0x4E2D, 0x6587, 65};
  add("DefineFontInfo2", fi2);
  for (std::uint8_t v : {2, 3}) {
    DefineFont2 f;
    f.version = v;
    f.id = 52;
    f.name = "\xe5\xae\x8b\xe4\xbd\x93";
    f.italic = true;
    f.languageCode = 5;
    f.glyphs = {glyph(1024), glyph(2048)};
    f.codes = {0x4E2D, 32};
    FontLayout l;
    l.ascent = 900;
    l.descent = 200;
    l.leading = -20;
    l.advances = {1024, -5};
    l.bounds = {Rect{0, 512, -1024, 0}, Rect{}};
    l.kerning = {{0x4E2D, 32, -40}};
    f.layout = l;
    add("DefineFont" + std::to_string(v), f);
  }
  DefineFont2 narrow;
  narrow.id = 53;
  narrow.wideCodes = false;
  narrow.shiftJis = narrow.smallText = narrow.ansi = narrow.bold = true;
  narrow.glyphs = {glyph(100)};
  narrow.codes = {200};
  add("DefineFont2 narrow codes, no layout", narrow);
  DefineFont2 empty;
  empty.id = 54;
  empty.name = "_sans";
  add("DefineFont2 device font", empty);
  DefineFont2 emptyLayout = empty;
  emptyLayout.layout = FontLayout{10, 2, 1, {}, {}, {{1, 2, 3}}};
  add("DefineFont2 device font with layout", emptyLayout);
  DefineFont2 big;
  big.version = 3;
  big.id = 55;
  for (int i = 0; i < 900; ++i) {
    big.glyphs.push_back(glyph(20000 + i));
    appendCircle(big.glyphs.back().records, 100, 100, 3000 + i, 1);
    big.codes.push_back(static_cast<std::uint16_t>(i));
  }
  add("DefineFont3 with wide offsets", big);
  DefineFontAlignZones zones;
  zones.fontId = 52;
  zones.csmTableHint = 1;
  zones.zones = {AlignZone{{{{0x1234, 0x4321}}, {{0, 0xFFFF}}}, true, true}, AlignZone{{}, false, true}};
  add("DefineFontAlignZones", zones);
  add("DefineFontName", DefineFontName{52, "SimSun", "(c) nobody"});
  add("DefineFont4", DefineFont4{56, true, true, false, "Embedded", bytesOf({'O', 'T', 'T', 'O', 0, 1})});

  for (std::uint8_t v : {1, 2}) {
    DefineText t;
    t.version = v;
    t.id = 60;
    t.bounds = Rect{-100, 100, -50, 50};
    t.matrix = skewed();
    TextRecord a;
    a.fontId = 52;
    a.textHeight = 240;
    a.color = Rgba{10, 20, 30, static_cast<std::uint8_t>(v == 2 ? 40 : 255)};
    a.xOffset = -20;
    a.yOffset = 200;
    a.glyphs = {{0, 200}, {1, -3}, {1000, 0}};
    TextRecord b;
    b.yOffset = 400;
    b.glyphs = {{2, 65535}};
    TextRecord c;
    t.records = {a, b, c};
    add("DefineText" + std::to_string(v), t);
  }
  DefineEditText et;
  et.id = 61;
  et.bounds = Rect{0, 2000, 0, 400};
  et.wordWrap = et.multiline = et.password = et.readOnly = et.autoSize = et.noSelect = et.border = et.wasStatic = et.html =
      et.useOutlines = true;
  et.fontId = 52;
  et.fontHeight = 240;
  et.textColor = Rgba{0, 0, 0, 255};
  et.maxLength = 10;
  et.layout = EditTextLayout{2, 1, 2, 3, -4};
  et.variableName = "_root.name";
  et.initialText = "<p>\xe4\xbd\xa0\xe5\xa5\xbd</p>";
  add("DefineEditText all fields", et);
  DefineEditText et2;
  et2.id = 62;
  et2.fontClass = "MyFont";
  et2.fontHeight = 100;
  add("DefineEditText font class only", et2);

  DefineSound snd;
  snd.id = 70;
  snd.format = 2;
  snd.rate = 3;
  snd.is16Bit = snd.stereo = true;
  snd.sampleCount = 1152;
  snd.data = bytesOf({0, 0, 0xFF, 0xFB});
  add("DefineSound", snd);
  StartSound ss;
  ss.soundId = 70;
  ss.info = fullSoundInfo();
  add("StartSound", ss);
  StartSound ss2;
  ss2.version = 2;
  ss2.className = "sounds.Click";
  ss2.info.syncStop = true;
  add("StartSound2", ss2);
  SoundStreamHead sh;
  sh.playbackRate = 2;
  sh.playback16Bit = true;
  sh.compression = 2;
  sh.streamRate = 3;
  sh.streamStereo = true;
  sh.sampleCount = 1152;
  sh.latencySeek = -100;
  add("SoundStreamHead MP3", sh);
  SoundStreamHead sh2;
  sh2.version = 2;
  sh2.compression = 1;
  sh2.sampleCount = 4096;
  add("SoundStreamHead2 ADPCM", sh2);
  add("SoundStreamBlock", SoundStreamBlock{bytesOf({1, 2, 3, 4, 5})});

  DefineButton b1;
  b1.id = 80;
  ButtonRecord rec;
  rec.up = rec.over = true;
  rec.characterId = 10;
  rec.depth = 1;
  rec.matrix = skewed();
  ButtonRecord hit = rec;
  hit.up = hit.over = false;
  hit.hitTest = hit.down = true;
  b1.records = {rec, hit};
  b1.actions = bytesOf({0x07, 0x00});
  add("DefineButton", b1);
  DefineButton b2;
  b2.version = 2;
  b2.id = 81;
  b2.trackAsMenu = true;
  ButtonRecord rec2 = rec;
  rec2.cxform = tinted();
  rec2.filters = allFilters();
  rec2.blendMode = 5;
  b2.records = {rec2, hit};
  b2.condActions = {{0x0008, bytesOf({0x06, 0x00})}, {static_cast<std::uint16_t>(13 << 9), bytesOf({0x07, 0x00})}};
  add("DefineButton2", b2);
  DefineButton b2bare;
  b2bare.version = 2;
  b2bare.id = 82;
  b2bare.records = {hit};
  add("DefineButton2 without actions", b2bare);
  ColorTransform noAlpha = tinted();
  noAlpha.multA = 256;
  noAlpha.addA = 0;
  add("DefineButtonCxform", DefineButtonCxform{80, noAlpha});
  DefineButtonSound bs;
  bs.buttonId = 80;
  bs.sounds[1] = ButtonSound{70, fullSoundInfo()};
  bs.sounds[3] = ButtonSound{71, SoundInfo{}};
  add("DefineButtonSound", bs);

  PlaceObject p1;
  p1.version = 1;
  p1.characterId = 10;
  p1.depth = 1;
  p1.matrix = skewed();
  add("PlaceObject", p1);
  p1.cxform = noAlpha;
  add("PlaceObject with colour transform", p1);
  PlaceObject p2;
  p2.version = 2;
  p2.move = true;
  p2.depth = 2;
  p2.characterId = 10;
  p2.matrix = Matrix{};
  p2.cxform = tinted();
  p2.ratio = 65535;
  p2.name = "mc";
  p2.clipDepth = 9;
  ClipActions ca;
  ca.allEventFlags = 0x00020001;
  ca.records = {{0x00000001, 0, bytesOf({0x07, 0x00})}, {kClipEventKeyPress, 13, bytesOf({0x06, 0x00})}};
  p2.clipActions = ca;
  add("PlaceObject2 all fields", p2, 6);
  PlaceObject p2old;
  p2old.depth = 3;
  p2old.characterId = 11;
  ClipActions ca5;
  ca5.allEventFlags = 0x0001;
  ca5.records = {{0x0001, 0, bytesOf({0x07, 0x00})}};
  p2old.clipActions = ca5;
  add("PlaceObject2 clip actions SWF 5", p2old, 5);
  PlaceObject p2move;
  p2move.move = true;
  p2move.depth = 4;
  add("PlaceObject2 move only", p2move);
  PlaceObject p3;
  p3.version = 3;
  p3.depth = 5;
  p3.characterId = 10;
  p3.matrix = skewed();
  p3.className = "flash.display.Sprite";
  p3.filters = allFilters();
  p3.blendMode = 14;
  p3.bitmapCache = 1;
  p3.visible = 0;
  p3.backgroundColor = Rgba{1, 2, 3, 4};
  add("PlaceObject3 all fields", p3, 8);
  PlaceObject p3img = p3;
  p3img.hasImage = true;
  p3img.filters = std::vector<Filter>{};
  add("PlaceObject3 image with class name", p3img, 8);
  add("RemoveObject", RemoveObject{1, 10, 1});
  add("RemoveObject2", RemoveObject{2, 0, 65535});
  add("SetBackgroundColor", SetBackgroundColor{Rgba{0x33, 0x66, 0x99, 255}});
  add("FrameLabel", FrameLabel{"start", false});
  add("FrameLabel named anchor", FrameLabel{"#chapter", true});
  add("DefineSceneAndFrameLabelData",
      DefineSceneAndFrameLabelData{{{0, "Scene 1"}, {300000, "Scene 2"}}, {{0, "a"}, {0x0FFFFFFF, "end"}}});

  add("DefineVideoStream", DefineVideoStream{90, 100, 320, 240, 3, true, 4});
  add("VideoFrame", VideoFrame{90, 7, bytesOf({0, 1, 2, 3})});

  add("DoAction", DoAction{bytesOf({0x96, 0x04, 0x00, 0x00, 'a', 0x00, 0x1C, 0x00})});
  add("DoInitAction", DoInitAction{100, bytesOf({0x00})});
  add("ExportAssets", ExportAssets{{{10, "shape"}, {80, "button"}}});
  add("ImportAssets", ImportAssets{1, "lib.swf", {{1, "a"}}});
  add("ImportAssets2", ImportAssets{2, "http://example.invalid/lib.swf", {{1, "a"}, {2, "b"}}});
  add("SymbolClass", SymbolClass{{{0, "Main"}, {10, "Shape10"}}});
  add("FileAttributes", FileAttributes{attr::kActionScript3 | attr::kHasMetadata | attr::kUseNetwork});
  add("Metadata", Metadata{"<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'/>"});
  add("ScriptLimits", ScriptLimits{1000, 60});
  add("SetTabIndex", SetTabIndex{3, 7});
  add("Protect", Protect{24, std::nullopt});
  add("Protect with password", Protect{24, "$1$abc$0123456789abcdef"});
  add("EnableDebugger", Protect{58, "$1$x$y"});
  add("EnableDebugger2", Protect{64, "$1$x$z"});
  add("DefineBinaryData", DefineBinaryData{110, bytesOf({0, 0, 0, 255, 254})});
  add("EnableTelemetry", EnableTelemetry{});
  add("EnableTelemetry with password", EnableTelemetry{Bytes(32, 0xAB)});
  add("DefineScalingGrid", DefineScalingGrid{10, Rect{100, 900, 100, 500}});
  add("DoABC kept raw", RawTag{82, bytesOf({1, 0, 0, 0, 0, 0x10, 0x00, 0x2E, 0x00})});
  add("ProductInfo kept raw", RawTag{41, Bytes(26, 1)});
  add("Unknown tag kept raw", RawTag{1000, Bytes(100, 0x5A)});

  DefineSprite sprite;
  sprite.id = 120;
  sprite.frameCount = 2;
  sprite.tags = {Tag{p2move}, Tag{ShowFrame{}}, Tag{RemoveObject{2, 0, 4}}, Tag{ShowFrame{}}};
  add("DefineSprite", sprite);
  DefineSprite empty_sprite;
  empty_sprite.id = 121;
  add("DefineSprite empty", empty_sprite);
  return out;
}

}  // namespace plavex::mkmovies
