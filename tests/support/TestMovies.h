#pragma once
// Small movies for the player's tests, made with the project's SWF writer: a coloured
// stage with a square that moves one step per frame.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/format/Records.h"
#include "engine/format/SwfWriter.h"

namespace plavex::testmovies {

inline QByteArray MovingSquareMovie(int widthPx, int heightPx, int frames, double frameRate) {
  swf::Movie movie;
  movie.header.signature = "FWS";
  movie.header.version = 10;
  movie.header.stage = {0, widthPx * 20, 0, heightPx * 20};
  movie.header.frameRate = frameRate;
  movie.header.frameCount = static_cast<std::uint16_t>(frames);

  swf::SetBackgroundColor background;
  background.color = {40, 90, 160, 255};
  movie.tags.push_back({background});

  const std::int32_t side = std::max(20, heightPx / 3) * 20;
  swf::DefineShape square;
  square.version = 3;
  square.id = 1;
  square.bounds = {0, side, 0, side};
  square.edgeBounds = square.bounds;
  swf::FillStyle fill;
  fill.type = swf::fill::kSolid;
  fill.color = {250, 200, 40, 255};
  square.shape.fills = {fill};
  swf::StyleChange start;
  start.moveTo = swf::MoveTo{0, 0};
  start.fillStyle1 = 1u;
  square.shape.records = {start, swf::StraightEdge{side, 0}, swf::StraightEdge{0, side},
                          swf::StraightEdge{-side, 0}, swf::StraightEdge{0, -side}};
  movie.tags.push_back({square});

  const std::int32_t travel = std::max<std::int32_t>(0, widthPx * 20 - side);
  for (int f = 0; f < frames; ++f) {
    swf::PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.move = f > 0;
    if (f == 0) place.characterId = 1;
    swf::Matrix m;
    m.translateX = frames > 1 ? travel * f / (frames - 1) : 0;
    m.translateY = (heightPx * 20 - side) / 2;
    place.matrix = m;
    movie.tags.push_back({place});
    movie.tags.push_back({swf::ShowFrame{}});
  }
  const swf::WriteResult written = swf::writeSwf(movie);
  return QByteArray(reinterpret_cast<const char*>(written.bytes.data()), static_cast<qsizetype>(written.bytes.size()));
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace plavex::testmovies
