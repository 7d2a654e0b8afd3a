#include "FlashPlayerControl.h"

#include <QPaintEvent>
#include <QPainter>
#include <atomic>

namespace plavex::engine {

namespace {
std::atomic<int> g_audioVolume{100};
std::atomic<bool> g_audioEnabled{true};
}  // namespace

struct TFlashPlayerControl::State {
  QString movie;
  int percentLoaded = 0;
  int readyState = 0;
  int totalFrames = 0;
  int currentFrame = 0;
  bool playing = false;
  int scaleMode = 0;
  QString bgColor;
  bool loop = true;
  bool menu = true;
  Quality quality = Quality::High;
  WindowMode windowMode = WindowMode::Window;
  QString alignMode;
  QString scriptAccess = QStringLiteral("sameDomain");
  bool allowFullScreen = false;
};

TFlashPlayerControl::TFlashPlayerControl(QWidget* parent)
    : QWidget(parent), d_(std::make_unique<State>()) {
  setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TFlashPlayerControl::~TFlashPlayerControl() = default;

void TFlashPlayerControl::setMovie(const QString& address) {
  d_->movie = address;
  d_->percentLoaded = 0;
  d_->readyState = 4;
  d_->totalFrames = 0;
  d_->currentFrame = 0;
  d_->playing = false;
  update();
}
QString TFlashPlayerControl::Movie() const { return d_->movie; }
int TFlashPlayerControl::PercentLoaded() const { return d_->percentLoaded; }
int TFlashPlayerControl::ReadyState() const { return d_->readyState; }
int TFlashPlayerControl::TotalFrames() const { return d_->totalFrames; }
int TFlashPlayerControl::CurrentFrame() const { return d_->currentFrame; }
bool TFlashPlayerControl::Playing() const { return d_->playing; }
void TFlashPlayerControl::Play() { d_->playing = d_->totalFrames > 0; }
void TFlashPlayerControl::Stop() { d_->playing = false; }
void TFlashPlayerControl::GotoFrame(int frame) {
  if (d_->totalFrames > 0) d_->currentFrame = std::clamp(frame, 0, d_->totalFrames - 1);
}
void TFlashPlayerControl::setScaleMode(int mode) { d_->scaleMode = std::clamp(mode, 0, 3); update(); }
int TFlashPlayerControl::ScaleMode() const { return d_->scaleMode; }
void TFlashPlayerControl::setBGColor(const QString& colour) { d_->bgColor = colour; update(); }
QString TFlashPlayerControl::BGColor() const { return d_->bgColor; }
void TFlashPlayerControl::setLoop(bool loop) { d_->loop = loop; }
bool TFlashPlayerControl::Loop() const { return d_->loop; }
void TFlashPlayerControl::setMenu(bool menu) { d_->menu = menu; }
bool TFlashPlayerControl::Menu() const { return d_->menu; }
void TFlashPlayerControl::setQuality(Quality quality) { d_->quality = quality; }
Quality TFlashPlayerControl::quality() const { return d_->quality; }
void TFlashPlayerControl::setWindowMode(WindowMode mode) {
  d_->windowMode = mode;
  setAttribute(Qt::WA_OpaquePaintEvent, mode != WindowMode::Transparent);
  setAttribute(Qt::WA_TranslucentBackground, mode == WindowMode::Transparent);
}
WindowMode TFlashPlayerControl::windowMode() const { return d_->windowMode; }
void TFlashPlayerControl::setAlignMode(const QString& align) { d_->alignMode = align; }
QString TFlashPlayerControl::AlignMode() const { return d_->alignMode; }
void TFlashPlayerControl::setAllowScriptAccess(const QString& access) { d_->scriptAccess = access; }
QString TFlashPlayerControl::AllowScriptAccess() const { return d_->scriptAccess; }
void TFlashPlayerControl::setAllowFullScreen(bool allow) { d_->allowFullScreen = allow; }
void TFlashPlayerControl::PutBackgroundColor(int rgb) {
  setBGColor(QStringLiteral("%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
}
bool TFlashPlayerControl::LoadMovieFromStream(int layer, const QByteArray& swf) {
  if (layer != 0 || swf.size() < 8) return false;
  setMovie(QString());
  return true;
}

void TFlashPlayerControl::setAudioVolume(int volume) { g_audioVolume = std::clamp(volume, 0, 100); }
int TFlashPlayerControl::audioVolume() { return g_audioVolume; }
void TFlashPlayerControl::setAudioEnabled(bool enabled) { g_audioEnabled = enabled; }
bool TFlashPlayerControl::audioEnabled() { return g_audioEnabled; }

void TFlashPlayerControl::paintEvent(QPaintEvent* event) {
  if (d_->windowMode == WindowMode::Transparent) return;
  QPainter painter(this);
  QColor colour(Qt::white);
  if (!d_->bgColor.isEmpty()) {
    QString text = d_->bgColor;
    if (!text.startsWith(QLatin1Char('#'))) text.prepend(QLatin1Char('#'));
    if (QColor candidate(text); candidate.isValid()) colour = candidate;
  }
  painter.fillRect(event->rect(), colour);
}
void TFlashPlayerControl::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }
void TFlashPlayerControl::mousePressEvent(QMouseEvent* event) { QWidget::mousePressEvent(event); }
void TFlashPlayerControl::mouseReleaseEvent(QMouseEvent* event) { QWidget::mouseReleaseEvent(event); }
void TFlashPlayerControl::mouseMoveEvent(QMouseEvent* event) { QWidget::mouseMoveEvent(event); }

TTransparentFlashPlayerControl::TTransparentFlashPlayerControl(QWidget* parent)
    : TFlashPlayerControl(parent) {
  setWindowMode(WindowMode::Transparent);
}

}  // namespace plavex::engine
