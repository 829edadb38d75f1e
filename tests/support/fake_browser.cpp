#include "fake_browser.h"

#include "base/error.h"

namespace trovik::testing {

const FakePage* FakeBrowser::find(const std::string& address) const {
  auto it = pages_.find(address);
  if (it != pages_.end()) return &it->second;
  return hasDefault_ ? &defaultPage_ : nullptr;
}

void FakeBrowser::Navigate(const std::string& address) {
  navigations.push_back(address);
  if (address.rfind("javascript:", 0) == 0) {
    std::string code = address.substr(11);
    scripts.push_back(code);
    if (onJavaScript) onJavaScript(code);
    return;
  }
  ++generation_;
  loading_ = address;
  loadPending_ = true;
  const FakePage* page = find(address);
  if (page == nullptr || !page->completes) return;
  int generation = generation_;
  int count = page->completions;
  host_.onPump.push_back([this, generation, count] { fire(generation, count); });
}

void FakeBrowser::fire(int generation, int remaining) {
  if (generation != generation_ || remaining <= 0) return;
  current_ = loading_;
  if (remaining == 1) {
    loadPending_ = false;
    const FakePage* page = find(current_);
    busyLeft_ = page ? page->busyPolls : 0;
  }
  ++completionsFired;
  if (onDocumentComplete) onDocumentComplete();
  // Frames: the next completion arrives at a later pump.
  if (remaining > 1) host_.onPump.push_back([this, generation, remaining] { fire(generation, remaining - 1); });
}

void FakeBrowser::complete() {
  if (!loadPending_) return;
  ++generation_;
  fire(generation_, 1);
}

void FakeBrowser::Stop() {
  ++stops;
  ++generation_;
  loadPending_ = false;
  busyLeft_ = 0;
}

bool FakeBrowser::Busy() {
  if (loadPending_) return true;
  if (busyLeft_ > 0) {
    --busyLeft_;
    return true;
  }
  return false;
}

std::string FakeBrowser::BodyHtml() {
  if (!bodyHtmlError.empty()) throw Error(text::Cp1250::FromBytes(bodyHtmlError));
  const FakePage* page = find(current_);
  return page ? page->bodyHtml : std::string();
}

void FakeBrowser::SetElementText(const std::string& nameOrId, const std::string& text) {
  const FakePage* page = find(current_);
  if (page == nullptr || page->elements.count(nameOrId) == 0) throw Error(text::Cp1250::FromBytes("Element '" + nameOrId + "' not found"));
  textsSet.emplace_back(nameOrId, text);
}

void FakeBrowser::ClickElement(const std::string& nameOrId) {
  const FakePage* page = find(current_);
  if (page == nullptr || page->elements.count(nameOrId) == 0) throw Error(text::Cp1250::FromBytes("Element '" + nameOrId + "' not found"));
  clicked.push_back(nameOrId);
  auto it = page->clicks.find(nameOrId);
  if (it != page->clicks.end()) {
    std::string target = it->second;  // Navigate may rehash the page map
    Navigate(target);
  }
}

std::vector<std::string> FakeBrowser::Pictures() {
  const FakePage* page = find(current_);
  return page ? page->pictures : std::vector<std::string>();
}

std::vector<std::string> FakeBrowser::Links() {
  const FakePage* page = find(current_);
  return page ? page->links : std::vector<std::string>();
}

}  // namespace trovik::testing
