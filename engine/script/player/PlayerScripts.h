#pragma once
// Runs a movie's scripts in the player core: the core's script seam on one side, the
// machine's stage host on the other. Timelines appear to scripts as movie clips.

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/core/Player.h"
#include "engine/core/ScriptHost.h"
#include "engine/script/Vm.h"

namespace plavex::script {

class PlayerScripts final : public engine::ScriptHost, public MovieHost {
 public:
  using TraceOutput = std::function<void(const std::string&)>;
  using UrlOpener = std::function<void(const std::string& url, const std::string& window)>;
  PlayerScripts(int swfVersion, TraceOutput trace, ScriptLimits limits = {});
  ~PlayerScripts() override;

  // The player whose timelines the scripts address; before its first frame.
  void attach(engine::Player& player);
  void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
  // After each frame: the root's pending frame change, the timers, garbage.
  void afterFrame();
  bool quitRequested() const { return quit_; }
  const std::string& lastProblem() const { return lastProblem_; }

  // engine::ScriptHost
  void runFrameActions(engine::Timeline& timeline, const swf::DoAction& actions) override;
  void runButtonActions(engine::DisplayObject& button, const swf::Bytes& actions) override;
  void runInitActions(engine::Timeline& timeline, const swf::DoInitAction& actions) override;

  // MovieHost
  StageObject* root() override;
  void trace(const std::string& line) override;
  void openUrl(const std::string& url, const std::string& window) override;
  void fscommand(const std::string& command, const std::string& args) override;

  class TimelineObject;

 private:
  TimelineObject* objectFor(const engine::Timeline* timeline);
  void report(const RunResult& r);

  TraceOutput trace_;
  UrlOpener openUrl_;
  engine::Player* player_ = nullptr;
  std::unordered_map<const engine::Timeline*, std::unique_ptr<TimelineObject>> objects_;
  std::unique_ptr<Vm> vm_;  // after objects_: goes first
  bool quit_ = false;
  std::string lastProblem_;
  int pendingRootFrame_ = -1;
  std::unordered_set<std::uint16_t> initialised_;  // sprites whose init actions ran
  friend class TimelineObject;
};

}  // namespace plavex::script
