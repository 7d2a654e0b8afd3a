#pragma once
// The movies compiled into the player: "LOADING" (busy animation) and "ZAVAZ" (banner).

#include <QByteArray>
#include <QString>

namespace plavex {

// The bytes of a built-in movie; empty when the program was built without it.
QByteArray BuiltinMovie(const QString& name);

}  // namespace plavex
