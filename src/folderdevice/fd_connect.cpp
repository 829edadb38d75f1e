// The connection: CeRapiInitEx answers through a pollable descriptor, at once
// or after the delay the fault switches ask for.

#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

#include "folderdevice/fd_api.h"

namespace trovik::folderdevice {

namespace {

bool connected = false;
int eventFd = -1;
HRESULT lastResult = S_OK;

void CloseEvent() {
  if (eventFd >= 0) close(eventFd);
  eventFd = -1;
}

// What the handheld answers now: failure when asked to fail or when the
// storage folder is absent (no card, no device).
HRESULT Answer() {
  if (FaultText("TROVIK_DEVICE_CONNECT") == "fail") return E_FAIL;
  struct stat st;
  std::string root = RootFolder();
  if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return E_FAIL;
  return S_OK;
}

}  // namespace

bool Connected() { return connected; }

HRESULT RapiInitImpl() {
  // The plain initialisation blocks until the device answers.
  if (FaultText("TROVIK_DEVICE_CONNECT") == "never") {
    for (;;) pause();
  }
  long delay = FaultNumber("TROVIK_DEVICE_CONNECT_DELAY_MS", 0);
  if (delay > 0) usleep(static_cast<useconds_t>(delay) * 1000);
  lastResult = Answer();
  connected = lastResult >= 0;
  return lastResult;
}

HRESULT RapiInitExImpl(RAPIINIT* init) {
  if (!init || init->cbSize != sizeof(RAPIINIT)) return E_INVALIDARG;
  CloseEvent();
  const std::string mode = FaultText("TROVIK_DEVICE_CONNECT");
  const long delay = FaultNumber("TROVIK_DEVICE_CONNECT_DELAY_MS", 0);
  int fd = -1;
  if (mode == "never") {
    fd = eventfd(0, EFD_CLOEXEC);
  } else if (delay > 0) {
    fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (fd >= 0) {
      itimerspec when{};
      when.it_value.tv_sec = delay / 1000;
      when.it_value.tv_nsec = (delay % 1000) * 1000000L;
      timerfd_settime(fd, 0, &when, nullptr);
    }
  } else {
    fd = eventfd(0, EFD_CLOEXEC);
    if (fd >= 0) {
      uint64_t one = 1;
      if (write(fd, &one, sizeof one) != sizeof one) {
        close(fd);
        fd = -1;
      }
    }
  }
  if (fd < 0) return E_FAIL;
  eventFd = fd;
  lastResult = mode == "never" ? E_FAIL : Answer();
  connected = lastResult >= 0;
  init->heRapiInit = static_cast<HANDLE>(fd);
  init->hrRapiInit = lastResult;
  return S_OK;
}

HRESULT RapiUninitImpl() {
  connected = false;
  CloseEvent();
  return S_OK;
}

HRESULT GetRapiErrorImpl() { return lastResult; }
DWORD GetLastErrorImpl() { return LastError(); }

}  // namespace trovik::folderdevice
