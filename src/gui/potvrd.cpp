#include "gui/potvrd.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/qt_text.h"

namespace trovik::gui {

TPotvrd::TPotvrd(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Potvrd"));
  setWindowTitle(QStringLiteral("Súhlasíte?"));
  setModal(true);
  setFixedSize(413, 213);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(6);
  auto* top = new QHBoxLayout();
  label1_ = new QLabel(QStringLiteral("Kopírovať súbor :"), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  top->addWidget(label1_, 1);
  checkBox1_ = new QCheckBox(QStringLiteral("Už sa nepýtaj"), this);
  checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
  top->addWidget(checkBox1_);
  layout->addLayout(top);
  edit1_ = new QLineEdit(QStringLiteral("Edit1"), this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  edit1_->setReadOnly(true);
  layout->addWidget(edit1_);
  label2_ = new QLabel(QStringLiteral("sem ?"), this);
  label2_->setObjectName(QStringLiteral("Label2"));
  layout->addWidget(label2_);
  edit2_ = new QLineEdit(QStringLiteral("Edit2"), this);
  edit2_->setObjectName(QStringLiteral("Edit2"));
  // The two paths are named by the questions above them.
  label1_->setBuddy(edit1_);
  label2_->setBuddy(edit2_);
  layout->addWidget(edit2_);
  layout->addStretch(1);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  bitBtn1_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogYesButton), QStringLiteral("Áno"), this);
  bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  bitBtn1_->setMinimumWidth(90);
  bitBtn1_->setDefault(true);
  bitBtn2_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogNoButton), QStringLiteral("Nie"), this);
  bitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
  bitBtn2_->setMinimumWidth(90);
  buttons->addWidget(bitBtn1_);
  buttons->addSpacing(20);
  buttons->addWidget(bitBtn2_);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void TPotvrd::placeBeside(const QWidget* window) {
  if (window != nullptr) move(window->frameGeometry().topLeft() + QPoint(10, 10));
}

bool TPotvrd::ask() { return exec() == QDialog::Accepted; }

bool PotvrdConfirm::Ask(device::ConfirmDialog& contents) {
  dialog_->label1()->setText(FromCore(contents.label1));
  dialog_->edit1()->setText(FromCore(contents.edit1));
  dialog_->label2()->setText(FromCore(contents.label2));
  dialog_->edit2()->setText(FromCore(contents.edit2));
  dialog_->edit1()->setVisible(contents.edit1Visible);
  dialog_->label2()->setVisible(contents.label2Visible);
  dialog_->edit2()->setVisible(contents.edit2Visible);
  dialog_->checkBox1()->setChecked(contents.dontAsk);
  dialog_->placeBeside(window_);
  const bool yes = dialog_->ask();
  contents.edit2 = ToCore(dialog_->edit2()->text());
  contents.dontAsk = dialog_->checkBox1()->isChecked();
  // Edit1 comes back for the next command, as the dialog leaves it shown.
  dialog_->edit1()->setVisible(true);
  return yes;
}

}  // namespace trovik::gui
