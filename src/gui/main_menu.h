#pragma once
// The menu bar: "Súbor" (open, file manager functions, quit) and "Filtre"
// with the cache-type items of the nearby search.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace trovik::gui {

struct MainMenu {
  QMenu* subor = nullptr;
  QAction* otvorWpt = nullptr;          // OtvorWPTsbor2
  QMenu* funkcieManazera = nullptr;     // Funkciemanara1
  QAction* copyToDevice = nullptr;      // "Kopirovanie označených súborov do PDA"
  QAction* openAssociated = nullptr;    // "Otvor file v asociovanom programe"
  QAction* copyToPc = nullptr;          // "Kopirovanie označených súborov do PC"
  QAction* deleteOnDevice = nullptr;    // "Vymazanie označených súborov,adresárov v PDA"
  QAction* createDeviceFolder = nullptr;// "Vytvor adresár v PDA"
  QAction* koniec = nullptr;            // "Koniec programu"
  QMenu* filtre = nullptr;
  QMenu* typKesky = nullptr;
  QAction* vsetky = nullptr;
  QAction* types[6] = {};               // Tradin1, Multi1, Zhadn1, Webkamera1, Stretvka1, Ostatn1
};

// Builds the menus into `bar`; the window connects the commands.
MainMenu BuildMainMenu(QMenuBar* bar);

}  // namespace trovik::gui
