#pragma once
// Values and helpers shared by every page of the player.

#include <QString>
#include <QStringList>

namespace plavex {

// The folder of the running program, with a trailing "/". Set once at start.
const QString& AppDir();
void InitAppDir(const QString& programFilePath);

// A path below the program folder; "\" and "/" both separate folders.
QString AppPath(const QString& relative);

// The idle movie shown whenever no play-list movie is open.
QString StartMovie();
// The capture rules file.
QString GatherRulesPath();

// Whole seconds as "mm:ss" (minutes not limited to two digits, no hour part).
QString FormatTime(int seconds);
// Frames to whole seconds at a frame rate, an exact half going to the even neighbour.
int FramesToSeconds(int frames, float frameRate);
// What the time labels show for a frame count: FormatTime of its seconds, or the
// frame number itself when the movie has no frame rate.
QString FormatFrames(int frames, float frameRate);

}  // namespace plavex
