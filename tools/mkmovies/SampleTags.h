#pragma once
// One or more records of every family the format layer reads, with unusual values
// (wide bit fields, negative deltas, optional parts present and absent). Used for the
// round-trip tests and as seeds for the reader's fuzzer.

#include <string>
#include <vector>

#include "engine/format/Records.h"

namespace plavex::mkmovies {

struct SampleTag {
  std::string name;
  swf::Tag tag;
  int minSwfVersion = 1;  // the movie version the record needs (clip event flags)
};

std::vector<SampleTag> sampleTags();

}  // namespace plavex::mkmovies
