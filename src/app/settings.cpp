#include "app/settings.h"

#include "base/files.h"
#include "base/profile.h"
#include "text/text.h"

namespace trovik::app {

using namespace keys;

namespace {

std::string Read(const MainState& s, const char* section, const char* key, const std::string& current) {
  return profile::ReadString(s.settingsPath, section, key, current);
}

// The folder tree's form of a folder: no trailing separator except at the root.
std::string TreeForm(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

}  // namespace

void ReadLogin(MainState& s) {
  s.fields.edit1User = Read(s, kPrihlasovanie, kUsername, s.fields.edit1User);
  s.fields.edit2Password = Read(s, kPrihlasovanie, kPassword, s.fields.edit2Password);
}

bool SwitchPcFolder(MainState& s, const std::string& folder1250) {
  if (folder1250.empty() || !files::IsDirectory(files::PcPath(folder1250))) return false;
  s.currentPcFolder = TreeForm(folder1250);
  s.statusBar5Panel0 = s.currentPcFolder;
  if (s.hooks.pcFolderChanged) s.hooks.pcFolderChanged();
  return true;
}

void ReadLastFolders(MainState& s) {
  // The panel holds the value first; the current device folder is taken
  // from the panel as it then stands.
  s.statusBar3Panel0 = Read(s, kLastCesty, kPda, s.statusBar3Panel0);
  s.currentDeviceFolder = s.statusBar3Panel0;

  s.statusBar5Panel0 = Read(s, kLastCesty, kPc, s.statusBar5Panel0);
  if (!SwitchPcFolder(s, s.statusBar5Panel0)) {
    s.statusBar5Panel0 = s.programFolder;
    if (!SwitchPcFolder(s, s.programFolder)) s.currentPcFolder = TreeForm(s.programFolder);
  }
}

void ReadDeviceFolders(MainState& s) {
  s.fields.edit4PdaWpt = Read(s, kKdeukladatdata, kPdaWpt, s.fields.edit4PdaWpt);
  s.fields.edit5PdaMht = Read(s, kKdeukladatdata, kPdaMht, s.fields.edit5PdaMht);
}

void ReadLastWpt(MainState& s) { s.waypoints.currentFile = Read(s, kLastWpt, kSubor, s.waypoints.currentFile); }

void ReadAddresses(MainState& s) {
  SiteAddresses& a = s.fields.addresses;
  a.sk = Read(s, kAdresy, kSk, a.sk);
  a.com = Read(s, kAdresy, kCom, a.com);
  a.obrazky = Read(s, kAdresy, kObrazky, a.obrazky);
}

void ReadListOptions(MainState& s) {
  s.waypoints.codeFromName = profile::ReadFlag(s.settingsPath, kZoznam, kKodZNazvu, s.waypoints.codeFromName);
}

void ReadSetrenie(MainState& s) {
  Fields& f = s.fields;
  // Radio buttons: checking one unchecks the other, unchecking leaves it.
  if (profile::ReadFlag(s.settingsPath, kSetrenie, kOriginal, f.radioButton1Original)) {
    f.radioButton1Original = true;
    f.radioButton2Vacsi = false;
  } else {
    f.radioButton1Original = false;
  }
  if (profile::ReadFlag(s.settingsPath, kSetrenie, kVacsi, f.radioButton2Vacsi)) {
    f.radioButton2Vacsi = true;
    f.radioButton1Original = false;
  } else {
    f.radioButton2Vacsi = false;
  }
  f.edit7Velkost = Read(s, kSetrenie, kVelkost, f.edit7Velkost);
  f.checkBox2Spooler = profile::ReadFlag(s.settingsPath, kSetrenie, kSpooler, f.checkBox2Spooler);
  f.checkBox3AllFoto = profile::ReadFlag(s.settingsPath, kSetrenie, kAllFoto, f.checkBox3AllFoto);
  const std::optional<int> capMb = text::ParseInt(Read(s, kSetrenie, kMaxObrazokMB, ""));
  if (capMb && *capMb >= 1 && *capMb <= 1024 * 1024) s.maxPictureBytes = static_cast<int64_t>(*capMb) * 1024 * 1024;
}

void ReadFilePageSettings(MainState& s) {
  s.fields.stranyLogy = Read(s, kStranky, kLogy, s.fields.stranyLogy);
  s.fields.domovPoloha = Read(s, kDomov, kPoloha, s.fields.domovPoloha);
}

int FilePageLogs(const Fields& f) {
  const std::optional<int> n = text::ParseInt(text::Trim(f.stranyLogy));
  return n && *n >= 0 ? *n : 10;
}

void SpeedButton8Click(const Fields& f, const std::string& path) {
  profile::WriteString(path, kKdeukladatdata, kPdaWpt, f.edit4PdaWpt);
  profile::WriteString(path, kKdeukladatdata, kPdaMht, f.edit5PdaMht);
  profile::WriteFlag(path, kSetrenie, kOriginal, f.radioButton1Original);
  profile::WriteFlag(path, kSetrenie, kVacsi, f.radioButton2Vacsi);
  profile::WriteString(path, kSetrenie, kVelkost, f.edit7Velkost);
  profile::WriteFlag(path, kSetrenie, kSpooler, f.checkBox2Spooler);
  profile::WriteFlag(path, kSetrenie, kAllFoto, f.checkBox3AllFoto);
  profile::WriteString(path, kAdresy, kSk, f.addresses.sk);
  profile::WriteString(path, kAdresy, kCom, f.addresses.com);
  profile::WriteString(path, kAdresy, kObrazky, f.addresses.obrazky);
  profile::WriteString(path, kStranky, kLogy, f.stranyLogy);
  profile::WriteString(path, kDomov, kPoloha, f.domovPoloha);
}

void SpeedButton8Click(MainState& s) {
  SpeedButton8Click(s.fields, s.settingsPath);
  profile::WriteFlag(s.settingsPath, kZoznam, kKodZNazvu, s.waypoints.codeFromName);
}

void WriteShutdownSettings(const MainState& s) {
  profile::WriteString(s.settingsPath, kLastCesty, kPda, s.statusBar3Panel0);
  profile::WriteString(s.settingsPath, kLastCesty, kPc, s.statusBar5Panel0);
  profile::WriteString(s.settingsPath, kLastWpt, kSubor, s.waypoints.currentFile);
}

void WriteFirstStartWpt(const std::string& settingsPath, const std::string& waypointFile) {
  profile::WriteString(settingsPath, kKdeukladatdata, kWptSubor, waypointFile);
}

}  // namespace trovik::app
