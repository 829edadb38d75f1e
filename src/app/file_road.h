#pragma once
// The commands of the "Browser" tab that choose their road by "Stránky z:":
// "webu" loads listings from the site as always, "súboru" makes the pages
// straight from the opened waypoint file.

#include "app/main_state.h"
#include "pages/file_pages.h"
#include "pages/pages.h"

namespace trovik::app {

// The run's options from the fields: logs, home point (an unreadable home
// throws), pictures.
pages::FilePagesOptions FilePageOptions(const Fields& fields);

// "Exportuj označené kešky" (and its tool button): on the file road every
// marked cache's page from the current file, each mark cleared as its page is
// written, "Stránka N z M" in the status panel and the progress bar, then the
// index shown in the main browser.
void ExportMarkedCaches(MainState& s, pages::PagesState& state, pages::PageContext& ctx);

// "GC" and the double click: on the file road the selected cache's page from
// the current file, shown in the main browser at once.
void ShowSelectedCache(MainState& s, pages::PagesState& state, pages::PageContext& ctx,
                       const std::function<void()>& webRequest);

}  // namespace trovik::app
