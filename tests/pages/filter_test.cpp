// Offline pages byte for byte; the cases that are a captured page and its
// options alone are files in reference/ (reference_test.cpp).

#include <gtest/gtest.h>

#include "base/error.h"
#include "pages/page_filter.h"
#include "pages_fixture.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

const std::string kPro =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"><html><head><meta "
    "http-equiv=\"content-type\" content=\"text/html;charset=windows-1250\" ></head><body>";
const std::string kEpi = "</body></html>";
const std::string kHead = "<br><b><i>Pom\xF4" "cku odk\xF3" "doval Zorvik:</i><li>";

class Filter : public PagesFixture {};

TEST(RewritePictureReferences, ResumesInsideTheInsertedName) {
  // The search starts again inside the inserted name, which holds no double
  // quote: a name ending in "SRC=" next to its closing quote is not matched again.
  EXPECT_EQ(RewritePictureReferences("<IMG SRC=\"a/xSRC=\">"), "<IMG SRC=\"../Pictures/xSRC=\">");
  EXPECT_EQ(RewritePictureReferences("<IMG SRC=\"SRC=\">"), "<IMG SRC=\"../Pictures/SRC=\">");
  // Without a closing quote the value is empty and the opening quote stays.
  EXPECT_EQ(RewritePictureReferences("x src=\"tail"), "x src=\"../Pictures/\"tail");
  EXPECT_EQ(RewritePictureReferences("SRC=\""), "SRC=\"../Pictures/\"");
  EXPECT_EQ(RewritePictureReferences(""), "");
  EXPECT_EQ(RewritePictureReferences("src=\"a\"src=\"b/c\""), "src=\"../Pictures/a\"src=\"../Pictures/c\"");
}

TEST(RewritePictureReferences, MatchesAReferenceWrittenAlready) {
  // A page saved by this program is rewritten to the same text again.
  std::string once = RewritePictureReferences("<IMG src=\"http://x/y/z.jpg\"><IMG src=\"k.png\">");
  EXPECT_EQ(RewritePictureReferences(once), once);
}

TEST_F(Filter, HintWithOneLineBreakGivesTwoLines) {
  memo1 = {"<DIV id=HLAVNIPANEL>", "<A href=\"x.php?decrypt=y\">Dekódovať</A>]<BR>Cbq zbfgbz<BR>Ngqnyr 5 z<P>Next</DIV>"};
  fields.checkBox2Spooler = false;
  filter();
  std::string line1 = kPro + memo1[0] + memo1[1] + kEpi;
  EXPECT_EQ(htm("Test.htm"), line1 + "\r\n" + kHead + "Pod mostom</b><br>\r\n<li><b>Atdale 5 m</b><br>\r\n");
  EXPECT_EQ(state.hintPart1, "Cbq zbfgbz");
  EXPECT_EQ(state.hintPart2, "Ngqnyr 5 z");
}

TEST_F(Filter, HintWithoutLineBreakGivesOneLine) {
  memo1 = {"HLAVNIPANEL decrypt=y </A>]<BR>Uryyb jbeyq<p>lower p counts too"};
  fields.checkBox2Spooler = false;
  filter();
  // "<p>" is not "<P>": the hint runs to the epilogue's "<P"? There is none, so it is empty.
  EXPECT_EQ(htm("Test.htm"), kPro + memo1[0] + kEpi + "\r\n" + kHead + "</b><br>\r\n");
  memo1 = {"HLAVNIPANEL decrypt=y </A>]<BR>Uryyb jbeyq<P>x"};
  filter();
  EXPECT_EQ(htm("Test.htm"), kPro + memo1[0] + kEpi + "\r\n" + kHead + "Hello world</b><br>\r\n");
}

TEST_F(Filter, HeaderPicturesByNameAndCase) {
  showPictures({kImages + "/cache/page1.jpg", kImages + "/icons/star.gif"});
  memo1 = {
      "HLAVNIPANEL<IMG src=\"" + kImages + "/cache/page1.jpg\">",
      "<SPAN>Obr\xE1zky: <A href=\"" + kImages + "/cache/ab12.jpg\" target=_blank>Spoiler</A>, <A href=\"" + kImages +
          "/cache/Page1.JPG\">Same</A>",
      "<A href=\"" + kImages + "/cache/z.png\">Png</A> <A href=\"" + kImages + "/cache/log/x.jpg\">Log</A> " +
          "<A href=\"http://other.example/cache/far.jpg\">Far</A> <A href=\"" + kImages +
          "/cache/doc.jpeg\">J</A> <A href=\"" + kImages + "/cache/g.GIF\">G</A></SPAN>",
      "<A href=\"" + kImages + "/cache/third.jpg\">Not in the block</A>",
  };
  filter();
  // The header lines hold only href addresses, which stay as they are.
  std::string line1 = kPro + "HLAVNIPANEL<IMG src=\"../Pictures/page1.jpg\">" + memo1[1] + memo1[2] + memo1[3] + kEpi;
  EXPECT_EQ(htm("Test.htm"), line1 + "\r\n" +
                                 "<img style=\"FLOAT: left\" src=\"../Pictures/ab12.jpg\" target=_blank>Spoiler</A><BR>\r\n"
                                 "<img style=\"FLOAT: left\" src=\"../Pictures/far.jpg\">Far</A><BR>\r\n"
                                 "\r\n");
  ASSERT_EQ(state.headerLinks.size(), 6u);  // the log link is not listed
  EXPECT_EQ(state.headerLinks[0], "<A href=\"" + kImages + "/cache/ab12.jpg\" target=_blank>Spoiler</A>");
  EXPECT_EQ(state.pagePictures, (std::vector<std::string>{"page1.jpg", "star.gif"}));
  // Fetched: the page pictures and the header pictures on the image server.
  std::vector<std::string> fetched;
  for (auto& [url, path] : downloader.calls) fetched.push_back(url);
  EXPECT_EQ(fetched, (std::vector<std::string>{kImages + "/cache/page1.jpg", kImages + "/icons/star.gif",
                                               kImages + "/cache/ab12.jpg", kImages + "/cache/Page1.JPG",
                                               kImages + "/cache/z.png", kImages + "/cache/doc.jpeg",
                                               kImages + "/cache/g.GIF"}));
}

TEST_F(Filter, HeaderOptionOffWritesOnlyPageAndHintLines) {
  memo1 = {"HLAVNIPANEL decrypt=y </A>]<BR>n<P>", "Obr\xE1zky: <A href=\"" + kImages + "/cache/a.jpg\">A</A>"};
  fields.checkBox2Spooler = false;
  filter();
  EXPECT_EQ(htm("Test.htm"), kPro + memo1[0] + memo1[1] + kEpi + "\r\n" + kHead + "a</b><br>\r\n");
  EXPECT_TRUE(downloader.calls.empty());
}

TEST_F(Filter, EmptyPageNameWritesDotHtm) {
  pageName.clear();
  memo1 = {"HLAVNIPANEL x"};
  filter();
  EXPECT_EQ(htm(".htm"), kPro + "HLAVNIPANEL x" + kEpi + "\r\n\r\n");
}

TEST_F(Filter, PageGoesToTheDeviceWhenTicked) {
  memo1 = {"HLAVNIPANEL"};
  filter();
  EXPECT_TRUE(device.copies.empty());
  EXPECT_EQ(device.existsCalls, 0);
  copyToDevice = {true, true};
  fields.edit5PdaMht = "\\SD\\Geo\\";
  filter();
  ASSERT_EQ(device.copies.size(), 1u);
  EXPECT_EQ(device.copies[0], std::make_pair(home.path() + "HTM/Test.htm", std::string("\\SD\\Geo\\HTM\\Test.htm")));
}

TEST_F(Filter, UnwritablePageIsAFileErrorAndNothingGoesToTheDevice) {
  copyToDevice = {true, true};
  pageName = std::string(300, 'n');
  memo1 = {"HLAVNIPANEL"};
  EXPECT_THROW(filter(), Error);
  EXPECT_TRUE(device.copies.empty());
}

TEST_F(Filter, LongLinesAreKeptWhole) {
  std::string longLine = "HLAVNIPANEL" + std::string(10000, 'x') + "<IMG src=\"far/away.gif\">";
  memo1 = {longLine};
  fields.checkBox2Spooler = false;
  filter();
  EXPECT_EQ(htm("Test.htm"), kPro + "HLAVNIPANEL" + std::string(10000, 'x') + "<IMG src=\"../Pictures/away.gif\">" +
                                 kEpi + "\r\n");
}

TEST(PosAfter, StartsAfterK) {
  EXPECT_EQ(text::PosAfter("ab", "abab", 0), 1);
  EXPECT_EQ(text::PosAfter("ab", "abab", 1), 3);
  EXPECT_EQ(text::PosAfter("ab", "abab", 3), 0);
  EXPECT_EQ(text::PosAfter("ab", "abab", 4), 0);
  EXPECT_EQ(text::PosAfter("ab", "abab", 40), 0);
  EXPECT_EQ(text::PosAfter("ab", "abab", -3), 1);
}

}  // namespace
}  // namespace trovik::pages::test
