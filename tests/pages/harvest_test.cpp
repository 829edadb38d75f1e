// Picture harvesting with a fake downloader and a fake device.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "pages/jpeg_halving.h"
#include "pages_fixture.h"

namespace trovik::pages::test {
namespace {

std::string SmallJpeg(int w, int h) {
  Bitmap b;
  b.width = w, b.height = h;
  b.bgr.assign(static_cast<size_t>(w) * h * 3, 0);
  for (size_t i = 0; i < b.bgr.size(); ++i) b.bgr[i] = static_cast<uint8_t>((i * 37) % 251);
  return EncodeJpeg(b, 90, "t");
}

class Harvest : public PagesFixture {
 protected:
  int filesInPictures() {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(home.path() + "Pictures")) n += e.exists() ? 1 : 0;
    return n;
  }
  std::vector<std::string> fetched() {
    std::vector<std::string> urls;
    for (auto& [url, path] : downloader.calls) urls.push_back(url);
    return urls;
  }
};

TEST_F(Harvest, OnlyGifJpgPngByTheAddressExtensionEachFetchedOnce) {
  const std::string a = "http://x/p/a.gif", b = "http://x/q/B.JPG", c = "http://x/c.Png";
  for (auto& u : {a, b, c}) downloader.files[u] = "data of " + u;
  showPictures({a, "http://x/d.jpeg", "http://x/e.jpg?size=2", b, c, a, "http://x/noext", "http://x/f.bmp"});
  AllDownloads(state, *ctx);
  EXPECT_EQ(fetched(), (std::vector<std::string>{a, b, c}));
  EXPECT_EQ(state.pagePictures, (std::vector<std::string>{"a.gif", "B.JPG", "c.Png", "a.gif"}));
  EXPECT_EQ(files::ReadAll(home.path() + "Pictures/B.JPG"), "data of " + b);
  // A second run finds the files and fetches nothing.
  downloader.calls.clear();
  AllDownloads(state, *ctx);
  EXPECT_TRUE(downloader.calls.empty());
}

TEST_F(Harvest, PictureOfTheSameNameFromElsewhereKeepsTheFirstFile) {
  downloader.files["http://x/one/pic.jpg"] = "first";
  downloader.files["http://y/two/pic.jpg"] = "second";
  showPictures({"http://x/one/pic.jpg", "http://y/two/pic.jpg"});
  AllDownloads(state, *ctx);
  EXPECT_EQ(files::ReadAll(home.path() + "Pictures/pic.jpg"), "first");
  EXPECT_EQ(fetched().size(), 1u);
}

TEST_F(Harvest, ProgressBarShownWhileWorkingAndHiddenAfter) {
  std::vector<int> seen;
  downloader.files["http://x/2.gif"] = "g";
  showPictures({"http://x/1.txt", "http://x/2.gif", "http://x/3.txt"});
  host.onMessage = nullptr;
  state.pictureProgressVisible = false;
  struct Watch : site::Downloader {
    FakeDownloader& inner;
    PagesState& state;
    std::vector<int>& seen;
    Watch(FakeDownloader& i, PagesState& s, std::vector<int>& v) : inner(i), state(s), seen(v) {}
    bool UrlToFile(const std::string& u, const std::string& p) override {
      seen.push_back(state.pictureProgressVisible ? state.pictureProgressMax : -1);
      return inner.UrlToFile(u, p);
    }
  } watch(downloader, state, seen);
  PageContext c = *ctx;
  PageContext watched{{watch, c.device, c.copyToDevice, c.host, c.flags, c.fields, c.htmFolder, c.picturesFolder},
                      c.browser, c.memo1, c.pageName, nullptr};
  AllDownloads(state, watched);
  EXPECT_EQ(seen, (std::vector<int>{3}));
  EXPECT_FALSE(state.pictureProgressVisible);
  EXPECT_EQ(state.pictureProgress, 1);
}

TEST_F(Harvest, DeviceGetsOnlyWhatItLacks) {
  copyToDevice = {true, true};
  downloader.files["http://x/a.gif"] = "a";
  downloader.files["http://x/b.gif"] = "b";
  device.present.insert("\\Storage Card\\Geo\\Pictures\\a.gif");
  showPictures({"http://x/a.gif", "http://x/b.gif", "http://x/gone.png"});
  AllDownloads(state, *ctx);
  // A failed download is still copied (the device copy reports its own failure).
  EXPECT_EQ(device.copies,
            (std::vector<std::pair<std::string, std::string>>{
                {home.path() + "Pictures/b.gif", "\\Storage Card\\Geo\\Pictures\\b.gif"},
                {home.path() + "Pictures/gone.png", "\\Storage Card\\Geo\\Pictures\\gone.png"}}));
}

TEST_F(Harvest, WithTheOptionOffNothingTouchesTheDevice) {
  copyToDevice = {true, false};
  downloader.files["http://x/a.gif"] = "a";
  showPictures({"http://x/a.gif"});
  memo1 = {"Obr\xE1zky: <A href=\"" + kImages + "/cache/h.jpg\">H</A>"};
  downloader.files[kImages + "/cache/h.jpg"] = "h";
  AllDownloads(state, *ctx);
  ZistiCotrebaStiahnutZoZahlavia(state, *ctx);
  EXPECT_EQ(device.existsCalls, 0);
  EXPECT_TRUE(device.copies.empty());
  EXPECT_TRUE(picture("h.jpg"));
}

TEST_F(Harvest, UnsafePageNamesAreSkippedButStillReferred) {
  const std::string longName = std::string(300, 'L') + ".jpg";
  std::vector<std::string> bad = {"http://x/dir\\..\\..\\evil.gif", "http://x/a:b.gif", "http://x/" + longName,
                                  "http://x/q?.png", "http://x/bell\x07.gif", "http://x/CON.gif",
                                  "http://x/it%22s\".gif"};
  for (auto& u : bad) downloader.files[u] = "payload";
  copyToDevice = {true, true};
  showPictures(bad);
  memo1 = {"HLAVNIPANEL<IMG src=\"http://x/a:b.gif\">"};
  fields.checkBox2Spooler = false;
  filter();
  EXPECT_TRUE(downloader.calls.empty());
  ASSERT_EQ(device.copies.size(), 1u);  // the page only
  EXPECT_EQ(device.copies[0].second, "\\Storage Card\\Geo\\HTM\\Test.htm");
  EXPECT_EQ(filesInPictures(), 0);
  EXPECT_FALSE(files::Exists(home.path() + "evil.gif"));
  EXPECT_NE(htm("Test.htm").find("src=\"../Pictures/a:b.gif\""), std::string::npos);
  EXPECT_EQ(state.pagePictures.size(), bad.size());
}

TEST(PictureNames, SafeAndUnsafe) {
  for (const std::string& ok : std::vector<std::string>{"a.jpg", ".gif", "Obr\xE1zok 1.JPG", "a..b.png", "con1.gif", "COM0.gif", std::string(251, 'n') + ".jpg"})
    EXPECT_TRUE(IsSafePictureName(ok)) << ok;
  for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a\\b.jpg", "a/b.jpg", "nul.png", "LPT3.jpg", "aux", "x.jpg.", "x.jpg ",
                          "t\tab.gif", std::string("z\0.gif", 6), "<x>.gif", "p|q.gif", "s*.gif",
                          std::string(252, 'n') + ".jpg"})
    EXPECT_FALSE(IsSafePictureName(bad)) << bad;
  // 127 letters of two bytes each in UTF-8 are 254 bytes of a file name, plus ".jpg" too many.
  EXPECT_FALSE(IsSafePictureName(std::string(127, '\xE1') + ".jpg"));
  EXPECT_TRUE(IsSafePictureName(std::string(125, '\xE1') + ".jpg"));
}

TEST_F(Harvest, HeaderLinksOnTheImageServerOnly) {
  memo1 = {"<P>no label here</P>",
           "<B>Obr\xE1zky:</B> text <A href=\"" + kImages + "/cache/one.jpg\">1</A><A href=\"" + kImages +
               "/cache/log/l.jpg\">log</A>tail",
           "<A href=\"http://elsewhere/cache/two.jpg\">2</A></A><A href=\"" + kImages + "/cache/" + std::string(120, 'w') +
               ".jpg\">long</A>",
           "Obr\xE1zky: <A href=\"" + kImages + "/cache/second_label.jpg\">x</A>"};
  downloader.files[kImages + "/cache/one.jpg"] = "1";
  ZistiCotrebaStiahnutZoZahlavia(state, *ctx);
  EXPECT_EQ(state.headerLinks, (std::vector<std::string>{
                                   "<A href=\"" + kImages + "/cache/one.jpg\">1</A>",
                                   "<A href=\"http://elsewhere/cache/two.jpg\">2</A>",
                                   "",  // a second "</A>" with no "<A" before it
                                   "<A href=\"" + kImages + "/cache/" + std::string(120, 'w') + ".jpg\">long</A>"}));
  // The long name is cut to 100 characters (and so loses its extension).
  EXPECT_EQ(fetched(), (std::vector<std::string>{kImages + "/cache/one.jpg",
                                                 kImages + "/cache/" + std::string(120, 'w') + ".jpg"}));
  EXPECT_EQ(downloader.calls[1].second, home.path() + "Pictures/" + std::string(100, 'w'));
}

TEST_F(Harvest, HeaderBlockOfTheLabelLineAloneWhenItIsTheLast) {
  memo1 = {"x", "Obr\xE1zky: <A href=\"" + kImages + "/cache/last.jpg\">L</A>"};
  ZistiCotrebaStiahnutZoZahlavia(state, *ctx);
  ASSERT_EQ(state.headerLinks.size(), 1u);
  EXPECT_EQ(fetched(), (std::vector<std::string>{kImages + "/cache/last.jpg"}));
}

TEST_F(Harvest, UnsafeHeaderNamesAreSkipped) {
  memo1 = {"Obr\xE1zky: <A href=\"" + kImages + "/cache/..\">up</A><A href=\"" + kImages +
           "/cache/q.jpg\" title=\"x\">quoted</A><A href=\"" + kImages + "/cache/\">empty</A>"};
  copyToDevice = {true, true};
  ZistiCotrebaStiahnutZoZahlavia(state, *ctx);
  EXPECT_EQ(state.headerLinks.size(), 3u);
  EXPECT_TRUE(downloader.calls.empty());
  EXPECT_TRUE(device.copies.empty());
  EXPECT_EQ(filesInPictures(), 0);
}

TEST_F(Harvest, MessagesRunAfterEachHeaderCopyToTheDevice) {
  memo1 = {"Obr\xE1zky: <A href=\"" + kImages + "/cache/a.jpg\">A</A><A href=\"" + kImages + "/cache/b.jpg\">B</A>"};
  copyToDevice = {true, true};
  device.present.insert("\\Storage Card\\Geo\\Pictures\\a.jpg");
  std::vector<int> pumpsAtCopy;
  device.onCopy = [&] { pumpsAtCopy.push_back(host.pumps); };
  int before = host.pumps;
  ZistiCotrebaStiahnutZoZahlavia(state, *ctx);
  EXPECT_EQ(pumpsAtCopy, (std::vector<int>{before}));
  EXPECT_EQ(host.pumps, before + 1);
}

TEST_F(Harvest, DownloadedJpegAboveTheLimitIsHalvedOnce) {
  fields.radioButton2Vacsi = true;
  fields.edit7Velkost = "100";
  downloader.files["http://x/big.jpg"] = SmallJpeg(64, 32);
  downloader.files["http://x/big.png"] = SmallJpeg(64, 32);
  showPictures({"http://x/big.jpg", "http://x/big.png"});
  AllDownloads(state, *ctx);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(home.path() + "Pictures/big.jpg"), "b").width, 32);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(home.path() + "Pictures/big.png"), "b").width, 64);
  // Already there: not fetched, not shrunk again.
  AllDownloads(state, *ctx);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(home.path() + "Pictures/big.jpg"), "b").width, 32);
}

TEST_F(Harvest, FailingDownloadIsNotReported) {
  downloader.throwFor.insert("http://x/e.gif");
  EXPECT_FALSE(DownloadPicture(*ctx, "http://x/e.gif", home.path() + "Pictures/e.gif"));
  EXPECT_FALSE(DownloadPicture(*ctx, "http://x/missing.gif", home.path() + "Pictures/m.gif"));
  EXPECT_TRUE(host.messages.empty());
  downloader.files["http://x/ok.gif"] = "ok";
  EXPECT_TRUE(DownloadPicture(*ctx, "http://x/ok.gif", home.path() + "Pictures/ok.gif"));
}

TEST_F(Harvest, ErrorPageUnderAJpgNameEndsTheCommand) {
  fields.radioButton2Vacsi = true;
  fields.edit7Velkost = "0";
  downloader.files["http://x/oops.jpg"] = "<html>Not found</html>";
  showPictures({"http://x/oops.jpg"});
  memo1 = {"HLAVNIPANEL"};
  EXPECT_THROW(filter(), Error);
  EXPECT_FALSE(state.pictureProgressVisible);
  EXPECT_EQ(files::ReadAll(home.path() + "Pictures/oops.jpg"), "<html>Not found</html>");
  EXPECT_FALSE(files::Exists(home.path() + "HTM/Test.htm"));
}

}  // namespace
}  // namespace trovik::pages::test
