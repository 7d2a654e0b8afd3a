#include "FlashPlayerControl.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QUrl>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <optional>

#include "engine/control/FlashKeys.h"
#include "engine/core/Loader.h"
#include "engine/script/player/PlayerScripts.h"
#include "engine/script/player/ScriptInput.h"
#include "engine/core/Movie.h"
#include "engine/core/PlayLoop.h"
#include "engine/core/Player.h"
#include "engine/render/StageRenderer.h"
#include "engine/sound/AudioOutput.h"
#include "engine/sound/MovieSound.h"

namespace plavex::engine {

namespace {
Q_LOGGING_CATEGORY(lcTrace, "plavex.trace")
std::atomic<int> g_audioVolume{100};
std::atomic<bool> g_audioEnabled{true};

// Every control plays through the one mixer of the process, at the process-wide
// volume and audio switch.
void StartProcessSound() {
  static const bool started = [] {
    sound::startProcessOutput([] { return TFlashPlayerControl::processMixLevel(); });
    return true;
  }();
  (void)started;
}

// Whether a top-level tag carries actions (frame and init scripts, clip events, buttons,
// and those inside sprites).
bool holdsScript(const swf::Tag& tag) {
  return std::visit(
      [](const auto& body) {
        using T = std::decay_t<decltype(body)>;
        if constexpr (std::is_same_v<T, swf::DoAction> || std::is_same_v<T, swf::DoInitAction>) {
          return true;
        } else if constexpr (std::is_same_v<T, swf::PlaceObject>) {
          return body.clipActions.has_value();
        } else if constexpr (std::is_same_v<T, swf::DefineSprite>) {
          return std::any_of(body.tags.begin(), body.tags.end(), [](const swf::Tag& t) { return holdsScript(t); });
        } else {
          return false;
        }
      },
      tag.body);
}

// Scripts of a movie shown in a control: traces go to the engine's log, getURL opens
// http(s) addresses in the user's browser (other schemes, javascript: among them, are
// ignored).
std::shared_ptr<script::PlayerScripts> makeScripts(int version, const QString& address) {
  auto scripts = std::make_shared<script::PlayerScripts>(version, [](const std::string& line) {
    qCInfo(lcTrace, "%s", line.c_str());
  });
  scripts->setMovieUrl(address.toStdString());
  scripts->setUrlOpener([](const std::string& url, const std::string&) {
    const QUrl target(QString::fromStdString(url));
    if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https"))
      QDesktopServices::openUrl(target);
  });
  return scripts;
}

// Addresses that only unload what a control shows.
bool isDummyAddress(const QString& address) {
  const QString a = address.trimmed();
  return a.isEmpty() || a.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0 ||
         a.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0 ||
         a.compare(QLatin1String("none.swf"), Qt::CaseInsensitive) == 0;
}

struct LaterDeleter {
  void operator()(QObject* object) const {
    if (object) object->deleteLater();
  }
};

std::optional<QColor> parseColour(const QString& text) {
  QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  if (!t.startsWith(QLatin1Char('#'))) t.prepend(QLatin1Char('#'));
  QColor c(t);
  if (!c.isValid()) return std::nullopt;
  return c;
}
}  // namespace

struct TFlashPlayerControl::State {
  QString movie;
  int percentLoaded = 0;
  int readyState = 4;
  int scaleMode = 0;
  QString bgColor;
  bool loop = true;
  bool menu = true;
  Quality quality = Quality::High;
  WindowMode windowMode = WindowMode::Window;
  QString alignMode;
  QString scriptAccess = QStringLiteral("sameDomain");
  bool allowFullScreen = false;
  bool wantPlaying = true;  // a Stop before the first frame arrives is kept

  std::unique_ptr<Loader, LaterDeleter> loader;
  std::shared_ptr<MovieData> data;
  std::unique_ptr<sound::MovieSound> sound;  // outlives the player, which feeds it
  std::shared_ptr<script::PlayerScripts> scripts;  // outlives the player, which calls it
  bool movieHasScripts = false;
  std::unique_ptr<Player> player;
  render::StageRenderer renderer;
  QTimer timer;
  FrameClock clock;
  // Since when the timeline has waited for its stream sound (none: not waiting).
  std::optional<FrameClock::Clock::time_point> waitingForSound;
  std::uint64_t paintedRevision = ~std::uint64_t{0};
};

TFlashPlayerControl::TFlashPlayerControl(QWidget* parent) : QWidget(parent), d_(std::make_unique<State>()) {
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);  // keys reach the movie once it was clicked
  d_->timer.setTimerType(Qt::PreciseTimer);
  connect(&d_->timer, &QTimer::timeout, this, [this] { onFrameTimer(); });
}

TFlashPlayerControl::~TFlashPlayerControl() = default;

void TFlashPlayerControl::unload() {
  d_->timer.stop();
  d_->loader.reset();
  d_->player.reset();
  d_->scripts.reset();
  d_->movieHasScripts = false;
  d_->sound.reset();
  d_->data.reset();
  d_->renderer.reset();
  d_->percentLoaded = 0;
  d_->wantPlaying = true;
  unsetCursor();
}

void TFlashPlayerControl::setMovie(const QString& address) {
  unload();
  d_->movie = address;
  if (isDummyAddress(address)) {
    d_->readyState = 4;
    update();
    emit readyStateChanged(4);
    return;
  }
  d_->readyState = 0;
  d_->loader.reset(new Loader);
  Loader* loader = d_->loader.get();
  connect(loader, &Loader::progressed, this, [this, loader] { onLoaderProgress(loader); });
  connect(loader, &Loader::finishedLoading, this, [this, loader](bool ok) { onLoaderFinished(loader, ok); });
  loader->load(address);
  emit readyStateChanged(0);
  update();
}

void TFlashPlayerControl::onLoaderProgress(Loader* loader) {
  if (loader != d_->loader.get()) return;
  auto& parser = loader->parser();
  if (!parser.header()) return;
  if (!d_->data) {
    d_->data = std::make_shared<MovieData>(*parser.header());
    StartProcessSound();
    d_->sound = std::make_unique<sound::MovieSound>(sound::processMixer());
    d_->scripts = makeScripts(parser.header()->version, d_->movie);
    d_->player = std::make_unique<Player>(d_->data, d_->scripts, d_->sound.get());
    d_->scripts->attach(*d_->player);
    d_->player->setLoop(d_->loop);
    d_->player->setHitTester(d_->renderer.hitTester());
    if (!d_->wantPlaying) d_->player->stop();
    d_->clock.setRate(parser.header()->frameRate);
    d_->timer.setInterval(std::max(1, static_cast<int>(1000.0 / d_->clock.rate())));
  }
  d_->data->setBytesArrived(parser.receivedBytes() + 8);
  for (const auto& tag : parser.takeTags()) {
    d_->sound->addTag(tag);
    d_->movieHasScripts = d_->movieHasScripts || holdsScript(tag);
    d_->data->appendTag(tag);
  }
  if (parser.endReached()) d_->data->markComplete();
  d_->player->framesArrived();
  d_->scripts->afterFrame();
  int previousReady = d_->readyState;
  d_->percentLoaded = std::max(d_->percentLoaded, parser.percent());
  d_->readyState = d_->data->loadedFrames() > 0 ? 3 : 1;
  if (d_->readyState != previousReady) emit readyStateChanged(d_->readyState);
  emit progress(d_->percentLoaded);
  ensureTimer();
  update();
}

void TFlashPlayerControl::onLoaderFinished(Loader* loader, bool ok) {
  if (loader != d_->loader.get()) return;
  if (ok) {
    onLoaderProgress(loader);
    if (d_->data) {
      d_->data->markComplete();
      d_->player->framesArrived();
      d_->percentLoaded = 100;
    }
  }
  if (!d_->data) d_->percentLoaded = 0;
  d_->readyState = 4;
  emit progress(d_->percentLoaded);
  emit readyStateChanged(4);
  ensureTimer();
  update();
}

bool TFlashPlayerControl::needsTicks() const {
  // A movie with scripts keeps its clock: handlers and intervals run on stopped frames too.
  return d_->player && (d_->player->needsTicks() || d_->movieHasScripts);
}

void TFlashPlayerControl::ensureTimer() {
  if (!needsTicks()) {
    d_->timer.stop();
    return;
  }
  if (!d_->timer.isActive()) {
    d_->clock.restart(FrameClock::Clock::now());
    d_->timer.start();
  }
}

void TFlashPlayerControl::onFrameTimer() {
  if (!d_->player) {
    d_->timer.stop();
    return;
  }
  const auto now = FrameClock::Clock::now();
  int due = d_->clock.framesDue(now);
  if (d_->sound && d_->player->playing()) {
    // A root stream sound sets the pace: drop frames rather than let the picture lag
    // the sound. A sound that stops being heard (no device pulling) is waited for only
    // briefly, then the clock leads again.
    const auto heard = d_->sound->streamFrame(d_->player->root(), d_->clock.rate());
    const int maxCatchUp = std::max(4, static_cast<int>(d_->clock.rate()));
    const int paced = framesToFollowStream(heard, d_->player->currentFrame(), due, maxCatchUp);
    if (paced > 0 || !heard) {
      d_->waitingForSound.reset();
      due = paced;
    } else {
      if (!d_->waitingForSound) d_->waitingForSound = now;
      if (now - *d_->waitingForSound < std::chrono::milliseconds(250)) due = 0;
    }
  }
  for (int i = 0; i < due && d_->player; ++i) {
    d_->player->tick();
    d_->scripts->afterFrame();
  }
  if (!d_->player) return;
  if (d_->player->revision() != d_->paintedRevision) update();
  if (!needsTicks()) d_->timer.stop();
}

QString TFlashPlayerControl::Movie() const { return d_->movie; }
int TFlashPlayerControl::PercentLoaded() const { return d_->percentLoaded; }
int TFlashPlayerControl::ReadyState() const { return d_->readyState; }
int TFlashPlayerControl::TotalFrames() const { return d_->data ? d_->data->totalFrames() : 0; }
int TFlashPlayerControl::CurrentFrame() const { return d_->player ? d_->player->currentFrame() : 0; }
bool TFlashPlayerControl::Playing() const { return d_->player ? d_->player->playing() : false; }

void TFlashPlayerControl::Play() {
  d_->wantPlaying = true;
  if (!d_->player) return;
  d_->player->play();
  ensureTimer();
}

void TFlashPlayerControl::Stop() {
  d_->wantPlaying = false;
  if (d_->player) d_->player->stop();
  ensureTimer();
}

void TFlashPlayerControl::GotoFrame(int frame) {
  if (!d_->player) return;
  d_->player->gotoFrame(frame);
  ensureTimer();
  update();
}

void TFlashPlayerControl::setScaleMode(int mode) {
  d_->scaleMode = std::clamp(mode, 0, 3);
  update();
}
int TFlashPlayerControl::ScaleMode() const { return d_->scaleMode; }
void TFlashPlayerControl::setBGColor(const QString& colour) {
  d_->bgColor = colour;
  update();
}
QString TFlashPlayerControl::BGColor() const { return d_->bgColor; }
void TFlashPlayerControl::setLoop(bool loop) {
  d_->loop = loop;
  if (d_->player) d_->player->setLoop(loop);
  ensureTimer();
}
bool TFlashPlayerControl::Loop() const { return d_->loop; }
void TFlashPlayerControl::setMenu(bool menu) { d_->menu = menu; }
bool TFlashPlayerControl::Menu() const { return d_->menu; }
void TFlashPlayerControl::setQuality(Quality quality) {
  d_->quality = quality;
  update();
}
Quality TFlashPlayerControl::quality() const { return d_->quality; }
void TFlashPlayerControl::setWindowMode(WindowMode mode) {
  d_->windowMode = mode;
  setAttribute(Qt::WA_OpaquePaintEvent, mode != WindowMode::Transparent);
  setAttribute(Qt::WA_TranslucentBackground, mode == WindowMode::Transparent);
  update();
}
WindowMode TFlashPlayerControl::windowMode() const { return d_->windowMode; }
void TFlashPlayerControl::setAlignMode(const QString& align) {
  d_->alignMode = align;
  update();
}
QString TFlashPlayerControl::AlignMode() const { return d_->alignMode; }
void TFlashPlayerControl::setAllowScriptAccess(const QString& access) { d_->scriptAccess = access; }
QString TFlashPlayerControl::AllowScriptAccess() const { return d_->scriptAccess; }
void TFlashPlayerControl::setAllowFullScreen(bool allow) { d_->allowFullScreen = allow; }
void TFlashPlayerControl::PutBackgroundColor(int rgb) {
  setBGColor(QStringLiteral("%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
}

bool TFlashPlayerControl::LoadMovieFromStream(int layer, const QByteArray& swf) {
  if (layer != 0) return false;
  unload();
  d_->movie.clear();
  d_->readyState = 0;
  d_->loader.reset(new Loader);
  Loader* loader = d_->loader.get();
  connect(loader, &Loader::progressed, this, [this, loader] { onLoaderProgress(loader); });
  connect(loader, &Loader::finishedLoading, this, [this, loader](bool ok) { onLoaderFinished(loader, ok); });
  loader->loadBytes(swf);
  return d_->data != nullptr;
}

void TFlashPlayerControl::setAudioVolume(int volume) { g_audioVolume = std::clamp(volume, 0, 100); }
int TFlashPlayerControl::audioVolume() { return g_audioVolume; }
void TFlashPlayerControl::setAudioEnabled(bool enabled) { g_audioEnabled = enabled; }
bool TFlashPlayerControl::audioEnabled() { return g_audioEnabled; }
sound::MixLevel TFlashPlayerControl::processMixLevel() { return {g_audioVolume.load(), g_audioEnabled.load()}; }

render::StageOptions TFlashPlayerControl::stageOptions() const {
  render::StageOptions o;
  o.viewport = size();
  o.scaleMode = static_cast<render::ScaleMode>(d_->scaleMode);
  o.align = render::Alignment::parse(d_->alignMode);
  o.background = parseColour(d_->bgColor);
  o.transparent = d_->windowMode == WindowMode::Transparent;
  o.antialias = d_->quality != Quality::Low;
  return o;
}

void TFlashPlayerControl::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const bool transparent = d_->windowMode == WindowMode::Transparent;
  if (!d_->player) {
    if (!transparent) painter.fillRect(event->rect(), parseColour(d_->bgColor).value_or(Qt::white));
    return;
  }
  const QImage& frame = d_->renderer.render(*d_->player, stageOptions());
  d_->paintedRevision = d_->player->revision();
  if (transparent) painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(event->rect(), frame, event->rect());
}

void TFlashPlayerControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

bool TFlashPlayerControl::stagePoint(const QPointF& widgetPos, double& x, double& y) const {
  if (!d_->data) return false;
  auto o = stageOptions();
  bool invertible = false;
  QTransform inverse =
      render::stageTransform(d_->data->header().stage, o.viewport, o.scaleMode, o.align).inverted(&invertible);
  if (!invertible) return false;
  QPointF p = inverse.map(widgetPos);
  x = p.x();
  y = p.y();
  return true;
}

void TFlashPlayerControl::afterMouse(bool changed) {
  // Handlers the input queued run now, not at the next frame.
  if (d_->scripts) d_->scripts->frameDone();
  if (changed || (d_->player && d_->player->revision() != d_->paintedRevision)) update();
  setCursor(d_->player && d_->player->overButton() ? Qt::PointingHandCursor : Qt::ArrowCursor);
  ensureTimer();
}

namespace {
// Mouse buttons as the movie's key codes.
int flashButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}
}  // namespace

void TFlashPlayerControl::mousePressEvent(QMouseEvent* event) {
  double x = 0, y = 0;
  if (d_->player && stagePoint(event->position(), x, y)) {
    const bool changed = event->button() == Qt::LeftButton && d_->player->mouseDown(x, y);
    if (d_->scripts && flashButtonCode(event->button()))
      d_->scripts->input().mouseButton(flashButtonCode(event->button()), true, x, y);
    afterMouse(changed);
  }
  QWidget::mousePressEvent(event);
}
void TFlashPlayerControl::mouseReleaseEvent(QMouseEvent* event) {
  double x = 0, y = 0;
  if (d_->player && stagePoint(event->position(), x, y)) {
    const bool changed = event->button() == Qt::LeftButton && d_->player->mouseUp(x, y);
    if (d_->scripts && flashButtonCode(event->button()))
      d_->scripts->input().mouseButton(flashButtonCode(event->button()), false, x, y);
    afterMouse(changed);
  }
  QWidget::mouseReleaseEvent(event);
}
void TFlashPlayerControl::mouseMoveEvent(QMouseEvent* event) {
  double x = 0, y = 0;
  if (d_->player && stagePoint(event->position(), x, y)) afterMouse(d_->player->mouseMove(x, y));
  QWidget::mouseMoveEvent(event);
}
void TFlashPlayerControl::wheelEvent(QWheelEvent* event) {
  if (d_->scripts) {
    d_->scripts->input().mouseWheel(event->angleDelta().y() / 40);  // three lines a notch
    afterMouse(false);
  }
  QWidget::wheelEvent(event);
}
void TFlashPlayerControl::keyPressEvent(QKeyEvent* event) {
  const int code = flashKeyCode(event->key());
  if (!d_->scripts || (code == 0 && event->text().isEmpty())) return QWidget::keyPressEvent(event);
  const QString text = event->text();
  const int ascii = text.size() == 1 && text[0].unicode() < 128 ? text[0].unicode() : 0;
  if (code) d_->scripts->input().keyDown(code, ascii);
  for (char32_t c : text.toUcs4())
    if (c >= 32 && c != 127) d_->scripts->input().textInput(c);
  if (event->key() == Qt::Key_Backspace) d_->scripts->input().textControl("Backspace");
  else if (event->key() == Qt::Key_Delete) d_->scripts->input().textControl("Delete");
  else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) d_->scripts->input().textControl("Enter");
  afterMouse(false);
}
void TFlashPlayerControl::keyReleaseEvent(QKeyEvent* event) {
  const int code = flashKeyCode(event->key());
  if (!d_->scripts || code == 0) return QWidget::keyReleaseEvent(event);
  d_->scripts->input().keyUp(code, 0);
  afterMouse(false);
}

TTransparentFlashPlayerControl::TTransparentFlashPlayerControl(QWidget* parent) : TFlashPlayerControl(parent) {
  setWindowMode(WindowMode::Transparent);
}

}  // namespace plavex::engine
