#include "engine/format/Records.h"

#include <type_traits>

#include "engine/format/TagCodes.h"

namespace plavex::swf {

namespace {
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;
}  // namespace

std::uint16_t tagCode(const Tag& tag) {
  using namespace code;
  return std::visit(
      Overloaded{
          [](const RawTag& t) -> std::uint16_t { return t.code; },
          [](const ShowFrame&) -> std::uint16_t { return kShowFrame; },
          [](const DefineShape& t) -> std::uint16_t {
            switch (t.version) {
              case 1: return kDefineShape;
              case 2: return kDefineShape2;
              case 3: return kDefineShape3;
              default: return kDefineShape4;
            }
          },
          [](const DefineMorphShape& t) -> std::uint16_t { return t.version == 1 ? kDefineMorphShape : kDefineMorphShape2; },
          [](const JpegTables&) -> std::uint16_t { return kJpegTables; },
          [](const DefineBitsJpeg& t) -> std::uint16_t {
            switch (t.version) {
              case 1: return kDefineBits;
              case 2: return kDefineBitsJpeg2;
              case 3: return kDefineBitsJpeg3;
              default: return kDefineBitsJpeg4;
            }
          },
          [](const DefineBitsLossless& t) -> std::uint16_t { return t.version == 1 ? kDefineBitsLossless : kDefineBitsLossless2; },
          [](const DefineFont&) -> std::uint16_t { return kDefineFont; },
          [](const DefineFontInfo& t) -> std::uint16_t { return t.version == 1 ? kDefineFontInfo : kDefineFontInfo2; },
          [](const DefineFont2& t) -> std::uint16_t { return t.version == 2 ? kDefineFont2 : kDefineFont3; },
          [](const DefineFontAlignZones&) -> std::uint16_t { return kDefineFontAlignZones; },
          [](const DefineFontName&) -> std::uint16_t { return kDefineFontName; },
          [](const DefineFont4&) -> std::uint16_t { return kDefineFont4; },
          [](const DefineText& t) -> std::uint16_t { return t.version == 1 ? kDefineText : kDefineText2; },
          [](const DefineEditText&) -> std::uint16_t { return kDefineEditText; },
          [](const DefineSound&) -> std::uint16_t { return kDefineSound; },
          [](const StartSound& t) -> std::uint16_t { return t.version == 1 ? kStartSound : kStartSound2; },
          [](const SoundStreamHead& t) -> std::uint16_t { return t.version == 1 ? kSoundStreamHead : kSoundStreamHead2; },
          [](const SoundStreamBlock&) -> std::uint16_t { return kSoundStreamBlock; },
          [](const DefineButton& t) -> std::uint16_t { return t.version == 1 ? kDefineButton : kDefineButton2; },
          [](const DefineButtonCxform&) -> std::uint16_t { return kDefineButtonCxform; },
          [](const DefineButtonSound&) -> std::uint16_t { return kDefineButtonSound; },
          [](const PlaceObject& t) -> std::uint16_t {
            return t.version == 1 ? kPlaceObject : t.version == 2 ? kPlaceObject2 : kPlaceObject3;
          },
          [](const RemoveObject& t) -> std::uint16_t { return t.version == 1 ? kRemoveObject : kRemoveObject2; },
          [](const SetBackgroundColor&) -> std::uint16_t { return kSetBackgroundColor; },
          [](const FrameLabel&) -> std::uint16_t { return kFrameLabel; },
          [](const DefineSceneAndFrameLabelData&) -> std::uint16_t { return kDefineSceneAndFrameLabelData; },
          [](const DefineVideoStream&) -> std::uint16_t { return kDefineVideoStream; },
          [](const VideoFrame&) -> std::uint16_t { return kVideoFrame; },
          [](const DoAction&) -> std::uint16_t { return kDoAction; },
          [](const DoInitAction&) -> std::uint16_t { return kDoInitAction; },
          [](const ExportAssets&) -> std::uint16_t { return kExportAssets; },
          [](const ImportAssets& t) -> std::uint16_t { return t.version == 1 ? kImportAssets : kImportAssets2; },
          [](const SymbolClass&) -> std::uint16_t { return kSymbolClass; },
          [](const FileAttributes&) -> std::uint16_t { return kFileAttributes; },
          [](const Metadata&) -> std::uint16_t { return kMetadata; },
          [](const ScriptLimits&) -> std::uint16_t { return kScriptLimits; },
          [](const SetTabIndex&) -> std::uint16_t { return kSetTabIndex; },
          [](const Protect& t) -> std::uint16_t { return t.code; },
          [](const DefineBinaryData&) -> std::uint16_t { return kDefineBinaryData; },
          [](const EnableTelemetry&) -> std::uint16_t { return kEnableTelemetry; },
          [](const DefineScalingGrid&) -> std::uint16_t { return kDefineScalingGrid; },
          [](const DefineSprite&) -> std::uint16_t { return kDefineSprite; },
      },
      tag.body);
}

std::string tagName(std::uint16_t c) {
  switch (c) {
    case 0: return "End";
    case 1: return "ShowFrame";
    case 2: return "DefineShape";
    case 4: return "PlaceObject";
    case 5: return "RemoveObject";
    case 6: return "DefineBits";
    case 7: return "DefineButton";
    case 8: return "JPEGTables";
    case 9: return "SetBackgroundColor";
    case 10: return "DefineFont";
    case 11: return "DefineText";
    case 12: return "DoAction";
    case 13: return "DefineFontInfo";
    case 14: return "DefineSound";
    case 15: return "StartSound";
    case 17: return "DefineButtonSound";
    case 18: return "SoundStreamHead";
    case 19: return "SoundStreamBlock";
    case 20: return "DefineBitsLossless";
    case 21: return "DefineBitsJPEG2";
    case 22: return "DefineShape2";
    case 23: return "DefineButtonCxform";
    case 24: return "Protect";
    case 26: return "PlaceObject2";
    case 28: return "RemoveObject2";
    case 32: return "DefineShape3";
    case 33: return "DefineText2";
    case 34: return "DefineButton2";
    case 35: return "DefineBitsJPEG3";
    case 36: return "DefineBitsLossless2";
    case 37: return "DefineEditText";
    case 39: return "DefineSprite";
    case 41: return "ProductInfo";
    case 43: return "FrameLabel";
    case 45: return "SoundStreamHead2";
    case 46: return "DefineMorphShape";
    case 48: return "DefineFont2";
    case 56: return "ExportAssets";
    case 57: return "ImportAssets";
    case 58: return "EnableDebugger";
    case 59: return "DoInitAction";
    case 60: return "DefineVideoStream";
    case 61: return "VideoFrame";
    case 62: return "DefineFontInfo2";
    case 63: return "DebugID";
    case 64: return "EnableDebugger2";
    case 65: return "ScriptLimits";
    case 66: return "SetTabIndex";
    case 69: return "FileAttributes";
    case 70: return "PlaceObject3";
    case 71: return "ImportAssets2";
    case 72: return "DoABC1";
    case 73: return "DefineFontAlignZones";
    case 74: return "CSMTextSettings";
    case 75: return "DefineFont3";
    case 76: return "SymbolClass";
    case 77: return "Metadata";
    case 78: return "DefineScalingGrid";
    case 82: return "DoABC";
    case 83: return "DefineShape4";
    case 84: return "DefineMorphShape2";
    case 86: return "DefineSceneAndFrameLabelData";
    case 87: return "DefineBinaryData";
    case 88: return "DefineFontName";
    case 89: return "StartSound2";
    case 90: return "DefineBitsJPEG4";
    case 91: return "DefineFont4";
    case 93: return "EnableTelemetry";
    default: return "Tag" + std::to_string(c);
  }
}

}  // namespace plavex::swf
