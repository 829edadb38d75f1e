#include "gui/tab_settings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/main_state.h"
#include "app/settings.h"
#include "base/fields.h"
#include "device/device_link.h"
#include "device/manager.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"

namespace trovik::gui {
namespace {

QLineEdit* MakeEdit(const QString& name, const QString& text, QWidget* parent, int width) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setFixedWidth(width);
  return edit;
}

}  // namespace

TabSettings::TabSettings(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet4"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(8);

  write_ = MakeButton(QStringLiteral("SpeedButton8"), QStringLiteral("Zapíš do INI"), this);
  write_->setFixedWidth(140);
  layout->addWidget(write_, 0, Qt::AlignLeft);

  auto* folders = new QGridLayout();
  folders->setHorizontalSpacing(10);
  folders->addWidget(MakeLabel(QStringLiteral("Label9"), QStringLiteral("Cesta v PDA pre WPT s lomítkom na konci"), this),
                     0, 0);
  edit4_ = MakeEdit(QStringLiteral("Edit4"), QStringLiteral("\\Storage Card\\OZI_Maps\\WP\\"), this, 260);
  folders->addWidget(edit4_, 0, 1);
  folders->addWidget(
      MakeLabel(QStringLiteral("Label10"), QStringLiteral("Hlavný adresár PDA,kde bude program ukladať dáta"), this), 1, 0);
  edit5_ = MakeEdit(QStringLiteral("Edit5"), QStringLiteral("\\Storage Card\\Geo\\"), this, 260);
  folders->addWidget(edit5_, 1, 1);
  folders->addWidget(
      MakeLabel(QStringLiteral("Label11"), QStringLiteral("V tomto adresáry ešte musia existovať adresáre HTM a Pictures"),
                this),
      2, 0, 1, 2);
  folders->setColumnStretch(2, 1);
  layout->addLayout(folders);

  createFolders_ =
      MakeButton(QStringLiteral("SpeedButton9"), QStringLiteral("Vytvor tieto adresáre - PDA musí byť ONLINE!"), this);
  QFont bold = createFolders_->font();
  bold.setBold(true);
  createFolders_->setFont(bold);
  createFolders_->setStyleSheet(QStringLiteral("QPushButton { color: rgb(0, 128, 0); padding: 3px 12px; }"));
  layout->addWidget(createFolders_, 0, Qt::AlignLeft);

  auto* saving = new QGroupBox(QStringLiteral("Šetrenie miestom"), this);
  saving->setObjectName(QStringLiteral("GroupBox1"));
  auto* savingLayout = new QGridLayout(saving);
  savingLayout->setHorizontalSpacing(8);
  radioButton1_ = new QRadioButton(QStringLiteral("Nemeň veľkosť"), saving);
  radioButton1_->setObjectName(QStringLiteral("RadioButton1"));
  radioButton1_->setChecked(true);
  savingLayout->addWidget(radioButton1_, 0, 0, 1, 4);
  radioButton2_ = new QRadioButton(QStringLiteral("Ak je obrázok väčší  ako"), saving);
  radioButton2_->setObjectName(QStringLiteral("RadioButton2"));
  savingLayout->addWidget(radioButton2_, 1, 0);
  edit7_ = MakeEdit(QStringLiteral("Edit7"), QStringLiteral("30000"), saving, 80);
  savingLayout->addWidget(edit7_, 1, 1);
  savingLayout->addWidget(MakeLabel(QStringLiteral("Label12"), QStringLiteral("bytov"), saving), 1, 2);
  savingLayout->addWidget(MakeLabel(QStringLiteral("Label13"), QStringLiteral("tak ho zmenši na  50%"), saving), 1, 3);
  checkBox2_ = new QCheckBox(QStringLiteral("fotky zo \"záhlavia\"/spoiler/"), saving);
  checkBox2_->setObjectName(QStringLiteral("CheckBox2"));
  checkBox2_->setChecked(true);
  savingLayout->addWidget(checkBox2_, 2, 0, 1, 4);
  checkBox3_ = new QCheckBox(QStringLiteral("Do PC aj fotky kešerov"), saving);
  checkBox3_->setObjectName(QStringLiteral("CheckBox3"));
  savingLayout->addWidget(checkBox3_, 3, 0, 1, 4);
  savingLayout->setColumnStretch(4, 1);
  saving->setFixedWidth(480);
  layout->addWidget(saving, 0, Qt::AlignLeft);

  auto* addresses = new QGroupBox(QStringLiteral("Adresy webov"), this);
  addresses->setObjectName(QStringLiteral("GroupBox2"));
  auto* addressLayout = new QGridLayout(addresses);
  addressLayout->addWidget(MakeLabel(QStringLiteral("Label14"), QStringLiteral("sk"), addresses), 0, 0);
  addressSk_ = MakeEdit(QStringLiteral("Edit18"), QString(), addresses, 360);
  addressLayout->addWidget(addressSk_, 0, 1);
  addressLayout->addWidget(MakeLabel(QStringLiteral("Label15"), QStringLiteral("com"), addresses), 1, 0);
  addressCom_ = MakeEdit(QStringLiteral("Edit19"), QString(), addresses, 360);
  addressLayout->addWidget(addressCom_, 1, 1);
  addressLayout->addWidget(MakeLabel(QStringLiteral("Label16"), QStringLiteral("obrázky"), addresses), 2, 0);
  addressImages_ = MakeEdit(QStringLiteral("Edit20"), QString(), addresses, 360);
  addressLayout->addWidget(addressImages_, 2, 1);
  addressLayout->setColumnStretch(2, 1);
  addresses->setFixedWidth(480);
  layout->addWidget(addresses, 0, Qt::AlignLeft);

  // Pages made straight from the waypoint file.
  auto* filePages = new QGroupBox(QStringLiteral("Stránky zo súboru"), this);
  filePages->setObjectName(QStringLiteral("GroupBoxStranky"));
  auto* filePagesLayout = new QGridLayout(filePages);
  filePagesLayout->addWidget(MakeLabel(QStringLiteral("LabelDomov"), QStringLiteral("Domov"), filePages), 0, 0);
  editDomov_ = MakeEdit(QStringLiteral("EditDomov"), QString(), filePages, 220);
  editDomov_->setPlaceholderText(QStringLiteral("N 48°20.000' E 018°05.000'"));
  filePagesLayout->addWidget(editDomov_, 0, 1);
  filePagesLayout->addWidget(MakeLabel(QStringLiteral("LabelLogy"), QStringLiteral("Logy"), filePages), 1, 0);
  editLogy_ = MakeEdit(QStringLiteral("EditLogy"), QStringLiteral("10"), filePages, 60);
  filePagesLayout->addWidget(editLogy_, 1, 1);
  filePagesLayout->setColumnStretch(2, 1);
  filePages->setFixedWidth(480);
  layout->addWidget(filePages, 0, Qt::AlignLeft);

  // Applies to the next file opened: rebuilding the list now would drop its marks.
  checkBox4_ = new QCheckBox(QStringLiteral("Kód kešky aj z názvu bodu (pocket query)"), this);
  checkBox4_->setObjectName(QStringLiteral("CheckBox4"));
  checkBox4_->setChecked(true);
  layout->addWidget(checkBox4_, 0, Qt::AlignLeft);
  layout->addStretch(1);
  connectFields();
}

void TabSettings::connectFields() {
  Context& c = context_;
  Fields& f = c.main.fields;
  connect(createFolders_, &QPushButton::clicked, this,
          [this, &c, &f] { run([&c, &f] { device::SpeedButton9Click(c.device, c.host, f.edit5PdaMht); }); });
  connect(write_, &QPushButton::clicked, this, [this, &c] { run([&c] { app::SpeedButton8Click(c.main); }); });
  const auto text = [this, &f](QLineEdit* edit, std::string Fields::*member) {
    connect(edit, &QLineEdit::textEdited, this, [&f, member](const QString& value) { f.*member = ToCore(value); });
  };
  text(edit4_, &Fields::edit4PdaWpt);
  text(edit5_, &Fields::edit5PdaMht);
  text(edit7_, &Fields::edit7Velkost);
  text(editDomov_, &Fields::domovPoloha);
  text(editLogy_, &Fields::stranyLogy);
  const auto address = [this, &f](QLineEdit* edit, std::string SiteAddresses::*member) {
    connect(edit, &QLineEdit::textEdited, this,
            [&f, member](const QString& value) { f.addresses.*member = ToCore(value); });
  };
  address(addressSk_, &SiteAddresses::sk);
  address(addressCom_, &SiteAddresses::com);
  address(addressImages_, &SiteAddresses::obrazky);
  connect(radioButton1_, &QRadioButton::clicked, this, [&f] {
    f.radioButton1Original = true;
    f.radioButton2Vacsi = false;
  });
  connect(radioButton2_, &QRadioButton::clicked, this, [&f] {
    f.radioButton1Original = false;
    f.radioButton2Vacsi = true;
  });
  connect(checkBox2_, &QCheckBox::clicked, this, [&f](bool on) { f.checkBox2Spooler = on; });
  connect(checkBox3_, &QCheckBox::clicked, this, [&f](bool on) { f.checkBox3AllFoto = on; });
  connect(checkBox4_, &QCheckBox::clicked, this, [&c](bool on) { c.main.waypoints.codeFromName = on; });
}

void TabSettings::refresh() {
  const Fields& f = context_.main.fields;
  SetEditText(edit4_, FromCore(f.edit4PdaWpt));
  SetEditText(edit5_, FromCore(f.edit5PdaMht));
  SetEditText(edit7_, FromCore(f.edit7Velkost));
  SetEditText(editDomov_, FromCore(f.domovPoloha));
  SetEditText(editLogy_, FromCore(f.stranyLogy));
  SetEditText(addressSk_, FromCore(f.addresses.sk));
  SetEditText(addressCom_, FromCore(f.addresses.com));
  SetEditText(addressImages_, FromCore(f.addresses.obrazky));
  // Two flags behind one radio pair: the shrink option decides when both are set.
  const bool shrink = f.radioButton2Vacsi;
  const bool keep = !shrink && f.radioButton1Original;
  if (radioButton1_->isChecked() != keep || radioButton2_->isChecked() != shrink) {
    radioButton1_->setAutoExclusive(false);
    radioButton2_->setAutoExclusive(false);
    radioButton1_->setChecked(keep);
    radioButton2_->setChecked(shrink);
    radioButton1_->setAutoExclusive(true);
    radioButton2_->setAutoExclusive(true);
  }
  SetChecked(checkBox2_, f.checkBox2Spooler);
  SetChecked(checkBox3_, f.checkBox3AllFoto);
  SetChecked(checkBox4_, context_.main.waypoints.codeFromName);
}

}  // namespace trovik::gui
