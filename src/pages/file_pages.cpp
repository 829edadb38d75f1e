// The run that makes pages from a waypoint file. Caches arrive from the
// streaming reader a few at a time; their pictures download together, at
// most four connections at once, before their pages are written, so neither
// the file nor the run's pictures are ever held whole.

#include <filesystem>
#include <memory>
#include <set>
#include <unordered_map>

#include "base/error.h"
#include "base/files.h"
#include "pages/file_pages.h"
#include "pages/jpeg_halving.h"
#include "pages/page_filter.h"
#include "pages/page_writer.h"
#include "text/text.h"

namespace trovik::pages {

namespace {

using waypoints::CacheRecord;

constexpr int kParallelDownloads = 4;
// A group's downloads end together, so larger groups keep the four
// connections busier; their descriptions are held meanwhile, hence the bytes.
// Without pictures a small group hands the writer its pages sooner.
constexpr size_t kCachesPerGroup = 48, kCachesPerGroupNoPictures = 12, kGroupBytes = 8 << 20;
constexpr size_t kMaxPictureSegment = 60;
constexpr size_t kPagesAheadOfDisk = 64, kBytesAheadOfDisk = 8 << 20;

// What a picture address becomes: a file of its own in Pictures\ or, when
// it cannot be had, the address as written.
struct Picture {
  std::string address;  // UTF-8 as the description has it
  std::string caption;  // alt, title or the link's text (UTF-8)
  std::string name;     // file name in Pictures\ (ASCII), empty when none could be made
  int job = -1;         // index into the group's downloads
  bool local = false;   // the file is there
};

struct PendingPage {
  CacheRecord cache;
  SanitizedHtml shortDescription, longDescription;
  std::vector<Picture> pictures;  // short description's first
};

// What a pending page holds of its descriptions, for the bounds on what waits.
size_t DescriptionBytes(const PendingPage& page) {
  size_t bytes = 0;
  for (const SanitizedHtml* html : {&page.shortDescription, &page.longDescription})
    for (const auto& part : html->parts) bytes += part.size();
  return bytes;
}

// Letters, digits, "-", "_" and "." stay: valid on every card, nothing to escape in a page.
std::string SafeSegment(std::string_view s) {
  std::string out;
  for (char c : s) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '_' || c == '.';
    out += ok ? c : '_';
  }
  while (!out.empty() && out.front() == '.') out.erase(out.begin());
  if (out.size() > kMaxPictureSegment) out.erase(0, out.size() - kMaxPictureSegment);
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && text::UpperCase(s.substr(0, prefix.size())) == text::UpperCase(prefix);
}

// "data:image/png;base64,...": the extension and the decoded bytes, or nothing.
bool DecodeDataPicture(std::string_view address, std::string& extension, std::string& bytes) {
  const size_t comma = address.find(',');
  if (comma == std::string_view::npos) return false;
  const std::string head = text::UpperCase(address.substr(0, comma));
  if (head.rfind("DATA:IMAGE/", 0) != 0 || head.size() < 7 || head.substr(head.size() - 7) != ";BASE64") return false;
  const std::string type = head.substr(11, head.size() - 7 - 11);
  if (type == "JPEG" || type == "JPG") extension = ".jpg";
  else if (type == "PNG") extension = ".png";
  else if (type == "GIF") extension = ".gif";
  else if (type == "WEBP") extension = ".webp";
  else if (type == "BMP") extension = ".bmp";
  else return false;
  bytes.clear();
  unsigned value = 0;
  int bits = 0;
  for (char c : address.substr(comma + 1)) {
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+' || c == '-') v = 62;
    else if (c == '/' || c == '_') v = 63;
    else if (c == '=' || c == ' ' || c == '\r' || c == '\n' || c == '\t') continue;
    else return false;
    value = (value << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return !bytes.empty();
}

class FilePagesRun {
 public:
  FilePagesRun(PagesState& state, PageOutput& out, const std::string& gpxPath1250, const FilePagesOptions& options,
               const FilePagesEvents& events)
      : state_(state), out_(out), options_(options), events_(events), brejks_(out.flags.brejks) {
    sourceFile_ = text::Cp1250ToUtf8(files::FileNameOf(gpxPath1250));
    // The index's own names are taken.
    used_.insert(text::UpperCase("index"));
    used_.insert(text::UpperCase("index-vzdialenost"));
  }

  bool stopRequested() const { return out_.flags.shutDown || out_.flags.brejks != brejks_; }

  void setTotal(int total) {
    total_ = total;
    // Grown once: doubling a vector of 50,000 entries holds both copies for a while.
    if (options_.index) index_.reserve(static_cast<size_t>(total));
  }

  // Takes one cache from the reader; false once the run is to stop.
  bool add(CacheRecord&& cache) {
    if (stopRequested()) return false;
    PendingPage page;
    page.shortDescription = cache.shortIsHtml ? SanitizeDescription(cache.shortDescription)
                                              : SanitizedHtml{{PlainTextToHtml(cache.shortDescription)}, {}};
    page.longDescription = cache.longIsHtml ? SanitizeDescription(cache.longDescription)
                                            : SanitizedHtml{{PlainTextToHtml(cache.longDescription)}, {}};
    cache.shortDescription.clear(), cache.shortDescription.shrink_to_fit();
    cache.longDescription.clear(), cache.longDescription.shrink_to_fit();
    page.cache = std::move(cache);
    pendingBytes_ += DescriptionBytes(page);
    pending_.push_back(std::move(page));
    const size_t group = options_.pictures ? kCachesPerGroup : kCachesPerGroupNoPictures;
    if (pending_.size() >= group || pendingBytes_ >= kGroupBytes) flush();
    return !stopRequested();
  }

  // Pictures of the pending caches, then their pages.
  void flush() {
    if (pending_.empty()) return;
    std::vector<site::Downloader::Job> jobs;
    if (options_.pictures)
      for (auto& page : pending_) planPictures(page, jobs);
    if (!jobs.empty()) {
      const unsigned brejks = brejks_;
      const site::Downloader::Watch watch{
          [this] { out_.host.processMessages(); },
          [this, brejks] { return out_.flags.shutDown || out_.flags.brejks != brejks; }};
      try {
        out_.downloader.UrlsToFilesWatched(jobs, watch, kParallelDownloads);
      } catch (const std::exception&) {
        // A downloader that fails as a whole fails its pictures, not the run.
      }
    }
    for (auto& page : pending_) {
      if (stopRequested()) break;
      settlePictures(page, jobs);
      writePage(page);
    }
    pending_.clear();
    pendingBytes_ = 0;
    writer_.Urge();
  }

  // The pages made, the index, then the device copies of the whole run:
  // sent only when the card has room for all of them.
  FilePagesResult finish(DeviceRun& deviceRun) {
    flush();
    if (stopRequested()) writer_.Discard();
    writer_.Finish();
    if (!index_.empty() && options_.index) writeIndex();
    // No flush waits for the disk here: these pages are made again from the
    // waypoint file at any time, in seconds, so the run does not hold them.
    result_.stopped = stopRequested();
    deviceRun.finish();
    result_.deviceOutcome = state_.deviceOutcome;
    return std::move(result_);
  }

 private:
  void planPictures(PendingPage& page, std::vector<site::Downloader::Job>& jobs) {
    std::unordered_map<std::string, size_t> seen;  // one file per address within a cache
    int number = 0;
    for (const SanitizedHtml* html : {&page.shortDescription, &page.longDescription}) {
      for (const auto& p : html->pictures) {
        Picture picture{p.address, p.caption, "", -1, false};
        if (auto it = seen.find(p.address); it != seen.end()) {
          picture = page.pictures[it->second];
          page.pictures.push_back(picture);
          continue;
        }
        seen.emplace(p.address, page.pictures.size());
        planOne(page.cache.code, ++number, picture, jobs);
        page.pictures.push_back(std::move(picture));
      }
    }
  }

  // The name is the cache's code, the picture's number and its own name, so
  // no two caches (or two pictures of one) share a file.
  void planOne(const std::string& code, int number, Picture& picture, std::vector<site::Downloader::Job>& jobs) {
    const std::string prefix = SafeSegment(code) + "_" + std::to_string(number);
    if (StartsWithNoCase(picture.address, "data:")) {
      std::string extension, bytes;
      if (!DecodeDataPicture(picture.address, extension, bytes)) return;
      picture.name = prefix + extension;
      const std::string fs = files::PcPath(out_.picturesFolder + picture.name);
      if (!files::Exists(fs)) files::WriteAtomic(fs, bytes);
      picture.local = true;
      return;
    }
    if (!StartsWithNoCase(picture.address, "http://") && !StartsWithNoCase(picture.address, "https://")) return;
    std::string address = picture.address;
    const size_t cut = address.find_first_of("?#");
    std::string segment = SafeSegment(LastSegment(address.substr(0, cut)));
    picture.name = segment.empty() ? prefix : prefix + "_" + segment;
    if (!IsSafePictureName(picture.name)) {
      picture.name.clear();
      return;
    }
    const std::string local = out_.picturesFolder + picture.name;
    if (files::Exists(files::PcPath(local))) {
      picture.local = true;  // a picture already here is never fetched again
      return;
    }
    picture.job = static_cast<int>(jobs.size());
    jobs.push_back({picture.address, local, false, {}});
  }

  void settlePictures(PendingPage& page, std::vector<site::Downloader::Job>& jobs) {
    std::set<int> shrunk;
    for (auto& picture : page.pictures) {
      if (picture.job >= 0) {
        auto& job = jobs[static_cast<size_t>(picture.job)];
        if (job.done && shrunk.insert(picture.job).second) {
          try {
            ShrinkRule(job.localPath, out_.fields.radioButton2Vacsi, out_.fields.edit7Velkost);
          } catch (const Error&) {
            // Not a picture after all (an error page under its name): it goes,
            // and the page keeps the address.
            std::error_code ignored;
            std::filesystem::remove(files::PcPath(job.localPath), ignored);
            job.done = false;
          }
        }
        picture.local = job.done;
      }
      if (!picture.local) {
        ++result_.failedPictures;
        if (events_.pictureFailed) events_.pictureFailed(page.cache.code, picture.address);
      }
    }
  }

  std::string uniquePageName(const CacheRecord& cache) {
    std::string name = FilePageName(cache, options_.codeFromName).bytes();
    if (name.empty()) name = text::Utf8To1250(cache.code);
    if (!used_.insert(text::UpperCase(name)).second) {
      name += " (" + text::Utf8To1250(cache.code) + ")";
      used_.insert(text::UpperCase(name));
    }
    return name;
  }

  // The page goes to the writer; what follows its write (device copies, the
  // index entry, the event) runs here once it is on the disk.
  void writePage(PendingPage& page) {
    const std::string name = uniquePageName(page.cache);
    std::string path = out_.htmFolder + name + ".htm";
    const CacheRecord& c = page.cache;
    IndexEntry entry{c.name, c.code, c.type, c.container, c.difficulty, c.terrain,
                     text::Cp1250::FromBytes(name + ".htm"), c.position};
    std::vector<GarminPhoto> photos;
    std::vector<std::string> pictureNames;
    if (out_.copyToDevice.ticked) {
      std::set<std::string> copied;
      for (const auto& p : page.pictures) {
        if (!p.local || !copied.insert(p.name).second) continue;
        pictureNames.push_back(p.name);
        text::Cp1250 caption = text::Cp1250::FromUtf8(p.caption);
        const bool spoiler = SaysSpoiler(caption);
        photos.push_back({out_.picturesFolder + p.name, std::move(caption), spoiler});
      }
    }
    // The page is made on the writer's thread too: it needs nothing of the run but its options.
    auto made = std::make_shared<PendingPage>(std::move(page));
    std::vector<std::string> sources;
    for (const auto& p : made->pictures) sources.push_back(p.local ? "../Pictures/" + p.name : p.address);
    const size_t size = DescriptionBytes(*made) + 4096;  // and the page's own frame, logs and waypoints
    writer_.Write(
        files::PcPath(path), size,
        [made, sources = std::move(sources), logs = options_.logs, sourceFile = sourceFile_] {
          return text::Utf8To1250Html(CachePageHtml(
              {made->cache, made->shortDescription, made->longDescription, sources, logs, sourceFile}));
        },
        [this, path, name, entry = std::move(entry), photos = std::move(photos),
         pictureNames = std::move(pictureNames)]() mutable {
          written(path, name, std::move(entry), photos, pictureNames);
        });
  }

  void written(const std::string& path, const std::string& name, IndexEntry&& entry,
               const std::vector<GarminPhoto>& photos, const std::vector<std::string>& pictureNames) {
    if (out_.copyToDevice.ticked) {
      for (const auto& p : pictureNames)
        PlanDeviceCopy(state_, out_, out_.picturesFolder + p, out_.fields.edit5PdaMht + "Pictures\\" + p, true);
      PlanDeviceCopy(state_, out_, path, out_.fields.edit5PdaMht + "HTM\\" + name + ".htm", false);
      CopyGarminPhotos(state_, out_, text::Cp1250::FromUtf8(entry.code), photos);
    }
    const std::string code = entry.code;
    index_.push_back(std::move(entry));
    if (++result_.pages == 1) result_.firstPage = path;
    if (!options_.codes.empty()) result_.codes.push_back(code);
    if (events_.pageWritten)
      events_.pageWritten(result_.pages, total_, text::Cp1250::FromUtf8(code), text::Cp1250::FromBytes(path));
    out_.host.processMessages();
  }

  void writeIndex() {
    auto write = [this](const std::string& fileName, bool byDistance) {
      const std::string path = out_.htmFolder + fileName;
      files::WriteAtomic(files::PcPath(path), IndexHtml(index_, options_.home, byDistance).bytes(),
                         files::Flush::Later);
      PlanDeviceCopy(state_, out_, path, out_.fields.edit5PdaMht + "HTM\\" + fileName, false);
      return path;
    };
    result_.index = write("index.htm", false);
    if (options_.home) write("index-vzdialenost.htm", true);
  }

  PagesState& state_;
  PageOutput& out_;
  const FilePagesOptions& options_;
  const FilePagesEvents& events_;
  const unsigned brejks_;
  int total_ = 0;
  std::string sourceFile_;
  std::vector<PendingPage> pending_;
  size_t pendingBytes_ = 0;  // their descriptions
  std::set<std::string> used_;
  std::vector<IndexEntry> index_;
  FilePagesResult result_;
  PageWriter writer_{kPagesAheadOfDisk, kBytesAheadOfDisk};  // last: its thread ends before the rest goes
};

}  // namespace

FilePagesResult MakeFilePages(PagesState& state, PageOutput& out, const std::string& gpxPath1250,
                              const FilePagesOptions& options, const FilePagesEvents& events) {
  state.deviceOutcome = device::Outcome::Done;
  DeviceRun deviceRun(state, out);
  FilePagesRun run(state, out, gpxPath1250, options, events);
  waypoints::GpxReadOptions read;
  read.codes = options.codes;
  read.maxLogs = options.logs;
  read.onTotal = [&run](long caches) { run.setTotal(static_cast<int>(caches)); };
  const waypoints::GpxReadReport report =
      waypoints::ReadGpxCaches(files::PcPath(gpxPath1250), read, [&run](CacheRecord&& cache) {
        return run.add(std::move(cache));
      });
  if (events.duplicate)
    for (const auto& code : report.duplicates) events.duplicate(code);
  return run.finish(deviceRun);
}

}  // namespace trovik::pages
