#pragma once
// The about box, shown modally from the main menu.

#include <QDialog>

namespace plavex {

class TAboutFrm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutFrm(QWidget* parent = nullptr);
};

}  // namespace plavex
