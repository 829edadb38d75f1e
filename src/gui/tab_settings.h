#pragma once
// Tab "Nastavenia": device folders, picture saving, the site addresses and
// how the cache list reads codes, with "Zapíš do INI".

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/context.h"

namespace trovik::gui {

class TabSettings : public Tab {
  Q_OBJECT
 public:
  TabSettings(Context& context, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void connectFields();

  QPushButton* write_ = nullptr;
  QLineEdit* edit4_ = nullptr;
  QLineEdit* edit5_ = nullptr;
  QPushButton* createFolders_ = nullptr;
  QRadioButton* radioButton1_ = nullptr;
  QRadioButton* radioButton2_ = nullptr;
  QLineEdit* edit7_ = nullptr;
  QLineEdit* editDomov_ = nullptr;
  QLineEdit* editLogy_ = nullptr;
  QCheckBox* checkBox2_ = nullptr;
  QCheckBox* checkBox3_ = nullptr;
  QCheckBox* checkBox4_ = nullptr;  // "[Zoznam] KodZNazvu"
  QLineEdit* addressSk_ = nullptr;
  QLineEdit* addressCom_ = nullptr;
  QLineEdit* addressImages_ = nullptr;
};

}  // namespace trovik::gui
