#pragma once
// The subcommands of swftool. Each takes the arguments after its name and returns
// the process exit code.

#include <span>
#include <string_view>

namespace plavex::swftool {

using Args = std::span<const std::string_view>;

int runInfo(Args args);
int runRender(Args args);
int runTrace(Args args);
int runBench(Args args);
int runAudio(Args args);

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(Args);
};

}  // namespace plavex::swftool
