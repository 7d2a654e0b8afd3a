// swftool: command-line tools around the SWF engine, one subcommand per file.

#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

#include "tools/swftool/Commands.h"

namespace {

using namespace plavex::swftool;

constexpr std::array kCommands{
    Command{"info", "info [--all] FILE   header line; with --all also the tag counts", &runInfo},
    Command{"render", "render FILE --frames N --out OUT.png [--width W --height H] [--input EVENTS.json]", &runRender},
    Command{"trace", "trace FILE --frames N [--input EVENTS.json]", &runTrace},
    Command{"bench", "bench FILE [--frames N]   frames per second, parse and render time", &runBench},
    Command{"audio", "audio FILE --frames N --out OUT.wav [--volume 0-100] [--mute]", &runAudio},
};

void usage() {
  std::fprintf(stderr, "usage: swftool COMMAND ARGS\n");
  for (const auto& c : kCommands) std::fprintf(stderr, "  swftool %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage();
    return 2;
  }
  std::string_view name = argv[1];
  std::vector<std::string_view> args(argv + 2, argv + argc);
  for (const auto& c : kCommands)
    if (c.name == name) return c.run(args);
  std::fprintf(stderr, "swftool: unknown command \"%s\"\n", argv[1]);
  usage();
  return 2;
}
