// trovik-demo-site [--port N] [--data DIR] [--host 127.0.0.1]
//                  [--write-wpt FILE] [--write-towns FILE] [--write-pq FILE [--base URL]]
// Serves both demo listing sites and the image server on a loopback port,
// prints "http://HOST:PORT" once it listens, and stops on SIGINT or SIGTERM.
// The --write options write the sample data files instead of serving.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "data_files.h"
#include "pocket_query.h"
#include "server.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: trovik-demo-site [--port N] [--data DIR] [--host 127.0.0.1]\n"
               "       trovik-demo-site --write-wpt FILE | --write-towns FILE | --write-pq FILE [--base URL]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  trovik::demo::ServerOptions options;
  std::string wptFile, townsFile, pqFile, base = trovik::demo::kDefaultBase;
  bool baseGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--port" && value(v)) {
      char* end = nullptr;
      long port = std::strtol(v.c_str(), &end, 10);
      if (!end || *end || port < 0 || port > 65535) return Usage();
      options.port = static_cast<int>(port);
    } else if (arg == "--data" && value(v)) {
      options.dataDir = v;
    } else if (arg == "--host" && value(v)) {
      options.host = v;
    } else if (arg == "--write-wpt" && value(v)) {
      wptFile = v;
    } else if (arg == "--write-towns" && value(v)) {
      townsFile = v;
    } else if (arg == "--write-pq" && value(v)) {
      pqFile = v;
    } else if (arg == "--base" && value(v)) {
      // The pictures' and listings' server; a trailing slash would double the path's.
      while (!v.empty() && v.back() == '/') v.pop_back();
      if (v.rfind("http://", 0) != 0 && v.rfind("https://", 0) != 0) return Usage();
      base = v;
      baseGiven = true;
    } else {
      return Usage();
    }
  }

  if (baseGiven && pqFile.empty()) return Usage();

  try {
    if (!wptFile.empty() || !townsFile.empty() || !pqFile.empty()) {
      trovik::demo::Catalog catalog;
      if (!wptFile.empty()) trovik::demo::WriteFile(wptFile, trovik::demo::SampleWpt(catalog));
      if (!townsFile.empty()) trovik::demo::WriteFile(townsFile, trovik::demo::TownList());
      if (!pqFile.empty()) {
        trovik::demo::WriteFile(pqFile, trovik::demo::PocketQuery(catalog, base));
        trovik::demo::WriteFile(trovik::demo::WaypointsFileFor(pqFile),
                                trovik::demo::PocketQueryWaypoints(catalog, base));
      }
      return 0;
    }

    // The signals go to one waiting thread only, which stops the server.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    trovik::demo::DemoServer server(options);
    server.bind();
    std::printf("%s\n", server.address().c_str());
    std::fflush(stdout);

    std::atomic<bool> signalled{false};
    std::thread waiter([&] {
      int sig = 0;
      sigwait(&stopSignals, &sig);
      signalled = true;
      server.stop();
    });
    server.run();
    // run() also ends when listening fails; wake the waiter in that case.
    if (!signalled) pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "trovik-demo-site: %s\n", e.what());
    return 1;
  }
}
