#include "gui/main_menu.h"

namespace trovik::gui {
namespace {

QAction* Item(QMenu* menu, const QString& objectName, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(objectName);
  return action;
}

}  // namespace

MainMenu BuildMainMenu(QMenuBar* bar) {
  MainMenu m;
  bar->setObjectName(QStringLiteral("MainMenu1"));
  m.subor = bar->addMenu(QStringLiteral("Súbor"));
  m.subor->setObjectName(QStringLiteral("Sbor1"));
  m.otvorWpt = Item(m.subor, QStringLiteral("OtvorWPTsbor2"), QStringLiteral("Otvor WPT súbor"));
  m.otvorWpt->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  m.funkcieManazera = m.subor->addMenu(QStringLiteral("Funkcie manažéra"));
  m.funkcieManazera->setObjectName(QStringLiteral("Funkciemanara1"));
  m.copyToDevice = Item(m.funkcieManazera, QStringLiteral("KopirovaniesborudoPDA2"),
                        QStringLiteral("Kopirovanie označených súborov do PDA"));
  m.openAssociated = Item(m.funkcieManazera, QStringLiteral("Otvorfilevasociovanomprograme1"),
                          QStringLiteral("Otvor file v asociovanom programe"));
  m.copyToPc = Item(m.funkcieManazera, QStringLiteral("KopirovaniesborudoPC1"),
                    QStringLiteral("Kopirovanie označených súborov do PC"));
  m.deleteOnDevice = Item(m.funkcieManazera, QStringLiteral("VymazaniesborovadresrovvPDA1"),
                          QStringLiteral("Vymazanie označených súborov,adresárov v PDA"));
  m.createDeviceFolder =
      Item(m.funkcieManazera, QStringLiteral("VytvoradresrvPDA1"), QStringLiteral("Vytvor adresár v PDA"));
  m.subor->addSeparator();
  m.koniec = Item(m.subor, QStringLiteral("Koniecprogramu1"), QStringLiteral("Koniec programu"));
  m.koniec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  m.filtre = bar->addMenu(QStringLiteral("Filtre"));
  m.filtre->setObjectName(QStringLiteral("Filtre1"));
  m.typKesky = m.filtre->addMenu(QStringLiteral("Typ kešky"));
  m.typKesky->setObjectName(QStringLiteral("Typkeky1"));
  m.vsetky = Item(m.typKesky, QStringLiteral("Vetky1"), QStringLiteral("Všetky"));
  m.typKesky->addSeparator();
  static const char* const kNames[6] = {"Tradin1", "Multi1", "Zhadn1", "Webkamera1", "Stretvka1", "Ostatn1"};
  static const char* const kCaptions[6] = {"Tradičná", "Multi", "Záhadná", "Webkamera", "Stretávka", "Ostatné"};
  for (int i = 0; i < 6; ++i) {
    m.types[i] = Item(m.typKesky, QString::fromLatin1(kNames[i]), QString::fromUtf8(kCaptions[i]));
    m.types[i]->setCheckable(true);
    m.types[i]->setChecked(true);
  }
  return m;
}

}  // namespace trovik::gui
