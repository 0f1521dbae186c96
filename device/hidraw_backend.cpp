#include "device/hidraw_backend.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "device/hid_descriptor.h"
#include "device/hidraw_watch.h"
#include "platform/debug_log.h"
#include "platform/event.h"

namespace trx {
namespace {

constexpr const char* kNodePrefix = "hidraw";
constexpr const char* kScheme = "hid";

// Reads a whole small file; false when it can't be opened or read, or is
// longer than limit.
bool ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  uint8_t buf[1024];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > limit) {
      ok = false;
      break;
    }
    out.insert(out.end(), buf, buf + n);
  }
  ::close(fd);
  return ok;
}

// "hidraw12" -> 12; -1 when the name is not a hidraw node.
long NodeNumber(const std::string& name) {
  const size_t prefix = std::strlen(kNodePrefix);
  if (name.size() <= prefix || name.compare(0, prefix, kNodePrefix) != 0 || name.size() > prefix + 9) return -1;
  long n = 0;
  for (size_t i = prefix; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

bool ParseHex(const std::string& s, size_t begin, size_t end, uint32_t& value) {
  if (begin >= end || end - begin > 8) return false;
  value = 0;
  for (size_t i = begin; i < end; ++i) {
    char c = s[i];
    uint32_t d;
    if (c >= '0' && c <= '9') d = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') d = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = static_cast<uint32_t>(c - 'A' + 10);
    else return false;
    value = value * 16 + d;
  }
  return true;
}

// Milliseconds left, rounded up so that a wait never ends before the deadline.
int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

bool IsGoneErrno(int e) { return e == ENODEV || e == EIO || e == ENXIO; }

class HidrawConnection : public IHidConnection {
 public:
  // accepted_ids: when not empty, the input report ids of this connection's
  // collection; reports with other ids belong to the node's other
  // collections and are dropped.
  HidrawConnection(int fd, bool can_read, bool can_write, HidAttributes attributes, std::vector<uint8_t> descriptor,
                   int collection, bool prefix_report_id, std::vector<uint8_t> accepted_ids)
      : fd_(fd),
        can_read_(can_read),
        can_write_(can_write),
        attributes_(attributes),
        descriptor_(std::move(descriptor)),
        collection_(collection),
        prefix_report_id_(prefix_report_id),
        accepted_ids_(std::move(accepted_ids)) {}
  ~HidrawConnection() override { ::close(fd_); }  // also drops the flock

  HidAttributes Attributes() const override { return attributes_; }
  const std::vector<uint8_t>& ReportDescriptor() const override { return descriptor_; }
  int TopLevelCollection() const override { return collection_; }

  HidIo Read(uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& got) override {
    got = 0;
    if (!can_read_ || buf == nullptr || len == 0) return HidIo::Error;
    if (prefix_report_id_ && len < 2) return HidIo::Error;
    uint8_t* dst = prefix_report_id_ ? buf + 1 : buf;
    const size_t room = prefix_report_id_ ? len - 1 : len;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
      HidIo io = Transfer(POLLIN, RemainingMs(deadline), stop, [&]() -> ssize_t { return ::read(fd_, dst, room); }, got);
      // hidraw never delivers an empty report; end-of-file means a hung-up node.
      if (io == HidIo::Ok && got == 0) return HidIo::Gone;
      if (io != HidIo::Ok) return io;
      if (prefix_report_id_) {
        buf[0] = 0;
        ++got;
        return io;
      }
      if (accepted_ids_.empty() ||
          std::find(accepted_ids_.begin(), accepted_ids_.end(), buf[0]) != accepted_ids_.end()) {
        return io;
      }
      got = 0;  // another collection's report: not ours, wait for the next
    }
  }

  HidIo Write(const uint8_t* buf, size_t len, int timeout_ms, CEvent& stop, size_t& put) override {
    put = 0;
    if (!can_write_ || buf == nullptr || len == 0) return HidIo::Error;
    // hidraw takes the report id first and drops a 0 id itself.
    HidIo io = Transfer(POLLOUT, timeout_ms, stop, [&]() -> ssize_t { return ::write(fd_, buf, len); }, put);
    if (io == HidIo::Ok && put != len) return HidIo::Error;  // hidraw writes whole reports or nothing
    return io;
  }

  int HangUpFd() const override { return fd_; }

  size_t DrainInput() override {
    if (!can_read_) return 0;
    size_t dropped = 0;
    uint8_t scratch[kHidMaxReportBytes + 1];
    for (;;) {
      ssize_t n = ::read(fd_, scratch, sizeof scratch);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // EAGAIN: queue empty; errors surface on the next Read
      ++dropped;
    }
    return dropped;
  }

 private:
  // Waits for the node to become ready for `events` (or the stop event, or
  // the deadline), then performs `op` once.
  template <typename Op>
  HidIo Transfer(short events, int timeout_ms, CEvent& stop, Op op, size_t& count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
      pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {fd_, events, 0}};
      const nfds_t nfds = stop.Valid() ? 2 : 1;
      pollfd* p = stop.Valid() ? fds : fds + 1;
      int r = ::poll(p, nfds, RemainingMs(deadline));
      if (r < 0) {
        if (errno == EINTR) continue;
        return HidIo::Error;
      }
      // The stop event wins over a report that is ready at the same moment.
      if (stop.Valid() && (fds[0].revents & POLLIN) && stop.TryConsume()) return HidIo::Stopped;
      const short rev = fds[1].revents;
      if (rev & POLLNVAL) return HidIo::Error;
      if (rev & events) {
        ssize_t n = op();
        if (n >= 0) {
          count = static_cast<size_t>(n);
          return HidIo::Ok;
        }
        if (errno == EAGAIN || errno == EINTR) {
          if (RemainingMs(deadline) == 0) return HidIo::Timeout;
          continue;  // someone else took it; wait again
        }
        return IsGoneErrno(errno) ? HidIo::Gone : HidIo::Error;
      }
      if (rev & (POLLHUP | POLLERR)) return HidIo::Gone;
      if (RemainingMs(deadline) == 0) return HidIo::Timeout;
    }
  }

  int fd_;
  bool can_read_;
  bool can_write_;
  HidAttributes attributes_;
  std::vector<uint8_t> descriptor_;
  int collection_;
  bool prefix_report_id_;
  std::vector<uint8_t> accepted_ids_;
};

}  // namespace

bool ParseHidUevent(const std::string& text, uint16_t& vendor_id, uint16_t& product_id) {
  static constexpr const char kKey[] = "HID_ID=";
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    if (text.compare(pos, sizeof kKey - 1, kKey) == 0) {
      const size_t b = pos + sizeof kKey - 1;
      const size_t c1 = text.find(':', b);
      const size_t c2 = c1 == std::string::npos ? std::string::npos : text.find(':', c1 + 1);
      if (c2 == std::string::npos || c2 >= eol) return false;
      uint32_t bus, vid, pid;
      if (!ParseHex(text, b, c1, bus) || !ParseHex(text, c1 + 1, c2, vid) || !ParseHex(text, c2 + 1, eol, pid)) return false;
      if (vid > 0xFFFF || pid > 0xFFFF) return false;
      vendor_id = static_cast<uint16_t>(vid);
      product_id = static_cast<uint16_t>(pid);
      return true;
    }
    pos = eol + 1;
  }
  return false;
}

HidrawBackend::HidrawBackend(std::string sys_root, std::string dev_root)
    : sys_root_(std::move(sys_root)), dev_root_(std::move(dev_root)) {}

std::shared_ptr<HidrawBackend> HidrawBackend::FromEnvironment() {
  const char* root = std::getenv(kHidRootEnv);
  if (root != nullptr && *root != '\0') {
    return std::make_shared<HidrawBackend>(std::string(root) + "/sys", std::string(root) + "/dev");
  }
  return std::make_shared<HidrawBackend>("/sys", "/dev");
}

namespace {

bool ReadIds(const std::string& class_dir, const std::string& node, uint16_t& vid, uint16_t& pid) {
  std::vector<uint8_t> bytes;
  if (!ReadSmallFile(class_dir + "/" + node + "/device/uevent", 16384, bytes)) return false;
  return ParseHidUevent(std::string(bytes.begin(), bytes.end()), vid, pid);
}

}  // namespace

bool HidrawBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  DIR* dir = ::opendir(ClassDir().c_str());
  if (dir == nullptr) {
    // No hidraw class yet (the module loads with the first HID device):
    // nothing is present, which is not a failure.
    if (errno == ENOENT) return true;
    DebugLineF("hidraw: cannot list %s: %s", ClassDir().c_str(), std::strerror(errno));
    return false;
  }
  std::vector<std::pair<long, std::string>> found;
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    const long n = NodeNumber(name);
    if (n < 0) continue;
    uint16_t vid = 0, pid = 0;
    // An entry that vanished or has no ids is skipped; the rest still count.
    if (!ReadIds(ClassDir(), name, vid, pid)) continue;
    // One path per top-level collection when there are several.
    std::vector<uint8_t> descriptor;
    HidDescriptorInfo info;
    size_t collections = 1;
    if (ReadSmallFile(ClassDir() + "/" + name + "/device/report_descriptor", kHidMaxDescriptorBytes, descriptor) &&
        ParseHidDescriptor(descriptor, info)) {
      collections = std::max<size_t>(info.top_level.size(), 1);
    }
    const std::string plain = MakeInterfacePath(kScheme, vid, pid, name);
    if (collections == 1) {
      found.emplace_back(n, plain);
      continue;
    }
    const size_t hash = plain.rfind('#');
    for (size_t c = 0; c < collections && c < 99; ++c) {
      char col[8];
      std::snprintf(col, sizeof col, "&col%02zu", c + 1);
      found.emplace_back(n, plain.substr(0, hash) + col + plain.substr(hash));
    }
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end());
  paths.reserve(found.size());
  for (auto& f : found) paths.push_back(std::move(f.second));
  return true;
}

std::unique_ptr<IHidConnection> HidrawBackend::Open(const std::string& path, bool want_read, bool want_write,
                                                    bool exclusive) {
  SetLastHidOpenError(0);
  const std::string node = PathNode(path);
  if (NodeNumber(node) < 0) return nullptr;
  HidAttributes attributes;
  if (!ReadIds(ClassDir(), node, attributes.vendor_id, attributes.product_id)) return nullptr;
  // The path names the device it was listed for; a node number reused by
  // another device is not that device.
  if (attributes.vendor_id != ParsePathVendorId(path) || attributes.product_id != ParsePathProductId(path)) {
    return nullptr;
  }
  std::vector<uint8_t> descriptor;
  if (!ReadSmallFile(ClassDir() + "/" + node + "/device/report_descriptor", kHidMaxDescriptorBytes, descriptor)) {
    return nullptr;
  }
  // A "&colNN" path stands for that collection alone; it must exist.
  const int collection = PathCollection(path);
  HidDescriptorInfo info;
  const bool parsed = ParseHidDescriptor(descriptor, info, nullptr, collection);
  if (!parsed && collection >= 0) return nullptr;
  const bool numbered = parsed && info.uses_report_ids;
  std::vector<uint8_t> accepted_ids;
  if (numbered && collection >= 0) accepted_ids = info.input_report_ids;

  int access = want_read && want_write ? O_RDWR : want_write ? O_WRONLY : O_RDONLY;
  const std::string dev = dev_root_ + "/" + node;
  int fd;
  do {
    fd = ::open(dev.c_str(), access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int error = errno;
    DebugLineF("hidraw: cannot open %s: %s", dev.c_str(), std::strerror(error));
    SetLastHidOpenError(error);
    return nullptr;
  }
  int r;
  do {
    r = ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
  } while (r < 0 && errno == EINTR);
  if (r < 0) {
    const int error = errno;
    ::close(fd);
    SetLastHidOpenError(error);
    return nullptr;
  }
  return std::make_unique<HidrawConnection>(fd, want_read, want_write, attributes, std::move(descriptor), collection,
                                            !numbered, std::move(accepted_ids));
}

bool HidrawBackend::Probe(const std::string& path) {
  const std::string node = PathNode(path);
  if (NodeNumber(node) < 0) return false;
  struct stat st;
  if (::stat((dev_root_ + "/" + node).c_str(), &st) != 0) {
    std::lock_guard<std::mutex> lock(probe_mutex_);
    probed_.erase(path);
    return false;
  }
  // The node file itself (not what a symbolic link points at) tells a
  // recreated node apart.
  struct stat link;
  if (::lstat((dev_root_ + "/" + node).c_str(), &link) != 0) link = st;
  const NodeStamp stamp{link.st_ino, st.st_rdev, link.st_ctim};
  const auto same = [&stamp](const NodeStamp& s) {
    return s.inode == stamp.inode && s.device == stamp.device && s.changed.tv_sec == stamp.changed.tv_sec &&
           s.changed.tv_nsec == stamp.changed.tv_nsec;
  };
  {
    // Presence probes every connected device ten times a second: the same
    // node needs no sysfs read.
    std::lock_guard<std::mutex> lock(probe_mutex_);
    auto it = probed_.find(path);
    if (it != probed_.end() && same(it->second)) return true;
  }
  uint16_t vid = 0, pid = 0;
  const bool ours = ReadIds(ClassDir(), node, vid, pid) && vid == ParsePathVendorId(path) &&
                    pid == ParsePathProductId(path);
  std::lock_guard<std::mutex> lock(probe_mutex_);
  if (ours)
    probed_[path] = stamp;
  else
    probed_.erase(path);
  return ours;
}

std::unique_ptr<IHidChangeWatch> HidrawBackend::WatchChanges() { return HidrawWatch::Create(dev_root_); }

}  // namespace trx
