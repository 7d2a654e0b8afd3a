// Language-level behaviour of the machine: property flags by movie version, XML trees,
// broadcasters.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

// o = {p: "v"}; ASSetPropFlags(o, "p", bits); trace(o.p); trace(o.hasOwnProperty("p"))
Asm hideWithBits(int bits) {
  Asm a;
  a.push({"o", "p", "v", 1}).op(0x43).setVar();
  a.push({0, bits, "p", "o"}).getVar().push({4, "ASSetPropFlags"}).callFunction().pop();
  a.push({"o"}).getVar().push({"p"}).getMember().trace();
  a.push({"p", 1, "o"}).getVar().push({"hasOwnProperty"}).callMethod().trace();
  return a;
}

TEST(PropertyFlags, VersionBitsHideFromLookupsOnly) {
  struct Case {
    int bits, version;
    bool hidden;
  };
  const Case cases[] = {
      {128, 5, true},     {128, 6, false},   {256, 5, false},  {256, 6, true},   {256, 7, false},
      {1024, 6, true},    {1024, 7, false},  {4096, 7, true},  {4096, 8, false}, {8192, 8, true},
      {8192, 9, false},   {16384, 9, true},  {16384, 10, false},
  };
  for (const auto& c : cases) {
    auto r = runActions(c.version, hideWithBits(c.bits));
    Lines expected{c.hidden ? "undefined" : "v", "true"};
    EXPECT_EQ(r.lines, expected) << "bits " << c.bits << " in version " << c.version;
  }
}

TEST(PropertyFlags, SettingAHiddenPropertyMakesItVisibleAgain) {
  Asm a = hideWithBits(16384);
  a.push({"o"}).getVar().push({"p", "w"}).setMember();
  a.push({"o"}).getVar().push({"p"}).getMember().trace();
  EXPECT_EQ(runActions(8, a).lines, (Lines{"undefined", "true", "w"}));
}

}  // namespace
