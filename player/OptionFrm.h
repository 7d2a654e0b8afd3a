#pragma once
// The options dialog, shown modally from the main menu.

#include <QDialog>

namespace plavex {

class TOptionFrm : public QDialog {
  Q_OBJECT
 public:
  explicit TOptionFrm(QWidget* parent = nullptr);
};

}  // namespace plavex
