#include "driver/journey.h"

#include <iconv.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string To1250(const std::string& utf8) {
  iconv_t cd = iconv_open("WINDOWS-1250", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* o = out.data();
  size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

Scene::Scene() = default;

Trip::Trip(Scene& scene, TripOptions options) : scene_(scene), env_(options.env) {
  std::string pattern = (fs::temp_directory_path() / "journey-XXXXXX").string();
  if (!options.folder.empty()) {
    pattern = options.folder;
    fs::create_directories(fs::u8path(pattern));
  } else if (!mkdtemp(pattern.data())) {
    throw std::runtime_error("no scratch folder");
  }
  // The program folder and the card side by side; the probe's socket and
  // the window's output beside them, out of the panes' sight.
  base_ = pattern + "/";
  home_ = base_ + "Trovik/";
  card_ = base_ + "card/";
  fs::create_directories(home_);
  fs::create_directories(card_);
  if (options.sampleFiles) {
    for (const char* name : {"Zlaté Moravce50km.wpt", "suradnicemiest.ini", "popisrtf.rtf"}) {
      fs::copy_file(fs::path(TROVIK_SOURCE_DIR) / "data" / name, fs::path(home_) / name);
    }
  }
  if (options.settings) {
    const std::string& url = scene.address();
    const std::string sk = options.skAddress.empty() ? url + "/sk" : options.skAddress;
    std::string ini = "[Adresy]\nsk=" + sk + "\ncom=" + url + "/com\nobrazky=" + url + "/img\n";
    if (options.pcFolder) ini += "[LastCesty]\nPC=" + home_ + "\n";
    if (options.rememberSample) ini += "[LastWPT]\nSubor=" + sampleWpt() + "\n";
    ini += options.extraSettings;
    Write1250(home_ + "Trovik.ini", ini);
  }
}

Trip::~Trip() {
  person_.reset();
  window_.reset();
  std::error_code ignored;
  if (!std::getenv("TROVIK_JOURNEY_KEEP")) fs::remove_all(base_, ignored);
}

bool Trip::start() {
  WindowOptions options;
  options.home = home_;
  options.deviceRoot = card_;
  options.binDir = TROVIK_BIN_DIR;
  options.pluginDir = TROVIK_PROBE_DIR;
  options.workDir = base_;
  options.env = env_;
  window_ = std::make_unique<Window>(scene_.display, options);
  person_ = std::make_unique<Person>(scene_.display, *window_);
  // QtWebEngine's start takes a few seconds on a busy machine.
  return person_->waitFor([&] { return person_->shown(QStringLiteral("Form1")); }, 60s);
}

std::string Trip::Read(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool Trip::Exists(const std::string& path) { return fs::exists(fs::u8path(path)); }

void Trip::Write1250(const std::string& path, const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::ofstream(fs::u8path(path), std::ios::binary) << To1250(crlf);
}

std::string Trip::logTail() const {
  const std::string log = Read(base_ + "window.log");
  return log.size() > 3000 ? log.substr(log.size() - 3000) : log;
}

std::string Trip::saveScreen(const std::string& name) const {
  const char* dir = std::getenv("TROVIK_JOURNEY_ARTIFACTS");
#ifdef TROVIK_ARTIFACTS
  const std::string folder = dir ? dir : TROVIK_ARTIFACTS;
#else
  const std::string folder = dir ? dir : fs::temp_directory_path().string();
#endif
  fs::create_directories(folder);
  const std::string file = folder + "/" + name + ".png";
  return scene_.display.screenshot(file) ? file : std::string();
}

}  // namespace trovik::journeys
