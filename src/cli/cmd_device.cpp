// The device link and the file manager's panes without a window: connect,
// list, copy both ways, and the PC pane's listing.

#include <cstdio>
#include <string>
#include <vector>

#include "base/flags.h"
#include "cli/command.h"
#include "device/device_link.h"
#include "device/listing.h"
#include "device/panes.h"

namespace trovik::cli {

namespace {

void SortModes(Args& args, int& nameSort, int& dateSort) {
  std::string sort = args.option("--sort");
  bool desc = args.flag("--desc");
  if (sort.empty() || sort == "name") {
    nameSort = desc ? 2 : 1;
    dateSort = 0;
  } else if (sort == "date") {
    nameSort = 0;
    dateSort = desc ? 2 : 1;
  } else {
    throw UsageError{"--sort je name alebo date."};
  }
}

void PrintRows(const device::Grid& grid, size_t columns) {
  for (const auto& row : grid) {
    std::string line;
    for (size_t c = 0; c < columns; ++c) line += (c ? "\t" : "") + row[c];
    PrintLine1250(text::Cp1250::FromBytes(line));
  }
}

std::vector<std::string> Words(const Args& args, size_t count, const char* usage) {
  std::vector<std::string> pos = args.positional();
  if (pos.size() != count) throw UsageError{usage};
  return pos;
}

int Device(Args& args) {
  device::SetDefaultDeviceRoot();
  int nameSort = 1, dateSort = 0;
  SortModes(args, nameSort, dateSort);
  std::vector<std::string> pos = args.positional();
  if (pos.empty()) throw UsageError{"Chýba príkaz: connect, ls, put, get alebo exists."};
  const std::string what = pos[0];
  FailureCountingHost host;
  RunFlags flags;
  device::DeviceLink link;

  if (what == "connect") {
    Words(args, 1, "connect nemá argumenty.");
    const bool connected = device::SpeedButton7Click(link, host);
    PrintLine1250(text::Cp1250::FromBytes(link.statusPanel3));
    return connected ? 0 : 1;
  }
  if (what == "exists") {
    auto w = Words(args, 2, "exists DEVPATH");
    // Find-first needs the connection that "ActiveSync" opens.
    if (!device::ConnectDevice(link, host)) {
      PrintError1250("PDA OFF"_1250);
      return 1;
    }
    bool yes = device::DeviceFileExists(link, host, ArgTo1250(w[1]));
    device::ReleaseDevice(link);
    PrintLine1250(yes ? "yes"_1250 : "no"_1250);
    return 0;
  }
  if (what == "put") {
    auto w = Words(args, 3, "put PCFILE DEVPATH");
    // A warning (the time stamps) leaves the copy done.
    const auto outcome = device::CopyFileToDevice(link, host, flags, ArgTo1250(w[1]), ArgTo1250(w[2]));
    return outcome == device::Outcome::Failed ? 1 : 0;
  }
  if (what == "get") {
    auto w = Words(args, 3, "get DEVPATH PCFILE");
    const auto outcome = device::CopyFileFromDevice(link, host, ArgTo1250(w[1]), ArgTo1250(w[2]));
    device::ReleaseDevice(link);
    return outcome == device::Outcome::Failed ? 1 : 0;
  }
  if (what == "ls") {
    auto w = Words(args, 2, "ls DEVFOLDER");
    device::DevicePane pane;
    pane.folder = ArgTo1250(w[1]);
    if (pane.folder.empty() || pane.folder.back() != '\\') pane.folder += '\\';
    pane.nameSort = nameSort;
    pane.dateSort = dateSort;
    pane.status3[0] = pane.folder;
    device::GetDirPDA(link, host, pane, pane.folder + "*");
    PrintRows(pane.grid, 4);
    for (const auto& s : pane.status2) PrintLine1250(text::Cp1250::FromBytes(s));
    for (const auto& s : pane.status3) PrintLine1250(text::Cp1250::FromBytes(s));
    if (!link.copyOption.enabled) {
      PrintError1250("PDA OFF"_1250);
      return 1;
    }
    return 0;
  }
  throw UnknownArgument{"Neznámy príkaz zariadenia: " + what + "."};
}

int Pcls(Args& args) {
  device::PcPane pane;
  SortModes(args, pane.nameSort, pane.dateSort);
  auto w = Words(args, 1, "pcls FOLDER");
  std::string folder = ArgTo1250(w[0]);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  device::DirectoryListBox1Change(pane, folder);
  PrintRows(pane.grid, 3);
  for (const auto& s : pane.status4) PrintLine1250(text::Cp1250::FromBytes(s));
  PrintLine1250(text::Cp1250::FromBytes(pane.status5));
  return 0;
}

}  // namespace

void RegisterDeviceCommands(Registry& registry) {
  registry.add({"device", "device connect|ls|put|get|exists ...", "Spojenie so zariadením a súbory na ňom.", Device,
                "Zariadenie cez knižnicu TROVIK_RAPI (koreň TROVIK_DEVICE_ROOT, inak PDA v adresári programu).\n\n"
                "  device connect                                    spojenie (0 keď zariadenie odpovedalo)\n"
                "  device ls DEVFOLDER [--sort name|date] [--desc]   výpis adresára\n"
                "  device put PCFILE DEVPATH                         kopírovanie do PDA\n"
                "  device get DEVPATH PCFILE                         kopírovanie do PC\n"
                "  device exists DEVPATH                             existencia súboru (yes/no)"});
  registry.add({"pcls", "pcls FOLDER [--sort name|date] [--desc]", "Výpis adresára PC.", Pcls,
                "Výpis adresára PC ako v paneli PC manažéra: riadky s bunkami oddelenými tabulátorom, potom počty."});
}

}  // namespace trovik::cli
