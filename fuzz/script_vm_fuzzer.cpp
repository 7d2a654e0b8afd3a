// libFuzzer target for the script machine: the input's first byte picks the SWF
// version, the rest runs as an action block on a small stage. Every input must end
// (limits), and nothing may crash or touch memory it does not own.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/script/Vm.h"

namespace {

using namespace plavex::script;

class Clip : public StageObject {
 public:
  Clip(std::string name, Clip* parent) : name_(std::move(name)), parent_(parent) {}
  std::string name() const override { return name_; }
  StageObject* parent() override { return parent_; }
  StageObject* child(std::string_view name, bool caseSensitive) override {
    if (!child_ && parent_ == nullptr) child_ = std::make_unique<Clip>("mc", this);
    return child_ && namesEqual(name, "mc", caseSensitive) ? child_.get() : nullptr;
  }
  Value property(StageProperty p) override { return p == StageProperty::Name ? Value(name_) : Value(frame_); }
  void setProperty(StageProperty, const Value&) override {}
  void gotoFrame(int frame) override { frame_ = frame < 0 ? 0 : frame > 9 ? 9 : frame; }
  bool gotoLabel(std::string_view) override { return false; }
  void setPlaying(bool) override {}
  int currentFrame() const override { return frame_; }
  int framesLoaded() const override { return 5; }
  int totalFrames() const override { return 10; }

 private:
  std::string name_;
  Clip* parent_;
  std::unique_ptr<Clip> child_;
  int frame_ = 0;
};

class Host : public MovieHost {
 public:
  StageObject* root() override { return &root_; }
  void trace(const std::string&) override {}

 private:
  Clip root_{"", nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  int version = 3 + data[0] % 8;
  Host host;
  ScriptLimits limits;
  limits.maxRecursion = 48;
  limits.timeout = std::chrono::milliseconds(200);
  Vm vm(version, &host, limits);
  std::span<const std::uint8_t> code(data + 1, size - 1);
  vm.run(code, vm.scriptObject(host.root()));
  vm.runTimers();
  vm.collectGarbage();
  vm.run(code, vm.scriptObject(host.root()));  // again, over what the first run left behind
  return 0;
}
