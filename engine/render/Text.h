#pragma once
// Static text (DefineText with embedded fonts) and edit texts (embedded or device fonts,
// border and background, alignment, word wrap, multiline and a small HTML subset).

#include <QPainter>

#include "engine/core/Movie.h"
#include "engine/render/ColorTransform.h"
#include "engine/render/RenderCache.h"

namespace plavex::engine::render {

// Glyph outlines of a static text, one path per colour run, in the text's own twips.
struct TextRun {
  QPainterPath path;
  swf::Rgba color;
};
std::vector<TextRun> staticTextRuns(RenderCache& cache, const MovieData& movie, const swf::DefineText& text);

void drawStaticText(QPainter& painter, RenderCache& cache, const MovieData& movie, const swf::DefineText& text,
                    const QTransform& world, const CxForm& cx);
void drawEditText(QPainter& painter, RenderCache& cache, const MovieData& movie, const swf::DefineEditText& text,
                  const QTransform& world, const CxForm& cx);

// The edit text's HTML reduced to what the text engine draws (b, i, u, font, p, br, a).
QString sanitizedHtml(const QString& html);

}  // namespace plavex::engine::render
