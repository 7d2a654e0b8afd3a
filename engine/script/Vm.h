#pragma once
// The ActionScript 1/2 virtual machine: runs the action bytecode of SWF 3 to 10 with
// the reference player's stack semantics, conversions, scope chains and limits.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/script/Host.h"
#include "engine/script/Object.h"
#include "engine/script/Value.h"

namespace plavex::script {

struct ScriptLimits {
  int maxRecursion = 256;
  std::chrono::milliseconds timeout{15000};
};

enum class RunOutcome { Completed, Thrown, TimedOut, TooDeep, Malformed };

struct RunResult {
  RunOutcome outcome = RunOutcome::Completed;
  std::string message;  // for the engine's log
  bool ok() const { return outcome == RunOutcome::Completed; }
};

class Vm {
 public:
  // `swfVersion` is the root movie's: it decides case sensitivity of identifiers and
  // the conversions. `host` may be null (then trace goes to the trace sink only).
  explicit Vm(int swfVersion, MovieHost* host = nullptr, ScriptLimits limits = {});
  ~Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;

  int version() const { return version_; }
  bool caseSensitive() const { return version_ >= 7; }
  void setLimits(ScriptLimits limits) { limits_ = limits; }
  // trace() output when there is no host (tests, tools).
  void setTraceSink(std::function<void(const std::string&)> sink) { traceSink_ = std::move(sink); }
  // The clock getTimer and the intervals use (milliseconds since the movie started).
  void setClock(std::function<double()> clock) { clock_ = std::move(clock); }
  double now() const;

  // Runs a DoAction/DoInitAction/button/clip action block with `target` as its timeline
  // (a stage object's script object, or null for a detached run with a plain object).
  RunResult run(std::span<const std::uint8_t> code, Object* target = nullptr);
  // Calls a function value (event handlers, intervals). Nothing when it threw or stopped.
  std::optional<Value> call(const Value& function, const Value& thisValue, std::span<const Value> args);
  // Fires the intervals and timeouts that are due.
  void runTimers();

  // Display objects.
  Object* scriptObject(StageObject* stage);
  void forgetStageObject(StageObject* stage);
  std::string targetPath(StageObject* stage);

  // Frees unreachable objects; only between scripts.
  void collectGarbage();
  std::size_t objectCount() const { return heap_.size(); }

  // ---- services for the built-ins ----
  Object* global() const { return global_; }
  Object* newObject();
  Object* newArray(std::vector<Value> elements = {});
  Object* newFunction(NativeFunction fn, Object* prototypeObject = nullptr);
  Object* newError(const std::string& message);
  Object* make(ObjectKind kind, Object* proto) { return heap_.make(kind, proto); }
  Object* protoOf(std::string_view builtin) const;  // "Object", "Array", … prototypes
  // Adds or replaces a prototype the machine hands out ("Button" for button stage objects).
  void registerPrototype(std::string name, Object* proto) { protos_[std::move(name)] = proto; }
  void defineMethod(Object* on, std::string_view name, NativeFunction fn);

  Value toPrimitive(const Value& v, bool preferString = false);
  double toNumber(const Value& v);
  std::string toString(const Value& v);
  bool toBool(const Value& v) const { return toBoolean(v, version_); }
  std::string typeOf(const Value& v) const;

  Value getMemberValue(const Value& base, const Value& name);
  Value getMember(const Value& base, std::string_view name);
  void setMember(const Value& base, std::string_view name, Value value);
  bool deleteMember(const Value& base, std::string_view name);
  // Own and inherited enumerable names in the reference player's order.
  std::vector<std::string> enumerate(Object* o);
  bool instanceOf(const Value& v, Object* constructor);
  // Calls with the result; a throw inside leaves pendingThrow() set.
  Value callValue(const Value& function, const Value& thisValue, std::span<const Value> args);
  Value construct(const Value& constructor, std::span<const Value> args);
  // A native throws by setting the pending exception; the machine picks it up.
  void throwValue(Value v) { pending_ = std::move(v); hasPending_ = true; }
  bool hasPendingThrow() const { return hasPending_; }
  bool aborted() const { return abort_.has_value(); }
  void trace(const std::string& line);
  MovieHost* host() const { return host_; }

  // Timers for setInterval/setTimeout.
  int addTimer(Value function, Value thisValue, std::string method, double intervalMs, std::vector<Value> args, bool once);
  void removeTimer(int id);

  bool equalsLoose(const Value& a, const Value& b);
  static bool equalsStrict(const Value& a, const Value& b);

 private:
  struct Frame;
  struct Block;
  enum class Status { Normal, Return, Throw, Abort };
  struct Timer {
    Value function, thisValue;
    std::string method;
    double interval = 0, due = 0;
    std::vector<Value> args;
    bool once = false;
  };

  Status exec(Frame& f, Value& result);
  Status callObject(Object* fn, const Value& thisValue, std::span<const Value> args, Value& result, Object* superObject);
  Status callCode(Object* fn, const Value& thisValue, std::span<const Value> args, Value& result, Object* superObject);
  bool checkClock();
  void abortWith(RunOutcome outcome, std::string message);

  Value getVariable(Frame& f, std::string_view name);
  void setVariable(Frame& f, std::string_view name, Value value);
  Value resolvePath(Frame& f, std::string_view path);
  bool lookupMember(Object* o, std::string_view name, Value& out);
  Value stageMember(Object* o, std::string_view name, bool& found);
  StageObject* resolveTarget(Frame& f, std::string_view path);
  StageObject* stageOf(const Value& v) const;
  Object* localObject(Frame& f) const;
  Value stringMember(const std::string& s, std::string_view name);
  Object* makeSuper(const Value& thisValue, Object* calledThrough);
  void gotoFrameValue(StageObject* target, const Value& frame, bool play, int bias);
  void getUrl(const std::string& url, const std::string& target);

  void installBuiltins();

  int version_;
  MovieHost* host_;
  ScriptLimits limits_;
  Heap heap_;
  Object* global_ = nullptr;
  std::unordered_map<std::string, Object*> protos_;
  std::unordered_map<StageObject*, Object*> stageObjects_;
  std::function<void(const std::string&)> traceSink_;
  std::function<double()> clock_;
  std::chrono::steady_clock::time_point started_;

  // The current run.
  std::vector<Value> stack_;
  int depth_ = 0;
  std::uint64_t instructions_ = 0;
  std::chrono::steady_clock::time_point runStarted_;
  std::optional<std::pair<RunOutcome, std::string>> abort_;
  Value pending_;
  bool hasPending_ = false;

  std::unordered_map<int, Timer> timers_;
  int nextTimer_ = 1;

  friend class Builtins;
};

// The built-in classes and functions, installed into a machine's global object.
void installCoreBuiltins(Vm& vm);

}  // namespace plavex::script
