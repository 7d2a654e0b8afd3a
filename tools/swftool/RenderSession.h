#pragma once
// Running a movie headless for swftool: load it whole, run frames, deliver recorded
// user input between frames, draw the stage.

#include <QImage>
#include <QJsonValue>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/Movie.h"
#include "engine/core/Player.h"
#include "engine/render/StageRenderer.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/sound/MovieSound.h"
#include "tools/swftool/Commands.h"

namespace plavex::swftool {

struct InputEvent {
  enum class Kind { Wait, MouseMove, MouseDown, MouseUp, MouseWheel, KeyDown, KeyUp, TextInput, TextControl, Other } kind =
      Kind::Other;
  double x = 0, y = 0;  // stage pixels
  int button = 1;       // as a key code: 1 left, 2 right, 4 middle
  int keyCode = 0, ascii = 0;
  char32_t codepoint = 0;
  std::string command;  // TextControl
  int wheel = 0;        // lines
};

// The player's key code and character of a key as the input format names it
// ("Tab", "ArrowUp", {"Char": "a"}, {"Numpad": "5"}); 0 when unknown.
std::pair<int, int> keyCodeOf(const QJsonValue& key);

// Reads the corpus input format: a JSON list of events.
std::optional<std::vector<InputEvent>> readInputEvents(const std::string& path, std::string& error);

struct RunOptions {
  std::string file;
  int frames = 1;
  std::string input;
  std::string out;
  int width = 0, height = 0;
  // Headless pictures default to low quality (no anti-aliasing): exactly reproducible pixels.
  bool antialias = false;
};

// Parses "FILE --frames N [--input F] [--out F] [--width W --height H] [--quality low|high]".
std::optional<RunOptions> parseRunOptions(Args args, std::string& error);

class HeadlessSession {
 public:
  // Loads the movie; an error text when it is not a readable movie.
  std::optional<std::string> load(const std::string& file);
  void setInput(std::vector<InputEvent> events) { events_ = std::move(events); }
  // Runs frames 1..n (frame 1 is the first), delivering input after each frame but the last.
  void run(int frames);
  QImage picture(int width, int height, bool antialias);
  engine::Player& player() { return *player_; }
  const engine::MovieData& movie() const { return *movie_; }

 private:
  void deliverInput();
  std::shared_ptr<engine::MovieData> movie_;
  std::shared_ptr<script::PlayerScripts> scripts_;
  // The movie's sounds, mixed without a device: a frame's worth is pulled after each frame.
  sound::Mixer mixer_;
  std::unique_ptr<sound::MovieSound> sounds_;
  std::unique_ptr<engine::Player> player_;
  engine::render::StageRenderer renderer_;
  std::vector<InputEvent> events_;
  std::size_t nextEvent_ = 0;
};

// Makes sure a GUI application object exists (fonts need one); offscreen by default.
void ensureGuiApplication();

}  // namespace plavex::swftool
