#pragma once
// Runs a movie's scripts in the player core: the core's script seam on one side, the
// machine's stage host on the other. Every sprite and button instance on the stage is
// a stage object scripts address (a ClipObject); the root timeline is one too.
//
// Actions do not run while the core walks its timelines: frame actions, clip events and
// event methods go to an action queue (init events first, then construct events, then the
// rest in order) that runs when the core says a tick or an input event is done.
//
// Adding a new kind of stage object (text fields, video, ...): derive it from StageObject,
// hold the display object's ObjectHandle (never its address), and register a factory with
// addObjectKind(): objectFor() then hands out that object for the display objects the
// factory accepts, child lookups by name find them, and the sweep after each tick drops
// them once their display object has gone.

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/core/Player.h"
#include "engine/core/ScriptHost.h"
#include "engine/script/Vm.h"

namespace plavex::script {

class ClipObject;
class ScriptInput;

// Clip event bits as PlaceObject stores them.
namespace clipevent {
inline constexpr std::uint32_t kLoad = 0x01, kEnterFrame = 0x02, kUnload = 0x04, kMouseMove = 0x08,
                               kMouseDown = 0x10, kMouseUp = 0x20, kKeyDown = 0x40, kKeyUp = 0x80,
                               kData = 0x100, kInitialize = 0x200, kPress = 0x400, kRelease = 0x800,
                               kReleaseOutside = 0x1000, kRollOver = 0x2000, kRollOut = 0x4000,
                               kDragOver = 0x8000, kDragOut = 0x10000, kKeyPress = 0x20000, kConstruct = 0x40000;
}

class PlayerScripts final : public engine::ScriptHost, public MovieHost {
 public:
  using TraceOutput = std::function<void(const std::string&)>;
  using UrlOpener = std::function<void(const std::string& url, const std::string& window)>;
  // Makes the stage object for a display object, or null when the kind does not apply.
  using ObjectFactory = std::function<std::unique_ptr<StageObject>(PlayerScripts&, const engine::ObjectHandle&)>;

  PlayerScripts(int swfVersion, TraceOutput trace, ScriptLimits limits = {});
  ~PlayerScripts() override;

  // The player whose timelines the scripts address; before its first frame.
  void attach(engine::Player& player);
  void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }
  // The movie's address as _url reports it.
  void setMovieUrl(std::string url) { movieUrl_ = std::move(url); }
  const std::string& movieUrl() const { return movieUrl_; }
  // After each frame: the timers, queued actions, the sweep of gone objects, garbage.
  void afterFrame();
  bool quitRequested() const { return quit_; }
  const std::string& lastProblem() const { return lastProblem_; }

  // New kinds of stage objects (see the top of this file). Later registrations win.
  void addObjectKind(ObjectFactory factory) { factories_.push_back(std::move(factory)); }

  // engine::ScriptHost
  void runFrameActions(engine::Timeline& timeline, const swf::DoAction& actions) override;
  void runButtonActions(engine::DisplayObject& button, const swf::Bytes& actions) override;
  void runInitActions(engine::Timeline& timeline, const swf::DoInitAction& actions) override;
  void objectCreated(engine::DisplayObject& object) override;
  void objectRemoving(engine::DisplayObject& object) override;
  void enterFrame(engine::DisplayObject* sprite) override;
  void mouseEvent(engine::MouseEventKind kind) override;
  void pointerEvent(engine::DisplayObject& target, engine::PointerEvent event) override;
  bool actsAsButton(const engine::DisplayObject& sprite) override;
  void frameDone() override;

  // MovieHost
  StageObject* root() override;
  void trace(const std::string& line) override;
  void openUrl(const std::string& url, const std::string& window) override;
  void fscommand(const std::string& command, const std::string& args) override;

  // For the stage objects and their methods.
  engine::Player* player() const { return player_; }
  Vm& vm() { return *vm_; }
  StageObject* objectFor(const engine::ObjectHandle& handle);
  StageObject* objectFor(engine::DisplayObject& object) { return objectFor(object.handle); }
  ClipObject* rootClip();
  // The stage object of the timeline (its sprite, or the root).
  StageObject* objectForTimeline(const engine::Timeline& timeline);
  // A sprite character with one empty frame (createEmptyMovieClip).
  std::shared_ptr<const engine::Character> emptySprite() const { return emptySprite_; }
  // Keyboard, mouse and focus for scripts (Key, Mouse, Selection, Stage, System).
  ScriptInput& input() { return *input_; }
  // Runs the queued actions now (a bounded number).
  void runQueue();

 private:
  enum Priority { kInit, kConstruct, kNormal, kPriorities };
  struct Queued {
    StageObject* target = nullptr;  // stays valid until the sweep, which waits for an empty queue
    std::span<const std::uint8_t> code;
    std::shared_ptr<const swf::Bytes> owned;  // clip actions copied from their object
    std::string method;                       // an event method ("onLoad") instead of code
    bool evenIfGone = false;                  // unload events run for objects that have left
    std::string className;                    // construct: the export name whose registered class applies
  };
  void queueCode(Priority p, StageObject* target, std::span<const std::uint8_t> code);
  void queueMethod(StageObject* target, std::string method, bool evenIfGone = false);
  // Queues the object's onClipEvent handlers for `flags` (and the method, when given).
  void queueClipEvent(engine::DisplayObject& object, std::uint32_t flags, const char* method, Priority p = kNormal,
                      bool evenIfGone = false);
  void runOne(Queued& q);
  void sweep();
  void report(const RunResult& r);
  void installStageMethods();

  TraceOutput trace_;
  UrlOpener openUrl_;
  engine::Player* player_ = nullptr;
  std::string movieUrl_;
  std::vector<ObjectFactory> factories_;
  // Keyed by the handle's address: the handle stays allocated while its stage object holds it.
  std::unordered_map<const void*, std::unique_ptr<StageObject>> objects_;
  std::unique_ptr<ClipObject> root_;
  std::unique_ptr<Vm> vm_;  // after the objects: goes first
  std::array<std::deque<Queued>, kPriorities> queue_;
  bool running_ = false;
  bool rootLoaded_ = false;
  bool quit_ = false;
  std::string lastProblem_;
  std::unordered_set<std::uint16_t> initialised_;  // sprites whose init actions ran
  std::shared_ptr<const engine::Character> emptySprite_;
  std::shared_ptr<ScriptInput> input_;  // its functions live in the machine, which goes first
};

}  // namespace plavex::script
