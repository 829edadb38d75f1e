#pragma once
// The process-wide flags of a run. Plain booleans on the one UI thread: a
// waiting command clears pageDone before it navigates and tests it afterwards.

namespace trovik {

struct RunFlags {
  bool pageDone = false;    // set by document-complete, "Brejk" and shut-down
  bool shutDown = false;    // no PC-to-device copy starts while set
  bool loggedIn = false;    // set when a page shows the site's logged-in marker; a failed login clears it
  bool searchPageLoaded = false;  // the search browser's own page-done flag
  // The process-wide decimal separator of number text. Starts as the Slovak
  // locale's ","; the GPX conversion, the distance tool and the coordinate
  // converter change it, and nothing restores it.
  char decimalSeparator = ',';
};

}  // namespace trovik
