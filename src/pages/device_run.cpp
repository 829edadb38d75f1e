// The device copies of a run: planned while the pages are made, then sent
// together once the card has said it can take them all. A run that cannot
// fit sends nothing, so the card is never left with half of a batch.

#include <algorithm>
#include <cstdio>

#include "base/files.h"
#include "pages/pages.h"
#include "text/text.h"

namespace trovik::pages {

namespace {


// The folder part of a device path, with its "\".
std::string DeviceFolderOf(const std::string& devicePath) {
  const size_t slash = devicePath.rfind('\\');
  return slash == std::string::npos ? std::string() : devicePath.substr(0, slash + 1);
}

std::string SkippedText(const std::vector<std::string>& names) {
  constexpr size_t kShown = 20;
  std::string list;
  for (size_t i = 0; i < names.size() && i < kShown; ++i) list += (i ? ", " : "") + names[i];
  if (names.size() > kShown) list += " a ďalšie ("_1250.bytes() + std::to_string(names.size() - kShown) + ")";
  return "Pre Garmin vynechané (nie sú JPEG): "_1250.bytes() + list;
}

void Send(PagesState& state, PageOutput& ctx) {
  DevicePlan plan = std::move(state.devicePlan);
  state.devicePlan = DevicePlan{};
  // Closing the window sends nothing more.
  if (ctx.flags.shutDown) return;
  if (!plan.copies.empty()) {
    device::RoomNeeds needs;
    for (const auto& copy : plan.copies) {
      const int64_t size = files::Size(files::PcPath(copy.pcPath));
      needs.emplace_back(DeviceFolderOf(copy.devicePath), size > 0 ? static_cast<uint64_t>(size) : 0);
    }
    const std::string shortfall = device::RoomShortfall(ctx.device, needs);
    if (!shortfall.empty()) {
      ctx.host.showError(shortfall);
      state.deviceOutcome = device::Outcome::Failed;
      state.statusText = "Do PDA sa nič nekopírovalo"_1250.bytes();
      ctx.host.stateChanged();
      return;
    }
    // A folder the device will not make is said once; the copies into it are
    // left out, and the rest of the run goes on.
    std::vector<std::string> missing;
    for (const std::string& folder : plan.folders) {
      if (ctx.device.MakeDeviceFolders(folder)) continue;
      missing.push_back(folder);
      ctx.host.showError("Na zariadení sa nedá vytvoriť adresár "_1250.bytes() + folder);
      state.deviceOutcome = device::Outcome::Failed;
    }
    const std::string before = state.statusText;
    const size_t count = plan.copies.size();
    for (size_t i = 0; i < count; ++i) {
      // A failed write unticks "Aj do PDA": the rest stays on the PC, as the
      // copies made one by one would have.
      if (!ctx.copyToDevice.ticked || ctx.flags.shutDown) break;
      state.statusText = "Kopírujem do PDA "_1250.bytes() + std::to_string(i + 1) + "/" + std::to_string(count);
      ctx.host.stateChanged();
      const auto& copy = plan.copies[i];
      if (std::find(missing.begin(), missing.end(), DeviceFolderOf(copy.devicePath)) != missing.end()) continue;
      state.deviceOutcome = device::Worse(state.deviceOutcome, ctx.device.CopyFileToDevice(copy.pcPath, copy.devicePath));
      ctx.host.processMessages();
    }
    state.statusText = before;
    ctx.host.stateChanged();
  }
  if (!plan.skippedPhotos.empty()) ctx.host.showMessage(SkippedText(plan.skippedPhotos));
}

}  // namespace

DeviceRun::DeviceRun(PagesState& state, PageOutput& ctx) : state_(state), ctx_(ctx) {
  // A run starts with an empty plan; one inside it adds to the outer one's.
  if (state_.devicePlan.runs == 0) state_.devicePlan = DevicePlan{};
  ++state_.devicePlan.runs;
}

DeviceRun::~DeviceRun() {
  if (!open_) return;
  // Left by an error: what was planned is dropped with the run.
  if (--state_.devicePlan.runs == 0) state_.devicePlan = DevicePlan{};
}

void DeviceRun::finish() {
  if (!open_) return;
  open_ = false;
  if (--state_.devicePlan.runs > 0) return;
  Send(state_, ctx_);
}

void PlanDeviceCopy(PagesState& state, PageOutput& ctx, const std::string& pcPath, const std::string& devicePath,
                    bool keepExisting) {
  if (!ctx.copyToDevice.ticked) return;
  DevicePlan& plan = state.devicePlan;
  const std::string key = text::UpperCase(devicePath);
  if (plan.targets.count(key)) return;
  if (keepExisting && ctx.device.DeviceFileExists(devicePath)) return;
  plan.targets.insert(key);
  plan.copies.push_back({pcPath, devicePath});
  // Outside a run (a command that copies one thing) the copy goes at once.
  if (plan.runs == 0) Send(state, ctx);
}

}  // namespace trovik::pages
