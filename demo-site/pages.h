#pragma once
// The pages of the two demo listing sites, as HTML text.

#include <string>

#include "catalog.h"

namespace trovik::demo {

struct PageContext {
  std::string origin;  // "http://127.0.0.1:8080": absolute links to the image server use it
  std::string user;    // the logged-in user, empty when nobody is logged in
};

// National site (/sk).
std::string SkHome(const PageContext& ctx, const std::string& message);
std::string SkListing(const PageContext& ctx, const Cache& cache, bool decrypted);
std::string SkNotFound(const PageContext& ctx, const std::string& code);
std::string SkLog(const PageContext& ctx, const Cache& cache, size_t index);

// International site (/com).
std::string ComHome(const PageContext& ctx);
// actionQuery: the login page's own query ("RESET=Y&redir=..."), posted back unchanged.
std::string ComLogin(const PageContext& ctx, const std::string& actionQuery, const std::string& message);
std::string ComListing(const PageContext& ctx, const Cache& cache, bool decrypted);
std::string ComNotFound(const PageContext& ctx, const std::string& code);

struct NearestQuery {
  bool valid = false;
  double lat = 0;
  double lon = 0;
  double distKm = 100;
  std::string query;  // the request's query text, for the form's post-back address
};
// Parses the nearest-search parameters (lat_ns, lat_h, lat_mmss, long_ew, long_h, long_mmss, dist).
NearestQuery ParseNearest(const std::string& latNs, const std::string& latH, const std::string& latMmss,
                          const std::string& longEw, const std::string& longH, const std::string& longMmss,
                          const std::string& dist);
constexpr int kRowsPerPage = 20;
// page counts from 1 and is clamped to the pages there are.
std::string ComNearest(const PageContext& ctx, const Catalog& catalog, const NearestQuery& query, int page);
// The page a post-back asks for: the pager's event target applied to the current page.
int PageAfterPostBack(const std::string& eventTarget, int currentPage);

// Shared pieces.
std::string DateSk(const std::string& iso);  // "2005-04-17" -> "17.04.2005"
std::string Stars(double value);
std::string FormatRating(double value);      // 1 -> "1", 1.5 -> "1.5"
std::string Region(double lat, double lon);
std::string CompassPoint(double bearing);

}  // namespace trovik::demo
