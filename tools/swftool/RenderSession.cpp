#include "tools/swftool/RenderSession.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "engine/core/ProgressiveParser.h"
#include "engine/format/SwfReader.h"

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
    QJsonArray pos = o.value(QStringLiteral("pos")).toArray();
    if (pos.size() == 2) {
      e.x = pos[0].toDouble();
      e.y = pos[1].toDouble();
    }
    // Only the left button presses buttons.
    QString button = o.value(QStringLiteral("btn")).toString(QStringLiteral("Left"));
    if ((e.kind == InputEvent::Kind::MouseDown || e.kind == InputEvent::Kind::MouseUp) &&
        button != QLatin1String("Left"))
      e.kind = InputEvent::Kind::MouseMove;
    events.push_back(e);
  }
  return events;
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
  scripts_ = std::make_shared<script::PlayerScripts>(movie_->header().version, [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  });
  player_ = std::make_unique<engine::Player>(movie_, scripts_);
  scripts_->attach(*player_);
  movie_->setBytesArrived(parser.receivedBytes() + 8);
  for (const auto& tag : parser.takeTags()) movie_->appendTag(tag);
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
      case InputEvent::Kind::MouseDown: player_->mouseDown(x, y); break;
      case InputEvent::Kind::MouseUp: player_->mouseUp(x, y); break;
      case InputEvent::Kind::Other: break;
    }
  }
}

void HeadlessSession::run(int frames) {
  scripts_->afterFrame();
  for (int frame = 1; frame < frames && !scripts_->quitRequested(); ++frame) {
    deliverInput();
    player_->tick();
    scripts_->afterFrame();
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
