#include "engine/core/Movie.h"

#include <algorithm>
#include <cctype>

namespace plavex::engine {

namespace {
std::string lowered(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool isControlTag(const swf::TagBody& body) {
  return std::holds_alternative<swf::ShowFrame>(body) || std::holds_alternative<swf::PlaceObject>(body) ||
         std::holds_alternative<swf::RemoveObject>(body) || std::holds_alternative<swf::FrameLabel>(body) ||
         std::holds_alternative<swf::DoAction>(body) || std::holds_alternative<swf::DoInitAction>(body) ||
         std::holds_alternative<swf::StartSound>(body) ||
         std::holds_alternative<swf::SetBackgroundColor>(body) || std::holds_alternative<swf::SoundStreamBlock>(body) ||
         std::holds_alternative<swf::SoundStreamHead>(body);
}
}  // namespace

std::optional<int> TimelineDefinition::findLabel(const std::string& label) const {
  auto wanted = lowered(label);
  for (const auto& [name, frame] : labels)
    if (lowered(name) == wanted) return frame;
  return std::nullopt;
}

void TimelineBuilder::addControlTag(const swf::Tag& tag) {
  if (std::holds_alternative<swf::ShowFrame>(tag.body)) {
    target_.frames.push_back(std::move(pending_));
    pending_ = Frame{};
    pendingUsed_ = false;
    return;
  }
  if (const auto* label = std::get_if<swf::FrameLabel>(&tag.body))
    target_.labels.emplace(label->name, static_cast<int>(target_.frames.size()));
  pending_.tags.push_back(tag);
  pendingUsed_ = true;
}

void TimelineBuilder::finish() {
  if (pendingUsed_ || target_.frames.empty()) {
    target_.frames.push_back(std::move(pending_));
    pending_ = Frame{};
    pendingUsed_ = false;
  }
}

std::optional<std::size_t> FontDefinition::glyphFor(std::uint16_t code) const {
  for (std::size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == code) return i;
  return std::nullopt;
}

MovieData::MovieData(swf::SwfHeader header) : header_(std::move(header)) {
  root_.declaredFrameCount = header_.frameCount;
}

std::shared_ptr<const Character> MovieData::character(std::uint16_t id) const {
  auto it = characters_.find(id);
  return it == characters_.end() ? nullptr : it->second;
}

int MovieData::totalFrames() const { return std::max<int>(header_.frameCount, loadedFrames()); }

void MovieData::define(std::uint16_t id, CharacterBody body) {
  // The first definition of an id wins, as in the reference player.
  if (characters_.count(id)) return;
  auto c = std::make_shared<Character>();
  c->id = id;
  c->body = std::move(body);
  characters_.emplace(id, std::move(c));
}

void MovieData::appendTag(const swf::Tag& tag) {
  if (complete_) return;
  const auto& body = tag.body;
  if (const auto* bg = std::get_if<swf::SetBackgroundColor>(&body)) {
    if (!background_) background_ = bg->color;
  }
  if (isControlTag(body)) {
    rootBuilder_.addControlTag(tag);
    return;
  }
  std::visit(
      [&](const auto& t) {
        using T = std::decay_t<decltype(t)>;
        if constexpr (std::is_same_v<T, swf::DefineShape> || std::is_same_v<T, swf::DefineMorphShape> ||
                      std::is_same_v<T, swf::DefineButton> || std::is_same_v<T, swf::DefineText> ||
                      std::is_same_v<T, swf::DefineEditText>) {
          define(t.id, t);
        } else if constexpr (std::is_same_v<T, swf::DefineSprite>) {
          SpriteDefinition sprite;
          sprite.timeline.declaredFrameCount = t.frameCount;
          TimelineBuilder builder(sprite.timeline);
          for (const auto& inner : t.tags)
            if (isControlTag(inner.body))
              builder.addControlTag(inner);
            else if (const auto* frame = std::get_if<swf::VideoFrame>(&inner.body))
              addVideoFrame(*frame);
          builder.finish();
          define(t.id, std::move(sprite));
        } else if constexpr (std::is_same_v<T, swf::JpegTables>) {
          if (jpegTables_.empty()) jpegTables_ = t.data;
        } else if constexpr (std::is_same_v<T, swf::DefineBitsJpeg> || std::is_same_v<T, swf::DefineBitsLossless>) {
          define(t.id, BitmapDefinition{t, t.version == 1 && std::is_same_v<T, swf::DefineBitsJpeg> ? jpegTables_
                                                                                                      : swf::Bytes{}});
        } else if constexpr (std::is_same_v<T, swf::DefineFont>) {
          FontDefinition font;
          font.glyphs = t.glyphs;
          define(t.id, std::move(font));
        } else if constexpr (std::is_same_v<T, swf::DefineFont2>) {
          FontDefinition font;
          font.glyphs = t.glyphs;
          font.codes = t.codes;
          font.emSquare = t.version == 3 ? 20480 : 1024;
          font.name = t.name;
          font.bold = t.bold;
          font.italic = t.italic;
          font.layout = t.layout;
          define(t.id, std::move(font));
        } else if constexpr (std::is_same_v<T, swf::DefineFontInfo>) {
          auto it = characters_.find(t.fontId);
          if (it == characters_.end()) return;
          if (auto* font = std::get_if<FontDefinition>(&it->second->body)) {
            font->codes = t.codes;
            font->name = t.name;
            font->bold = t.bold;
            font->italic = t.italic;
          }
        } else if constexpr (std::is_same_v<T, swf::ExportAssets>) {
          for (const auto& asset : t.assets) {
            exports_.emplace(lowered(asset.name), asset.id);
            exportNames_.emplace(asset.id, asset.name);
          }
        } else if constexpr (std::is_same_v<T, swf::DefineVideoStream>) {
          define(t.id, VideoDefinition{t, {}});
        } else if constexpr (std::is_same_v<T, swf::VideoFrame>) {
          addVideoFrame(t);
        } else if constexpr (std::is_same_v<T, swf::DefineButtonCxform>) {
          auto it = characters_.find(t.buttonId);
          if (it != characters_.end()) it->second->buttonCxform = t.cxform;
        } else if constexpr (std::is_same_v<T, swf::DefineSceneAndFrameLabelData>) {
          for (const auto& l : t.labels) root_.labels.emplace(l.label, static_cast<int>(l.frame));
        }
      },
      body);
}

std::shared_ptr<const Character> MovieData::exported(const std::string& name) const {
  auto it = exports_.find(lowered(name));
  return it == exports_.end() ? nullptr : character(it->second);
}

void MovieData::addVideoFrame(const swf::VideoFrame& frame) {
  auto it = characters_.find(frame.streamId);
  if (it == characters_.end()) return;
  if (auto* video = std::get_if<VideoDefinition>(&it->second->body)) video->frames.emplace(frame.frameNum, frame.data);
}

std::string MovieData::exportName(std::uint16_t id) const {
  auto it = exportNames_.find(id);
  return it == exportNames_.end() ? std::string() : it->second;
}

void MovieData::markComplete() {
  if (complete_) return;
  rootBuilder_.finish();
  complete_ = true;
}

std::shared_ptr<MovieData> buildMovie(const swf::Movie& movie) {
  auto data = std::make_shared<MovieData>(movie.header);
  for (const auto& tag : movie.tags) data->appendTag(tag);
  data->markComplete();
  return data;
}

}  // namespace plavex::engine
