#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "platform/debug_log.h"

namespace trx {
namespace {

constexpr char kWakeLine[] = "wake\n";
constexpr char kTokenKey[] = "token=";
constexpr char kAwakeLine[] = "awake\n";  // the owner's answer to a wake-up it acts on
constexpr size_t kMaxTokenChars = 256;
constexpr int kLockPollMs = 50;
constexpr int kMinAnswerWaitMs = 1000;  // an owner under load still gets this long to answer
constexpr int kReadWaitMs = 1000;       // a client that goes silent is dropped after this

std::mutex g_token_mutex;  // guards g_token
std::string g_token;

// Tokens are opaque printable strings; anything else is not passed on.
bool ValidToken(const std::string& token) {
  if (token.empty() || token.size() > kMaxTokenChars) return false;
  for (char c : token)
    if (c <= ' ' || c > '~') return false;
  return true;
}

std::string OwnActivationToken() {
  for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && ValidToken(v)) return v;
  }
  return {};
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() + 1 > sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

namespace {

// True when folder is a real folder (not a link) of this user that no one
// else may enter; else the reason, as the end of a sentence.
bool IsPrivateFolder(const std::string& folder, std::string* reason) {
  struct stat st;
  if (::lstat(folder.c_str(), &st) != 0) {
    *reason = std::string("cannot be examined: ") + std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *reason = "is not a folder";
    return false;
  }
  if (st.st_uid != ::getuid()) {
    *reason = "belongs to user " + std::to_string(st.st_uid) + ", not to this user";
    return false;
  }
  if ((st.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(st.st_mode & 0777));
    *reason = std::string("is open to other users (mode ") + mode + ")";
    return false;
  }
  return true;
}

}  // namespace

std::string SingleInstance::RuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/trx770-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "trx770: cannot create %s: %s\n", folder.c_str(), std::strerror(errno));
    return {};
  }
  // Anyone may create this name in a shared temporary folder first: only a
  // folder of our own that nobody else can enter is used.
  std::string reason;
  if (!IsPrivateFolder(folder, &reason)) {
    std::fprintf(stderr, "trx770: not using %s for the single-instance lock: it %s\n", folder.c_str(),
                 reason.c_str());
    return {};
  }
  return folder;
}

SingleInstance::SingleInstance(std::string lock_name, std::string socket_name, std::string folder, int owner_wait_ms)
    : owner_wait_ms_(owner_wait_ms) {
  if (folder.empty()) folder = RuntimeFolder();
  if (folder.empty()) return;  // no usable folder: Acquire reports Failed
  lock_path_ = folder + "/" + lock_name + ".lock";
  socket_path_ = folder + "/" + socket_name + ".sock";
}

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(std::function<void()> on_wake) {
  using Clock = std::chrono::steady_clock;
  if (lock_path_.empty()) return Result::Failed;
  lock_fd_ = ::open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ < 0) {
    DebugLineF("single instance: cannot create %s: %s", lock_path_.c_str(), std::strerror(errno));
    return Result::Failed;
  }
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + std::chrono::milliseconds(owner_wait_ms_);
  // Once the owner took our line without answering it is closing (or
  // hung): from then on only the lock is watched.
  bool unanswered = false;
  bool waited = false;
  while (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    waited = true;
    if (errno != EWOULDBLOCK) {
      DebugLineF("single instance: cannot lock %s: %s", lock_path_.c_str(), std::strerror(errno));
      ::close(lock_fd_);
      lock_fd_ = -1;
      return Result::Failed;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (!unanswered) {
      const Answer answer = WakeOwner(static_cast<int>(std::max<long long>(left, kMinAnswerWaitMs)));
      if (answer == Answer::Awake) {
        ::close(lock_fd_);
        lock_fd_ = -1;
        return Result::Woken;
      }
      unanswered = answer == Answer::Unanswered;
    }
    if (Clock::now() >= deadline) {
      DebugLineF("single instance: %s stays locked and nobody answers", lock_path_.c_str());
      ::close(lock_fd_);
      lock_fd_ = -1;
      return Result::NotWoken;
    }
    ::poll(nullptr, 0, kLockPollMs);
  }
  if (waited)
    DebugLineF("single instance: the last copy was closing; its lock came free after %lld ms",
               static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()));
  on_wake_ = std::move(on_wake);
  if (!Listen()) DebugLineF("single instance: cannot listen on %s", socket_path_.c_str());
  return Result::First;
}

SingleInstance::Answer SingleInstance::WakeOwner(int answer_wait_ms) {
  sockaddr_un addr;
  if (!FillAddress(socket_path_, addr)) return Answer::Unreachable;
  // Non-blocking, so that the full backlog of a hung owner can't hold us.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Answer::Unreachable;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);  // no socket yet (the owner is starting) or none any more (closing)
    return Answer::Unreachable;
  }
  std::string message = kWakeLine;
  if (const std::string token = OwnActivationToken(); !token.empty()) message += kTokenKey + token + "\n";
  char answer[sizeof kAwakeLine];
  size_t got = 0;
  // The owner reads up to our end of writing, then answers.
  if (::send(fd, message.data(), message.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(message.size()) &&
      ::shutdown(fd, SHUT_WR) == 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(answer_wait_ms);
    pollfd p{fd, POLLIN, 0};
    while (got < sizeof answer) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      const ssize_t n = ::recv(fd, answer + got, sizeof answer - got, 0);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
      if (answer[got - 1] == '\n') break;
    }
  }
  ::close(fd);
  return std::string_view(answer, got) == kAwakeLine ? Answer::Awake : Answer::Unanswered;
}

bool SingleInstance::Listen() {
  sockaddr_un addr;
  if (!FillAddress(socket_path_, addr)) return false;
  // We hold the lock, so any socket file left here belongs to a dead copy.
  ::unlink(socket_path_.c_str());
  std::lock_guard<std::mutex> guard(wake_mutex_);
  if (stopped_) return true;  // closing already: later copies wait for the lock
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) return false;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listen_fd_, 8) != 0) {
    ::close(listen_fd_);
    listen_fd_ = -1;
    return false;
  }
  ::chmod(socket_path_.c_str(), 0600);
  stop_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stop_fd_ < 0) return false;
  listener_ = std::thread([this, stop_fd = stop_fd_] { ListenLoop(stop_fd); });
  return true;
}

void SingleInstance::ListenLoop(int stop_fd) {
  for (;;) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    int r = ::poll(fds, 2, -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents) break;
    if (!(fds[0].revents & POLLIN)) continue;
    int client = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    TakeWakeUp(client, stop_fd);
    ::close(client);
  }
  // Closed as soon as we stop listening: a later copy is refused at once
  // (one waiting in the backlog sees its connection reset).
  ::close(listen_fd_);
  listen_fd_ = -1;
  ::unlink(socket_path_.c_str());
}

void SingleInstance::TakeWakeUp(int client, int stop_fd) {
  // The whole message is at most the line and a token; read until the
  // writer's end, the limit, a silent second, or the stop.
  char buf[sizeof kWakeLine + sizeof kTokenKey + kMaxTokenChars + 1];
  size_t got = 0;
  pollfd fds[2] = {{client, POLLIN, 0}, {stop_fd, POLLIN, 0}};
  while (got < sizeof buf) {
    const int r = ::poll(fds, 2, kReadWaitMs);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0 || fds[1].revents) break;
    ssize_t n = ::recv(client, buf + got, sizeof buf - got, 0);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  const std::string message(buf, got);
  if (message.compare(0, sizeof kWakeLine - 1, kWakeLine) != 0) return;
  std::string token;
  const size_t at = sizeof kWakeLine - 1;
  if (message.compare(at, sizeof kTokenKey - 1, kTokenKey) == 0) {
    const size_t end = message.find('\n', at);
    if (end != std::string::npos) token = message.substr(at + sizeof kTokenKey - 1, end - at - (sizeof kTokenKey - 1));
  }
  std::lock_guard<std::mutex> guard(wake_mutex_);
  if (stopped_) return;  // closing: the later copy waits for the lock instead
  {
    std::lock_guard<std::mutex> token_guard(g_token_mutex);
    g_token = ValidToken(token) ? token : std::string();
  }
  if (on_wake_) on_wake_();
  if (::send(client, kAwakeLine, sizeof kAwakeLine - 1, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof kAwakeLine - 1))
    DebugLine("single instance: the wake-up could not be answered");
}

std::string TakeActivationToken() {
  std::lock_guard<std::mutex> guard(g_token_mutex);
  return std::exchange(g_token, std::string());
}

void SingleInstance::StopListening() {
  std::lock_guard<std::mutex> guard(wake_mutex_);
  stopped_ = true;
  uint64_t one = 1;
  if (stop_fd_ >= 0 && ::write(stop_fd_, &one, sizeof one) != sizeof one) DebugLine("single instance: cannot stop listener");
}

void SingleInstance::Release() {
  StopListening();
  if (listener_.joinable()) listener_.join();
  {
    std::lock_guard<std::mutex> guard(wake_mutex_);
    if (stop_fd_ >= 0) ::close(stop_fd_);
    stop_fd_ = -1;
    stopped_ = false;  // the object may acquire again
  }
  if (listen_fd_ >= 0) {  // listening failed half-way: no listener closed it
    ::close(listen_fd_);
    ::unlink(socket_path_.c_str());
  }
  listen_fd_ = -1;
  if (lock_fd_ >= 0) ::close(lock_fd_);  // closing drops the flock
  lock_fd_ = -1;
}

}  // namespace trx
