#include "engine/render/Text.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextDocument>

#include "engine/core/Geometry.h"

namespace plavex::engine::render {

namespace {
QTransform toQt(const swf::Matrix& m) {
  Affine a = Affine::from(m);
  return QTransform(a.a, a.b, a.c, a.d, a.tx, a.ty);
}
}  // namespace

std::vector<TextRun> staticTextRuns(RenderCache& cache, const MovieData& movie, const swf::DefineText& text) {
  std::vector<TextRun> runs;
  std::shared_ptr<const Character> font;
  swf::Rgba color{0, 0, 0, 255};
  double x = 0, y = 0, height = 0;
  for (const auto& record : text.records) {
    if (record.fontId) {
      font = movie.character(*record.fontId);
      height = record.textHeight;
    }
    if (record.color) color = *record.color;
    if (record.xOffset) x = *record.xOffset;
    if (record.yOffset) y = *record.yOffset;
    TextRun run{QPainterPath(), color};
    run.path.setFillRule(Qt::OddEvenFill);
    const auto* def = font ? std::get_if<FontDefinition>(&font->body) : nullptr;
    for (const auto& g : record.glyphs) {
      if (def) {
        const QPainterPath& outline = cache.glyph(*font, g.index);
        if (!outline.isEmpty()) {
          double s = height / def->emSquare;
          QTransform t(s, 0, 0, s, x, y);
          run.path.addPath(t.map(outline));
        }
      }
      x += g.advance;
    }
    if (!run.path.isEmpty()) runs.push_back(std::move(run));
  }
  return runs;
}

void drawStaticText(QPainter& painter, RenderCache& cache, const MovieData& movie, const swf::DefineText& text,
                    const QTransform& world, const CxForm& cx) {
  painter.setTransform(toQt(text.matrix) * world);
  painter.setPen(Qt::NoPen);
  for (const auto& run : staticTextRuns(cache, movie, text)) painter.fillPath(run.path, cx.apply(run.color));
}

QString sanitizedHtml(const QString& html) {
  // Keep the tags the movie's text engine knows; drop the others (their text stays).
  static const QRegularExpression tag(QStringLiteral("<\\s*(/?)\\s*([a-zA-Z]+)([^>]*)>"));
  QString out;
  qsizetype last = 0;
  auto it = tag.globalMatch(html);
  while (it.hasNext()) {
    auto m = it.next();
    out += html.mid(last, m.capturedStart() - last);
    last = m.capturedEnd();
    QString name = m.captured(2).toLower();
    static const QStringList known{QStringLiteral("b"), QStringLiteral("i"), QStringLiteral("u"),
                                   QStringLiteral("font"), QStringLiteral("p"), QStringLiteral("br"),
                                   QStringLiteral("a")};
    if (known.contains(name)) out += m.captured(0);
  }
  out += html.mid(last);
  return out;
}

void drawEditText(QPainter& painter, RenderCache& cache, const MovieData& movie, const swf::DefineEditText& text,
                  const QTransform& world, const CxForm& cx) {
  const QRectF bounds(text.bounds.xMin, text.bounds.yMin, text.bounds.xMax - text.bounds.xMin,
                      text.bounds.yMax - text.bounds.yMin);
  painter.setTransform(world);
  if (text.border) {
    const QColor back = cx.apply(swf::Rgba{255, 255, 255, 255}), line = cx.apply(swf::Rgba{0, 0, 0, 255});
    if (!world.isRotating()) {
      // In whole device pixels: the top and left lines, the right line above the bottom
      // one, the bottom line left of the right one (the corner pixel stays empty).
      QRectF device = world.mapRect(bounds);
      int x0 = qRound(device.left()), x1 = qRound(device.right()), y0 = qRound(device.top()), y1 = qRound(device.bottom());
      painter.save();
      painter.resetTransform();
      painter.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), back);
      painter.fillRect(QRect(x0, y0, x1 - x0 + 1, 1), line);
      painter.fillRect(QRect(x0, y0, 1, y1 - y0 + 1), line);
      painter.fillRect(QRect(x1, y0, 1, y1 - y0), line);
      painter.fillRect(QRect(x0, y1, x1 - x0, 1), line);
      painter.restore();
    } else {
      painter.setPen(Qt::NoPen);
      painter.fillRect(bounds, back);
      QPen pen(line);
      pen.setCosmetic(true);
      pen.setWidth(1);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(bounds);
    }
  }
  if (!text.initialText || text.initialText->empty()) return;
  QString content = QString::fromUtf8(text.initialText->data(), static_cast<qsizetype>(text.initialText->size()));
  if (text.password) content.fill(QLatin1Char('*'));

  // Text is laid out in pixels at the field's scale: twips / 20.
  QFont font(QStringLiteral("Times New Roman"));
  if (text.fontId) {
    if (auto c = movie.character(*text.fontId))
      if (const auto* f = std::get_if<FontDefinition>(&c->body)) {
        std::string name = f->name;
        while (!name.empty() && name.back() == '\0') name.pop_back();
        if (!name.empty() && name != "_sans" && name != "_serif" && name != "_typewriter")
          font.setFamily(QString::fromUtf8(name.c_str()));
        else if (name == "_sans")
          font.setFamily(QStringLiteral("Sans"));
        else if (name == "_typewriter")
          font.setFamily(QStringLiteral("Monospace"));
        font.setBold(f->bold);
        font.setItalic(f->italic);
      }
  }
  font.setPixelSize(std::max(1, static_cast<int>(text.fontHeight / 20.0 + 0.5)));
  swf::Rgba colour = text.textColor.value_or(swf::Rgba{0, 0, 0, 255});
  QColor qc = cx.apply(colour);

  QTextDocument doc;
  doc.setDocumentMargin(0);
  doc.setDefaultFont(font);
  QTextOption option;
  int align = text.layout ? text.layout->align : 0;
  option.setAlignment(align == 1 ? Qt::AlignRight : align == 2 ? Qt::AlignHCenter : align == 3 ? Qt::AlignJustify : Qt::AlignLeft);
  option.setWrapMode(text.wordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
  doc.setDefaultTextOption(option);
  doc.setDefaultStyleSheet(QStringLiteral("p { margin: 0; }"));
  if (text.html) {
    doc.setHtml(QStringLiteral("<div style=\"color:%1\">").arg(qc.name()) + sanitizedHtml(content) +
                QStringLiteral("</div>"));
  } else {
    if (!text.multiline) content.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    else content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    doc.setPlainText(content);
  }
  const double gutter = 2;  // pixels between the field's edge and its text
  const double leftMargin = text.layout ? text.layout->leftMargin / 20.0 : 0;
  const double rightMargin = text.layout ? text.layout->rightMargin / 20.0 : 0;
  const double width = bounds.width() / 20.0 - 2 * gutter - leftMargin - rightMargin;
  doc.setTextWidth(std::max(1.0, width));

  painter.save();
  QTransform pixels = QTransform::fromScale(20, 20) * world;
  painter.setTransform(pixels);
  QRectF clip(bounds.x() / 20.0, bounds.y() / 20.0, bounds.width() / 20.0, bounds.height() / 20.0);
  painter.setClipRect(clip, Qt::IntersectClip);
  painter.translate(clip.x() + gutter + leftMargin, clip.y() + gutter);
  QAbstractTextDocumentLayout::PaintContext context;
  context.palette.setColor(QPalette::Text, qc);
  doc.documentLayout()->draw(&painter, context);
  painter.restore();
}

}  // namespace plavex::engine::render
