// The old-style serializer against the cases of tests/site/reference/:
// NAME.html, the body HTML as the browser engine hands it over (UTF-8), and
// NAME.txt, the old-style Windows-1250 text it must become, byte for byte.
// A case is added by adding its two files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/files.h"
#include "site/old_style_html.h"

namespace trovik::site {
namespace {

namespace fs = std::filesystem;

TEST(OldStyleHtmlReference, EveryEngineBodyGivesItsOldStyleText) {
  const fs::path folder = fs::path(TROVIK_SOURCE_DIR) / "tests/site/reference";
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const fs::path file = entry.path();
    if (file.extension() != ".html") {
      EXPECT_EQ(file.extension(), ".txt") << file << ": not a file of a reference case";
      EXPECT_TRUE(fs::exists(fs::path(file).replace_extension(".html"))) << file << " has no .html body";
      continue;
    }
    SCOPED_TRACE(file.string());
    const fs::path expected = fs::path(file).replace_extension(".txt");
    ASSERT_TRUE(fs::exists(expected)) << "the case has no expected text " << expected;
    EXPECT_EQ(OldStyleHtml(files::ReadAll(file.string())), files::ReadAll(expected.string()));
    ++cases;
  }
  EXPECT_GT(cases, 0) << "no cases in " << folder;
}

}  // namespace
}  // namespace trovik::site
