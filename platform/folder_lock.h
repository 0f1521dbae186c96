#pragma once
// CFolderLock: an exclusive advisory lock (flock) on a folder's lock file,
// ".trx770.lock" inside it, so that two processes editing the files there
// (two trx770ctl runs) do their read-modify-write one after the other.
// Taken by trx770ctl for each command that reads and rewrites files in the
// user's data folder on its own (the direct path); released when the
// object goes or the process ends.
//
// Thread: the owner's; the lock belongs to the open file description.

#include <string>

namespace trx {

inline constexpr const char* kFolderLockName = ".trx770.lock";

class CFolderLock {
 public:
  // Creates the folder when missing and waits for the lock. Held() is
  // false when the lock file can't be made (a read-only home): the caller
  // goes on unlocked, as before the lock existed.
  explicit CFolderLock(const std::string& folder);
  ~CFolderLock();
  CFolderLock(const CFolderLock&) = delete;
  CFolderLock& operator=(const CFolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace trx
