#include "waypoints/wpt_export.h"

#include <filesystem>

#include "base/error.h"
#include "base/files.h"
#include "base/paths.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"
#include "waypoints/gpx_convert.h"

namespace trovik::waypoints {

long long WptLineNumber(std::string_view line) {
  int comma = text::Pos(",", line);
  if (comma == 0) return 0;
  return text::ParseInt(text::Copy(line, 1, comma - 1)).value_or(0);
}

std::string ComposeExportLine(long long number, std::string_view name, std::string_view code, std::string_view position,
                              std::string_view date) {
  std::string line = std::to_string(number);
  line += ',';
  line += name;
  line += ',';
  line += position;
  line += ',';
  line += date;
  line += ",117,0,1,16777215,32768,";
  line += name;
  line += '[';
  line += code;
  line += "],0,0,0,0, 6, 0,17,0,10.0,2,,,";
  return line;
}

void SpeedButton26Click(WaypointState& state, Host& host) {
  const CacheList& caches = state.caches;
  int added = 0;
  for (size_t i = 0; i < caches.positions.size(); ++i) {
    const std::string& position = caches.positions[i];
    if (position == kPositionUnknown || position == kPositionFromWpt) continue;
    long long last = state.wptText.empty() ? 0 : WptLineNumber(state.wptText.back());
    std::string_view name = i < caches.names.size() ? std::string_view(caches.names[i]) : std::string_view();
    std::string_view code = i < caches.codes.size() ? std::string_view(caches.codes[i]) : std::string_view();
    state.wptText.push_back(ComposeExportLine(last + 1, name, code, position, WptDateText()));
    ++added;
  }
  host.showMessage("Do WPT stránky bolo pridaných "_1250.bytes() + std::to_string(added) + " záznamov"_1250.bytes());
  host.stateChanged();
}

std::string WptSavePath(const std::string& name) {
  return files::FromPcPath(paths::ProgramFolder()) + name;
}

namespace {

// Whether two 1250 paths name the same file on disk.
bool sameFile(const std::string& a, const std::string& b) {
  std::filesystem::path pa(files::PcPath(a)), pb(files::PcPath(b));
  std::error_code ec, eca, ecb;
  if (std::filesystem::equivalent(pa, pb, ec)) return true;
  auto ca = std::filesystem::weakly_canonical(pa, eca);
  auto cb = std::filesystem::weakly_canonical(pb, ecb);
  return eca || ecb ? pa.lexically_normal() == pb.lexically_normal() : ca == cb;
}

}  // namespace

device::Outcome SpeedButton10Click(WaypointState& state, const Fields& fields, device::DeviceFiles& device,
                                   Host& host) {
  std::string name = state.fileNameField;
  if (name.empty()) throw CannotCreateFile(WptSavePath(name));
  std::string pcPath = WptSavePath(name);
  // The GPX file that was read is never replaced by its own waypoint text.
  if (text::UpperCase(files::ExtensionOf(state.currentFile)) == ".GPX" && sameFile(pcPath, state.currentFile)) {
    name = WptSaveName(state.currentFile);
    state.fileNameField = name;
    pcPath = WptSavePath(name);
    host.stateChanged();
  }
  files::WriteLinesCrLf(files::PcPath(pcPath), state.wptText);
  return device.CopyFileToDevice(pcPath, fields.edit4PdaWpt + name);
}

std::vector<std::string> PocketQueryFiles(const std::string& gpxPath) {
  std::vector<std::string> out{gpxPath};
  const std::string ext = files::ExtensionOf(gpxPath);
  const std::string stem = gpxPath.substr(0, gpxPath.size() - ext.size());
  constexpr std::string_view kWpts = "-WPTS";
  const std::string upperStem = text::UpperCase(stem);
  std::vector<std::string> partners;
  if (upperStem.size() > kWpts.size() && upperStem.compare(upperStem.size() - kWpts.size(), kWpts.size(), kWpts) == 0) {
    partners = {stem.substr(0, stem.size() - kWpts.size()) + ext};
  } else {
    partners = {stem + "-wpts" + ext, stem + "-wpts.gpx", stem + "-WPTS" + ext};
  }
  for (const std::string& partner : partners) {
    const std::string fs = files::PcPath(partner);
    if (files::Exists(fs) && !files::IsDirectory(fs)) {
      out.push_back(partner);
      break;
    }
  }
  return out;
}

device::Outcome SpeedButton30Click(const WaypointState& state, const Fields& fields, device::DeviceFiles& device,
                                   Host& host) {
  if (text::UpperCase(files::ExtensionOf(state.currentFile)) != ".GPX") {
    throw Error("Nie je otvorený GPX súbor."_1250);
  }
  if (!files::Exists(files::PcPath(state.currentFile))) throw CannotOpenFile(state.currentFile);
  const std::vector<std::string> gpxFiles = PocketQueryFiles(state.currentFile);
  uint64_t need = 0;
  for (const std::string& path : gpxFiles) {
    const int64_t size = files::Size(files::PcPath(path));
    if (size > 0) need += static_cast<uint64_t>(size);
  }
  const std::string shortfall = device::RoomShortfall(device, {{fields.edit25PdaGpx, need}});
  if (!shortfall.empty()) {
    host.showError(shortfall);
    return device::Outcome::Failed;
  }
  device::Outcome outcome = device::Outcome::Done;
  for (const std::string& path : gpxFiles) {
    outcome = device::Worse(outcome, device.CopyFileToDevice(path, fields.edit25PdaGpx + files::FileNameOf(path)));
  }
  return outcome;
}

}  // namespace trovik::waypoints
