// Scripts addressing the stage through the host: timeline control, properties,
// target paths, SetTarget, getURL and fscommand.
#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"

using namespace plavex::script;
using namespace plavex::script::testing;

namespace {

using Lines = std::vector<std::string>;

class FakeClip : public StageObject {
 public:
  FakeClip(std::string name, FakeClip* parent, int frames) : name_(std::move(name)), parent_(parent), frames_(frames) {}
  FakeClip* add(const std::string& name, int frames) {
    children_.push_back(std::make_unique<FakeClip>(name, this, frames));
    return children_.back().get();
  }
  std::string name() const override { return name_; }
  StageObject* parent() override { return parent_; }
  StageObject* child(std::string_view name, bool caseSensitive) override {
    for (auto& c : children_)
      if (namesEqual(c->name_, name, caseSensitive)) return c.get();
    return nullptr;
  }
  Value property(StageProperty p) override {
    switch (p) {
      case StageProperty::X: return x;
      case StageProperty::CurrentFrame: return frame + 1;
      case StageProperty::TotalFrames: return frames_;
      case StageProperty::FramesLoaded: return loaded;
      case StageProperty::Name: return name_;
      default: return Value();
    }
  }
  void setProperty(StageProperty p, const Value& v) override {
    if (p == StageProperty::X && v.isNumber()) x = v.number();
    if (p == StageProperty::Name && v.isString()) name_ = v.string();
  }
  void gotoFrame(int f) override { frame = std::clamp(f, 0, frames_ - 1); }
  bool gotoLabel(std::string_view label) override {
    if (label != "end") return false;
    gotoFrame(frames_ - 1);
    return true;
  }
  void setPlaying(bool p) override { playing = p; }
  int currentFrame() const override { return frame; }
  int framesLoaded() const override { return loaded; }
  int totalFrames() const override { return frames_; }

  double x = 0;
  int frame = 0;
  int loaded = 10;
  bool playing = true;

 private:
  std::string name_;
  FakeClip* parent_;
  int frames_;
  std::vector<std::unique_ptr<FakeClip>> children_;
};

class FakeHost : public MovieHost {
 public:
  StageObject* root() override { return &rootClip; }
  void trace(const std::string& line) override { lines.push_back(line); }
  void openUrl(const std::string& url, const std::string&) override { urls.push_back(url); }
  void fscommand(const std::string& c, const std::string& a) override { commands.push_back(c + "|" + a); }

  FakeClip rootClip{"", nullptr, 10};
  Lines lines, urls, commands;
};

struct Stage : ::testing::Test {
  void SetUp() override {
    menu = host.rootClip.add("menu", 5);
    button = menu->add("button", 3);
  }
  RunResult run(const Asm& code, StageObject* target = nullptr, int version = 7) {
    if (!vm || vm->version() != version) vm = std::make_unique<Vm>(version, &host);
    auto bytes = code.bytes();
    return vm->run(bytes, vm->scriptObject(target ? target : &host.rootClip));
  }
  FakeHost host;
  FakeClip* menu = nullptr;
  FakeClip* button = nullptr;
  std::unique_ptr<Vm> vm;
};

TEST_F(Stage, TimelineActionsGoToTheTarget) {
  Asm code;
  code.op(0x07).action(0x81, {3, 0});  // stop; gotoFrame(3)
  run(code);
  EXPECT_FALSE(host.rootClip.playing);
  EXPECT_EQ(host.rootClip.frame, 3);
  Asm play;
  play.push({"end"}).action(0x9F, {1});  // gotoAndPlay("end")
  run(play);
  EXPECT_EQ(host.rootClip.frame, 9);
  EXPECT_TRUE(host.rootClip.playing);
}

TEST_F(Stage, PathsWithSlashesAndDots) {
  Asm code;
  code.push({"/menu/button:_name"}).getVar().trace();
  code.push({"_root.menu.button"}).getVar().op(0x45).trace();
  code.push({"menu"}).getVar().push({"button"}).getMember().push({"_parent"}).getMember().op(0x45).trace();
  code.push({"/menu/button"}).getVar().push({"_target"}).getMember().trace();
  code.push({"menu/button"}).getVar().trace();
  code.push({"menu"}).getVar().op(0x44).trace();
  EXPECT_TRUE(run(code).ok());
  EXPECT_EQ(host.lines, (Lines{"button", "_level0.menu.button", "_level0.menu", "/menu/button", "_level0.menu.button", "movieclip"}));
}

TEST_F(Stage, ClipsAddAsObjects) {
  // valueOf gives the clip itself: with a number that is NaN, with text the target path.
  Asm code;
  code.push({"_root"}).getVar().push({1}).add2().trace();
  code.push({"_root"}).getVar().push({"x"}).add2().trace();
  code.push({0}).op(0x43).push({1}).add2().trace();
  run(code);
  EXPECT_EQ(host.lines, (Lines{"NaN", "_level0x", "NaN"}));
}

TEST_F(Stage, PropertiesByNumberAndName) {
  Asm code;
  code.push({"menu", 0, 25}).op(0x23);                       // setProperty("menu", _x, 25)
  code.push({"menu", 0}).op(0x22).trace();                   // getProperty("menu", _x)
  code.push({"menu"}).getVar().push({"_X", 40}).setMember();  // case-insensitive
  code.push({"menu"}).getVar().push({"_totalframes"}).getMember().trace();
  EXPECT_TRUE(run(code).ok());
  EXPECT_EQ(host.lines, (Lines{"25", "5"}));
  EXPECT_EQ(menu->x, 40);
}

TEST_F(Stage, SetTargetRedirectsTimelineActions) {
  Asm code;
  code.action(0x8B, {'m', 'e', 'n', 'u', '/', 'b', 'u', 't', 't', 'o', 'n', 0}).op(0x07);
  code.action(0x8B, {0}).action(0x81, {2, 0});
  run(code);
  EXPECT_FALSE(button->playing);
  EXPECT_TRUE(host.rootClip.playing);
  EXPECT_EQ(host.rootClip.frame, 2);
}

TEST_F(Stage, MovieClipMethodsAndVariablesOnClips) {
  Asm code;
  code.push({2, 1, "menu"}).getVar().push({"gotoAndStop"}).callMethod().pop();
  code.push({"menu"}).getVar().push({"score", 7}).setMember();
  code.push({"menu.score"}).getVar().trace();
  code.push({"menu"}).getVar().trace();
  EXPECT_TRUE(run(code).ok());
  EXPECT_EQ(menu->frame, 1);
  EXPECT_FALSE(menu->playing);
  EXPECT_EQ(host.lines, (Lines{"7", "_level0.menu"}));
}

TEST_F(Stage, ThisAndVariablesBelongToTheClip) {
  Asm code;
  code.push({"v", "on button"}).setVar().push({"this"}).getVar().op(0x45).trace();
  run(code, button);
  Asm read;
  read.push({"/menu/button:v"}).getVar().trace().traceVar("v");
  run(read);
  EXPECT_EQ(host.lines, (Lines{"_level0.menu.button", "on button", "undefined"}));
}

TEST_F(Stage, WaitForFrameSkipsWhileLoading) {
  host.rootClip.loaded = 2;
  Asm code;
  code.action(0x8A, {5, 0, 2}).push({"loaded"}).trace().push({"next"}).trace();
  run(code);
  EXPECT_EQ(host.lines, (Lines{"next"}));
}

TEST_F(Stage, GetUrlOpensWebAddressesOnly) {
  Asm code;
  code.push({"http://example.com/", "_blank"}).action(0x9A, {0});
  code.push({"javascript:alert(1)", ""}).action(0x9A, {0});
  code.push({"FSCommand:quit", ""}).action(0x9A, {0});
  code.push({"file:///etc/passwd", ""}).action(0x9A, {0});
  code.push({"true", "fullscreen", 2, "fscommand"}).callFunction().pop();
  run(code);
  EXPECT_EQ(host.urls, (Lines{"http://example.com/"}));
  EXPECT_EQ(host.commands, (Lines{"quit|", "fullscreen|true"}));
}

TEST_F(Stage, ForgottenClipsAreSafeToTouch) {
  Asm keep;
  keep.push({"_global"}).getVar().push({"b", "menu"}).getVar().push({"button"}).getMember().setMember();
  run(keep);
  vm->forgetStageObject(button);
  Asm use;
  use.push({"_global"}).getVar().push({"b"}).getMember().push({"_x"}).getMember().trace();
  use.push({0, "_global"}).getVar().push({"b"}).getMember().push({"play"}).callMethod().pop();
  EXPECT_TRUE(run(use).ok());
  EXPECT_EQ(host.lines, (Lines{"undefined"}));
}

}  // namespace
