// The action interpreter: stack machine, operators, versions, functions, objects,
// exceptions, blocks and limits.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

// Traces `a OP b` for one binary action.
std::string binary(int version, PushItem a, PushItem b, std::uint8_t action) {
  Asm code;
  code.push({a, b}).op(action).trace();
  auto r = runActions(version, code);
  return r.lines.empty() ? "<nothing>" : r.lines[0];
}

struct BinaryCase {
  int version;
  PushItem a, b;
  std::uint8_t action;
  const char* expected;
};

TEST(Operators, MatchTheReferencePlayer) {
  const BinaryCase cases[] = {
      {6, 1, 2, 0x47, "3"},
      {6, "1", 2, 0x47, "12"},
      {6, 1.5, "x", 0x47, "1.5x"},
      {6, Undef{}, "x", 0x47, "x"},            // undefined is "" before 7
      {7, Undef{}, "x", 0x47, "undefinedx"},
      {6, Undef{}, 1, 0x47, "1"},              // and 0 as a number
      {7, Undef{}, 1, 0x47, "NaN"},
      {4, "3", "4", 0x0A, "7"},                // SWF 4 Add is numeric
      {6, 7, 2, 0x3F, "1"},                    // modulo
      {6, -7, 2, 0x3F, "-1"},
      {6, 1, 0, 0x0D, "Infinity"},
      {4, 1, 0, 0x0D, "#ERROR#"},             // SWF 4 division by zero
      {6, 0, 0, 0x0D, "NaN"},
      {6, 1, 2, 0x48, "true"},                 // Less2
      {6, "10", "9", 0x48, "true"},           // both strings compare as text
      {6, 10, "9", 0x48, "false"},
      {6, "a", 1, 0x48, "undefined"},         // NaN compares to undefined
      {6, 2, 1, 0x67, "true"},                 // Greater
      {4, 1, 2, 0x0F, "1"},                    // SWF 4 Less pushes numbers
      {6, 1, "1", 0x49, "true"},               // Equals2
      {6, Undef{}, NullV{}, 0x49, "true"},
      {6, Undef{}, 0, 0x49, "false"},
      {6, true, 1, 0x49, "true"},
      {6, "abc", "abc", 0x49, "true"},
      {6, 1, "1", 0x66, "false"},              // StrictEquals
      {6, 1, 1, 0x66, "true"},
      {4, 1, 1, 0x0E, "1"},
      {6, 6, 3, 0x60, "2"},                    // bit and
      {9, -1, 0, 0x65, "4294967295"},          // unsigned shift
      {8, -1, 0, 0x65, "-1"},                  // read back signed up to SWF 8
      {8, -3, 1, 0x65, "2147483646"},
      {6, 1, 33, 0x63, "2"},                   // shift count & 31
      {6, -8, 1, 0x64, "-4"},
      {6, 4294967297.0, 1, 0x61, "1"},         // ToInt32 wraps
      {6, "b", "a", 0x29, "false"},            // StringLess
      {6, "ab", "cd", 0x21, "abcd"},           // StringAdd
      {6, "ab", "ab", 0x13, "true"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(binary(c.version, c.a, c.b, c.action), c.expected)
        << "action 0x" << std::hex << int(c.action) << " v" << std::dec << c.version;
}

TEST(Operators, NotAndLogicFollowTheVersion) {
  Asm code;
  code.push({0}).op(0x12).trace().push({"abc"}).op(0x12).trace();
  EXPECT_EQ(runActions(4, code).lines, (Lines{"1", "1"}));
  EXPECT_EQ(runActions(6, code).lines, (Lines{"true", "true"}));
  EXPECT_EQ(runActions(7, code).lines, (Lines{"true", "false"}));
}

TEST(Operators, ConvertTheLeftOperandFirst) {
  // o1.valueOf and o2.valueOf trace their names; o1 < o2, o1 - o2 and o1 + o2 convert o1 first.
  Asm one, two;
  one.push({"o1"}).trace().push({1}).ret();
  two.push({"o2"}).trace().push({2}).ret();
  Asm code;
  code.push({"o1", "valueOf"}).defineFunction("", {}, one).push({1}).op(0x43).setVar();
  code.push({"o2", "valueOf"}).defineFunction("", {}, two).push({1}).op(0x43).setVar();
  for (std::uint8_t action : {0x48, 0x0B, 0x47}) code.push({"o1"}).getVar().push({"o2"}).getVar().op(action).pop();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"o1", "o2", "o1", "o2", "o1", "o2"}));
}

TEST(Interpreter, TraceWritesUndefinedInEveryVersion) {
  Asm code;
  code.push({Undef{}}).trace().push({NullV{}}).trace().push({1e21}).trace();
  EXPECT_EQ(runActions(5, code).lines, (Lines{"undefined", "null", "1e+21"}));
}

TEST(Interpreter, IdentifiersIgnoreCaseBeforeSeven) {
  Asm code;
  code.push({"myVar", 5}).setVar().traceVar("MYVAR");
  EXPECT_EQ(runActions(6, code).lines, (Lines{"5"}));
  EXPECT_EQ(runActions(7, code).lines, (Lines{"undefined"}));
}

TEST(Interpreter, StringActionsCountCharacters) {
  Asm code;
  code.push({"h\xC3\xA9llo"}).op(0x14).trace();                 // length 5
  code.push({"abcdef", 2, 3}).op(0x15).trace();                 // "bcd"
  code.push({"A"}).op(0x32).trace().push({66}).op(0x33).trace();  // 65, "B"
  code.push({"7.9"}).op(0x18).trace();                          // ToInteger
  EXPECT_EQ(runActions(6, code).lines, (Lines{"5", "bcd", "65", "B", "7"}));
}

TEST(Interpreter, LoopsWithJumpsAndRegisters) {
  // i = 0; sum = 0; while (i < 5) { sum += i; i++ } trace(sum)
  Asm code;
  code.push({"i", 0}).setVar().push({"sum", 0}).setVar();
  code.label("top").push({"i"}).getVar().push({5}).op(0x48).op(0x12).ifTrue("done");
  code.push({"sum", "sum"}).getVar().push({"i"}).getVar().add2().setVar();
  code.push({"i", "i"}).getVar().op(0x50).setVar().jump("top");
  code.label("done").traceVar("sum");
  code.push({42}).storeRegister(1).pop().push({Reg{1}}).trace();
  EXPECT_EQ(runActions(6, code).lines, (Lines{"10", "42"}));
}

TEST(Interpreter, ConstantPoolAndStackOperations) {
  Asm code;
  code.constantPool({"hello", "world"}).push({Const{0}, Const{1}}).op(0x4D).add2().trace();
  code.push({3}).op(0x4C).add2().trace();
  code.push({Const{9}}).trace();  // out of range: undefined
  EXPECT_EQ(runActions(7, code).lines, (Lines{"worldhello", "6", "undefined"}));
}

TEST(Interpreter, EmptyStackPopsUndefined) {
  Asm code;
  code.op(0x17).op(0x17).trace().push({1}).op(0x47).trace();
  auto r = runActions(7, code);
  EXPECT_TRUE(r.result.ok());
  EXPECT_EQ(r.lines, (Lines{"undefined", "NaN"}));
}

TEST(Functions, DefineFunctionWithParametersAndRecursion) {
  // function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); } trace(fact(10))
  Asm body;
  body.push({"n"}).getVar().push({1}).op(0x67).ifTrue("rec").push({1}).ret();
  body.label("rec").push({"n"}).getVar().push({"n"}).getVar().push({1}).op(0x0B);
  body.push({1, "fact"}).callFunction().op(0x0C).ret();
  Asm code;
  code.defineFunction("fact", {"n"}, body);
  code.push({10, 1, "fact"}).callFunction().trace();
  EXPECT_EQ(runActions(6, code).lines, (Lines{"3628800"}));
}

TEST(Functions, ArgumentsAndMissingParameters) {
  Asm body;
  body.push({"arguments"}).getVar().push({"length"}).getMember().trace();
  body.traceVar("b");
  Asm code;
  code.defineFunction("f", {"a", "b"}, body).push({"x", 1, "f"}).callFunction().pop();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"1", "undefined"}));
}

TEST(Functions, DefineFunction2PreloadsRegisters) {
  // function f(a /* r3 */) { trace(this.tag); trace(arguments.length); trace(a); }  with this in r1, arguments in r2
  Asm body;
  body.push({Reg{1}, "tag"}).getMember().trace();
  body.push({Reg{2}, "length"}).getMember().trace();
  body.push({Reg{3}}).trace();
  Asm code;
  code.defineFunction2("", 4, 0x01 | 0x04, {{3, "a"}}, body).storeRegister(1).pop();
  code.push({"o", "tag", "T", 1}).op(0x43).setVar();                       // o = {tag: "T"}
  code.push({"o"}).getVar().push({"m", Reg{1}}).setMember();                // o.m = f
  code.push({"A", "B", 2, "o"}).getVar().push({"m"}).callMethod().pop();   // o.m("B", "A")
  EXPECT_EQ(runActions(7, code).lines, (Lines{"T", "2", "B"}));
}

TEST(Functions, ClosuresSeeTheirDefiningScope) {
  // function outer() { var x = "inner"; return function () { return x; }; } trace(outer()())
  Asm inner;
  inner.traceVar("x");
  Asm outer;
  outer.push({"x", "inner"}).op(0x3C).defineFunction("", {}, inner).ret();
  Asm code;
  code.push({"x", "timeline"}).setVar();
  code.defineFunction("outer", {}, outer);
  code.push({0, "outer"}).callFunction().push({0}).op(0x4D).push({Undef{}}).callMethod().pop();
  code.traceVar("x");
  EXPECT_EQ(runActions(7, code).lines, (Lines{"inner", "timeline"}));
}

TEST(Objects, EnumerationIsNewestFirstAndSkipsHidden) {
  // o = {}; o.a = 1; o.b = 2; o.c = 3; for (k in o) trace(k)
  Asm code;
  code.push({"o", 0}).op(0x43).setVar();
  for (const char* k : {"a", "b", "c"}) code.push({"o"}).getVar().push({k, 1}).setMember();
  code.push({"o"}).getVar().op(0x55);
  code.label("loop").storeRegister(0).push({NullV{}}).op(0x49).ifTrue("end").push({Reg{0}}).trace().jump("loop");
  code.label("end");
  EXPECT_EQ(runActions(7, code).lines, (Lines{"c", "b", "a"}));
}

TEST(Objects, ConstructorsPrototypesAndInstanceof) {
  // function P(v) { this.v = v; } P.prototype.get = function () { return this.v; };
  Asm ctor;
  ctor.push({"this"}).getVar().push({"v", "v"}).getVar().setMember();
  Asm get;
  get.push({"this"}).getVar().push({"v"}).getMember().ret();
  Asm code;
  code.defineFunction("P", {"v"}, ctor);
  code.push({"P"}).getVar().push({"prototype"}).getMember().push({"get"}).defineFunction("", {}, get).setMember();
  code.push({"p", 42, 1, "P"}).op(0x40).setVar();
  code.push({0, "p"}).getVar().push({"get"}).callMethod().trace();
  code.push({"p"}).getVar().push({"P"}).getVar().op(0x54).trace();
  code.push({"p"}).getVar().push({"Array"}).getVar().op(0x54).trace();
  code.push({"p"}).getVar().op(0x44).trace();
  code.push({"P"}).getVar().op(0x44).trace();
  // In SWF 6 "p" and "P" would be one name.
  EXPECT_EQ(runActions(7, code).lines, (Lines{"42", "true", "false", "object", "function"}));
}

TEST(Objects, ExtendsAndSuperReachTheParentClass) {
  // class A { function A(){ trace("A ctor") } function hi(){ return "A.hi" } }
  // class B extends A { function B(){ super(); trace("B ctor") } function hi(){ return "B+" + super.hi() } }
  Asm aCtor, aHi, bCtor, bHi;
  aCtor.push({"A ctor"}).trace();
  aHi.push({"A.hi"}).ret();
  bCtor.push({0, "super"}).callFunction().pop().push({"B ctor"}).trace();
  bHi.push({"B+", 0, "super"}).getVar().push({"hi"}).callMethod().add2().ret();
  Asm code;
  code.defineFunction("A", {}, aCtor);
  code.push({"A"}).getVar().push({"prototype"}).getMember().push({"hi"}).defineFunction("", {}, aHi).setMember();
  code.defineFunction("B", {}, bCtor);
  code.push({"B"}).getVar().push({"A"}).getVar().op(0x69);
  code.push({"B"}).getVar().push({"prototype"}).getMember().push({"hi"}).defineFunction("", {}, bHi).setMember();
  code.push({"b", 0, "B"}).op(0x40).setVar();
  code.push({0, "b"}).getVar().push({"hi"}).callMethod().trace();
  code.push({"b"}).getVar().push({"A"}).getVar().op(0x54).trace();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"A ctor", "B ctor", "B+A.hi", "true"}));
}

TEST(Objects, ThreeLevelSuperChainsDoNotLoop) {
  Asm a, b, c;
  a.push({"A"}).trace();
  b.push({0, "super"}).callFunction().pop().push({"B"}).trace();
  c.push({0, "super"}).callFunction().pop().push({"C"}).trace();
  Asm code;
  code.defineFunction("A", {}, a).defineFunction("B", {}, b).defineFunction("C", {}, c);
  code.push({"B"}).getVar().push({"A"}).getVar().op(0x69);
  code.push({"C"}).getVar().push({"B"}).getVar().op(0x69);
  code.push({0, "C"}).op(0x40).pop();
  auto r = runActions(7, code);
  EXPECT_TRUE(r.result.ok()) << r.result.message;
  EXPECT_EQ(r.lines, (Lines{"A", "B", "C"}));
}

TEST(Exceptions, TryCatchFinallyRunInOrder) {
  Asm tryBody, catchBody, finallyBody;
  tryBody.push({"try"}).trace().push({"boom"}).op(0x2A).push({"not reached"}).trace();
  catchBody.push({"caught "}).push({"e"}).getVar().add2().trace();
  finallyBody.push({"finally"}).trace();
  std::string name = "e";
  Asm code;
  code.tryBlock(tryBody, &name, &catchBody, &finallyBody).push({"after"}).trace();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"try", "caught boom", "finally", "after"}));
}

TEST(Exceptions, FinallyRunsWithoutThrowAndRethrowsFromFunctions) {
  Asm tryBody, finallyBody;
  tryBody.push({"body"}).trace();
  finallyBody.push({"finally"}).trace();
  Asm thrower;
  thrower.push({"from f"}).op(0x2A);
  Asm tryCall, catchBody;
  tryCall.push({0, "f"}).callFunction().pop();
  catchBody.traceVar("e");
  std::string name = "e";
  Asm code;
  code.tryBlock(tryBody, nullptr, nullptr, &finallyBody);
  code.defineFunction("f", {}, thrower).tryBlock(tryCall, &name, &catchBody, nullptr).push({"end"}).trace();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"body", "finally", "from f", "end"}));
}

TEST(Exceptions, ReturnRunsTheFinallyPart) {
  // function f() { try { return "value"; } finally { trace("finally"); } } trace(f())
  Asm tryBody, finallyBody;
  tryBody.push({"value"}).ret();
  finallyBody.push({"finally"}).trace();
  Asm body;
  body.tryBlock(tryBody, nullptr, nullptr, &finallyBody).push({"not reached"}).trace();
  Asm code;
  code.defineFunction("f", {}, body).push({0, "f"}).callFunction().trace();
  EXPECT_EQ(runActions(7, code).lines, (Lines{"finally", "value"}));
}

TEST(Exceptions, UncaughtThrowStopsOnlyThatScript) {
  Asm code;
  code.push({"x"}).op(0x2A).push({"not reached"}).trace();
  auto r = runActions(7, code);
  EXPECT_EQ(r.result.outcome, RunOutcome::Thrown);
  EXPECT_TRUE(r.lines.empty());
}

TEST(Blocks, WithAddsTheObjectToTheScope) {
  Asm body;
  body.traceVar("a").push({"a", 2}).setVar();
  Asm code;
  code.push({"o", "a", 1, 1}).op(0x43).setVar();
  code.push({"o"}).getVar().with(body);
  code.push({"o"}).getVar().push({"a"}).getMember().trace().traceVar("a");
  EXPECT_EQ(runActions(7, code).lines, (Lines{"1", "2", "undefined"}));
}

TEST(Limits, RunawayLoopStopsAtTheTimeLimit) {
  Asm code;
  code.label("top").push({"n", "n"}).getVar().op(0x50).setVar().jump("top");
  ScriptLimits limits;
  limits.timeout = std::chrono::milliseconds(50);
  auto r = runActions(7, code, limits);
  EXPECT_EQ(r.result.outcome, RunOutcome::TimedOut);
}

TEST(Limits, DeepRecursionStops) {
  Asm body;
  body.push({0, "f"}).callFunction().ret();
  Asm code;
  code.defineFunction("f", {}, body).push({0, "f"}).callFunction().pop().push({"after"}).trace();
  ScriptLimits limits;
  limits.maxRecursion = 64;
  auto r = runActions(7, code, limits);
  EXPECT_EQ(r.result.outcome, RunOutcome::TooDeep);
  EXPECT_TRUE(r.lines.empty());  // the whole action list stops
}

TEST(Limits, MalformedBytecodeStopsThatScriptOnly) {
  const std::vector<std::vector<std::uint8_t>> broken = {
      {0x96, 0x05, 0x00, 0x00, 'a'},                   // action longer than the block
      {0x96, 0x02, 0x00, 0x0B, 0x00},                   // unknown push type
      {0x96, 0x03, 0x00, 0x00, 'a', 'b'},               // unterminated string
      {0x99, 0x02, 0x00, 0x00, 0x80},                   // jump far before the block
      {0x88, 0x02, 0x00, 0x05, 0x00},                   // truncated constant pool
      {0x9B, 0x01, 0x00, 0x00},                         // truncated function
      {0x96},                                           // truncated header
  };
  Vm vm(7);
  std::vector<std::string> lines;
  vm.setTraceSink([&](const std::string& l) { lines.push_back(l); });
  for (const auto& b : broken) {
    auto r = vm.run(b);
    EXPECT_EQ(r.outcome, RunOutcome::Malformed) << r.message;
  }
  Asm ok;
  ok.push({"still running"}).trace();
  auto bytes = ok.bytes();
  EXPECT_TRUE(vm.run(bytes).ok());
  EXPECT_EQ(lines, (Lines{"still running"}));
}

TEST(Limits, JumpPastTheEndEndsTheScript) {
  Asm code;
  code.push({"a"}).trace().raw({0x99, 0x02, 0x00, 0x00, 0x10}).push({"b"}).trace();
  auto r = runActions(7, code);
  EXPECT_TRUE(r.result.ok());
  EXPECT_EQ(r.lines, (Lines{"a"}));
}

TEST(Memory, CollectionKeepsReachableObjects) {
  Vm vm(7);
  std::vector<std::string> lines;
  vm.setTraceSink([&](const std::string& l) { lines.push_back(l); });
  Asm make;
  make.push({"_global"}).getVar().push({"keep", "v", "kept", 1}).op(0x43).setMember();
  for (int i = 0; i < 50; ++i) make.push({0}).op(0x43).pop();
  auto bytes = make.bytes();
  vm.run(bytes);
  std::size_t before = vm.objectCount();
  vm.collectGarbage();
  EXPECT_LT(vm.objectCount(), before);
  Asm read;
  read.push({"_global"}).getVar().push({"keep"}).getMember().push({"v"}).getMember().trace();
  auto readBytes = read.bytes();
  vm.run(readBytes);
  EXPECT_EQ(lines, (Lines{"kept"}));
}

}  // namespace
