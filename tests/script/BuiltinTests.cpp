// The built-in classes and global functions.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

// Calls global.name(args…) and traces the result.
Asm callGlobal(const std::string& name, std::initializer_list<PushItem> reversedArgs, int count) {
  Asm a;
  a.push(reversedArgs).push({count, name}).callFunction().trace();
  return a;
}

// obj.method(args) on a value made by `make`, traced.
Asm& method(Asm& a, const std::string& var, const std::string& name, std::initializer_list<PushItem> reversedArgs, int count) {
  a.push(reversedArgs).push({count, var}).getVar().push({name}).callMethod().trace();
  return a;
}

struct GlobalCase {
  const char* function;
  PushItem arg;
  const char* expected;
};

TEST(GlobalFunctions, ParseAndTest) {
  const GlobalCase cases[] = {
      {"parseInt", "42px", "42"},   {"parseInt", "0x1A", "26"},    {"parseInt", "010", "8"},
      {"parseInt", "  -7", "-7"},   {"parseInt", "abc", "NaN"},    {"parseFloat", "3.5e2x", "350"},
      {"parseFloat", ".5", "0.5"}, {"parseFloat", "x1", "NaN"},   {"isNaN", "abc", "true"},
      {"isNaN", "12", "false"},     {"isFinite", 1e308, "true"},   {"escape", "a b&c", "a%20b%26c"},
      {"unescape", "a%20b%2", "a b%2"}, {"Number", "0x10", "16"}, {"String", 1.5, "1.5"},
      {"Boolean", "", "false"},
  };
  for (const auto& c : cases) {
    auto r = runActions(7, callGlobal(c.function, {c.arg}, 1));
    ASSERT_EQ(r.lines.size(), 1u) << c.function;
    EXPECT_EQ(r.lines[0], c.expected) << c.function;
  }
  auto radix = runActions(7, callGlobal("parseInt", {2, "11"}, 2));
  EXPECT_EQ(radix.lines, (Lines{"3"}));
}

TEST(ArrayMethods, ChangeAndJoin) {
  Asm a;
  a.push({"a", 3, 2, 1, 3}).op(0x42).setVar();  // [1, 2, 3]
  method(a, "a", "push", {4}, 1);                // 4
  method(a, "a", "join", {"-"}, 1);              // 1-2-3-4
  method(a, "a", "reverse", {}, 0);              // 4,3,2,1
  method(a, "a", "slice", {-1, 1}, 2);           // 3,2
  method(a, "a", "splice", {"x", 2, 1}, 3);      // removes 3,2 -> "3,2"
  a.traceVar("a");                               // 4,x,1
  a.push({"y", 3, 5, 2}).op(0x42).push({2, "a"}).getVar().push({"concat"}).callMethod().trace();  // a.concat([5, 3], "y")
  EXPECT_EQ(runActions(7, a).lines, (Lines{"4", "1-2-3-4", "4,3,2,1", "3,2", "3,2", "4,x,1", "4,x,1,5,3,y"}));
}

struct SortCase {
  int options;
  const char* expected;
};

TEST(ArrayMethods, SortOptions) {
  // [10, 9, "b", "B", 1]
  const SortCase cases[] = {
      {0, "1,10,9,B,b"},
      {16, "1,9,10,b,B"},
      {1, "1,10,9,b,B"},
      {2, "b,B,9,10,1"},
      {8, "4,0,1,3,2"},
  };
  for (const auto& c : cases) {
    Asm a;
    a.push({1, "B", "b", 9, 10, 5}).op(0x42).storeRegister(1).pop();
    a.push({c.options, 1, Reg{1}, "sort"}).callMethod().storeRegister(2).pop();
    a.push({Reg{2}}).trace();
    auto r = runActions(7, a);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], c.expected) << c.options;
  }
}

TEST(ArrayMethods, SortWithCompareFunctionAndUnique) {
  Asm cmp;
  cmp.push({"b"}).getVar().push({"a"}).getVar().op(0x0B).ret();  // descending numbers
  Asm a;
  a.push({"a", 2, 3, 1, 3}).op(0x42).setVar();
  a.defineFunction("", {"a", "b"}, cmp).push({1, "a"}).getVar().push({"sort"}).callMethod().trace();
  a.push({4, 1, 1, 2}).op(0x42).storeRegister(1).pop().push({4, 1, Reg{1}, "sort"}).callMethod().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"3,2,1", "0"}));
}

TEST(ArrayMethods, SortOnFields) {
  Asm a;
  a.push({"a"}).push({"n", 2, "k", "b", 2}).op(0x43).push({"n", 1, "k", "a", 2}).op(0x43).push({2}).op(0x42).setVar();
  a.push({"a"}).getVar().push({16, "n", 2, "a"}).getVar().push({"sortOn"}).callMethod().pop();
  a.push({"a"}).getVar().push({0}).getMember().push({"k"}).getMember().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"a"}));
}

TEST(StringMethods, WorkOnUtf16Units) {
  Asm a;
  a.push({"s", "Hello, World"}).setVar();
  method(a, "s", "charAt", {4}, 1);                  // o
  method(a, "s", "charCodeAt", {0}, 1);              // 72
  method(a, "s", "indexOf", {"o"}, 1);               // 4
  method(a, "s", "lastIndexOf", {"o"}, 1);           // 8
  method(a, "s", "substr", {5, -5}, 2);              // World
  method(a, "s", "substring", {0, 5}, 2);            // Hello
  method(a, "s", "slice", {-1, -5}, 2);              // Worl
  method(a, "s", "toUpperCase", {}, 0);
  method(a, "s", "split", {", "}, 1);
  a.push({"s"}).getVar().push({"length"}).getMember().trace();
  a.push({"\xE4\xB8\xAD\xE6\x96\x87"}).push({"length"}).getMember().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"o", "72", "4", "8", "World", "Hello", "Worl", "HELLO, WORLD",
                                           "Hello,World", "12", "2"}));
}

TEST(NumberAndMath, Methods) {
  Asm a;
  a.push({"n", 255}).setVar();
  method(a, "n", "toString", {16}, 1);
  a.push({2.5, 1, "Math"}).getVar().push({"round"}).callMethod().trace();
  a.push({-2.5, 1, "Math"}).getVar().push({"round"}).callMethod().trace();
  a.push({3, 1, 2, "Math"}).getVar().push({"max"}).callMethod().trace();
  a.push({10, 2, 2, "Math"}).getVar().push({"pow"}).callMethod().trace();
  a.push({"Number"}).getVar().push({"MAX_VALUE"}).getMember().trace();
  a.push({1, 1, "Math"}).getVar().push({"min"}).callMethod().trace();  // one argument is NaN
  a.push({0, "Math"}).getVar().push({"min"}).callMethod().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"ff", "3", "-2", "3", "1024", "1.79769313486232e+308", "NaN", "Infinity"}));
}

TEST(ObjectMethods, AddPropertyRunsGetterAndSetter) {
  Asm getter, setter;
  getter.push({"get"}).trace().push({"this"}).getVar().push({"_v"}).getMember().ret();
  setter.push({"set "}).push({"v"}).getVar().add2().trace().push({"this"}).getVar().push({"_v", "v"}).getVar().setMember();
  Asm a;
  a.push({"o", 0}).op(0x43).setVar();
  a.defineFunction("", {"v"}, setter).defineFunction("", {}, getter).push({"p", 3, "o"}).getVar().push({"addProperty"}).callMethod().trace();
  a.push({"o"}).getVar().push({"p", 5}).setMember();
  a.push({"o"}).getVar().push({"p"}).getMember().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"true", "set 5", "get", "5"}));
}

TEST(ObjectMethods, WatchDecidesTheStoredValue) {
  Asm cb;
  cb.push({"prop"}).getVar().push({":"}).add2().push({"oldVal"}).getVar().add2().push({">"}).add2().push({"newVal"}).getVar().add2().trace();
  cb.push({"newVal"}).getVar().push({10}).op(0x0C).ret();
  Asm a;
  a.push({"o", "x", 1, 1}).op(0x43).setVar();
  a.defineFunction("", {"prop", "oldVal", "newVal"}, cb).push({"x", 2, "o"}).getVar().push({"watch"}).callMethod().pop();
  a.push({"o"}).getVar().push({"x", 2}).setMember();
  a.push({"o"}).getVar().push({"x"}).getMember().trace();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"x:1>2", "20"}));
}

TEST(ObjectMethods, ASSetPropFlagsHidesAndProtects) {
  Asm a;
  a.push({"o", "a", 1, "b", 2, 2}).op(0x43).setVar();
  a.push({0, 5, "a", "o"}).getVar().push({4, "ASSetPropFlags"}).callFunction().pop();  // a: dont-enum | read-only
  a.push({"o"}).getVar().push({"a", 9}).setMember();
  a.push({"o"}).getVar().push({"a"}).getMember().trace();
  a.push({"o"}).getVar().op(0x55);
  a.label("loop").storeRegister(0).push({NullV{}}).op(0x49).ifTrue("end").push({Reg{0}}).trace().jump("loop");
  a.label("end");
  EXPECT_EQ(runActions(7, a).lines, (Lines{"1", "b"}));
}

TEST(FunctionMethods, CallAndApplySetThis) {
  Asm f;
  f.push({"this"}).getVar().push({"name"}).getMember().push({"a"}).getVar().add2().trace();
  Asm a;
  a.defineFunction("f", {"a"}, f);
  a.push({"o", "name", "O", 1}).op(0x43).setVar();
  a.push({"!", "o"}).getVar().push({2, "f"}).getVar().push({"call"}).callMethod().pop();
  a.push({"?", 1}).op(0x42).push({"o"}).getVar().push({2, "f"}).getVar().push({"apply"}).callMethod().pop();
  EXPECT_EQ(runActions(7, a).lines, (Lines{"O!", "O?"}));
}

TEST(Errors, ErrorObjectsCarryTheirMessage) {
  Asm tryBody, catchBody;
  tryBody.push({"bad", 1, "Error"}).op(0x40).op(0x2A);
  catchBody.traceVar("e").push({"e"}).getVar().push({"Error"}).getVar().op(0x54).trace();
  std::string name = "e";
  Asm a;
  a.tryBlock(tryBody, &name, &catchBody, nullptr);
  EXPECT_EQ(runActions(7, a).lines, (Lines{"bad", "true"}));
}

TEST(DateClass, BuildsLocalDates) {
  Asm b;
  b.push({"d", 30, 15, 5, 2004, 4, "Date"}).op(0x40).setVar();  // new Date(2004, 5, 15, 30) -> 16 June 06:00
  b.push({0, "d"}).getVar().push({"getDate"}).callMethod().trace();
  b.push({0, "d"}).getVar().push({"getHours"}).callMethod().trace();
  b.push({0, "d"}).getVar().push({"getMonth"}).callMethod().trace();
  b.push({0, "d"}).getVar().push({"getFullYear"}).callMethod().trace();
  EXPECT_EQ(runActions(7, b).lines, (Lines{"16", "6", "5", "2004"}));
}

TEST(DateClass, UtcTakesTwoDigitYearsInThe1900s) {
  Asm b;
  b.push({23, 31, 11, 99, 4, "Date"}).getVar().push({"UTC"}).callMethod().trace();  // 1999-12-31 23:00 UTC
  b.push({0, 2000, 2, "Date"}).getVar().push({"UTC"}).callMethod().trace();         // 2000-01-01 00:00 UTC
  EXPECT_EQ(runActions(7, b).lines, (Lines{"946681200000", "946684800000"}));
}

TEST(Timers, IntervalsFireWhenDue) {
  double clock = 0;
  Vm vm(7);
  vm.setClock([&] { return clock; });
  std::vector<std::string> lines;
  vm.setTraceSink([&](const std::string& l) { lines.push_back(l); });
  Asm tick;
  tick.push({"tick"}).trace();
  Asm a;
  a.push({100}).defineFunction("", {}, tick).push({2, "setInterval"}).callFunction().storeRegister(1).pop();
  a.push({"_global"}).getVar().push({"id", Reg{1}}).setMember();
  auto bytes = a.bytes();
  vm.run(bytes);
  vm.runTimers();
  EXPECT_TRUE(lines.empty());
  clock = 100;
  vm.runTimers();
  clock = 150;
  vm.runTimers();
  clock = 200;
  vm.runTimers();
  EXPECT_EQ(lines, (Lines{"tick", "tick"}));
  Asm stop;
  stop.push({"_global"}).getVar().push({"id"}).getMember().push({1, "clearInterval"}).callFunction().pop();
  auto stopBytes = stop.bytes();
  vm.run(stopBytes);
  clock = 1000;
  vm.runTimers();
  EXPECT_EQ(lines.size(), 2u);
}

}  // namespace
