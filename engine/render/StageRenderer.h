#pragma once
// Draws a player's stage into an image of any size: the background, the display list
// fitted by the scale mode and alignment. The last frame drawn is kept and handed out
// again while nothing changed.

#include <QColor>
#include <QImage>
#include <QTransform>
#include <optional>

#include "engine/core/Player.h"
#include "engine/render/RenderCache.h"

namespace plavex::engine::render {

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Alignment letters of the stage: L, R, T, B (any combination, any case).
struct Alignment {
  bool left = false, right = false, top = false, bottom = false;
  static Alignment parse(const QString& text);
  bool operator==(const Alignment&) const = default;
};

struct StageOptions {
  QSize viewport;
  ScaleMode scaleMode = ScaleMode::ShowAll;
  Alignment align;
  std::optional<QColor> background;  // overrides the movie's own colour
  bool transparent = false;          // no background at all
  bool antialias = true;
  bool operator==(const StageOptions&) const = default;
};

// Maps stage twips to viewport pixels.
QTransform stageTransform(const swf::Rect& stage, QSize viewport, ScaleMode mode, const Alignment& align);

class StageRenderer {
 public:
  // The stage as it stands; the same image as last time when nothing changed.
  const QImage& render(const Player& player, const StageOptions& options);
  // Whether the next render would redraw.
  bool isStale(const Player& player, const StageOptions& options) const;
  RenderCache& cache() { return cache_; }
  // A hit tester for the player's buttons that uses the cached shapes.
  HitTester hitTester();
  void reset();

 private:
  RenderCache cache_;
  QImage frame_;
  const Player* player_ = nullptr;
  const MovieData* movie_ = nullptr;
  std::uint64_t revision_ = 0;
  StageOptions options_;
};

}  // namespace plavex::engine::render
