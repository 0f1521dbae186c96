#pragma once
// Shared by the fuzz targets that go through files: a scratch folder made
// once per process, the home folder pointed at it (so the device folders
// and INI indexes the loaders read lie inside it), and an abort on a
// failed check.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/atomic_file.h"

namespace trx::fuzz {

inline void Check(bool ok) {
  if (!ok) std::abort();
}

// The scratch folder, with a trailing '/'; HOME points at it.
inline const std::string& Scratch() {
  static const std::string folder = [] {
    char name[] = "/tmp/trx770-fuzz-XXXXXX";
    Check(::mkdtemp(name) != nullptr);
    const std::string root = name;
    ::setenv("HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/.config").c_str(), 1);
    return root + "/";
  }();
  return folder;
}

// Writes the input to `path` (whole, atomically).
inline void WriteInput(const std::string& path, const uint8_t* data, size_t size) {
  Check(WriteFileAtomic(path, data, size));
}

}  // namespace trx::fuzz
