#include "gui/tab_tools.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/main_state.h"
#include "gui/dispatch.h"
#include "gui/gui_host.h"
#include "gui/qt_text.h"
#include "gui/tab_html.h"
#include "gui/widgets.h"
#include "tools/tool_tab.h"

namespace trovik::gui {
namespace {

QLineEdit* MakeField(const QString& name, const QString& text, QWidget* parent, bool readOnly = false) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setReadOnly(readOnly);
  edit->setFixedWidth(130);
  return edit;
}

// The converter rewrites the other field on every released key, arrows and
// shift included, as the classic field's key-up event did.
class KeyUpFilter : public QObject {
 public:
  KeyUpFilter(QObject* parent, std::function<void()> onKeyUp) : QObject(parent), onKeyUp_(std::move(onKeyUp)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease) onKeyUp_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onKeyUp_;
};

// The memo's text in the core may end its lines with CR LF; the widget uses LF.
std::string LfLines(const std::string& text1250) { return text::ReplaceAll(text1250, "\r\n", "\n"); }

void Show(QLineEdit* edit, const std::string& text1250) {
  const QString text = FromCore(text1250);
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

TabTools::TabTools(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet8"), parent) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setHorizontalSpacing(12);
  layout->setVerticalSpacing(10);
  layout->addWidget(buildDecoder(), 0, 0, 2, 1);
  layout->addWidget(buildConverter(), 0, 1);
  layout->addWidget(buildDistance(), 1, 1);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(1, 1);
  selfTest_ = Hidden(MakeButton(QStringLiteral("SpeedButton27"), QString(), this));

  // The commands run on the core's tool fields.
  auto withFields = [this](auto command) {
    return [this, command] { run([this, command] { command(context_.tools, context_.main.flags, context_.host); }); };
  };
  edit9_->installEventFilter(new KeyUpFilter(
      edit9_, withFields([](tools::ToolFields& f, RunFlags& flags, Host&) { tools::Edit9KeyUp(f, flags); })));
  edit10_->installEventFilter(
      new KeyUpFilter(edit10_, withFields([](tools::ToolFields& f, RunFlags&, Host&) { tools::Edit10KeyUp(f); })));
  connect(distance_, &QPushButton::clicked, this,
          withFields([](tools::ToolFields& f, RunFlags& flags, Host&) { tools::SpeedButton16Click(f, flags); }));
  connect(projection_, &QPushButton::clicked, this,
          withFields([](tools::ToolFields& f, RunFlags& flags, Host& host) { tools::SpeedButton2Click(f, flags, host); }));
  connect(decode_, &QPushButton::clicked, this,
          withFields([](tools::ToolFields& f, RunFlags&, Host&) { tools::SpeedButton15Click(f); }));
  connect(selfTest_, &QPushButton::clicked, this,
          withFields([](tools::ToolFields&, RunFlags&, Host& host) { tools::SpeedButton27Click(host); }));
}

QWidget* TabTools::buildDecoder() {
  auto* box = new QGroupBox(QStringLiteral("Odkódovanie"), this);
  box->setObjectName(QStringLiteral("GroupBox3"));
  auto* column = new QVBoxLayout(box);
  decode_ = MakeButton(QStringLiteral("SpeedButton15"), QStringLiteral("Odkódovanie zašifrovaného textu"), box);
  column->addWidget(decode_, 0, Qt::AlignLeft);
  auto* label = MakeLabel(
      QStringLiteral("Label21"),
      QStringLiteral("Sem si môžete preneisť cez clipboard \"zakódovaný text\" a program vám ho \"rozkóduje\""), box);
  label->setWordWrap(true);
  column->addWidget(label);
  memo5_ = MakeMemo(QStringLiteral("Memo5"), box, true);
  memo5_->setAccessibleName(QStringLiteral("Zakódovaný text"));
  label->setBuddy(memo5_);
  memo5_->setPlainText(FromCore(LfLines(tools::SampleHintText())));
  column->addWidget(memo5_, 1);
  return box;
}

QWidget* TabTools::buildConverter() {
  auto* box = new QGroupBox(QStringLiteral("prepočet súradníc"), this);
  box->setObjectName(QStringLiteral("GroupBox4"));
  auto* grid = new QGridLayout(box);
  grid->addWidget(MakeLabel(QStringLiteral("Label34"), QStringLiteral("Obojstranný"), box, true), 0, 0, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label22"), QStringLiteral("Formát Stupne "), box), 1, 0);
  edit9_ = MakeField(QStringLiteral("Edit9"), QStringLiteral("48.123456°"), box);
  grid->addWidget(edit9_, 1, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label23"), QStringLiteral("Formát Stupne Minuty"), box), 2, 0);
  edit10_ = MakeField(QStringLiteral("Edit10"), QStringLiteral("48°07.407'"), box);
  grid->addWidget(edit10_, 2, 1);
  QFont bold = edit9_->font();
  bold.setBold(true);
  edit9_->setFont(bold);
  edit10_->setFont(bold);
  grid->setColumnStretch(2, 1);
  return box;
}

QWidget* TabTools::buildDistance() {
  auto* box = new QGroupBox(QStringLiteral("Vzdialenosť a smer"), this);
  box->setObjectName(QStringLiteral("GroupBox5"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(8);
  grid->addWidget(MakeLabel(QStringLiteral("Label24"), QStringLiteral("Bod 1 - Súradnice v stupňoch"), box, true), 0, 0, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label25"), QStringLiteral("Latitude"), box), 1, 0);
  edit11_ = MakeField(QStringLiteral("Edit11"), QStringLiteral("48.0"), box);
  grid->addWidget(edit11_, 1, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label26"), QStringLiteral("Longitude"), box), 2, 0);
  edit12_ = MakeField(QStringLiteral("Edit12"), QStringLiteral("19.0"), box);
  grid->addWidget(edit12_, 2, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label27"), QStringLiteral("Bod 2 - Súradnice v stupňoch"), box, true), 3, 0, 1, 2);
  grid->addWidget(MakeLabel(QStringLiteral("Label28"), QStringLiteral("Latitude"), box), 4, 0);
  edit13_ = MakeField(QStringLiteral("Edit13"), QStringLiteral("48.0"), box);
  grid->addWidget(edit13_, 4, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label29"), QStringLiteral("Longitude"), box), 5, 0);
  edit14_ = MakeField(QStringLiteral("Edit14"), QStringLiteral("18.0"), box);
  grid->addWidget(edit14_, 5, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label30"), QStringLiteral("Vzdialenost bodov v metroch"), box), 6, 0);
  edit15_ = MakeField(QStringLiteral("Edit15"), QString(), box, true);
  grid->addWidget(edit15_, 6, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label31"), QStringLiteral("Uhol tam"), box), 7, 0);
  edit16_ = MakeField(QStringLiteral("Edit16"), QString(), box, true);
  grid->addWidget(edit16_, 7, 1);
  grid->addWidget(MakeLabel(QStringLiteral("Label32"), QStringLiteral("Uhol naspať"), box), 8, 0);
  edit17_ = MakeField(QStringLiteral("Edit17"), QString(), box, true);
  grid->addWidget(edit17_, 8, 1);
  distance_ = MakeButton(QStringLiteral("SpeedButton16"), QStringLiteral("Vzdialenosť BOD1-BOD2"), box);
  projection_ = MakeButton(QStringLiteral("SpeedButton25"), QStringLiteral("BOD1+Uhol+vzdialenost=BOD2"), box);
  auto* buttons = new QVBoxLayout();
  buttons->addWidget(distance_);
  buttons->addWidget(projection_);
  grid->addLayout(buttons, 9, 0, 1, 2);
  auto* note = MakeLabel(QStringLiteral("Label33"),
                         QStringLiteral("Metóda výpočtu vzdialenosti bodov používa tzv.Vicente algoritmus\n"
                                        "ktorý dosť presne aproximuje 3D model zeme"),
                         box);
  QPalette palette = note->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
  note->setPalette(palette);
  grid->addWidget(note, 10, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(11, 1);
  return box;
}

void TabTools::refresh() {
  const tools::ToolFields& f = context_.tools;
  Show(edit9_, f.edit9);
  Show(edit10_, f.edit10);
  Show(edit11_, f.edit11);
  Show(edit12_, f.edit12);
  Show(edit13_, f.edit13);
  Show(edit14_, f.edit14);
  Show(edit15_, f.edit15);
  Show(edit16_, f.edit16);
  Show(edit17_, f.edit17);
  const QString memo = FromCore(LfLines(f.memo5));
  if (memo5_->toPlainText() != memo) memo5_->setPlainText(memo);
}

void TabTools::pull() {
  tools::ToolFields& f = context_.tools;
  for (auto [edit, field] : {std::pair{edit9_, &f.edit9}, std::pair{edit10_, &f.edit10}, std::pair{edit11_, &f.edit11},
                             std::pair{edit12_, &f.edit12}, std::pair{edit13_, &f.edit13}, std::pair{edit14_, &f.edit14}}) {
    *field = ToCore(edit->text());
  }
  const std::string memo = ToCore(memo5_->toPlainText());
  if (memo != LfLines(f.memo5)) f.memo5 = memo;
}

}  // namespace trovik::gui
