// Harvesting a demo listing's pictures from the demo site's image server with
// the curl downloader, a fake device and the page pictures the browser would show.

#include <gtest/gtest.h>

#include "support/demo_site_process.h"
#include "net/curl_downloader.h"
#include "pages/jpeg_halving.h"
#include "pages_fixture.h"
#include "text/text.h"

namespace trovik::pages::test {
namespace {

class DemoHarvest : public PagesFixture {};

int WidthOf(const std::string& path) { return DecodeJpeg(files::ReadAll(path), path).width; }

TEST_F(DemoHarvest, NationalListingPicturesHintAndHeaderBlock) {
  testing::DemoSiteProcess demo;
  ASSERT_TRUE(demo.running()) << "trovik-demo-site did not start";
  const std::string site = demo.address(), images = site + "/img/cache/";
  net::CurlDownloader curl;
  // The listing as the capture holds it: 1250 lines of the served body.
  ASSERT_TRUE(curl.UrlToFile(site + "/sk/hladaj.php?query=GC1A2B3", home.file("listing.htm")));
  memo1 = text::SplitLines(text::Utf8To1250(files::ReadAll(home.file("listing.htm"))));
  ASSERT_TRUE(curl.UrlToFile(images + "gc1a2b3_foto.jpg", home.file("served.jpg")));
  const int servedWidth = WidthOf(home.file("served.jpg"));

  fields.addresses.obrazky = site + "/img";
  fields.radioButton2Vacsi = true;
  fields.edit7Velkost = "10000";
  copyToDevice = {true, true};
  device.present.insert("\\Storage Card\\Geo\\Pictures\\hviezda.gif");
  showPictures({images + "hviezda.gif", images + "gc1a2b3_foto.jpg", images + "nie_je.jpg"});
  PageContext pc = *ctx;
  PageContext withCurl{{curl, pc.device, pc.copyToDevice, pc.host, pc.flags, pc.fields, pc.htmFolder, pc.picturesFolder},
                       pc.browser, pc.memo1, pc.pageName, nullptr};
  OdfiltrujLenZaujimave(state, withCurl);

  // Page pictures: fetched, the large JPEG halved, the missing one absent.
  EXPECT_TRUE(picture("hviezda.gif"));
  EXPECT_EQ(WidthOf(home.path() + "Pictures/gc1a2b3_foto.jpg"), (servedWidth + 1) / 2);
  EXPECT_FALSE(picture("nie_je.jpg"));
  // Header pictures on the image server.
  EXPECT_TRUE(picture("gc1a2b3_spoiler.jpg"));
  EXPECT_TRUE(picture("gc1a2b3_mapa.png"));

  std::vector<std::string> copied;
  for (auto& [pcPath, devicePath] : device.copies) copied.push_back(devicePath);
  EXPECT_EQ(copied, (std::vector<std::string>{"\\Storage Card\\Geo\\Pictures\\gc1a2b3_foto.jpg",
                                              "\\Storage Card\\Geo\\Pictures\\nie_je.jpg",
                                              "\\Storage Card\\Geo\\Pictures\\gc1a2b3_spoiler.jpg",
                                              "\\Storage Card\\Geo\\Pictures\\gc1a2b3_mapa.png",
                                              "\\Storage Card\\Geo\\HTM\\Test.htm"}));

  auto lines = text::SplitLines(htm("Test.htm"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "");  // the empty line ending the header block
  EXPECT_NE(lines[0].find("src=\"../Pictures/gc1a2b3_foto.jpg\""), std::string::npos);
  EXPECT_EQ(lines[0].find("<SCRIPT"), std::string::npos);
  EXPECT_EQ(lines[1], "<br><b><i>Pom\xF4" "cku odk\xF3" "doval Zorvik:</i><li>pod kore\xF2om v\xE0" "by pri n\xE1" "hone</b><br>");
  EXPECT_EQ(lines[2], "<img style=\"FLOAT: left\" src=\"../Pictures/gc1a2b3_spoiler.jpg\" target=_blank>Spoiler</A><BR>");
}

}  // namespace
}  // namespace trovik::pages::test
