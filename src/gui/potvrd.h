#pragma once
// `TPotvrd`: the file manager's confirmation dialog. One instance lives for
// the whole run, created hidden at start-up; each command fills and places it.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/manager.h"

namespace trovik::gui {

class TPotvrd : public QDialog {
  Q_OBJECT
 public:
  explicit TPotvrd(QWidget* parent = nullptr);

  QLabel* label1() const { return label1_; }
  QLabel* label2() const { return label2_; }
  QLineEdit* edit1() const { return edit1_; }
  QLineEdit* edit2() const { return edit2_; }
  QCheckBox* checkBox1() const { return checkBox1_; }
  QPushButton* yes() const { return bitBtn1_; }
  QPushButton* no() const { return bitBtn2_; }

  // 10 pixels right of and below the top-left corner of `window`.
  void placeBeside(const QWidget* window);
  // Modal; true only for Yes (No and closing the window refuse).
  bool ask();

 private:
  QLabel* label1_;
  QLabel* label2_;
  QLineEdit* edit1_;
  QLineEdit* edit2_;
  QCheckBox* checkBox1_;
  QPushButton* bitBtn1_;
  QPushButton* bitBtn2_;
};

// The file manager's questions asked with the dialog: filled from the core's
// contents, placed beside the main window, and read back after the answer.
class PotvrdConfirm : public device::ConfirmCopy {
 public:
  PotvrdConfirm(TPotvrd* dialog, QWidget* window) : dialog_(dialog), window_(window) {}
  bool Ask(device::ConfirmDialog& contents) override;

 private:
  TPotvrd* dialog_;
  QWidget* window_;
};

}  // namespace trovik::gui
