#include "sim/hidraw_fake_tree.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "device/hid_backend.h"
#include "device/hidraw_backend.h"

namespace trx {
namespace {

namespace fs = std::filesystem;

bool WriteFile(const std::string& path, const void* data, size_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, p + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool ok = done == size;
  return ::close(fd) == 0 && ok;
}

std::string NodeName(int index) { return "hidraw" + std::to_string(index); }

}  // namespace

FakeHidrawTree::FakeHidrawTree() {
  const char* tmp = ::getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/trx770-hidraw-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) return;
  std::string root = buf.data();
  std::error_code ec;
  fs::create_directories(root + "/sys/class/hidraw", ec);
  if (!ec) fs::create_directories(root + "/dev", ec);
  if (ec) {
    fs::remove_all(root, ec);
    return;
  }
  root_ = root;
}

FakeHidrawTree::~FakeHidrawTree() {
  while (!plugged_.empty()) Unplug(plugged_.begin()->first);
  if (!root_.empty()) {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
}

std::shared_ptr<HidrawBackend> FakeHidrawTree::MakeBackend() const {
  return std::make_shared<HidrawBackend>(SysRoot(), DevRoot());
}

FakeHidrawTree::Interface FakeHidrawTree::AddInterface(uint16_t vendor_id, uint16_t product_id,
                                                       const std::vector<uint8_t>& descriptor) {
  Interface result;
  if (!Valid()) return result;
  const int index = next_index_;
  const std::string node = NodeName(index);
  const std::string dev_dir = SysRoot() + "/class/hidraw/" + node + "/device";

  Entry e;
  e.vendor_id = vendor_id;
  e.product_id = product_id;
  e.master_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  bool ok = e.master_fd >= 0 && ::grantpt(e.master_fd) == 0 && ::unlockpt(e.master_fd) == 0;
  char slave_name[128] = {};
  if (ok) ok = ::ptsname_r(e.master_fd, slave_name, sizeof slave_name) == 0;
  if (ok) {
    e.slave_fd = ::open(slave_name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    ok = e.slave_fd >= 0;
  }
  if (ok) {
    // Raw bytes both ways: no echo, no line editing, no CR/NL mapping.
    termios t{};
    ok = ::tcgetattr(e.slave_fd, &t) == 0;
    if (ok) {
      ::cfmakeraw(&t);
      t.c_cc[VMIN] = 1;
      t.c_cc[VTIME] = 0;
      ok = ::tcsetattr(e.slave_fd, TCSANOW, &t) == 0;
    }
  }
  std::error_code ec;
  if (ok) ok = fs::create_directories(dev_dir, ec) && !ec;
  if (ok) {
    char uevent[160];
    int n = std::snprintf(uevent, sizeof uevent, "DRIVER=hid-generic\nHID_ID=0003:%08X:%08X\nHID_NAME=Fake %04x:%04x\n",
                          vendor_id, product_id, vendor_id, product_id);
    ok = n > 0 && WriteFile(dev_dir + "/uevent", uevent, static_cast<size_t>(n)) &&
         WriteFile(dev_dir + "/report_descriptor", descriptor.data(), descriptor.size());
  }
  if (ok) ok = ::symlink(slave_name, (DevRoot() + "/" + node).c_str()) == 0;
  if (!ok) {
    if (e.slave_fd >= 0) ::close(e.slave_fd);
    if (e.master_fd >= 0) ::close(e.master_fd);
    fs::remove_all(SysRoot() + "/class/hidraw/" + node, ec);
    ::unlink((DevRoot() + "/" + node).c_str());
    return result;
  }
  ++next_index_;
  plugged_[index] = e;
  result.index = index;
  result.master_fd = e.master_fd;
  return result;
}

std::string FakeHidrawTree::PathOf(int index, int collection) const {
  auto it = plugged_.find(index);
  if (it == plugged_.end()) return std::string();
  std::string path = MakeInterfacePath("hid", it->second.vendor_id, it->second.product_id, NodeName(index));
  if (collection >= 0) {
    char col[16];
    std::snprintf(col, sizeof col, "&col%02d", collection + 1);
    path.insert(path.rfind('#'), col);
  }
  return path;
}

int FakeHidrawTree::MasterFd(int index) const {
  auto it = plugged_.find(index);
  return it == plugged_.end() ? -1 : it->second.master_fd;
}

bool FakeHidrawTree::Unplug(int index) {
  auto it = plugged_.find(index);
  if (it == plugged_.end()) return false;
  RemoveEntries(index);
  // Closing the master hangs up every open slave: readers get POLLHUP/EIO.
  ::close(it->second.slave_fd);
  ::close(it->second.master_fd);
  plugged_.erase(it);
  return true;
}

void FakeHidrawTree::RemoveEntries(int index) {
  const std::string node = NodeName(index);
  std::error_code ec;
  fs::remove_all(SysRoot() + "/class/hidraw/" + node, ec);
  ::unlink((DevRoot() + "/" + node).c_str());
}

}  // namespace trx
