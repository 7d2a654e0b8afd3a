#include "ComVar.h"

#include <QFileInfo>
#include <climits>
#include <cmath>

namespace plavex {

namespace {
QString g_appDir;  // set once at start, read everywhere after
}

const QString& AppDir() { return g_appDir; }

void InitAppDir(const QString& programFilePath) {
  QString folder = QFileInfo(programFilePath).absolutePath();
  if (!folder.endsWith(u'/')) folder += u'/';
  g_appDir = folder;
}

QString AppPath(const QString& relative) {
  QString path = relative;
  path.replace(u'\\', u'/');
  return AppDir() + path;
}

QString StartMovie() { return AppDir() + QStringLiteral("swf/start.swf"); }

QString GatherRulesPath() { return AppDir() + QStringLiteral("plugin/flashgather.dat"); }

QString FormatTime(int seconds) {
  if (seconds < 0) seconds = 0;
  return QString::asprintf("%.2d:%.2d", seconds / 60, seconds % 60);
}

int FramesToSeconds(int frames, float frameRate) {
  if (!(frameRate > 0.0f)) return frames;
  const double seconds = static_cast<double>(frames) / static_cast<double>(frameRate);
  if (!std::isfinite(seconds)) return 0;
  // Round half to even, whatever rounding mode the process runs in.
  const double floorValue = std::floor(seconds);
  const double fraction = seconds - floorValue;
  double rounded = floorValue;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floorValue, 2.0) != 0.0)) rounded += 1.0;
  if (rounded > INT_MAX) return INT_MAX;
  if (rounded < INT_MIN) return INT_MIN;
  return static_cast<int>(rounded);
}

QString FormatFrames(int frames, float frameRate) {
  if (!(frameRate > 0.0f)) return QString::number(frames);
  return FormatTime(FramesToSeconds(frames, frameRate));
}

}  // namespace plavex
