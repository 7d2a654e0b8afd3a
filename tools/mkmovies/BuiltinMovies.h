#pragma once
// The movies the player carries: the busy animation "LOADING", the banner "ZAVAZ"
// and the idle movie swf/start.swf. All drawn here with shapes.

#include "engine/format/Records.h"

namespace plavex::mkmovies {

swf::Movie makeLoadingMovie();  // CWS 8, 24 x 24 px, 12 fps, 8 frames
swf::Movie makeZavazMovie();    // CWS 10, 340 x 95 px, 12 fps, 1 frame
swf::Movie makeStartMovie();    // CWS 8, 400 x 300 px, 12 fps, 24 frames

}  // namespace plavex::mkmovies
