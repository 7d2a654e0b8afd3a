#pragma once
// Keyboard keys as movies know them: the player's key codes (65 for A, 13 Enter, 37-40
// the arrows), from Qt's key numbers.

namespace plavex::engine {

// The movie's key code of a Qt key (Qt::Key), 0 for keys movies cannot see.
int flashKeyCode(int qtKey);

}  // namespace plavex::engine
