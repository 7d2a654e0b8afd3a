#include "AboutFrm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plavex {

TAboutFrm::TAboutFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutFrm"));
  setWindowTitle(QStringLiteral("关于"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(QStringLiteral("AmbrelFlash播放器8"), this);
  name->setObjectName(QStringLiteral("Label1"));
  layout->addWidget(name, 1, Qt::AlignCenter);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("BtnOK"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setFixedSize(389, 213);
}

}  // namespace plavex
