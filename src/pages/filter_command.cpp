#include "base/files.h"
#include "pages/page_filter.h"
#include "pages/pages.h"
#include "text/text.h"

namespace trovik::pages {

std::string HtmFolderPath(const std::string& programFolder) { return programFolder + "HTM/"; }
std::string PicturesFolderPath(const std::string& programFolder) { return programFolder + "Pictures/"; }

void OdfiltrujLenZaujimave(PagesState& state, PageContext& ctx) {
  DeviceRun run(state, ctx);
  state.workingList.clear();
  state.outputList.clear();
  CutPage(ctx.memo1, ctx.fields.site, state.workingList);
  state.outputList.push_back(RewritePictureReferences(JoinPage(state.workingList)));
  if (ctx.fields.site == Site::Sk) {
    for (auto& line : HintLines(state.outputList.front(), state.hintPart1, state.hintPart2)) {
      state.outputList.push_back(std::move(line));
    }
  }

  AllDownloads(state, ctx);

  if (ctx.fields.checkBox2Spooler) {
    state.workingList.clear();
    state.headerLinks.clear();
    ZistiCotrebaStiahnutZoZahlavia(state, ctx);
    state.workingList = HeaderPictureLines(state.headerLinks, state.pagePictures);
    state.outputList.push_back(text::JoinLinesCrLf(state.workingList));
  }

  const std::string page = ctx.htmFolder + ctx.pageName + ".htm";
  files::WriteAtomic(files::PcPath(page), text::JoinLinesCrLf(state.outputList));
  PlanDeviceCopy(state, ctx, page, ctx.fields.edit5PdaMht + "HTM\\" + ctx.pageName + ".htm", false);
  // The batch shows the page it has just written; the Garmin photos go with its copies.
  if (!state.cacheCode.empty())
    CopyGarminPhotos(state, ctx, text::Cp1250::FromBytes(state.cacheCode), WebRoadPhotos(state, ctx));
  run.finish();
  ctx.host.stateChanged();
}

}  // namespace trovik::pages
