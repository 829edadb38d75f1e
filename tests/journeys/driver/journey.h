#pragma once
// What every journey shares: one display and one demo site for a program
// (`Scene`), and per journey a scratch program folder and card with one
// window on them (`Trip`).

#include <map>
#include <memory>
#include <string>

#include "driver/driver.h"
#include "support/demo_site_process.h"

namespace trovik::journeys {

class Scene {
 public:
  Scene();
  bool ready() const { return display.running() && site.running(); }
  // "http://127.0.0.1:PORT"
  const std::string& address() const { return site.address(); }

  XDisplay display;
  testing::DemoSiteProcess site;
};

struct TripOptions {
  // The sample files beside the program: waypoint file, town list, about text.
  bool sampleFiles = true;
  // A settings file naming the demo site's addresses and, with
  // `rememberSample`, the sample waypoint file: a second start.
  bool settings = true;
  bool rememberSample = true;
  // The manager's PC folder: the program folder.
  bool pcFolder = true;
  // Another national site than the demo's ("http://host:port/sk").
  std::string skAddress;
  // More settings lines (UTF-8, "[Section]" and "key=value").
  std::string extraSettings;
  // The scratch folder itself, made if missing, instead of a new one in the
  // system's temporary folder.
  std::string folder;
  // More environment for the window.
  std::map<std::string, std::string> env;
};

class Trip {
 public:
  Trip(Scene& scene, TripOptions options = {});
  ~Trip();
  Trip(const Trip&) = delete;
  Trip& operator=(const Trip&) = delete;

  // Starts the window and waits until the main window is shown and answers.
  bool start();
  Window& window() { return *window_; }
  Person& person() { return *person_; }
  Scene& scene() { return scene_; }

  const std::string& home() const { return home_; }        // ends with "/"
  const std::string& card() const { return card_; }        // the card's root, ends with "/"
  const std::string& base() const { return base_; }        // the scratch folder holding both, ends with "/"
  std::string sampleWpt() const { return home_ + "Zlaté Moravce50km.wpt"; }
  // A file of the program folder or card, "" when missing (1250 bytes as they are).
  static std::string Read(const std::string& path);
  static bool Exists(const std::string& path);
  // Writes UTF-8 text as Windows-1250 with CR LF line ends.
  static void Write1250(const std::string& path, const std::string& utf8);
  // The last lines of the window's own output, for a failure message.
  std::string logTail() const;
  // Saves the screen as PNG beside the test logs.
  std::string saveScreen(const std::string& name) const;

 private:
  Scene& scene_;
  std::string base_;
  std::string home_;
  std::string card_;
  std::map<std::string, std::string> env_;
  std::unique_ptr<Window> window_;
  std::unique_ptr<Person> person_;
};

}  // namespace trovik::journeys
