#pragma once
// The advert strip: which movie an advert page asks for.

#include <QString>

namespace plavex {

enum class TAdvertAction {
  Ignore,       // the blank page: nothing to do
  LoadAddress,  // the page names a movie address
  LoadBuiltIn,  // the page names none: show the built-in banner
};

struct TAdvertChoice {
  TAdvertAction action = TAdvertAction::Ignore;
  QString address;  // for LoadAddress
};

// The page carries the movie address between "<!--TLabelB-->" and the next
// "<!--TLabelE-->"; blanks around it are not part of the address.
TAdvertChoice ChooseAdvertMovie(const QString& url, const QString& html);

}  // namespace plavex
