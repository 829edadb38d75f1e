#pragma once
// The nearest search as the CLI runs it: the first page for a town, for
// coordinates or from a saved results page, then "Ďalšia stránka" until the
// pages asked for were counted, each page transferred to the cache list when
// asked. `nearby` and `export --nearby` share it.

#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/session.h"

namespace trovik::cli {

struct NearbyRequest {
  std::string town, at, page;  // exactly one, 1250 text
  int pages = 1;
  bool add = false;
  std::optional<std::string> filter;  // comma-separated type names, 1250 text
};

// Takes --town/--at/--page (unless `townOption` renames --town), --pages, --filter.
NearbyRequest TakeNearbyRequest(Args& args, const char* townOption = "--town");
// --pages N, N >= 1; `fallback` when absent.
int TakePages(Args& args, int fallback);

// Prints each page's count message, and with `add` each "Pridal som" message.
// Throws Error when a page did not load before the time-out.
void RunNearby(Session& session, const NearbyRequest& request);

}  // namespace trovik::cli
