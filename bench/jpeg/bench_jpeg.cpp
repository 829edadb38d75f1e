// Halving a 12-megapixel JPEG three ways, each three times (best time kept):
//   ours: ResizeJpg (decode, bilinear halving, baseline encode at quality 90)
//   ImageMagick: convert IN -resize 50% -quality 90 OUT
//   libjpeg-turbo: djpeg of the full picture plus cjpeg -quality 90 of the half-size picture
// The peers run as processes, as a user would run them (started directly, no
// shell in between). Besides the wall time each is measured in CPU time (user
// + system; for the peers that of the child processes), which other work on a
// shared machine disturbs less.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/files.h"
#include "pages/jpeg_halving.h"

using namespace trovik;

namespace {

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A photo-like picture: smooth gradients, some edges and fine noise, so the
// encoder meets the kind of detail a cache photo has.
pages::Bitmap Photo(int w, int h) {
  pages::Bitmap b;
  b.width = w, b.height = h;
  b.bgr.resize(static_cast<size_t>(w) * h * 3);
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> noise(-12, 12);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.row(y);
    for (int x = 0; x < w; ++x) {
      double fx = x / static_cast<double>(w), fy = y / static_cast<double>(h);
      int base = static_cast<int>(128 + 90 * std::sin(fx * 9.0 + fy * 3.0) * std::cos(fy * 7.0));
      bool edge = ((x / 150) + (y / 150)) % 7 == 0;
      int v[3] = {base + (edge ? 60 : 0), static_cast<int>(base * 0.8 + 40 * fy), static_cast<int>(255 - base * 0.6)};
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = static_cast<uint8_t>(std::clamp(v[c] + noise(rng), 0, 255));
    }
  }
  return b;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writePpm(const std::string& path, const pages::Bitmap& b) {
  std::string out = "P6\n" + std::to_string(b.width) + " " + std::to_string(b.height) + "\n255\n";
  out.reserve(out.size() + b.bgr.size());
  for (size_t i = 0; i < b.bgr.size(); i += 3) out += {static_cast<char>(b.bgr[i + 2]), static_cast<char>(b.bgr[i + 1]), static_cast<char>(b.bgr[i])};
  writeFile(path, out);
}

double cpuOf(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

struct Times {
  double wall = 1e9, cpu = 1e9;
  void keep(double w, double c) { wall = std::min(wall, w), cpu = std::min(cpu, c); }
};

// Wall and CPU time of a peer program, started directly with the
// benchmark's own output streams.
std::pair<double, double> run(const std::string& program, std::vector<std::string> args) {
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  double t = now(), c = cpuOf(RUSAGE_CHILDREN);
  pid_t pid = 0;
  int status = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0 ||
      waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", program.c_str());
    std::exit(1);
  }
  return {now() - t, cpuOf(RUSAGE_CHILDREN) - c};
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "/tmp/trovik-bench-jpeg";
  ::mkdir(dir.c_str(), 0755);
  dir += "/";
  const std::string in = dir + "in.jpg";
  const std::string convert = access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : "convert";

  pages::Bitmap photo = Photo(4000, 3000);
  writeFile(in, pages::EncodeJpeg(photo, 90, "in.jpg"));
  pages::Bitmap half = photo;
  pages::ResampleBilinear(half, 2000, 1500);
  writePpm(dir + "half.ppm", half);
  std::printf("input: 4000 x 3000 (12 megapixels), %lld bytes\n", static_cast<long long>(files::Size(in)));

  const int runs = 3;
  Times ours, magick, turbo;
  for (int i = 0; i < runs; ++i) {
    std::string out = dir + "ours.jpg";
    writeFile(out, files::ReadAll(in));
    double t = now(), c = cpuOf(RUSAGE_SELF);
    pages::ResizeJpg(out, out, 0.5);
    ours.keep(now() - t, cpuOf(RUSAGE_SELF) - c);

    auto m = run(convert, {in, "-resize", "50%", "-quality", "90", dir + "magick.jpg"});
    magick.keep(m.first, m.second);

    auto d = run("djpeg", {"-outfile", dir + "full.ppm", in});
    auto e = run("cjpeg", {"-quality", "90", "-outfile", dir + "turbo.jpg", dir + "half.ppm"});
    turbo.keep(d.first + e.first, d.second + e.second);
  }
  pages::Bitmap check = pages::DecodeJpeg(files::ReadAll(dir + "ours.jpg"), "ours.jpg");
  std::printf("output: %d x %d, %lld bytes; best of %d\n", check.width, check.height,
              static_cast<long long>(files::Size(dir + "ours.jpg")), runs);
  std::printf("%-34s %10s %10s\n", "", "wall ms", "CPU ms");
  std::printf("%-34s %10.1f %10.1f\n", "ResizeJpg", ours.wall * 1000, ours.cpu * 1000);
  std::printf("%-34s %10.1f %10.1f\n", "ImageMagick convert -resize 50%", magick.wall * 1000, magick.cpu * 1000);
  std::printf("%-34s %10.1f %10.1f\n", "djpeg full + cjpeg half", turbo.wall * 1000, turbo.cpu * 1000);
  std::printf("ImageMagick / ours:      wall %.2f  CPU %.2f  (goal at least 5)\n", magick.wall / ours.wall,
              magick.cpu / ours.cpu);
  std::printf("ours / libjpeg-turbo:    wall %.2f  CPU %.2f  (goal at most 1.3)\n", ours.wall / turbo.wall,
              ours.cpu / turbo.cpu);
  return 0;
}
