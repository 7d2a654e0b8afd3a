#include "tools/swftool/RenderSession.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <tuple>

#include "engine/core/PlayLoop.h"
#include "engine/core/ProgressiveParser.h"
#include "engine/format/SwfReader.h"
#include "engine/script/player/ScriptInput.h"

namespace plavex::swftool {

void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "swftool";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

std::optional<std::vector<InputEvent>> readInputEvents(const std::string& path, std::string& error) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  QJsonParseError parseError{};
  auto doc = QJsonDocument::fromJson(file.readAll(), &parseError);
  if (!doc.isArray()) {
    error = path + ": not a list of events";
    return std::nullopt;
  }
  std::vector<InputEvent> events;
  for (const auto& value : doc.array()) {
    QJsonObject o = value.toObject();
    QString type = o.value(QStringLiteral("type")).toString();
    InputEvent e;
    if (type == QLatin1String("Wait")) e.kind = InputEvent::Kind::Wait;
    else if (type == QLatin1String("MouseMove")) e.kind = InputEvent::Kind::MouseMove;
    else if (type == QLatin1String("MouseDown")) e.kind = InputEvent::Kind::MouseDown;
    else if (type == QLatin1String("MouseUp")) e.kind = InputEvent::Kind::MouseUp;
    else if (type == QLatin1String("MouseWheel")) e.kind = InputEvent::Kind::MouseWheel;
    else if (type == QLatin1String("KeyDown")) e.kind = InputEvent::Kind::KeyDown;
    else if (type == QLatin1String("KeyUp")) e.kind = InputEvent::Kind::KeyUp;
    else if (type == QLatin1String("TextInput")) e.kind = InputEvent::Kind::TextInput;
    else if (type == QLatin1String("TextControl")) e.kind = InputEvent::Kind::TextControl;
    QJsonArray pos = o.value(QStringLiteral("pos")).toArray();
    if (pos.size() == 2) {
      e.x = pos[0].toDouble();
      e.y = pos[1].toDouble();
    }
    QString button = o.value(QStringLiteral("btn")).toString(QStringLiteral("Left"));
    e.button = button == QLatin1String("Right") ? 2 : button == QLatin1String("Middle") ? 4 : 1;
    if (e.kind == InputEvent::Kind::KeyDown || e.kind == InputEvent::Kind::KeyUp)
      std::tie(e.keyCode, e.ascii) = keyCodeOf(o.value(QStringLiteral("key")));
    if (e.kind == InputEvent::Kind::TextInput) {
      QString text = o.value(QStringLiteral("codepoint")).toString();
      auto ucs = text.toUcs4();
      if (!ucs.isEmpty()) e.codepoint = ucs.front();
    }
    if (e.kind == InputEvent::Kind::TextControl) e.command = o.value(QStringLiteral("code")).toString().toStdString();
    if (e.kind == InputEvent::Kind::MouseWheel) {
      if (o.contains(QStringLiteral("lines"))) e.wheel = o.value(QStringLiteral("lines")).toInt();
      else e.wheel = static_cast<int>(o.value(QStringLiteral("pixels")).toDouble() / 100);
    }
    events.push_back(e);
  }
  return events;
}

std::pair<int, int> keyCodeOf(const QJsonValue& key) {
  if (key.isObject()) {
    QJsonObject o = key.toObject();
    if (o.contains(QStringLiteral("Char"))) {
      QString c = o.value(QStringLiteral("Char")).toString();
      if (c.isEmpty()) return {0, 0};
      char16_t ch = c.at(0).unicode();
      int code = 0;
      if (ch >= u'a' && ch <= u'z') code = ch - u'a' + 65;
      else if (ch >= u'A' && ch <= u'Z') code = ch;
      else if (ch >= u'0' && ch <= u'9') code = ch;
      else {
        static const std::pair<char16_t, int> punctuation[] = {
            {u';', 186}, {u'=', 187}, {u',', 188}, {u'-', 189}, {u'.', 190}, {u'/', 191}, {u'`', 192},
            {u'[', 219}, {u'\\', 220}, {u']', 221}, {u'\'', 222}, {u' ', 32}};
        for (const auto& [c2, k] : punctuation)
          if (c2 == ch) code = k;
      }
      return {code, ch < 0x80 ? static_cast<int>(ch) : 0};
    }
    if (o.contains(QStringLiteral("Numpad"))) {
      QString c = o.value(QStringLiteral("Numpad")).toString();
      if (c.size() == 1 && c.at(0).isDigit()) return {96 + c.at(0).digitValue(), c.at(0).unicode()};
      return {0, 0};
    }
    return {0, 0};
  }
  const QString name = key.toString();
  static const std::pair<const char*, std::pair<int, int>> named[] = {
      {"Backspace", {8, 8}},   {"Tab", {9, 9}},         {"Enter", {13, 13}},      {"LeftShift", {16, 0}},
      {"RightShift", {16, 0}}, {"LeftControl", {17, 0}}, {"RightControl", {17, 0}}, {"LeftAlt", {18, 0}},
      {"RightAlt", {18, 0}},   {"Pause", {19, 0}},      {"CapsLock", {20, 0}},    {"Escape", {27, 27}},
      {"Space", {32, 32}},     {"PageUp", {33, 0}},     {"PageDown", {34, 0}},    {"End", {35, 0}},
      {"Home", {36, 0}},       {"ArrowLeft", {37, 0}},  {"ArrowUp", {38, 0}},     {"ArrowRight", {39, 0}},
      {"ArrowDown", {40, 0}},  {"Insert", {45, 0}},     {"Delete", {46, 127}},    {"NumLock", {144, 0}},
      {"ScrollLock", {145, 0}},
  };
  for (const auto& [n, codes] : named)
    if (name == QLatin1String(n)) return codes;
  if (name.size() >= 2 && name.at(0) == QLatin1Char('F')) {
    bool ok = false;
    int n = name.mid(1).toInt(&ok);
    if (ok && n >= 1 && n <= 12) return {111 + n, 0};
  }
  return {0, 0};
}

std::optional<RunOptions> parseRunOptions(Args args, std::string& error) {
  RunOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = std::string(a) + " needs a value";
        return std::nullopt;
      }
      return std::string(args[++i]);
    };
    auto number = [&](int& target) {
      auto v = value();
      if (!v) return false;
      char* end = nullptr;
      long n = std::strtol(v->c_str(), &end, 10);
      if (!end || *end || n < 0 || n > 1000000) {
        error = std::string(a) + ": not a number: " + *v;
        return false;
      }
      target = static_cast<int>(n);
      return true;
    };
    if (a == "--frames") {
      if (!number(o.frames)) return std::nullopt;
    } else if (a == "--width") {
      if (!number(o.width)) return std::nullopt;
    } else if (a == "--height") {
      if (!number(o.height)) return std::nullopt;
    } else if (a == "--input") {
      auto v = value();
      if (!v) return std::nullopt;
      o.input = *v;
    } else if (a == "--quality") {
      auto v = value();
      if (!v) return std::nullopt;
      if (*v != "low" && *v != "high" && *v != "medium" && *v != "best") {
        error = "--quality: low, medium, high or best";
        return std::nullopt;
      }
      o.antialias = *v != "low";
    } else if (a == "--out") {
      auto v = value();
      if (!v) return std::nullopt;
      o.out = *v;
    } else if (!a.empty() && a[0] == '-' && a.size() > 1) {
      error = "unknown option " + std::string(a);
      return std::nullopt;
    } else if (o.file.empty()) {
      o.file = std::string(a);
    } else {
      error = "more than one movie given";
      return std::nullopt;
    }
  }
  if (o.file.empty()) {
    error = "no movie given";
    return std::nullopt;
  }
  o.frames = std::max(o.frames, 1);
  return o;
}

std::optional<std::string> HeadlessSession::load(const std::string& file) {
  std::string error;
  auto bytes = swf::readFileBytes(file, error);
  if (!bytes) return error;
  engine::ProgressiveParser parser;
  parser.feed(*bytes);
  parser.finish();
  if (parser.failed() || !parser.header()) return file + ": " + (parser.error().empty() ? "not a movie" : parser.error());
  movie_ = std::make_shared<engine::MovieData>(*parser.header());
  // Scripts print each traced line on stdout. The player starts on the empty movie so
  // that the scripts are attached before the first frame runs.
  // The player's log writes a carriage return (text fields' line end) as a new line.
  scripts_ = std::make_shared<script::PlayerScripts>(movie_->header().version, [](std::string line) {
    std::replace(line.begin(), line.end(), '\r', '\n');
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  });
  sounds_ = std::make_unique<sound::MovieSound>(mixer_);
  player_ = std::make_unique<engine::Player>(movie_, scripts_, sounds_.get());
  scripts_->attach(*player_);
  movie_->setBytesArrived(parser.receivedBytes() + 8);
  for (const auto& tag : parser.takeTags()) {
    sounds_->addTag(tag);
    movie_->appendTag(tag);
  }
  movie_->markComplete();
  player_->framesArrived();
  player_->setHitTester(renderer_.hitTester());
  return std::nullopt;
}

void HeadlessSession::deliverInput() {
  const auto& stage = movie_->header().stage;
  while (nextEvent_ < events_.size()) {
    const InputEvent& e = events_[nextEvent_++];
    double x = e.x * 20 + stage.xMin, y = e.y * 20 + stage.yMin;
    switch (e.kind) {
      case InputEvent::Kind::Wait: return;
      case InputEvent::Kind::MouseMove: player_->mouseMove(x, y); break;
      case InputEvent::Kind::MouseDown:
        // Only the left button presses buttons.
        if (e.button == 1) player_->mouseDown(x, y);
        scripts_->input().mouseButton(e.button, true, x, y);
        break;
      case InputEvent::Kind::MouseUp:
        if (e.button == 1) player_->mouseUp(x, y);
        scripts_->input().mouseButton(e.button, false, x, y);
        break;
      case InputEvent::Kind::MouseWheel: scripts_->input().mouseWheel(e.wheel); break;
      case InputEvent::Kind::KeyDown: scripts_->input().keyDown(e.keyCode, e.ascii); break;
      case InputEvent::Kind::KeyUp: scripts_->input().keyUp(e.keyCode, e.ascii); break;
      case InputEvent::Kind::TextInput: scripts_->input().textInput(e.codepoint); break;
      case InputEvent::Kind::TextControl: scripts_->input().textControl(e.command); break;
      case InputEvent::Kind::Other: break;
    }
  }
}

void HeadlessSession::run(int frames) {
  scripts_->afterFrame();
  for (int frame = 1; frame < frames && !scripts_->quitRequested(); ++frame) {
    deliverInput();
    std::vector<std::int16_t> heard(2 * static_cast<std::size_t>(44100 / engine::effectiveFrameRate(movie_->header().frameRate)));
    mixer_.pull(heard, {});
    player_->tick();
    scripts_->afterFrame();
  }
  // Input recorded after the last frame still reaches the movie (its handlers run).
  if (!scripts_->quitRequested() && nextEvent_ < events_.size()) {
    deliverInput();
    scripts_->frameDone();
  }
  std::fflush(stdout);
  if (!scripts_->lastProblem().empty()) std::fprintf(stderr, "swftool: script stopped: %s\n", scripts_->lastProblem().c_str());
}

QImage HeadlessSession::picture(int width, int height, bool antialias) {
  engine::render::StageOptions options;
  options.antialias = antialias;
  const auto& h = movie_->header();
  int w = width > 0 ? width : static_cast<int>(std::max<std::int64_t>(1, h.stageWidthPixels()));
  int ht = height > 0 ? height : static_cast<int>(std::max<std::int64_t>(1, h.stageHeightPixels()));
  options.viewport = QSize(std::min(w, 8192), std::min(ht, 8192));
  options.scaleMode = engine::render::ScaleMode::ExactFit;
  return renderer_.render(*player_, options);
}

}  // namespace plavex::swftool
