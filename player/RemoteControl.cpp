#include "RemoteControl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <optional>

#include "MainFrm.h"
#include "PlayListTableModel.h"
#include "controls/ImgTrackBar.h"
#include "engine/control/FlashPlayerControl.h"

#include <QAction>
#include <QLabel>

namespace plavex {

namespace {

platform::IpcReply Ok(const QByteArray& body = QByteArrayLiteral("ok\n")) {
  return {platform::IpcReply::Ok, body};
}

platform::IpcReply BadArguments(const QString& why) {
  return {platform::IpcReply::BadArguments, why.toUtf8() + '\n'};
}

// "on" / "off"; nothing for anything else.
std::optional<bool> OnOff(const QString& word) {
  if (word == QLatin1String("on")) return true;
  if (word == QLatin1String("off")) return false;
  return std::nullopt;
}

std::optional<int> Number(const QString& word) {
  bool ok = false;
  const int value = word.trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

}  // namespace

QByteArray RemoteControl::StateJson() const {
  QJsonObject state;
  state.insert(QStringLiteral("caption"), window_.windowTitle());
  state.insert(QStringLiteral("page"), window_.ActivePage());
  state.insert(QStringLiteral("PanStatus"), window_.PanStatusText());
  state.insert(QStringLiteral("clientSize"), QJsonArray{window_.width(), window_.height()});
  state.insert(QStringLiteral("minimized"), window_.isMinimized());
  state.insert(QStringLiteral("active"), window_.isActiveWindow());

  const engine::TFlashPlayerControl& flash = *window_.Flash1;
  state.insert(QStringLiteral("Movie"), flash.Movie());
  state.insert(QStringLiteral("Stopped"), window_.Stopped);
  state.insert(QStringLiteral("PercentLoaded"), flash.PercentLoaded());
  state.insert(QStringLiteral("CurrentFrame"), flash.CurrentFrame());
  state.insert(QStringLiteral("TotalFrames"), flash.TotalFrames());
  state.insert(QStringLiteral("Playing"), flash.Playing());
  state.insert(QStringLiteral("LbCurFrames"), window_.LbCurFrames->text());
  state.insert(QStringLiteral("LbAllFrames"), window_.LbAllFrames->text());
  state.insert(QStringLiteral("CurrentIndex"), window_.CurrentIndex);
  QJsonArray list;
  for (const TPlayListEntry& entry : window_.PlyListModel->List().Entries()) {
    list.append(QJsonObject{{QStringLiteral("caption"), entry.caption},
                            {QStringLiteral("mark"), entry.mark},
                            {QStringLiteral("title"), entry.title},
                            {QStringLiteral("time"), entry.timeText},
                            {QStringLiteral("address"), entry.address}});
  }
  state.insert(QStringLiteral("PlyList"), list);
  state.insert(QStringLiteral("FullScreen"), window_.FullScreen);
  state.insert(QStringLiteral("Volume"), window_.VCB1->Position());
  state.insert(QStringLiteral("Mute"), window_.Muted());
  state.insert(QStringLiteral("AutoMode"), window_.AutoMode);
  state.insert(QStringLiteral("ScaleSetting"), window_.ScaleSetting);
  const QRect bounds = window_.geometry();
  state.insert(QStringLiteral("geometry"), QJsonArray{bounds.left(), bounds.top(), bounds.width(), bounds.height()});
  return QJsonDocument(state).toJson(QJsonDocument::Compact) + '\n';
}

platform::IpcReply RemoteControl::Handle(const QString& command, const QString& arguments) {
  if (command == QLatin1String("state")) return Ok(StateJson());
  if (command == QLatin1String("activate")) {
    // A later start of the player: bring this one to the front, its arguments are dropped.
    window_.BringToFront();
    return Ok();
  }
  if (command == QLatin1String("close")) {
    // Answer first, then close exactly as the user would.
    QTimer::singleShot(0, &window_, [w = &window_] { w->close(); });
    return Ok();
  }
  if (command == QLatin1String("page")) {
    bool ok = false;
    const int page = arguments.toInt(&ok);
    if (!ok || page < 0 || page > 3) return BadArguments(QStringLiteral("page needs 0, 1, 2 or 3"));
    window_.ShowPage(page);
    return Ok();
  }
  if (command == QLatin1String("minimize")) {
    window_.showMinimized();
    return Ok();
  }
  if (command == QLatin1String("screenshot")) {
    if (arguments.isEmpty()) return BadArguments(QStringLiteral("screenshot needs a file name"));
    if (!window_.grab().save(arguments, "PNG")) return BadArguments(QStringLiteral("cannot write ") + arguments);
    return Ok();
  }
  return HandlePlayPage(command, arguments);
}

platform::IpcReply RemoteControl::HandlePlayPage(const QString& command, const QString& arguments) {
  TMainFrm& w = window_;
  if (command == QLatin1String("open")) {
    if (arguments.isEmpty()) return BadArguments(QStringLiteral("open needs a movie address"));
    w.AddToPlayList(arguments);
    w.PlayUrl(arguments);
    return Ok();
  }
  if (command == QLatin1String("play")) return w.ActPlayExecute(), Ok();
  if (command == QLatin1String("pause")) return w.ActPauseExecute(), Ok();
  if (command == QLatin1String("stop")) return w.ActStopExecute(), Ok();
  if (command == QLatin1String("next")) return w.ActNextExecute(), Ok();
  if (command == QLatin1String("prev")) return w.ActPreExecute(), Ok();
  if (command == QLatin1String("seek")) {
    const auto frame = Number(arguments);
    if (!frame) return BadArguments(QStringLiteral("seek needs a frame number"));
    w.Seek(*frame);
    return Ok();
  }
  if (command == QLatin1String("full")) {
    const auto on = OnOff(arguments);
    if (!on) return BadArguments(QStringLiteral("full needs on or off"));
    *on ? w.ActFullOnExecute() : w.ActFullOffExecute();
    return Ok();
  }
  if (command == QLatin1String("scale")) {
    const auto mode = Number(arguments);
    if (mode == 0) w.MISOrgClick();
    else if (mode == 1) w.MISAllClick();
    else if (mode == 3) w.MISScaleClick();
    else return BadArguments(QStringLiteral("scale needs 0, 1 or 3"));
    return Ok();
  }
  if (command == QLatin1String("volume")) {
    const auto volume = Number(arguments);
    if (!volume || *volume < 0 || *volume > 100) return BadArguments(QStringLiteral("volume needs 0 to 100"));
    w.VCB1->setPosition(*volume);
    return Ok();
  }
  if (command == QLatin1String("mute")) {
    const auto on = OnOff(arguments);
    if (!on) return BadArguments(QStringLiteral("mute needs on or off"));
    if (*on && !w.Muted()) w.SbMuteOnClick();
    if (!*on && w.Muted()) w.SbMuteOffClick();
    return Ok();
  }
  if (command == QLatin1String("auto")) {
    const auto on = OnOff(arguments);
    if (!on) return BadArguments(QStringLiteral("auto needs on or off"));
    w.SetAutoMode(*on);
    return Ok();
  }
  if (command == QLatin1String("list-load") || command == QLatin1String("handover")) {
    if (arguments.isEmpty()) return BadArguments(command + QStringLiteral(" needs a file name"));
    const TPlfReadResult read =
        command == QLatin1String("handover") ? w.AddPlayListFile(arguments) : w.LoadPlayList(arguments);
    if (read.status == TPlfReadResult::Status::Missing) return BadArguments(QStringLiteral("no file ") + arguments);
    if (!read.ok()) return BadArguments(read.error);
    if (command == QLatin1String("handover")) w.BringToFront();
    return Ok();
  }
  if (command == QLatin1String("list-save")) {
    if (arguments.isEmpty()) return BadArguments(QStringLiteral("list-save needs a file name"));
    const TPlfSaveResult saved = w.SavePlayList(arguments);
    if (!saved.ok) return BadArguments(saved.error);
    return Ok();
  }
  return {platform::IpcReply::UnknownCommand, QByteArrayLiteral("unknown command\n")};
}

}  // namespace plavex
