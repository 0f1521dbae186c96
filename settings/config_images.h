#pragma once
// The process-wide configuration image: the mouse's, the keyboard's and the
// mouse pad's records, alive for the whole run.
//
// Sharing between threads. The UI thread (pages, timers, profile loads) and
// the presence threads (connect reads) both write the images. One mutex,
// ImageMutex(), guards all three records:
// - every multi-byte change and every read that must be consistent (a file
//   save, a frame built from the current record) holds it;
// - device reads land in a local buffer first and are copied in under the
//   mutex, so no exchange with a device ever runs while it is held by the
//   code of this library;
// - file saves copy what they write under the mutex (a snapshot) and write
//   the file from that copy.
// Lock order: a device channel lock may be held when taking ImageMutex();
// never take a channel lock while holding ImageMutex(). The INI mutex
// (platform/ini_file.h) is a leaf taken after it. The mutex is recursive so
// that a page holding it may call a save that takes it again.
// Readers that need only a byte or two (the lighting threads) take the mutex
// briefly as well: it is never held across device I/O or a file write by
// this library, so the wait is short.

#include <mutex>

#include "settings/device_records.h"
#include "settings/mouse_config_image.h"

namespace trx {

struct ConfigImages {
  MouseConfigImage mouse = MouseConfigImage::BuiltIn();
  KeyboardImage keyboard;
  MousePadImage pad;
};

// Guards every member of Images().
std::recursive_mutex& ImageMutex();
// The process-wide instance; hold ImageMutex() while using it.
ConfigImages& Images();

// Runs fn(Images()) with ImageMutex() held for exactly the call and returns
// what fn returns, by value (no reference into the image outlives the
// lock): the way to reach the image, so the lock's scope is visible at
// every use. fn must not show a dialog, talk to a device, write a file or
// wait for another thread (see the lock order above). Pages reach it
// through their context (pages/image_access.h).
template <typename Fn>
auto WithImage(Fn&& fn) {
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  return fn(Images());
}

// Restores the built-in state (tests, and a fresh start).
void ResetImagesToBuiltIn();

}  // namespace trx
