// Runs commands as processes, round robin, and prints for each the median of
// its runs: wall time, CPU time (user + system) and peak resident memory, the
// figures /usr/bin/time reports, taken here from wait4() with a finer clock.
//
//   bench_cli_measure RUNS JOB [:: JOB ...]
//   JOB:  [--copy SRC DST] [--fresh DIR] COMMAND ARGS... [--then COMMAND ARGS...]
//
// --copy puts a fresh copy of SRC at DST before each run (untimed), for a
// command that changes its file in place. --fresh makes DIR an empty folder
// before each run (untimed), for a command that keeps what an earlier run
// wrote there; the earlier runs' folders are removed after the last run. --then runs a second command after
// the first within the same run: times add up, memory is the larger peak.
// Standard output goes to /dev/null; a command that fails ends the benchmark.
// Output: one line per job, "wall_ms cpu_ms peak_kb".

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Job {
  std::string copyFrom, copyTo, fresh;
  std::vector<std::vector<std::string>> commands;
  std::vector<double> wall, cpu, peak;
};

struct Run {
  double wallMs = 0, cpuMs = 0, peakKb = 0;
};

// The folders --fresh set aside, this run's and any an interrupted one left.
void RemoveSetAside(const std::string& fresh) {
  if (fresh.empty()) return;
  const std::filesystem::path path(fresh);
  const std::filesystem::path parent = path.parent_path().empty() ? "." : path.parent_path();
  const std::string prefix = path.filename().string() + ".old-";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(parent, ec))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) std::filesystem::remove_all(entry.path(), ec);
}

Run RunOne(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execvp(argv[0], argv.data());
    std::perror(argv[0]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", words.front().c_str());
    std::exit(1);
  }
  Run r;
  r.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  r.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
  r.peakKb = static_cast<double>(usage.ru_maxrss);
  return r;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_cli_measure RUNS [--copy SRC DST] [--fresh DIR] COMMAND... [:: JOB ...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<Job> jobs(1);
  jobs.back().commands.emplace_back();
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    Job& job = jobs.back();
    if (a == "::") {
      jobs.emplace_back().commands.emplace_back();
    } else if (a == "--copy" && i + 2 < argc && job.commands.back().empty()) {
      job.copyFrom = argv[++i];
      job.copyTo = argv[++i];
    } else if (a == "--fresh" && i + 1 < argc && job.commands.back().empty()) {
      job.fresh = argv[++i];
    } else if (a == "--then") {
      job.commands.emplace_back();
    } else {
      job.commands.back().push_back(a);
    }
  }
  for (int r = 0; r < runs; ++r) {
    for (Job& job : jobs) {
      if (!job.copyFrom.empty())
        std::filesystem::copy_file(job.copyFrom, job.copyTo, std::filesystem::copy_options::overwrite_existing);
      if (!job.fresh.empty()) {
        // The last run's folder is set aside, not deleted: ext4 makes new
        // files slow for half a minute after many were deleted (it steps
        // over recently freed inodes), a cost of the benchmark, not of the tool.
        if (std::filesystem::exists(job.fresh))
          std::filesystem::rename(job.fresh, job.fresh + ".old-" + std::to_string(getpid()) + "-" + std::to_string(r));
        std::filesystem::create_directories(job.fresh);
        sync();  // the last run's writes are not flushed in this one's time
      }
      Run total;
      for (const auto& command : job.commands) {
        const Run one = RunOne(command);
        total.wallMs += one.wallMs;
        total.cpuMs += one.cpuMs;
        total.peakKb = std::max(total.peakKb, one.peakKb);
      }
      job.wall.push_back(total.wallMs);
      job.cpu.push_back(total.cpuMs);
      job.peak.push_back(total.peakKb);
    }
  }
  for (const Job& job : jobs) std::printf("%.2f %.2f %.0f\n", Median(job.wall), Median(job.cpu), Median(job.peak));
  std::fflush(stdout);
  for (const Job& job : jobs) RemoveSetAside(job.fresh);
  return 0;
}
