// swftool render FILE --frames N --out OUT.png [--width W --height H] [--input EVENTS.json] [--quality low|high]
// Runs the movie headless for N frames and writes the stage, background included.
// stdout carries only what the movie traces.

#include <cstdio>

#include "tools/swftool/RenderSession.h"

namespace plavex::swftool {

int runHeadless(Args args, bool picture) {
  std::string error;
  auto options = parseRunOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "swftool: %s\n", error.c_str());
    return 2;
  }
  if (picture && options->out.empty()) {
    std::fprintf(stderr, "swftool: render needs --out FILE\n");
    return 2;
  }
  ensureGuiApplication();
  HeadlessSession session;
  if (auto failure = session.load(options->file)) {
    std::fprintf(stderr, "swftool: %s\n", failure->c_str());
    return 1;
  }
  if (!options->input.empty()) {
    auto events = readInputEvents(options->input, error);
    if (!events) {
      std::fprintf(stderr, "swftool: %s\n", error.c_str());
      return 1;
    }
    session.setInput(std::move(*events));
  }
  session.run(options->frames);
  if (!picture) return 0;
  QImage image = session.picture(options->width, options->height, options->antialias);
  if (!image.save(QString::fromStdString(options->out), "PNG")) {
    std::fprintf(stderr, "swftool: cannot write %s\n", options->out.c_str());
    return 1;
  }
  return 0;
}

int runRender(Args args) { return runHeadless(args, true); }

}  // namespace plavex::swftool
