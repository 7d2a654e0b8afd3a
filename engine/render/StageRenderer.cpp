#include "engine/render/StageRenderer.h"

#include <QPainter>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>

#include "engine/render/DisplayRenderer.h"
#include "engine/render/Text.h"

namespace plavex::engine::render {

Alignment Alignment::parse(const QString& text) {
  Alignment a;
  for (QChar c : text.toUpper()) {
    if (c == QLatin1Char('L')) a.left = true;
    if (c == QLatin1Char('R')) a.right = true;
    if (c == QLatin1Char('T')) a.top = true;
    if (c == QLatin1Char('B')) a.bottom = true;
  }
  return a;
}

QTransform stageTransform(const swf::Rect& stage, QSize viewport, ScaleMode mode, const Alignment& align) {
  const double w = std::max(1.0, (stage.xMax - stage.xMin) / 20.0);
  const double h = std::max(1.0, (stage.yMax - stage.yMin) / 20.0);
  const double vw = viewport.width(), vh = viewport.height();
  double sx = 1, sy = 1;
  switch (mode) {
    case ScaleMode::ShowAll: sx = sy = std::min(vw / w, vh / h); break;
    case ScaleMode::NoBorder: sx = sy = std::max(vw / w, vh / h); break;
    case ScaleMode::ExactFit: sx = vw / w, sy = vh / h; break;
    case ScaleMode::NoScale: sx = sy = 1; break;
  }
  double tx = (vw - w * sx) / 2, ty = (vh - h * sy) / 2;
  if (align.left) tx = 0;
  else if (align.right) tx = vw - w * sx;
  if (align.top) ty = 0;
  else if (align.bottom) ty = vh - h * sy;
  QTransform t;
  t.translate(tx, ty);
  t.scale(sx / 20.0, sy / 20.0);
  t.translate(-stage.xMin, -stage.yMin);
  return t;
}

bool StageRenderer::isStale(const Player& player, const StageOptions& options) const {
  return frame_.isNull() || player_ != &player || movie_ != &player.movie() || revision_ != player.revision() ||
         !(options_ == options);
}

void StageRenderer::reset() {
  cache_.clear();
  frame_ = QImage();
  player_ = nullptr;
  movie_ = nullptr;
}

const QImage& StageRenderer::render(const Player& player, const StageOptions& options) {
  if (!isStale(player, options)) return frame_;
  if (movie_ != &player.movie()) cache_.clear();
  player_ = &player;
  movie_ = &player.movie();
  revision_ = player.revision();
  options_ = options;
  QSize size = options.viewport.isEmpty() ? QSize(1, 1) : options.viewport;
  if (frame_.size() != size) frame_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  if (options.transparent) {
    frame_.fill(Qt::transparent);
  } else {
    QColor bg = options.background.value_or(Qt::white);
    if (!options.background)
      if (auto c = player.movie().backgroundColor()) bg = QColor(c->r, c->g, c->b);
    frame_.fill(bg);
  }
  auto draw = [&] {
    QPainter painter(&frame_);
    painter.setRenderHint(QPainter::Antialiasing, options.antialias);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, options.antialias);
    painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
    QTransform world = stageTransform(player.movie().header().stage, size, options.scaleMode, options.align);
    const double scale = std::sqrt(std::abs(world.determinant())) * 20.0;
    DisplayRenderer renderer(cache_, player.movie(), options.antialias, scale);
    renderer.drawList(painter, player.displayList(), world, CxForm{});
  };
  // The raster engine splits big fills over the global thread pool unless it already
  // runs in it; for many small shapes the hand-offs cost far more than they save, and
  // several controls drawing at once would compete for the pool. Drawing as one pool
  // task keeps a frame on one core.
  QThreadPool* pool = QThreadPool::globalInstance();
  if (pool->contains(QThread::currentThread())) {
    draw();
  } else {
    QSemaphore done;
    pool->start([&] {
      draw();
      done.release();
    });
    done.acquire();
  }
  return frame_;
}

HitTester StageRenderer::hitTester() {
  return [this](const Character& character, double x, double y, std::uint16_t ratio) -> bool {
    if (const BuiltShape* shape = cache_.shapeOf(character, ratio)) return shape->contains(x, y);
    if (const auto* text = std::get_if<swf::DefineText>(&character.body)) {
      QRectF r(text->bounds.xMin, text->bounds.yMin, text->bounds.xMax - text->bounds.xMin,
               text->bounds.yMax - text->bounds.yMin);
      auto inv = toQTransform(text->matrix).inverted();
      return r.contains(inv.map(QPointF(x, y))) || r.contains(x, y);
    }
    if (const auto* edit = std::get_if<swf::DefineEditText>(&character.body)) {
      QRectF r(edit->bounds.xMin, edit->bounds.yMin, edit->bounds.xMax - edit->bounds.xMin,
               edit->bounds.yMax - edit->bounds.yMin);
      return r.contains(x, y);
    }
    if (const auto* sprite = std::get_if<SpriteDefinition>(&character.body)) {
      // A sprite as hit area: its first frame's shapes.
      if (sprite->timeline.frames.empty()) return false;
      for (const auto& tag : sprite->timeline.frames.front().tags) {
        const auto* po = std::get_if<swf::PlaceObject>(&tag.body);
        if (!po || !po->characterId || !movie_) continue;
        auto child = movie_->character(*po->characterId);
        if (!child || child.get() == &character) continue;
        QTransform m = po->matrix ? toQTransform(*po->matrix) : QTransform();
        QPointF local = m.inverted().map(QPointF(x, y));
        if (const BuiltShape* s = cache_.shapeOf(*child, po->ratio.value_or(0)); s && s->contains(local.x(), local.y()))
          return true;
      }
    }
    return false;
  };
}

}  // namespace plavex::engine::render
