#pragma once
// Draws the picture of an embedded video: a bitmap scaled to the stream's declared size
// in the object's space, smoothed when the stream asks for it and the quality allows.

#include <QPainter>
#include <QPainterPath>

#include "engine/core/VideoPlayback.h"
#include "engine/render/ColorTransform.h"

namespace plavex::engine::render {

// The picture as an image (it shares the picture's pixels: keep the playback alive).
QImage videoImage(const VideoPlayback& video);
void drawVideoPicture(QPainter& painter, const VideoPlayback& video, const QTransform& world, const CxForm& cx,
                      bool smoothingAllowed);
// The stream's rectangle in device pixels (for masks).
QPainterPath videoCoverage(const VideoPlayback& video, const QTransform& world);

}  // namespace plavex::engine::render
