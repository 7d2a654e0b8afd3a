// The aliased filler: pixels decided by their exact centres, the tie rule, fill rules and curves.

#include <gtest/gtest.h>

#include "engine/render/ScanFill.h"

namespace plavex::engine::render {
namespace {

const QRect kClip(0, 0, 64, 64);

// A slanted edge on whole twips, (0, 0) to (1.1, 12.05) pixels, passes 0.0021 px right
// of pixel (0, 5)'s centre; rounded to 1/64 pixel it would pass left of it.
TEST(ScanFill, SlantedEdgeKeepsItsExactPosition) {
  QPainterPath p;
  p.moveTo(0, 0);
  p.lineTo(1.1, 12.05);
  p.lineTo(0, 12.05);
  p.closeSubpath();
  QRegion r = aliasedCoverage(p, kClip);
  EXPECT_TRUE(r.contains(QPoint(0, 5)));
  EXPECT_FALSE(r.contains(QPoint(0, 4)));  // edge at 0.41 there
  EXPECT_FALSE(r.contains(QPoint(1, 11)));
}

// An edge from (21.85, 21.15) to (18.75, 41.95) passes 0.00024 px left of pixel (21, 23)'s
// centre; with its points on the 1/256 pixel grid it passes 0.0009 px right of it, and
// the movie's rasterizer leaves that pixel out of the shape to the right of the edge.
TEST(ScanFill, PointsSnapToTheSubPixelGrid) {
  QPainterPath p;
  p.moveTo(21.85, 21.15);
  p.lineTo(18.75, 41.95);
  p.lineTo(30, 41.95);
  p.lineTo(30, 21.15);
  p.closeSubpath();
  QRegion r = aliasedCoverage(p, kClip);
  EXPECT_FALSE(r.contains(QPoint(21, 23)));
  EXPECT_TRUE(r.contains(QPoint(22, 23)));
  EXPECT_TRUE(r.contains(QPoint(21, 24)));  // edge at 21.35 there
}

// Edges exactly through pixel centres: the left and top edges take the pixels, the
// right and bottom ones do not, so shapes sharing an edge never overlap or leave a gap.
TEST(ScanFill, CentresOnEdgesGoToLeftAndTopEdges) {
  QPainterPath left, right;
  left.addRect(QRectF(0.5, 0.5, 2, 2));
  right.addRect(QRectF(2.5, 0.5, 2, 2));
  QRegion a = aliasedCoverage(left, kClip), b = aliasedCoverage(right, kClip);
  EXPECT_EQ(a.boundingRect(), QRect(0, 0, 2, 2));
  EXPECT_EQ(b.boundingRect(), QRect(2, 0, 2, 2));
  EXPECT_TRUE(a.intersected(b).isEmpty());
}

TEST(ScanFill, FillRulesDecideOverlaps) {
  for (bool nonZero : {false, true}) {
    QPainterPath p;
    p.setFillRule(nonZero ? Qt::WindingFill : Qt::OddEvenFill);
    p.addRect(0, 0, 20, 20);
    p.addRect(10, 10, 20, 20);
    QRegion r = aliasedCoverage(p, kClip);
    EXPECT_TRUE(r.contains(QPoint(5, 5)));
    EXPECT_EQ(r.contains(QPoint(15, 15)), nonZero) << nonZero;
    EXPECT_TRUE(r.contains(QPoint(25, 25)));
  }
}

TEST(ScanFill, CurvesFollowTheCurveAndClipLimitsTheArea) {
  QPainterPath p;
  p.moveTo(0, 40);
  p.quadTo(20, -40, 40, 40);  // apex at y = 0 over x = 20
  p.closeSubpath();
  QRegion r = aliasedCoverage(p, kClip);
  EXPECT_TRUE(r.contains(QPoint(20, 1)));
  EXPECT_FALSE(r.contains(QPoint(3, 10)));  // below the chord, outside the curve
  EXPECT_TRUE(r.contains(QPoint(10, 12)));
  QRegion clipped = aliasedCoverage(p, QRect(0, 0, 64, 20));
  EXPECT_EQ(clipped.boundingRect().bottom(), 19);
  EXPECT_TRUE(aliasedCoverage(QPainterPath(), kClip).isEmpty());
}

}  // namespace
}  // namespace plavex::engine::render
