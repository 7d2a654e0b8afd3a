#pragma once
// Typed records of a SWF movie: the basic structures (rectangles, matrices, colour
// transforms), shapes and styles, and one struct per tag family. Records hold the
// values of a tag, not its bit layout: bit widths, offsets and lengths are computed
// by the writer, so a record read back from what the writer wrote compares equal.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace plavex::swf {

using Bytes = std::vector<std::uint8_t>;

// ---- basic structures --------------------------------------------------------

struct Rect {  // twips
  std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  bool operator==(const Rect&) const = default;
};

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

// 16.16 fixed scale/skew, twips translation. Scale (1,1) and zero skew are not written.
struct Matrix {
  std::int32_t scaleX = 0x10000, scaleY = 0x10000;
  std::int32_t rotateSkew0 = 0, rotateSkew1 = 0;
  std::int32_t translateX = 0, translateY = 0;
  bool operator==(const Matrix&) const = default;
};

// 8.8 multiply terms and additive terms; alpha terms are used only where the tag
// carries a colour transform with alpha.
struct ColorTransform {
  std::int16_t multR = 256, multG = 256, multB = 256, multA = 256;
  std::int16_t addR = 0, addG = 0, addB = 0, addA = 0;
  bool operator==(const ColorTransform&) const = default;
};

// ---- shapes ------------------------------------------------------------------

namespace fill {
inline constexpr std::uint8_t kSolid = 0x00, kLinear = 0x10, kRadial = 0x12, kFocal = 0x13;
inline constexpr std::uint8_t kRepeatingBitmap = 0x40, kClippedBitmap = 0x41,
                              kHardRepeatingBitmap = 0x42, kHardClippedBitmap = 0x43;
inline bool isGradient(std::uint8_t t) { return t == kLinear || t == kRadial || t == kFocal; }
inline bool isBitmap(std::uint8_t t) { return t >= 0x40 && t <= 0x43; }
}  // namespace fill

struct GradientRecord {
  std::uint8_t ratio = 0;
  Rgba color;
  bool operator==(const GradientRecord&) const = default;
};

struct Gradient {
  std::uint8_t spreadMode = 0;         // 0 pad, 1 reflect, 2 repeat
  std::uint8_t interpolationMode = 0;  // 0 normal RGB, 1 linear RGB
  std::vector<GradientRecord> records;  // at most 15
  std::int16_t focalPoint = 0;          // 8.8, focal gradients only
  bool operator==(const Gradient&) const = default;
};

struct FillStyle {
  std::uint8_t type = fill::kSolid;
  Rgba color;           // solid
  Matrix matrix;        // gradient or bitmap matrix
  Gradient gradient;    // gradients
  std::uint16_t bitmapId = 0;
  bool operator==(const FillStyle&) const = default;
};

struct LineStyle {
  std::uint16_t width = 0;
  Rgba color;
  // Line style 2 (DefineShape4) only:
  std::uint8_t startCapStyle = 0, joinStyle = 0, endCapStyle = 0;  // 0 round,1 none/bevel,2 square/miter
  bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
  std::uint16_t miterLimitFactor = 0;  // 8.8, join style 2 only
  std::optional<FillStyle> fill;       // replaces the colour when present
  bool operator==(const LineStyle&) const = default;
};

struct NewStyles {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  bool operator==(const NewStyles&) const = default;
};

struct MoveTo {
  std::int32_t x = 0, y = 0;
  bool operator==(const MoveTo&) const = default;
};

struct StyleChange {
  std::optional<MoveTo> moveTo;
  std::optional<std::uint32_t> fillStyle0, fillStyle1, lineStyle;
  std::optional<NewStyles> newStyles;
  bool operator==(const StyleChange&) const = default;
};

struct StraightEdge {
  std::int32_t dx = 0, dy = 0;
  bool operator==(const StraightEdge&) const = default;
};

struct CurvedEdge {
  std::int32_t controlDx = 0, controlDy = 0, anchorDx = 0, anchorDy = 0;
  bool operator==(const CurvedEdge&) const = default;
};

using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

// A shape without its own style arrays (glyphs, morph edges).
struct Shape {
  std::vector<ShapeRecord> records;
  bool operator==(const Shape&) const = default;
};

struct ShapeWithStyle {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  std::vector<ShapeRecord> records;
  bool operator==(const ShapeWithStyle&) const = default;
};

// DefineShape 1-4. Colours are RGB (alpha 255) for versions 1 and 2.
struct DefineShape {
  std::uint8_t version = 1;
  std::uint16_t id = 0;
  Rect bounds;
  Rect edgeBounds;  // version 4
  bool usesFillWindingRule = false, usesNonScalingStrokes = false, usesScalingStrokes = false;  // 4
  ShapeWithStyle shape;
  bool operator==(const DefineShape&) const = default;
};

struct MorphGradientRecord {
  std::uint8_t startRatio = 0;
  Rgba startColor;
  std::uint8_t endRatio = 0;
  Rgba endColor;
  bool operator==(const MorphGradientRecord&) const = default;
};

struct MorphFillStyle {
  std::uint8_t type = fill::kSolid;
  Rgba startColor, endColor;
  Matrix startMatrix, endMatrix;
  std::uint8_t spreadMode = 0, interpolationMode = 0;
  std::vector<MorphGradientRecord> gradient;
  std::int16_t focalPoint = 0;
  std::uint16_t bitmapId = 0;
  bool operator==(const MorphFillStyle&) const = default;
};

struct MorphLineStyle {
  std::uint16_t startWidth = 0, endWidth = 0;
  Rgba startColor, endColor;
  // Morph line style 2 only:
  std::uint8_t startCapStyle = 0, joinStyle = 0, endCapStyle = 0;
  bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
  std::uint16_t miterLimitFactor = 0;
  std::optional<MorphFillStyle> fill;
  bool operator==(const MorphLineStyle&) const = default;
};

struct DefineMorphShape {
  std::uint8_t version = 1;
  std::uint16_t id = 0;
  Rect startBounds, endBounds;
  Rect startEdgeBounds, endEdgeBounds;                           // version 2
  bool usesNonScalingStrokes = false, usesScalingStrokes = false;  // version 2
  std::vector<MorphFillStyle> fills;
  std::vector<MorphLineStyle> lines;
  Shape startEdges, endEdges;
  bool operator==(const DefineMorphShape&) const = default;
};

// ---- filters -----------------------------------------------------------------

namespace filter {
inline constexpr std::uint8_t kDropShadow = 0, kBlur = 1, kGlow = 2, kBevel = 3, kGradientGlow = 4,
                              kConvolution = 5, kColorMatrix = 6, kGradientBevel = 7;
}

// One filter of any kind; fields unused by the kind stay at their defaults.
// Drop shadow and glow: colors[0]; bevel: colors[0] shadow, colors[1] highlight;
// gradient glow/bevel: colors with ratios.
struct Filter {
  std::uint8_t type = filter::kBlur;
  std::vector<Rgba> colors;
  std::vector<std::uint8_t> ratios;
  std::int32_t blurX = 0, blurY = 0, angle = 0, distance = 0;  // 16.16
  std::int16_t strength = 0;                                   // 8.8
  bool innerShadow = false, knockout = false, compositeSource = false, onTop = false;
  std::uint8_t passes = 0;
  // convolution
  std::uint8_t matrixX = 0, matrixY = 0;
  float divisor = 0, bias = 0;
  std::vector<float> matrix;  // convolution: X*Y values; colour matrix: 20 values
  Rgba defaultColor;
  bool clamp = false, preserveAlpha = false;
  bool operator==(const Filter&) const = default;
};

// ---- bitmaps -----------------------------------------------------------------

struct JpegTables {
  Bytes data;
  bool operator==(const JpegTables&) const = default;
};

// DefineBits (version 1, uses JPEGTables), DefineBitsJPEG2, 3 (alpha), 4 (alpha, deblock).
struct DefineBitsJpeg {
  std::uint8_t version = 2;
  std::uint16_t id = 0;
  Bytes imageData;
  Bytes alphaData;         // 3, 4: zlib-compressed alpha plane
  std::uint16_t deblock = 0;  // 4: 8.8
  bool operator==(const DefineBitsJpeg&) const = default;
};

// DefineBitsLossless 1 (RGB) and 2 (RGBA); the pixel data stays zlib-compressed.
struct DefineBitsLossless {
  std::uint8_t version = 1;
  std::uint16_t id = 0;
  std::uint8_t format = 5;  // 3 colour-mapped, 4 15-bit (v1 only), 5 32-bit
  std::uint16_t width = 0, height = 0;
  std::uint8_t colorTableSize = 0;  // format 3: entries - 1
  Bytes zlibData;
  bool operator==(const DefineBitsLossless&) const = default;
};

// ---- fonts and texts ---------------------------------------------------------

struct DefineFont {  // DefineFont (1)
  std::uint16_t id = 0;
  std::vector<Shape> glyphs;
  bool operator==(const DefineFont&) const = default;
};

struct DefineFontInfo {  // 1 and 2
  std::uint8_t version = 1;
  std::uint16_t fontId = 0;
  std::string name;
  bool smallText = false, shiftJis = false, ansi = false, italic = false, bold = false;
  bool wideCodes = false;  // always set for version 2
  std::uint8_t languageCode = 0;  // version 2
  std::vector<std::uint16_t> codes;
  bool operator==(const DefineFontInfo&) const = default;
};

struct KerningRecord {
  std::uint16_t code1 = 0, code2 = 0;
  std::int16_t adjustment = 0;
  bool operator==(const KerningRecord&) const = default;
};

struct FontLayout {
  std::int16_t ascent = 0, descent = 0, leading = 0;
  std::vector<std::int16_t> advances;  // one per glyph
  std::vector<Rect> bounds;           // one per glyph
  std::vector<KerningRecord> kerning;
  bool operator==(const FontLayout&) const = default;
};

// DefineFont2 and DefineFont3 (glyphs in 1/20 twips units).
struct DefineFont2 {
  std::uint8_t version = 2;
  std::uint16_t id = 0;
  bool shiftJis = false, smallText = false, ansi = false, wideCodes = true, italic = false, bold = false;
  std::uint8_t languageCode = 0;
  std::string name;
  std::vector<Shape> glyphs;
  std::vector<std::uint16_t> codes;  // one per glyph
  std::optional<FontLayout> layout;
  bool operator==(const DefineFont2&) const = default;
};

struct AlignZone {
  std::vector<std::array<std::uint16_t, 2>> data;  // (coordinate, range) as 16-bit floats
  bool maskX = false, maskY = false;
  bool operator==(const AlignZone&) const = default;
};

struct DefineFontAlignZones {
  std::uint16_t fontId = 0;
  std::uint8_t csmTableHint = 0;
  std::vector<AlignZone> zones;
  bool operator==(const DefineFontAlignZones&) const = default;
};

struct DefineFontName {
  std::uint16_t fontId = 0;
  std::string name, copyright;
  bool operator==(const DefineFontName&) const = default;
};

struct DefineFont4 {
  std::uint16_t id = 0;
  bool hasFontData = false, italic = false, bold = false;
  std::string name;
  Bytes fontData;  // CFF font, kept as is
  bool operator==(const DefineFont4&) const = default;
};

struct GlyphEntry {
  std::uint32_t index = 0;
  std::int32_t advance = 0;
  bool operator==(const GlyphEntry&) const = default;
};

struct TextRecord {
  std::optional<std::uint16_t> fontId;
  std::optional<Rgba> color;  // RGB in DefineText
  std::optional<std::int16_t> xOffset, yOffset;
  std::uint16_t textHeight = 0;  // with a font only
  std::vector<GlyphEntry> glyphs;  // at most 255
  bool operator==(const TextRecord&) const = default;
};

struct DefineText {  // 1 and 2
  std::uint8_t version = 1;
  std::uint16_t id = 0;
  Rect bounds;
  Matrix matrix;
  std::vector<TextRecord> records;
  bool operator==(const DefineText&) const = default;
};

struct EditTextLayout {
  std::uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justify
  std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
  std::int16_t leading = 0;
  bool operator==(const EditTextLayout&) const = default;
};

struct DefineEditText {
  std::uint16_t id = 0;
  Rect bounds;
  bool wordWrap = false, multiline = false, password = false, readOnly = false;
  bool autoSize = false, noSelect = false, border = false, wasStatic = false, html = false,
       useOutlines = false;
  std::optional<std::uint16_t> fontId;
  std::optional<std::string> fontClass;
  std::uint16_t fontHeight = 0;  // with a font or font class only
  std::optional<Rgba> textColor;
  std::optional<std::uint16_t> maxLength;
  std::optional<EditTextLayout> layout;
  std::string variableName;
  std::optional<std::string> initialText;
  bool operator==(const DefineEditText&) const = default;
};

// ---- sounds ------------------------------------------------------------------

struct EnvelopePoint {
  std::uint32_t pos44 = 0;
  std::uint16_t leftLevel = 0, rightLevel = 0;
  bool operator==(const EnvelopePoint&) const = default;
};

struct SoundInfo {
  bool syncStop = false, syncNoMultiple = false;
  std::optional<std::uint32_t> inPoint, outPoint;
  std::optional<std::uint16_t> loopCount;
  std::optional<std::vector<EnvelopePoint>> envelope;
  bool operator==(const SoundInfo&) const = default;
};

struct DefineSound {
  std::uint16_t id = 0;
  std::uint8_t format = 0;  // 0 raw, 1 ADPCM, 2 MP3, 3 raw LE, 4-6 Nellymoser, 11 Speex
  std::uint8_t rate = 0;    // 0 5.5 kHz .. 3 44 kHz
  bool is16Bit = false, stereo = false;
  std::uint32_t sampleCount = 0;
  Bytes data;
  bool operator==(const DefineSound&) const = default;
};

struct StartSound {  // StartSound (1, by id) and StartSound2 (by class name)
  std::uint8_t version = 1;
  std::uint16_t soundId = 0;
  std::string className;
  SoundInfo info;
  bool operator==(const StartSound&) const = default;
};

struct SoundStreamHead {  // 1 and 2
  std::uint8_t version = 1;
  std::uint8_t playbackRate = 0;
  bool playback16Bit = false, playbackStereo = false;
  std::uint8_t compression = 0;
  std::uint8_t streamRate = 0;
  bool stream16Bit = false, streamStereo = false;
  std::uint16_t sampleCount = 0;
  std::int16_t latencySeek = 0;  // MP3 only
  bool operator==(const SoundStreamHead&) const = default;
};

struct SoundStreamBlock {
  Bytes data;
  bool operator==(const SoundStreamBlock&) const = default;
};

// ---- buttons -----------------------------------------------------------------

struct ButtonRecord {
  bool hitTest = false, down = false, over = false, up = false;
  std::uint16_t characterId = 0, depth = 0;
  Matrix matrix;
  ColorTransform cxform;             // DefineButton2 only
  std::vector<Filter> filters;       // DefineButton2 only
  std::optional<std::uint8_t> blendMode;  // DefineButton2 only
  bool operator==(const ButtonRecord&) const = default;
};

struct ButtonCondAction {
  std::uint16_t conditions = 0;  // the condition word as stored (key code in bits 9-15)
  Bytes actions;
  bool operator==(const ButtonCondAction&) const = default;
};

struct DefineButton {  // 1 and 2
  std::uint8_t version = 1;
  std::uint16_t id = 0;
  bool trackAsMenu = false;  // version 2
  std::vector<ButtonRecord> records;
  Bytes actions;                            // version 1
  std::vector<ButtonCondAction> condActions;  // version 2
  bool operator==(const DefineButton&) const = default;
};

struct DefineButtonCxform {
  std::uint16_t buttonId = 0;
  ColorTransform cxform;  // without alpha
  bool operator==(const DefineButtonCxform&) const = default;
};

struct ButtonSound {
  std::uint16_t soundId = 0;  // 0 = none
  SoundInfo info;
  bool operator==(const ButtonSound&) const = default;
};

struct DefineButtonSound {
  std::uint16_t buttonId = 0;
  std::array<ButtonSound, 4> sounds;  // over-up to idle, idle to over-up, over-up to over-down, over-down to over-up
  bool operator==(const DefineButtonSound&) const = default;
};

// ---- display list ------------------------------------------------------------

struct ClipActionRecord {
  std::uint32_t eventFlags = 0;
  std::uint8_t keyCode = 0;  // with the key-press event only
  Bytes actions;
  bool operator==(const ClipActionRecord&) const = default;
};

struct ClipActions {
  std::uint32_t allEventFlags = 0;
  std::vector<ClipActionRecord> records;
  bool operator==(const ClipActions&) const = default;
};

inline constexpr std::uint32_t kClipEventKeyPress = 0x00020000;

// PlaceObject 1, 2 and 3.
struct PlaceObject {
  std::uint8_t version = 2;
  bool move = false;
  std::uint16_t depth = 0;
  std::optional<std::uint16_t> characterId;
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> cxform;
  std::optional<std::uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<std::uint16_t> clipDepth;
  std::optional<std::vector<Filter>> filters;     // 3
  std::optional<std::uint8_t> blendMode;          // 3
  std::optional<std::uint8_t> bitmapCache;        // 3
  std::optional<std::string> className;           // 3
  bool hasImage = false;                          // 3
  std::optional<std::uint8_t> visible;            // 3
  std::optional<Rgba> backgroundColor;            // 3
  std::optional<ClipActions> clipActions;
  bool operator==(const PlaceObject&) const = default;
};

struct RemoveObject {  // 1 (character and depth) and 2 (depth)
  std::uint8_t version = 2;
  std::uint16_t characterId = 0;
  std::uint16_t depth = 0;
  bool operator==(const RemoveObject&) const = default;
};

struct ShowFrame {
  bool operator==(const ShowFrame&) const = default;
};

struct SetBackgroundColor {
  Rgba color;  // RGB
  bool operator==(const SetBackgroundColor&) const = default;
};

struct FrameLabel {
  std::string name;
  bool namedAnchor = false;
  bool operator==(const FrameLabel&) const = default;
};

struct SceneEntry {
  std::uint32_t frameOffset = 0;
  std::string name;
  bool operator==(const SceneEntry&) const = default;
};

struct FrameLabelEntry {
  std::uint32_t frame = 0;
  std::string label;
  bool operator==(const FrameLabelEntry&) const = default;
};

struct DefineSceneAndFrameLabelData {
  std::vector<SceneEntry> scenes;
  std::vector<FrameLabelEntry> labels;
  bool operator==(const DefineSceneAndFrameLabelData&) const = default;
};

// ---- video -------------------------------------------------------------------

struct DefineVideoStream {
  std::uint16_t id = 0, numFrames = 0, width = 0, height = 0;
  std::uint8_t deblocking = 0;
  bool smoothing = false;
  std::uint8_t codecId = 0;
  bool operator==(const DefineVideoStream&) const = default;
};

struct VideoFrame {
  std::uint16_t streamId = 0, frameNum = 0;
  Bytes data;
  bool operator==(const VideoFrame&) const = default;
};

// ---- actions, assets, control ------------------------------------------------

struct DoAction {
  Bytes actions;
  bool operator==(const DoAction&) const = default;
};

struct DoInitAction {
  std::uint16_t spriteId = 0;
  Bytes actions;
  bool operator==(const DoInitAction&) const = default;
};

struct AssetEntry {
  std::uint16_t id = 0;
  std::string name;
  bool operator==(const AssetEntry&) const = default;
};

struct ExportAssets {
  std::vector<AssetEntry> assets;
  bool operator==(const ExportAssets&) const = default;
};

struct ImportAssets {  // 1 and 2
  std::uint8_t version = 1;
  std::string url;
  std::vector<AssetEntry> assets;
  bool operator==(const ImportAssets&) const = default;
};

struct SymbolClass {
  std::vector<AssetEntry> symbols;
  bool operator==(const SymbolClass&) const = default;
};

namespace attr {
inline constexpr std::uint32_t kUseDirectBlit = 0x40, kUseGpu = 0x20, kHasMetadata = 0x10,
                               kActionScript3 = 0x08, kUseNetwork = 0x01;
}

struct FileAttributes {
  std::uint32_t flags = 0;  // the 32-bit field as stored (little-endian), see attr::
  bool operator==(const FileAttributes&) const = default;
};

struct Metadata {
  std::string xml;
  bool operator==(const Metadata&) const = default;
};

struct ScriptLimits {
  std::uint16_t maxRecursionDepth = 0, scriptTimeoutSeconds = 0;
  bool operator==(const ScriptLimits&) const = default;
};

struct SetTabIndex {
  std::uint16_t depth = 0, tabIndex = 0;
  bool operator==(const SetTabIndex&) const = default;
};

// Protect (24), EnableDebugger (58), EnableDebugger2 (64).
struct Protect {
  std::uint16_t code = 24;
  std::optional<std::string> passwordHash;
  bool operator==(const Protect&) const = default;
};

struct DefineBinaryData {
  std::uint16_t id = 0;
  Bytes data;
  bool operator==(const DefineBinaryData&) const = default;
};

struct EnableTelemetry {
  Bytes passwordHash;  // empty or 32 bytes
  bool operator==(const EnableTelemetry&) const = default;
};

struct DefineScalingGrid {
  std::uint16_t characterId = 0;
  Rect splitter;
  bool operator==(const DefineScalingGrid&) const = default;
};

// Any tag kept as its bytes: unknown tags, DoABC, ProductInfo, DebugID, and tags whose
// contents could not be read.
struct RawTag {
  std::uint16_t code = 0;
  Bytes data;
  bool operator==(const RawTag&) const = default;
};

struct Tag;

struct DefineSprite {
  std::uint16_t id = 0;
  std::uint16_t frameCount = 0;
  std::vector<Tag> tags;  // without the closing End tag
  bool operator==(const DefineSprite&) const;
};

using TagBody = std::variant<RawTag, ShowFrame, DefineShape, DefineMorphShape, JpegTables, DefineBitsJpeg,
                             DefineBitsLossless, DefineFont, DefineFontInfo, DefineFont2, DefineFontAlignZones,
                             DefineFontName, DefineFont4, DefineText, DefineEditText, DefineSound, StartSound,
                             SoundStreamHead, SoundStreamBlock, DefineButton, DefineButtonCxform,
                             DefineButtonSound, PlaceObject, RemoveObject, SetBackgroundColor, FrameLabel,
                             DefineSceneAndFrameLabelData, DefineVideoStream, VideoFrame, DoAction,
                             DoInitAction, ExportAssets, ImportAssets, SymbolClass, FileAttributes, Metadata,
                             ScriptLimits, SetTabIndex, Protect, DefineBinaryData, EnableTelemetry,
                             DefineScalingGrid, DefineSprite>;

struct Tag {
  TagBody body;
  bool operator==(const Tag&) const = default;
};

inline bool DefineSprite::operator==(const DefineSprite& o) const {
  return id == o.id && frameCount == o.frameCount && tags == o.tags;
}

// The tag code a record is written with.
std::uint16_t tagCode(const Tag& tag);
// The tag's name ("DefineShape3", "ShowFrame"); "Tag<code>" for codes without a name.
std::string tagName(std::uint16_t code);

// ---- the movie ---------------------------------------------------------------

struct SwfHeader {
  std::string signature;  // "FWS", "CWS" or "ZWS"
  int version = 0;
  Rect stage;              // twips
  double frameRate = 0;    // frames per second (stored as 8.8 fixed)
  std::uint16_t frameCount = 0;
  std::uint32_t fileLength = 0;  // uncompressed length as the file states it
  // Stage size in whole pixels (twips / 20, truncated).
  std::int64_t stageWidthPixels() const { return (std::int64_t{stage.xMax} - stage.xMin) / 20; }
  std::int64_t stageHeightPixels() const { return (std::int64_t{stage.yMax} - stage.yMin) / 20; }
  bool operator==(const SwfHeader&) const = default;
};

struct Movie {
  SwfHeader header;
  std::vector<Tag> tags;  // without the closing End tag
  bool operator==(const Movie&) const = default;
};

}  // namespace plavex::swf
