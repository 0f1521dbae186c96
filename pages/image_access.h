#pragma once
// ImageAccess: how a page reaches the configuration image
// (settings/config_images.h), through its context. Each call runs fn on one
// record (the mouse's, the keyboard's, the pad's) with the image lock held
// for exactly the call and returns what fn returns, by value, so no
// reference into the image outlives the lock.
//
// fn must not show a dialog, talk to a device, write a file or wait for
// another thread: copy out what is needed, then act with the lock released
// (the lock order is in settings/config_images.h).
//
// Any thread; pages call it on the UI thread.

#include "settings/config_images.h"

namespace trx::pages {

struct ImageAccess {
  template <typename Fn>
  auto Mouse(Fn&& fn) const {
    return WithImage([&fn](ConfigImages& images) { return fn(images.mouse); });
  }
  template <typename Fn>
  auto Keyboard(Fn&& fn) const {
    return WithImage([&fn](ConfigImages& images) { return fn(images.keyboard); });
  }
  template <typename Fn>
  auto Pad(Fn&& fn) const {
    return WithImage([&fn](ConfigImages& images) { return fn(images.pad); });
  }
  // All three records at once (a change that spans devices).
  template <typename Fn>
  auto All(Fn&& fn) const {
    return WithImage([&fn](ConfigImages& images) { return fn(images); });
  }
};

}  // namespace trx::pages
