#pragma once
// The contents of the window's controls that rules of several modules read:
// the login panel, the site choice, the "Nastavenia" tab and the site
// addresses. The GUI edits these; the settings file reads and writes them.
// Defaults are the design values of the controls.

#include <string>

namespace trovik {

enum class Site { Sk, Com };  // radio group "Web": national (default) or international

struct SiteAddresses {
  // Base addresses without trailing "/"; the defaults point at the bundled demo site.
  std::string sk = "http://127.0.0.1:8080/sk";
  std::string com = "http://127.0.0.1:8080/com";
  std::string obrazky = "http://127.0.0.1:8080/img";
};

struct Fields {
  std::string edit1User;                                  // "Prihlasovacie meno"
  std::string edit2Password;                              // "Heslo"
  Site site = Site::Sk;
  std::string edit4PdaWpt = "\\Storage Card\\OZI_Maps\\WP\\";  // device waypoint folder
  std::string edit5PdaMht = "\\Storage Card\\Geo\\";           // device data folder
  bool radioButton1Original = true;                       // "Nemeň veľkosť"
  bool radioButton2Vacsi = false;                         // shrink option
  std::string edit7Velkost = "30000";                     // size limit text
  bool checkBox2Spooler = true;                           // header pictures option
  bool checkBox3AllFoto = false;                          // stored only
  std::string stranyLogy = "10";    // "Logy": newest logs on a page made from the file
  std::string domovPoloha;          // "Domov": "N 48°20.000' E 018°05.000'", empty for none
  bool pagesFromFile = false;       // "Stránky z:" "súboru" (else "webu")
  SiteAddresses addresses;
};

}  // namespace trovik
