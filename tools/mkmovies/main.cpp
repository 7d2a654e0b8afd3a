// mkmovies: writes the player's built-in movies, and with --seeds a set of small
// varied movies for the reader's fuzzer.
//   mkmovies --loading FILE --zavaz FILE --start FILE
//   mkmovies --seeds DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "engine/format/SwfWriter.h"
#include "tools/mkmovies/BuiltinMovies.h"
#include "tools/mkmovies/SampleTags.h"

namespace {

using namespace plavex;

bool save(const swf::Movie& movie, const std::filesystem::path& path) {
  swf::WriteResult written = swf::writeSwf(movie);
  if (!written.ok()) {
    std::fprintf(stderr, "mkmovies: %s: %s\n", path.string().c_str(), written.error.c_str());
    return false;
  }
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(written.bytes.data()), static_cast<std::streamsize>(written.bytes.size()));
  if (!out) {
    std::fprintf(stderr, "mkmovies: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

bool writeSeeds(const std::filesystem::path& dir) {
  bool ok = save(mkmovies::makeLoadingMovie(), dir / "loading.swf") && save(mkmovies::makeZavazMovie(), dir / "zavaz.swf");
  const char* signatures[] = {"FWS", "CWS", "ZWS"};
  int n = 0;
  for (const auto& sample : mkmovies::sampleTags()) {
    swf::Movie m;
    m.header.signature = signatures[n % 3];
    m.header.version = std::max(sample.minSwfVersion, 6 + n % 5);
    m.header.stage = swf::Rect{0, 2000 + n, 0, 1000};
    m.header.frameRate = 12.5;
    m.header.frameCount = 1;
    m.tags = {sample.tag, swf::Tag{swf::ShowFrame{}}};
    char name[32];
    std::snprintf(name, sizeof name, "sample-%03d.swf", n++);
    ok = save(m, dir / name) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool ok = true, any = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string_view opt = argv[i];
    std::filesystem::path value = argv[i + 1];
    any = true;
    if (opt == "--loading")
      ok = save(mkmovies::makeLoadingMovie(), value) && ok;
    else if (opt == "--zavaz")
      ok = save(mkmovies::makeZavazMovie(), value) && ok;
    else if (opt == "--start")
      ok = save(mkmovies::makeStartMovie(), value) && ok;
    else if (opt == "--seeds")
      ok = writeSeeds(value) && ok;
    else {
      std::fprintf(stderr, "mkmovies: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (!any || argc % 2 == 0) {
    std::fprintf(stderr, "usage: mkmovies [--loading FILE] [--zavaz FILE] [--start FILE] [--seeds DIR]\n");
    return 2;
  }
  return ok ? 0 : 1;
}
