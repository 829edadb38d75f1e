// Waypoint commands: GPX conversion, the cache list of a waypoint file, and
// the upload of a waypoint file into the device's waypoint folder.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/main_state.h"
#include "app/settings.h"
#include "base/error.h"
#include "base/files.h"
#include "base/flags.h"
#include "cli/command.h"
#include "device/device_link.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/gpx_file.h"
#include "waypoints/open_command.h"
#include "waypoints/waypoint_state.h"
#include "waypoints/wpt_export.h"

namespace trovik::cli {

namespace {

// The open command's dialog, answered with the file named on the command line.
class ChosenFileHost : public CliHost {
 public:
  explicit ChosenFileHost(std::string path1250) : path_(std::move(path1250)) {}
  std::optional<std::string> openFileDialog(const OpenDialog&) override { return path_; }

 private:
  std::string path_;
};

std::string OnePositional(const Args& args) {
  std::vector<std::string> pos = args.positional();
  if (pos.size() != 1) throw UsageError{pos.empty() ? "Chýba súbor." : "Priveľa argumentov."};
  return pos[0];
}

int Gpx2wpt(Args& args) {
  std::string out;
  bool toFile = args.option("-o", out) || args.option("--output", out);
  std::string in = OnePositional(args);
  if (toFile && out.empty()) throw UsageError{"Voľba -o potrebuje meno súboru."};

  // Streamed: the GPX text is not kept, only the waypoint lines.
  RunFlags flags;
  std::string bytes;
  waypoints::ConvertGpxFile(ArgTo1250(in), flags, [&bytes](std::string&& line) {
    bytes += line;
    bytes += "\r\n";
  });
  if (toFile) {
    files::WriteAtomic(out, bytes);
  } else if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
    throw UnableToWrite("stdout");
  }
  return 0;
}

int Caches(Args& args) {
  std::string file = ArgTo1250(OnePositional(args));
  ChosenFileHost host(file);
  // The list is built as the window builds it, with the settings file's choice.
  app::MainState settings(app::ProgramFolder1250());
  app::ReadListOptions(settings);
  waypoints::WaypointState& state = settings.waypoints;
  waypoints::ToolButton10Click(state, settings.memo1, settings.flags, host);
  const auto& c = state.caches;
  for (int i = 0; i < c.count(); ++i) PrintLine1250(text::Cp1250::FromBytes(c.names[i] + "\t" + c.codes[i] + "\t" + c.positions[i]));
  std::fflush(stdout);
  // An empty list is an answer, not a failure, but it must not pass unsaid.
  if (c.count() == 0) PrintError1250(text::Cp1250::FromBytes(waypoints::NoCacheText()));
  return 0;
}

// "Ulož GPX do PDA": the GPX file and its pocket query's waypoint file, unchanged.
int UploadGpx(Args& args) {
  std::string folder;
  const bool folderGiven = args.option("--pda-gpx", folder);
  const std::string file = files::FromPcPath(std::filesystem::absolute(OnePositional(args)).lexically_normal().string());
  if (text::UpperCase(files::ExtensionOf(file)) != ".GPX") throw UsageError{"S --gpx musí byť FILE .gpx."};
  app::MainState settings(app::ProgramFolder1250());
  app::ReadDeviceFolders(settings);
  if (folderGiven) settings.fields.edit25PdaGpx = ArgTo1250(folder);

  FailureCountingHost host;
  RunFlags flags;
  waypoints::WaypointState state;
  state.currentFile = file;
  device::SetDefaultDeviceRoot();
  device::DeviceLink link;
  device::LinkDeviceFiles deviceFiles(link, host, flags);
  const device::Outcome outcome = waypoints::SpeedButton30Click(state, settings.fields, deviceFiles, host);
  device::ReleaseDevice(link);
  if (outcome == device::Outcome::Failed) return 1;
  for (const std::string& path : waypoints::PocketQueryFiles(file)) {
    PrintLine1250(text::Cp1250::FromBytes(settings.fields.edit25PdaGpx + files::FileNameOf(path)));
  }
  return 0;
}

int Upload(Args& args) {
  if (args.flag("--gpx")) return UploadGpx(args);
  std::string folder;
  bool folderGiven = args.option("--pda-wpt", folder);
  std::string file = ArgTo1250(OnePositional(args));
  std::string ext = text::UpperCase(files::ExtensionOf(file));
  if (ext != ".WPT" && ext != ".GPX") throw UsageError{"FILE musí byť .wpt alebo .gpx."};

  // The device waypoint folder as the settings file has it, unless given.
  app::MainState settings(app::ProgramFolder1250());
  app::ReadDeviceFolders(settings);
  if (folderGiven) settings.fields.edit4PdaWpt = ArgTo1250(folder);

  FailureCountingHost host;
  RunFlags flags;
  waypoints::WaypointState state;
  std::vector<std::string> memo1;
  waypoints::OpenWaypointFile(state, memo1, flags, host, file);

  device::SetDefaultDeviceRoot();
  device::DeviceLink link;
  device::LinkDeviceFiles deviceFiles(link, host, flags);
  const device::Outcome outcome = waypoints::SpeedButton10Click(state, settings.fields, deviceFiles, host);
  device::ReleaseDevice(link);
  if (outcome == device::Outcome::Failed) return 1;
  PrintLine1250(text::Cp1250::FromBytes(settings.fields.edit4PdaWpt + state.fileNameField));
  return 0;
}

}  // namespace

void RegisterWaypointCommands(Registry& registry) {
  registry.add({"gpx2wpt", "gpx2wpt IN.gpx [-o OUT]", "Prevedie GPX na OziExplorer WPT.", Gpx2wpt,
                "Prevedie GPX na OziExplorer WPT (Windows-1250, CR LF) do súboru OUT alebo na štandardný výstup."});
  registry.add({"caches", "caches FILE", "Vypíše zoznam kešiek súboru.", Caches,
                "Otvorí súbor ako tlačidlo \"Open GPX\" (.gpx sa prevedie, .wpt sa načíta) a vypíše zoznam kešiek: "
                "názov, TAB, kód, TAB, poloha."});
  registry.add({"upload", "upload FILE [--pda-wpt DEVFOLDER] | upload --gpx FILE.gpx [--pda-gpx DEVFOLDER]",
                "Uloží waypointy (alebo GPX súbor) do PDA.", Upload,
                "Ako \"Ulož tento wpt súbor do PDA\": uloží waypointy zo súboru (.gpx sa prevedie) do adresára "
                "programu a skopíruje ich do adresára PDA pre WPT (z Trovik.ini alebo --pda-wpt, s \\ na konci).\n"
                "S --gpx ako \"Ulož GPX do PDA\": skopíruje GPX súbor nezmenený, aj jeho -wpts súbor vedľa neho, do "
                "adresára PDA pre GPX (PDA_GPX z Trovik.ini alebo --pda-gpx)."});
}

}  // namespace trovik::cli
