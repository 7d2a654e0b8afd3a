// swftool info [--all] FILE
// Prints "signature=CWS version=8 width=550 height=400 fps=12 frames=30" from the
// header alone; with --all the whole movie is read and the tag counts follow.

#include <cstdio>
#include <map>
#include <string>

#include "engine/format/SwfReader.h"
#include "tools/swftool/Commands.h"

namespace plavex::swftool {

namespace {

void printHeader(const swf::SwfHeader& h) {
  std::printf("signature=%s version=%d width=%lld height=%lld fps=%.8g frames=%u\n", h.signature.c_str(), h.version,
              static_cast<long long>(h.stageWidthPixels()), static_cast<long long>(h.stageHeightPixels()), h.frameRate,
              static_cast<unsigned>(h.frameCount));
}

int infoAll(const std::string& path) {
  swf::ReadResult r = swf::readSwfFile(path);
  if (!r.headerRead) {
    std::fprintf(stderr, "swftool: %s: %s\n", path.c_str(), r.stop ? r.stop->message.c_str() : "unreadable");
    return 1;
  }
  printHeader(r.movie.header);
  std::map<std::string, int> counts;
  for (const auto& t : r.movie.tags) ++counts[swf::tagName(swf::tagCode(t))];
  std::printf("tags=%zu", r.movie.tags.size());
  for (const auto& [name, n] : counts) std::printf(" %s=%d", name.c_str(), n);
  std::printf("\n");
  for (const auto& w : r.warnings) std::printf("warning at offset %zu: %s\n", w.offset, w.message.c_str());
  if (r.stop) std::printf("stopped at offset %zu: %s\n", r.stop->offset, r.stop->message.c_str());
  return 0;
}

}  // namespace

int runInfo(Args args) {
  bool all = false;
  std::string path;
  for (auto a : args) {
    if (a == "--all")
      all = true;
    else if (path.empty())
      path = std::string(a);
    else
      path.clear(), args = {};
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: swftool info [--all] FILE\n");
    return 2;
  }
  if (all) return infoAll(path);
  swf::HeaderResult h = swf::readSwfHeader(std::filesystem::path(path));
  if (!h.header) {
    std::fprintf(stderr, "swftool: %s: %s\n", path.c_str(), h.error.c_str());
    return 1;
  }
  printHeader(*h.header);
  return 0;
}

}  // namespace plavex::swftool
