#pragma once
// Bounds of display objects in twips: what a character draws, in any coordinate space.

#include "engine/core/DisplayList.h"
#include "engine/core/Geometry.h"

namespace plavex::engine {

struct Box {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  bool empty = true;
  void add(double x, double y);
  void add(const Box& other);
};

// The box around what `object` draws, mapped through `space` (which includes the object's
// own matrix when the caller wants parent coordinates).
Box objectBounds(const DisplayObject& object, const Affine& space, const MovieData& movie, int depth = 0);
// The box around a display list's contents mapped through `space`.
Box listBounds(const DisplayList& list, const Affine& space, const MovieData& movie, int depth = 0);

}  // namespace plavex::engine
