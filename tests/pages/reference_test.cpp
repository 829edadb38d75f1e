// The page filter against the cases of tests/pages/reference/: NAME.captured
// (the captured page, Windows-1250, one line per line), NAME.options (optional,
// "key=value" lines: site=sk|com, header=on|off) and NAME.htm, the offline page
// the filter must write, byte for byte. A case is added by adding its files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/files.h"
#include "pages/pages.h"
#include "pages_fixture.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::path(TROVIK_SOURCE_DIR) / "tests/pages/reference";

class Reference : public PagesFixture {
 protected:
  // Applies NAME.options to the fields; false (with a failure) on a line it does not know.
  bool applyOptions(const fs::path& file) {
    if (!fs::exists(file)) return true;
    for (const std::string& line : text::SplitLines(files::ReadAll(file.string()))) {
      if (line.empty() || line[0] == '#') continue;
      if (line == "site=sk") {
        fields.site = Site::Sk;
      } else if (line == "site=com") {
        fields.site = Site::Com;
      } else if (line == "header=on" || line == "header=off") {
        fields.checkBox2Spooler = line == "header=on";
      } else {
        ADD_FAILURE() << file << ": unknown option \"" << line << "\"";
        return false;
      }
    }
    return true;
  }
};

TEST_F(Reference, EveryCapturedPageGivesItsOfflinePage) {
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(kFolder)) {
    const fs::path file = entry.path();
    const std::string ext = file.extension().string();
    if (ext != ".captured") {
      // Every other file belongs to a case.
      EXPECT_TRUE(ext == ".htm" || ext == ".options") << file << ": not a file of a reference case";
      EXPECT_TRUE(fs::exists(fs::path(file).replace_extension(".captured"))) << file << " has no .captured page";
      continue;
    }
    SCOPED_TRACE(file.string());
    const fs::path expected = fs::path(file).replace_extension(".htm");
    ASSERT_TRUE(fs::exists(expected)) << "the case has no expected page " << expected;
    fields = Fields();
    fields.addresses.obrazky = kImages;
    ASSERT_TRUE(applyOptions(fs::path(file).replace_extension(".options")));
    memo1 = text::SplitLines(files::ReadAll(file.string()));
    filter();
    EXPECT_EQ(htm("Test.htm"), files::ReadAll(expected.string()));
    ++cases;
  }
  EXPECT_GT(cases, 0) << "no cases in " << kFolder;
}

}  // namespace
}  // namespace trovik::pages::test
