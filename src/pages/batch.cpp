// The batch export of marked caches and the hidden test commands. Waits poll
// the page-done flag while window messages run, so "Brejk" (or shut-down)
// ends whichever wait is running; after shut-down the batch stops.

#include "pages/pages.h"
#include "text/text.h"

namespace trovik::pages {

namespace {

// The batch's own wait: sleep, then let messages run.
void waitSleepingFirst(PageContext& ctx) {
  while (!ctx.flags.pageDone && !ctx.flags.shutDown) {
    ctx.host.sleepMs(100);
    ctx.host.processMessages();
  }
}

// The test run's wait: let messages run, then sleep.
void waitPumpingFirst(PageContext& ctx) {
  while (!ctx.flags.pageDone && !ctx.flags.shutDown) {
    ctx.host.processMessages();
    ctx.host.sleepMs(100);
  }
}

// "Spracúvam GC1234 Name, zostáva 3"
std::string workingOn(const waypoints::CacheList& caches, int i, int left) {
  std::string code = i < static_cast<int>(caches.codes.size()) ? caches.codes[static_cast<size_t>(i)] : "";
  return "Spracúvam "_1250.bytes() + code + " " + caches.names[static_cast<size_t>(i)] + ", zostáva "_1250.bytes() +
         std::to_string(left);
}

}  // namespace

void SpeedButton6Click(PagesState& state, PageContext& ctx, waypoints::CacheList& caches) {
  const int count = caches.count();
  int left = 0;
  for (int i = 0; i < count; ++i) left += caches.nameMarks[static_cast<size_t>(i)] ? 1 : 0;
  int done = 0;
  state.deviceOutcome = device::Outcome::Done;
  // The device copies of every cache go at the end, once the card has room for all of them.
  DeviceRun run(state, ctx);
  for (int i = 0; i < count; ++i) {
    // The list may have been emptied by a command run during a wait.
    if (i >= caches.count() || ctx.flags.shutDown) break;
    if (!caches.nameMarks[static_cast<size_t>(i)]) continue;
    caches.itemIndex = i;
    state.cacheCode = i < static_cast<int>(caches.codes.size()) ? caches.codes[static_cast<size_t>(i)] : "";
    --left;
    state.statusText = workingOn(caches, i, left);
    ctx.host.stateChanged();
    try {
      if (ctx.listingRequest) ctx.listingRequest();
      waitSleepingFirst(ctx);
      if (ctx.flags.shutDown) break;
      OdfiltrujLenZaujimave(state, ctx);
      ctx.host.processMessages();
      ctx.flags.pageDone = false;
      ctx.browser.Navigate("file://" + ctx.htmFolder + ctx.pageName + ".htm");
      waitSleepingFirst(ctx);
    } catch (...) {
      state.cacheCode.clear();
      if (i < caches.count()) state.statusText = "Chyba pri " + caches.names[static_cast<size_t>(i)];
      ctx.host.stateChanged();
      // The caches finished before the error still reach the card.
      try {
        run.finish();
      } catch (...) {
      }
      throw;
    }
    state.cacheCode.clear();
    if (i < caches.count()) caches.nameMarks[static_cast<size_t>(i)] = false;
    ++done;
    ctx.host.stateChanged();
  }
  state.cacheCode.clear();
  run.finish();
  if (done > 0) {
    state.statusText = "Hotovo, spracovaných kešiek: "_1250.bytes() + std::to_string(done);
    ctx.host.stateChanged();
  }
}

void SpeedButton11Click(RunFlags& flags) {
  flags.pageDone = true;
  ++flags.brejks;
}

std::string TestPageAddress(const std::string& programFolder, Site site) {
  return "file://" + programFolder + (site == Site::Sk ? "testpages/listing_sk.htm" : "testpages/listing_com.htm");
}

void SpeedButton17Click(PagesState& state, PageContext& ctx, const std::string& programFolder) {
  ctx.flags.pageDone = false;
  ctx.browser.Navigate(TestPageAddress(programFolder, ctx.fields.site));
  waitPumpingFirst(ctx);
  OdfiltrujLenZaujimave(state, ctx);
}

void SpeedButton19Click(PagesState& state, site::Browser& browser, std::vector<std::string>& townList) {
  townList.clear();
  for (auto& link : browser.Links()) state.workingList.push_back(std::move(link));
}

}  // namespace trovik::pages
