#include "RemoteControl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "MainFrm.h"

namespace plavex {

namespace {

platform::IpcReply Ok(const QByteArray& body = QByteArrayLiteral("ok\n")) {
  return {platform::IpcReply::Ok, body};
}

platform::IpcReply BadArguments(const QString& why) {
  return {platform::IpcReply::BadArguments, why.toUtf8() + '\n'};
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
  return {platform::IpcReply::UnknownCommand, QByteArrayLiteral("unknown command\n")};
}

}  // namespace plavex
