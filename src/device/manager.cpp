#include "device/manager.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "base/files.h"
#include "device/listing.h"
#include "device/wide_path.h"
#include "text/text.h"

extern char** environ;

namespace trovik::device {

namespace {


// Rows 2 and below of a grid that are selected, top to bottom.
std::vector<int> DataRows(const Grid& grid, const std::vector<int>& selected) {
  std::set<int> chosen(selected.begin(), selected.end());
  std::vector<int> rows;
  for (int r = 2; r < static_cast<int>(grid.size()); ++r) {
    if (chosen.count(r)) rows.push_back(r);
  }
  return rows;
}

ConfirmDialog CopyDialog() {
  ConfirmDialog d;
  d.label1 = "Kopírovať súbor"_1250.bytes();
  d.label2 = "sem ?";
  return d;
}

void NothingSelected(Host& host) { host.showMessage("Nebolo nič vybraté"_1250.bytes()); }

void ListDevice(Manager& m) { GetDirPDA(m.link, m.host, m.pda, m.pda.folder + "*"); }

}  // namespace

std::string DevicePathOf(const DevicePane& pane, const std::string& name) { return pane.folder + name; }

std::string PcPathOf(const PcPane& pane, const std::string& name) {
  if (!pane.folder.empty() && pane.folder.back() == '/') return pane.folder + name;
  return pane.folder + "/" + name;
}

std::string PcFolderAfter(const std::string& folder, const std::string& name) {
  if (name != "..") {
    return (!folder.empty() && folder.back() == '/') ? folder + name : folder + "/" + name;
  }
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  size_t slash = f.rfind('/');
  if (slash == std::string::npos) return f;
  return slash == 0 ? "/" : f.substr(0, slash);
}

void KopirovaniesborudoPDA1Click(Manager& m, const std::vector<int>& selectedPcRows) {
  // Files that cannot fit on the card are not begun: one look at its room
  // before the first question.
  uint64_t need = 0;
  for (int r : DataRows(m.pc.grid, selectedPcRows)) {
    const GridRow& row = m.pc.grid[static_cast<size_t>(r)];
    if (row[1] == kDirCell) continue;
    const int64_t size = files::Size(files::PcPath(PcPathOf(m.pc, row[0])));
    if (size > 0) need += static_cast<uint64_t>(size);
  }
  if (need > 0) {
    LinkDeviceFiles device(m.link, m.host, m.flags);
    const std::string shortfall = RoomShortfall(device, {{m.pda.folder, need}});
    if (!shortfall.empty()) {
      m.host.showError(shortfall);
      return;
    }
  }
  ConfirmDialog dialog = CopyDialog();
  int counter = 0;
  for (int r : DataRows(m.pc.grid, selectedPcRows)) {
    const GridRow& row = m.pc.grid[static_cast<size_t>(r)];
    if (row[1] == kDirCell) continue;
    dialog.edit1 = PcPathOf(m.pc, row[0]);
    dialog.edit2 = DevicePathOf(m.pda, row[0]);
    if (!dialog.dontAsk && !m.confirm.Ask(dialog)) {
      ++counter;
      continue;
    }
    m.host.setBusyCursor(true);
    CopyFileToDevice(m.link, m.host, m.flags, dialog.edit1, dialog.edit2);
    ++counter;
  }
  ListDevice(m);
  m.host.setBusyCursor(false);
  if (counter == 0) NothingSelected(m.host);
}

void MenuItem1Click(Manager& m, const std::vector<int>& selectedDeviceRows) {
  ConfirmDialog dialog = CopyDialog();
  int counter = 0;
  for (int r : DataRows(m.pda.grid, selectedDeviceRows)) {
    const GridRow& row = m.pda.grid[static_cast<size_t>(r)];
    if (row[1] == kDirCell) continue;
    dialog.edit1 = DevicePathOf(m.pda, row[0]);
    dialog.edit2 = PcPathOf(m.pc, row[0]);
    if (!dialog.dontAsk && !m.confirm.Ask(dialog)) continue;
    m.host.setBusyCursor(true);
    CopyFileFromDevice(m.link, m.host, dialog.edit1, dialog.edit2);
    m.host.setBusyCursor(false);
    ++counter;
  }
  ListPcFolder(m.pc, m.pc.folder);
  m.host.stateChanged();
  if (counter == 0) NothingSelected(m.host);
}

void MenuItem2Click(Manager& m, const std::vector<int>& selectedDeviceRows) {
  ConfirmDialog dialog;
  dialog.label1 = "Vymazať súbor?"_1250.bytes();
  dialog.label2Visible = false;
  dialog.edit2Visible = false;
  int counter = 0;
  // The rows are read before the first delete: the listing at the end is the
  // only one that changes the grid.
  const Grid rows = m.pda.grid;
  for (int r : DataRows(rows, selectedDeviceRows)) {
    const GridRow& row = rows[static_cast<size_t>(r)];
    dialog.edit1 = DevicePathOf(m.pda, row[0]);
    if (!dialog.dontAsk && !m.confirm.Ask(dialog)) continue;
    m.host.setBusyCursor(true);
    if (RapiInitBounded(m.link, m.host)) {
      if (row[1] == kDirCell) {
        m.link.api.CeRemoveDirectory(Widen1250(dialog.edit1));
      } else {
        m.link.api.CeDeleteFile(Widen1250(dialog.edit1));
      }
      m.link.api.CeRapiUninit();
    }
    ++counter;
  }
  ListDevice(m);
  m.host.setBusyCursor(false);
  if (counter == 0) NothingSelected(m.host);
}

void Vytvoradresr1Click(Manager& m) {
  ConfirmDialog dialog;
  dialog.label1 = "Do editačného okna zadajte názov adresára"_1250.bytes();
  dialog.edit1Visible = false;
  dialog.label2Visible = false;
  dialog.edit2 = "Nový adresár"_1250.bytes();
  if (m.confirm.Ask(dialog)) {
    m.host.setBusyCursor(true);
    if (RapiInitBounded(m.link, m.host)) {
      m.link.api.CeCreateDirectory(Widen1250(m.pda.folder + dialog.edit2));
      m.link.api.CeRapiUninit();
    }
  }
  ListDevice(m);
  m.host.setBusyCursor(false);
}

void Vymazaniesboru1Click(Manager& m, int pcRow) {
  if (pcRow < 0 || pcRow >= static_cast<int>(m.pc.grid.size())) return;
  const std::string name = m.pc.grid[static_cast<size_t>(pcRow)][0];
  if (!m.opener.Open(m.pc.folder, name)) m.host.showWarning("Error", "Couldn't execute the application");
}

void Refre1Click(Manager& m) {
  ListPcFolder(m.pc, m.pc.folder);
  m.host.stateChanged();
}

void Refre2Click(Manager& m) { ListDevice(m); }

void SpeedButton12Click(Manager& m) { ListDevice(m); }

void StringPDADblClick(Manager& m, int row) {
  if (row < 1 || row >= static_cast<int>(m.pda.grid.size())) return;
  std::string& folder = m.pda.folder;
  if (row == 1) {
    // Up one level: the last "\" before the folder's own trailing one.
    if (folder.size() >= 2) {
      size_t slash = folder.rfind('\\', folder.size() - 2);
      if (slash != std::string::npos) folder = folder.substr(0, slash + 1);
    }
  } else {
    const GridRow& r = m.pda.grid[static_cast<size_t>(row)];
    auto attrs = text::ParseInt(r[3]);
    if (!attrs || (*attrs & 0x10) == 0) return;
    folder += r[0] + "\\";
  }
  ListDevice(m);
  m.pda.status3[0] = folder;
  m.host.stateChanged();
}

void StringPCDblClick(Manager& m, int row) {
  if (row < 1 || row >= static_cast<int>(m.pc.grid.size())) return;
  const GridRow& r = m.pc.grid[static_cast<size_t>(row)];
  if (r[1] != kDirCell) return;
  DirectoryListBox1Change(m.pc, PcFolderAfter(m.pc.folder, r[0]));
  m.host.stateChanged();
}

void SpeedButton9Click(DeviceLink& link, Host& host, const std::string& deviceDataFolder) {
  if (!RapiInitBounded(link, host)) return;
  link.api.CeCreateDirectory(Widen1250(deviceDataFolder + "HTM"));
  link.api.CeCreateDirectory(Widen1250(deviceDataFolder + "Pictures"));
  link.api.CeRapiUninit();
}

bool FileOpener::Open(const std::string& folder, const std::string& name) {
  // Openers that went on running last time are collected now.
  running_.erase(std::remove_if(running_.begin(), running_.end(),
                                [](int pid) { return waitpid(pid, nullptr, WNOHANG) != 0; }),
                 running_.end());
  const char* program = std::getenv("TROVIK_OPENER");
  if (!program || !*program) program = "xdg-open";
  std::string dir = files::PcPath(folder);
  std::string path = files::PcPath(name);
  if (!name.empty() && name[0] != '/') path = (dir.empty() || dir.back() == '/' ? dir : dir + "/") + path;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  char* argv[] = {const_cast<char*>(program), path.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  // The opener normally hands the file over and ends at once; its failure
  // shows in its exit status. One that keeps running is taken as started.
  for (int waited = 0; waited < 3000; waited += 20) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (r < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  running_.push_back(pid);
  return true;
}

}  // namespace trovik::device
