#include "app/file_road.h"

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"

namespace trovik::app {

namespace {

const std::string& GpxFile(const MainState& s) {
  const std::string& path = s.waypoints.currentFile;
  if (text::UpperCase(files::ExtensionOf(path)) != ".GPX")
    throw Error("Stránky zo súboru sa robia z otvoreného súboru GPX."_1250);
  return path;
}

// The run reports codes as UTF-8.
std::string Summary(const pages::FilePagesResult& r, const std::vector<std::string>& duplicates) {
  std::string text = (r.stopped ? "Zastavené, stránok: "_1250 : "Hotovo, stránok: "_1250).bytes() + std::to_string(r.pages);
  if (r.failedPictures > 0) text += ", nestiahnuté obrázky: "_1250.bytes() + std::to_string(r.failedPictures);
  if (!duplicates.empty()) {
    text += ", viackrát v súbore:"_1250.bytes();
    for (const auto& code : duplicates) text += " " + text::Utf8To1250(code);
  }
  return text;
}

}  // namespace

pages::FilePagesOptions FilePageOptions(const Fields& fields) {
  pages::FilePagesOptions options;
  const std::optional<int> logs = text::ParseInt(text::Trim(fields.stranyLogy));
  options.logs = logs && *logs >= 0 ? *logs : 10;
  if (!text::Trim(fields.domovPoloha).empty()) {
    options.home = pages::ParseHomePosition(text::Cp1250::FromBytes(fields.domovPoloha));
    if (!options.home)
      throw Error("Domov nie je v tvare N 48°20.000' E 018°05.000': "_1250 + text::Cp1250::FromBytes(fields.domovPoloha));
  }
  return options;
}

void ExportMarkedCaches(MainState& s, pages::PagesState& state, pages::PageContext& ctx) {
  waypoints::CacheList& caches = s.waypoints.caches;
  if (!s.fields.pagesFromFile) {
    pages::SpeedButton6Click(state, ctx, caches);
    return;
  }
  pages::FilePagesOptions options = FilePageOptions(s.fields);
  options.codeFromName = s.waypoints.codeFromName;
  for (int i = 0; i < caches.count(); ++i)
    if (caches.nameMarks[static_cast<size_t>(i)]) options.codes.push_back(text::Cp1250ToUtf8(caches.codes[static_cast<size_t>(i)]));
  if (options.codes.empty()) return;
  const std::string& gpx = GpxFile(s);

  state.pictureProgressVisible = true;
  state.pictureProgressMax = static_cast<int>(options.codes.size());
  state.pictureProgress = 0;
  std::vector<std::string> duplicates;
  pages::FilePagesEvents events;
  events.pageWritten = [&](int done, int /*total*/, const text::Cp1250& code, const text::Cp1250& /*page*/) {
    // The list may have changed while the run let messages through.
    for (int i = 0; i < caches.count(); ++i) {
      if (caches.nameMarks[static_cast<size_t>(i)] && caches.codes[static_cast<size_t>(i)] == code.bytes()) {
        caches.nameMarks[static_cast<size_t>(i)] = false;
        caches.itemIndex = i;
        break;
      }
    }
    state.pictureProgress = done;
    state.statusText = "Stránka "_1250.bytes() + std::to_string(done) + " z " + std::to_string(state.pictureProgressMax);
    ctx.host.stateChanged();
  };
  events.pictureFailed = [&](const std::string& code, const std::string& /*address*/) {
    state.statusText = ("Obrázok sa nepodarilo stiahnuť: "_1250 + text::Cp1250::FromUtf8(code)).bytes();
    ctx.host.stateChanged();
  };
  events.duplicate = [&](const std::string& code) { duplicates.push_back(code); };
  pages::FilePagesResult result;
  try {
    result = pages::MakeFilePages(state, ctx, gpx, options, events);
  } catch (...) {
    state.pictureProgressVisible = false;
    ctx.host.stateChanged();
    throw;
  }
  state.pictureProgressVisible = false;
  state.deviceOutcome = result.deviceOutcome;
  state.statusText = Summary(result, duplicates);
  ctx.host.stateChanged();
  if (!result.index.empty() && !s.flags.shutDown) ctx.browser.Navigate("file://" + result.index);
}

void ShowSelectedCache(MainState& s, pages::PagesState& state, pages::PageContext& ctx,
                       const std::function<void()>& webRequest) {
  if (!s.fields.pagesFromFile) {
    webRequest();
    return;
  }
  const waypoints::CacheList& caches = s.waypoints.caches;
  const int i = caches.itemIndex;
  if (i < 0 || i >= caches.count()) return;
  pages::FilePagesOptions options = FilePageOptions(s.fields);
  options.codeFromName = s.waypoints.codeFromName;
  options.codes = {text::Cp1250ToUtf8(caches.codes[static_cast<size_t>(i)])};
  options.index = false;
  const pages::FilePagesResult result = pages::MakeFilePages(state, ctx, GpxFile(s), options, {});
  if (result.pages == 0) {
    state.statusText = ("Keška "_1250 + text::Cp1250::FromUtf8(options.codes[0]) + " nemá v súbore popis."_1250).bytes();
    ctx.host.stateChanged();
    return;
  }
  ctx.pageName = files::FileNameOf(result.firstPage);
  ctx.pageName.resize(ctx.pageName.size() - 4);  // without ".htm"
  ctx.flags.pageDone = false;
  ctx.browser.Navigate("file://" + result.firstPage);
}

}  // namespace trovik::app
