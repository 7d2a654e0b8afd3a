#pragma once
// Running assembled actions in a fresh machine and collecting what they trace.

#include <string>
#include <vector>

#include "Assembler.h"
#include "engine/script/Vm.h"

namespace plavex::script::testing {

struct Traced {
  std::vector<std::string> lines;
  RunResult result;
};

inline Traced runActions(int version, const Asm& code, ScriptLimits limits = {}) {
  Traced out;
  Vm vm(version, nullptr, limits);
  vm.setTraceSink([&](const std::string& line) { out.lines.push_back(line); });
  auto bytes = code.bytes();
  out.result = vm.run(bytes);
  return out;
}

}  // namespace plavex::script::testing
