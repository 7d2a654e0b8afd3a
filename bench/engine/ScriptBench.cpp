// Script machine throughput: loops of arithmetic, string building, property access and
// function calls, reported as actions per second ("actions" counter).
#include <benchmark/benchmark.h>

#include "../../tests/script/Assembler.h"
#include "engine/script/Vm.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

constexpr int kIterations = 200000;

// while (r1 < N) { <body>; r1++ } — `bodyActions` is how many actions the body has.
Asm loop(const Asm& body) {
  Asm a;
  a.push({0}).storeRegister(1).pop();
  a.label("top").push({Reg{1}, kIterations}).op(0x48).op(0x12).ifTrue("done");
  a.raw(body.bytes());
  a.push({Reg{1}}).op(0x50).storeRegister(1).pop().jump("top");
  a.label("done");
  return a;
}
constexpr int kLoopActions = 4 + 5;  // test and branch, increment and jump

void runLoop(benchmark::State& state, const Asm& body, int bodyActions) {
  Vm vm(8);
  auto bytes = loop(body).bytes();
  for (auto _ : state) {
    auto r = vm.run(bytes);
    benchmark::DoNotOptimize(r);
    vm.collectGarbage();
  }
  state.counters["actions"] = benchmark::Counter(static_cast<double>(state.iterations()) * kIterations *
                                                     (kLoopActions + bodyActions),
                                                 benchmark::Counter::kIsRate);
}

void Arithmetic(benchmark::State& state) {
  Asm body;  // r2 = r2 + r1 * 2
  body.push({Reg{2}, Reg{1}, 2}).op(0x0C).op(0x47).storeRegister(2).pop();
  runLoop(state, body, 5);
}

void StringBuilding(benchmark::State& state) {
  Asm body;  // r2 = (r1 % 100 == 0) ? "" : r2 + "x"
  body.push({Reg{2}, "x"}).op(0x47).storeRegister(2).pop();
  body.push({Reg{1}, 64}).op(0x3F).op(0x12).op(0x12).ifTrue("keep").push({""}).storeRegister(2).pop().label("keep");
  runLoop(state, body, 9);  // the reset branch (3 more actions) is taken once in 64
}

void PropertyAccess(benchmark::State& state) {
  Asm body;  // o.count = o.count + 1
  body.push({"o"}).op(0x1C).push({"count", "o"}).op(0x1C).push({"count"}).op(0x4E).op(0x50).op(0x4F);
  Asm setup;
  setup.push({"o", "count", 0, 1}).op(0x43).op(0x1D);
  setup.raw(loop(body).bytes());
  Vm vm(8);
  auto bytes = setup.bytes();
  for (auto _ : state) {
    auto r = vm.run(bytes);
    benchmark::DoNotOptimize(r);
  }
  state.counters["actions"] = benchmark::Counter(static_cast<double>(state.iterations()) * kIterations * (kLoopActions + 8),
                                                 benchmark::Counter::kIsRate);
}

void FunctionCalls(benchmark::State& state) {
  Asm fn;  // function add(a, b) { return a + b } with registers
  fn.push({Reg{1}, Reg{2}}).op(0x47).op(0x3E);
  Asm setup;
  setup.defineFunction2("add", 3, 0x02 | 0x08 | 0x20, {{1, "a"}, {2, "b"}}, fn);
  Asm body;  // r2 = add(r1, 1)
  body.push({1, Reg{1}, 2, "add"}).op(0x3D).storeRegister(2).pop();
  setup.raw(loop(body).bytes());
  Vm vm(8);
  auto bytes = setup.bytes();
  for (auto _ : state) {
    auto r = vm.run(bytes);
    benchmark::DoNotOptimize(r);
    vm.collectGarbage();
  }
  state.counters["actions"] = benchmark::Counter(static_cast<double>(state.iterations()) * kIterations * (kLoopActions + 4 + 3),
                                                 benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(Arithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(StringBuilding)->Unit(benchmark::kMillisecond);
BENCHMARK(PropertyAccess)->Unit(benchmark::kMillisecond);
BENCHMARK(FunctionCalls)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
