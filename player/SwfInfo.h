#pragma once
// Movie information read from a movie file's header: stage size, frame rate, frame count.

#include <QString>
#include <functional>

namespace plavex {

struct TSwfInfo {
  int width = 0;         // stage width in pixels; 0 = no information
  int height = 0;        // stage height in pixels; 0 = no information
  float frameRate = 0;   // frames per second; 0 = no information
  int frameCount = 0;    // frames the header states; 0 = no information
  QString error;         // why nothing could be read; empty when the header was read
  bool ok() const { return error.isEmpty(); }
};

// The local copy of a downloaded web movie, or an empty string when there is none.
using TCacheLookup = std::function<QString(const QString& url)>;

// Whether the address names a web movie: it starts with "http://" or "https://",
// letters compared without case.
bool IsWebAddress(const QString& address);

// Reads the header of the movie at the address. A web movie is read from its cached copy
// (found through cachedFileFor, which may be empty); a "file:" URL names a local file;
// anything else is taken as a local path. When nothing can be read every value is 0.
TSwfInfo ReadSwfInfo(const QString& address, const TCacheLookup& cachedFileFor = {});

}  // namespace plavex
