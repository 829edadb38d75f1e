#include "tools/hint.h"

#include <gtest/gtest.h>

#include "text/text.h"
#include "tools/tool_tab.h"

namespace trovik::tools {
namespace {

TEST(DecodeHint, RotatesAsciiLettersOnly) {
  EXPECT_EQ(DecodeHint("abc"), "nop");
  EXPECT_EQ(DecodeHint("nop"), "abc");
  EXPECT_EQ(DecodeHint("AMNZ amnz"), "NZAM nzam");
  EXPECT_EQ(DecodeHint("12:30, [x] <br>!"), "12:30, [k] <oe>!");
  EXPECT_EQ(DecodeHint(""), "");
  // The bytes around the letter ranges.
  EXPECT_EQ(DecodeHint("@[`{"), "@[`{");
}

TEST(DecodeHint, SlovakLettersPassAndTextRoundTrips) {
  const std::string slovak = text::Utf8To1250("Žltý kôň úpel ďábelské ódy; Ĺ ŕ ľ š č ť ž ý á í é ä ô");
  const std::string once = DecodeHint(slovak);
  EXPECT_EQ(once.size(), slovak.size());
  EXPECT_EQ(DecodeHint(once), slovak);
  EXPECT_EQ(text::Cp1250ToUtf8(DecodeHint(text::Utf8To1250("Keška pod koreňom"))), "Xršxn cbq xberňbz");
  // Every byte value: only the 52 ASCII letters change.
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string decoded = DecodeHint(all);
  int changed = 0;
  for (int c = 0; c < 256; ++c) changed += decoded[c] != all[c];
  EXPECT_EQ(changed, 52);
  EXPECT_EQ(DecodeHint(decoded), all);
}

TEST(MemoCommand, DecodesEveryLineAndTwiceRestores) {
  ToolFields f;
  const std::string sample = f.memo5;
  ASSERT_FALSE(sample.empty());
  SpeedButton15Click(f);
  EXPECT_EQ(text::Cp1250ToUtf8(text::SplitLines(f.memo5).at(0)),
            "Keška je ukrytá pod koreňom starého buka, asi dva metre od chodníka.");
  SpeedButton15Click(f);
  EXPECT_EQ(f.memo5, sample);

  f.memo5 = "nop\r\n\r\nabc\n\nxyz";
  SpeedButton15Click(f);
  EXPECT_EQ(f.memo5, "abc\r\n\r\nnop\n\nklm");
}

}  // namespace
}  // namespace trovik::tools
