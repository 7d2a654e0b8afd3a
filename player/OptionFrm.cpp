#include "OptionFrm.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace plavex {

TOptionFrm::TOptionFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("OptionFrm"));
  setWindowTitle(QStringLiteral("选项设置"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("BitBtn1"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setFixedSize(415, 254);
}

}  // namespace plavex
