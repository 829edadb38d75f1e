#pragma once
// The file manager's commands on the two panes. Questions go through the
// copy-confirmation dialog, which the window implements (ConfirmCopy); opening
// a PC file goes through FileOpener.

#include <string>
#include <vector>

#include "base/flags.h"
#include "base/host.h"
#include "device/device_link.h"
#include "device/panes.h"

namespace trovik::device {

// The contents of the dialog `TPotvrd` ("Súhlasíte?") as a command fills it.
struct ConfirmDialog {
  std::string label1;            // Label1
  std::string edit1;             // Edit1, read-only
  std::string label2;            // Label2
  std::string edit2;             // Edit2, editable: the user may change it
  bool edit1Visible = true;
  bool label2Visible = true;
  bool edit2Visible = true;
  bool dontAsk = false;          // CheckBox1 "Už sa nepýtaj", unticked at each command's start
};

class ConfirmCopy {
 public:
  virtual ~ConfirmCopy() = default;
  // Shows the dialog modally, 10 pixels right of and below the main window's
  // top-left corner. True only for the answer Yes; the dialog's Edit2 and
  // check box come back as the user left them.
  virtual bool Ask(ConfirmDialog& dialog) = 0;
};

// The desktop's opener (xdg-open, or the program TROVIK_OPENER names).
class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Opens `name` in `folder` (PC text) with its associated program; false
  // when that could not be done.
  virtual bool Open(const std::string& folder, const std::string& name);

 private:
  std::vector<int> running_;  // openers still running at the last look
};

struct Manager {
  DeviceLink& link;
  Host& host;
  const RunFlags& flags;
  ConfirmCopy& confirm;
  FileOpener& opener;
  DevicePane& pda;
  PcPane& pc;
};

// Device path and PC path of a name in the panes' current folders.
std::string DevicePathOf(const DevicePane& pane, const std::string& name);
std::string PcPathOf(const PcPane& pane, const std::string& name);

// Copy the selected file rows of the PC pane to the device (folders skipped).
void KopirovaniesborudoPDA1Click(Manager& m, const std::vector<int>& selectedPcRows);
// Copy the selected file rows of the device pane to the PC.
void MenuItem1Click(Manager& m, const std::vector<int>& selectedDeviceRows);
// Delete the selected device rows (files and folders).
void MenuItem2Click(Manager& m, const std::vector<int>& selectedDeviceRows);
// Create a device folder, named in the dialog.
void Vytvoradresr1Click(Manager& m);
// Open the PC row in its associated program.
void Vymazaniesboru1Click(Manager& m, int pcRow);
// "Refreš" of the PC pane (listed, not sorted) and of the device pane.
void Refre1Click(Manager& m);
void Refre2Click(Manager& m);
// "Načítaj adresár PDA".
void SpeedButton12Click(Manager& m);
// Double clicks: into a folder, or ".." up one level; file rows do nothing.
void StringPDADblClick(Manager& m, int row);
void StringPCDblClick(Manager& m, int row);
// "Vytvor tieto adresáre - PDA musí byť ONLINE!": HTM and Pictures in the
// device data folder; nothing is shown.
void SpeedButton9Click(DeviceLink& link, Host& host, const std::string& deviceDataFolder);

// The PC folder that a folder row leads to (".." resolved).
std::string PcFolderAfter(const std::string& folder, const std::string& name);

}  // namespace trovik::device
