#pragma once
// The movie engine's Qt control: the operations the player calls on a Flash control.
// Method names follow the control's own operation names so the player code reads as
// the operations it performs (Movie, PercentLoaded, ReadyState, Play, GotoFrame ...).

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>

#include "engine/sound/Mixer.h"

namespace plavex::engine {

class Loader;
namespace render {
struct StageOptions;
}

enum class WindowMode { Window, Opaque, Transparent };
enum class Quality { Low, Medium, High, Best };

class TFlashPlayerControl : public QWidget {
  Q_OBJECT
 public:
  explicit TFlashPlayerControl(QWidget* parent = nullptr);
  ~TFlashPlayerControl() override;

  // Loading. Writing Movie starts loading asynchronously and returns at once;
  // reading it returns exactly the address last written.
  void setMovie(const QString& address);
  QString Movie() const;
  int PercentLoaded() const;   // 0..100
  int ReadyState() const;      // 0 loading .. 4 finished (successfully or not)
  int TotalFrames() const;
  int CurrentFrame() const;    // counted from 0
  bool Playing() const;

  // Transport.
  void Play();
  void Stop();
  void GotoFrame(int frame);

  // Stage. Scale modes: 0 show all, 1 no border, 2 exact fit, 3 no scale.
  void setScaleMode(int mode);
  int ScaleMode() const;
  // "RRGGBB" (or "#RRGGBB"); an empty text means the movie's own colour.
  void setBGColor(const QString& colour);
  QString BGColor() const;

  // Settings of the control.
  void setLoop(bool loop);
  bool Loop() const;
  void setMenu(bool menu);
  bool Menu() const;
  void setQuality(Quality quality);
  Quality quality() const;
  void setWindowMode(WindowMode mode);
  WindowMode windowMode() const;
  void setAlignMode(const QString& align);  // e.g. "R": the stage aligns right
  QString AlignMode() const;
  void setAllowScriptAccess(const QString& access);  // "never", "sameDomain", "always"
  QString AllowScriptAccess() const;
  void setAllowFullScreen(bool allow);

  // The COM-style calls used by the directory and capture pages.
  void PutMovie(const QString& address) { setMovie(address); }
  QString GetMovie() const { return Movie(); }
  int GetReadyState() const { return ReadyState(); }
  void PutBackgroundColor(int rgb);
  void PutScaleMode(int mode) { setScaleMode(mode); }
  // Plays a movie held in memory (the built-in movies). Only layer 0 is supported.
  bool LoadMovieFromStream(int layer, const QByteArray& swf);

  // Process-wide sound settings shared by every control.
  static void setAudioVolume(int volume);  // 0..100
  static int audioVolume();
  static void setAudioEnabled(bool enabled);
  static bool audioEnabled();
  // The level the process's audio output applies to the mix of every control.
  static sound::MixLevel processMixLevel();

 signals:
  void readyStateChanged(int state);
  void progress(int percent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void unload();
  void onLoaderProgress(Loader* loader);
  void onLoaderFinished(Loader* loader, bool ok);
  bool needsTicks() const;
  void ensureTimer();
  void onFrameTimer();
  render::StageOptions stageOptions() const;
  bool stagePoint(const QPointF& widgetPos, double& x, double& y) const;
  void afterMouse(bool changed);

  struct State;
  std::unique_ptr<State> d_;
};

// The same control in transparent window mode: where the movie has no content
// it shows what lies behind it.
class TTransparentFlashPlayerControl : public TFlashPlayerControl {
  Q_OBJECT
 public:
  explicit TTransparentFlashPlayerControl(QWidget* parent = nullptr);
};

}  // namespace plavex::engine
