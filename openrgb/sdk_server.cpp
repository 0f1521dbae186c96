#include "openrgb/sdk_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "platform/debug_log.h"

namespace trx::openrgb {

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

struct Client {
  int fd = -1;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;
  uint32_t version = 0;
  int64_t partial_since = 0;  // when `in` last became non-empty
  bool closing = false;
  std::string name;
};

// The device state a client sees: the devices' own, with the change still
// waiting in the mailbox on top.
DeviceState WithWaiting(DeviceState state, const ChangeMailbox& mailbox) {
  if (std::optional<LightingChange> waiting = mailbox.Peek(state.kind)) {
    state.lighting = waiting->bytes;
    if (waiting->key_colours) state.key_colours = *waiting->key_colours;
  }
  return state;
}

class Session {
 public:
  Session(IDeviceSource& devices, ChangeMailbox& mailbox) : devices_(devices), mailbox_(mailbox) {}

  // Handles one decoded request: answers go to c.out, changes to the mailbox.
  void Handle(Client& c, const Request& r) {
    switch (r.id) {
      case PacketId::RequestProtocolVersion:
        c.version = std::min(r.number, kMaxProtocolVersion);
        Send(c, 0, PacketId::RequestProtocolVersion, EncodeU32(c.version));
        return;
      case PacketId::SetClientName:
        c.name = r.text;
        DebugLineF("OpenRGB client \"%s\" (protocol %u)", c.name.c_str(), c.version);
        return;
      case PacketId::RequestControllerCount:
        Send(c, 0, PacketId::RequestControllerCount, EncodeU32(static_cast<uint32_t>(devices_.Devices().size())));
        return;
      case PacketId::RequestProfileList:
      case PacketId::RequestPluginList: {
        // None: data size 6, count 0.
        const std::vector<uint8_t> empty{6, 0, 0, 0, 0, 0};
        Send(c, 0, r.id, empty);
        return;
      }
      default:
        break;
    }
    // The rest address one controller; an index past the list (a client
    // that has not yet seen DEVICE_LIST_UPDATED) is answered by nothing.
    const std::vector<DeviceState> list = devices_.Devices();
    if (r.device >= list.size()) return;
    const DeviceState state = WithWaiting(list[r.device], mailbox_);
    switch (r.id) {
      case PacketId::RequestControllerData: {
        const uint32_t v = std::min(r.number, kMaxProtocolVersion);
        Send(c, r.device, r.id, EncodeControllerData(DescribeController(state), v));
        return;
      }
      case PacketId::UpdateLeds:
        mailbox_.Put(state.kind, ApplyLedColours(state, Fit(r.colours, LedCount(state))));
        return;
      case PacketId::UpdateZoneLeds:
        if (r.number == 0) mailbox_.Put(state.kind, ApplyLedColours(state, Fit(r.colours, LedCount(state))));
        return;
      case PacketId::UpdateSingleLed: {
        std::vector<uint32_t> colours = DescribeController(state).colours;
        if (r.number >= colours.size()) return;
        colours[r.number] = r.colours[0];
        mailbox_.Put(state.kind, ApplyLedColours(state, colours));
        return;
      }
      case PacketId::SetCustomMode:
        mailbox_.Put(state.kind, ApplyCustomMode(state));
        return;
      case PacketId::UpdateMode:
      case PacketId::SaveMode:
        if (auto change = ApplyModeUpdate(state, r.number, r.mode, c.version)) mailbox_.Put(state.kind, *change);
        return;
      default:
        return;
    }
  }

  static void Send(Client& c, uint32_t device, PacketId id, const std::vector<uint8_t>& payload) {
    const std::vector<uint8_t> packet = EncodePacket(device, id, payload);
    c.out.insert(c.out.end(), packet.begin(), packet.end());
  }

 private:
  // Extra colours are dropped; missing LEDs take the last colour given.
  static std::vector<uint32_t> Fit(std::vector<uint32_t> colours, size_t n) {
    if (colours.empty()) return colours;
    colours.resize(n, colours.back());
    return colours;
  }

  IDeviceSource& devices_;
  ChangeMailbox& mailbox_;
};

// Sends what waits; false when the connection is gone.
bool Flush(Client& c) {
  while (!c.out.empty()) {
    const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      c.out.erase(c.out.begin(), c.out.begin() + n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
  return true;
}

// Takes the whole packets out of `c.in`; a reason when the client must go.
const char* Consume(Client& c, Session& session) {
  size_t at = 0;
  const char* fault = nullptr;
  while (fault == nullptr && at < c.in.size()) {
    PacketHeader header;
    std::span<const uint8_t> payload;
    const HeaderResult h = NextPacket(std::span<const uint8_t>(c.in).subspan(at), &header, &payload);
    if (h == HeaderResult::NeedMore) break;
    if (h != HeaderResult::Ok) {
      fault = HeaderResultName(h);
      break;
    }
    Request request;
    const DecodeResult d = DecodeRequest(header, payload, c.version, &request);
    if (d == DecodeResult::Ok) session.Handle(c, request);
    else if (d != DecodeResult::Ignored) fault = DecodeResultName(d);
    at += kHeaderSize + header.size;
  }
  c.in.erase(c.in.begin(), c.in.begin() + static_cast<std::ptrdiff_t>(at));
  return fault;
}

}  // namespace

const char* StartResultName(StartResult r) {
  switch (r) {
    case StartResult::Ok: return "ok";
    case StartResult::PortInUse: return "port in use";
    case StartResult::Failed: return "failed";
  }
  return "?";
}

COpenRgbServer::COpenRgbServer(IDeviceSource& devices, ChangeMailbox& mailbox) : devices_(devices), mailbox_(mailbox) {}

COpenRgbServer::~COpenRgbServer() { Stop(); }

StartResult COpenRgbServer::Start(const ServerOptions& options, std::string* error) {
  Stop();
  options_ = options;
  auto fail = [&](StartResult r, const char* what) {
    if (error != nullptr) *error = std::string(what) + ": " + std::strerror(errno);
    if (listen_fd_ >= 0) ::close(listen_fd_);
    if (wake_fd_ >= 0) ::close(wake_fd_);
    listen_fd_ = wake_fd_ = -1;
    return r;
  };
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) return fail(StartResult::Failed, "socket");
  const int yes = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(options.port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listen_fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
    return fail(errno == EADDRINUSE ? StartResult::PortInUse : StartResult::Failed, "bind");
  if (::listen(listen_fd_, 16) != 0) return fail(StartResult::Failed, "listen");
  socklen_t len = sizeof addr;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  wake_fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd_ < 0) return fail(StartResult::Failed, "eventfd");
  thread_ = std::thread([this] { Run(); });
  DebugLineF("OpenRGB SDK server on 127.0.0.1:%u", static_cast<unsigned>(port_));
  return StartResult::Ok;
}

void COpenRgbServer::Stop() {
  if (!thread_.joinable()) return;
  const uint64_t one = 1;
  if (::write(wake_fd_, &one, sizeof one) != sizeof one) DebugLine("OpenRGB server: wake-up not written");
  thread_.join();
  ::close(listen_fd_);
  ::close(wake_fd_);
  listen_fd_ = wake_fd_ = -1;
  clients_now_ = 0;
}

void COpenRgbServer::Run() {
  std::vector<std::unique_ptr<Client>> clients;
  Session session(devices_, mailbox_);
  auto kinds = [this] {
    std::vector<DeviceKind> k;
    for (const DeviceState& s : devices_.Devices()) k.push_back(s.kind);
    return k;
  };
  std::vector<DeviceKind> known = kinds();
  int64_t next_poll = NowMs() + options_.device_poll_ms;
  auto drop = [this](Client& c, const char* why) {
    if (why != nullptr) {
      ++faults_;
      DebugLineF("OpenRGB client \"%s\" disconnected: %s", c.name.c_str(), why);
    }
    c.closing = true;
  };

  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({wake_fd_, POLLIN, 0});
    fds.push_back({listen_fd_, POLLIN, 0});
    int64_t now = NowMs();
    int64_t deadline = next_poll;
    for (auto& c : clients) {
      fds.push_back({c->fd, static_cast<short>(POLLIN | (c->out.empty() ? 0 : POLLOUT)), 0});
      if (!c->in.empty()) deadline = std::min(deadline, c->partial_since + options_.stall_timeout_ms);
    }
    const int timeout = static_cast<int>(std::clamp<int64_t>(deadline - now, 0, 1000));
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
      DebugLineF("OpenRGB server: poll failed: %s", std::strerror(errno));
      break;
    }
    if (fds[0].revents != 0) break;
    now = NowMs();
    if (fds[1].revents & POLLIN) {
      for (;;) {
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        if (clients.size() >= kMaxClients) {
          DebugLine("OpenRGB server: too many clients, connection refused");
          ::close(fd);
          continue;
        }
        auto c = std::make_unique<Client>();
        c->fd = fd;
        clients.push_back(std::move(c));
      }
    }
    for (size_t i = 0; i < clients.size(); ++i) {
      if (i + 2 >= fds.size()) break;  // accepted in this round: polled next time
      Client& c = *clients[i];
      const short revents = fds[i + 2].revents;
      if (revents & POLLIN) {
        uint8_t buffer[4096];
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
          drop(c, nullptr);
          continue;
        }
        if (n > 0) {
          const size_t before = c.in.size();
          c.in.insert(c.in.end(), buffer, buffer + n);
          if (const char* fault = Consume(c, session)) {
            drop(c, fault);
            continue;
          }
          // The packet left incomplete started in this read (the earlier
          // bytes were whole packets, or there were none).
          if (before == 0 || c.in.size() < before + static_cast<size_t>(n)) c.partial_since = now;
        }
      } else if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
        drop(c, nullptr);
        continue;
      }
      if (!c.in.empty() && now - c.partial_since >= options_.stall_timeout_ms) {
        drop(c, "packet left incomplete");
        continue;
      }
      if (!Flush(c)) drop(c, nullptr);
      else if (c.out.size() > kMaxQueuedOutput) drop(c, "answers not read");
    }
    if (now >= next_poll) {
      next_poll = now + options_.device_poll_ms;
      std::vector<DeviceKind> list = kinds();
      if (list != known) {
        known = std::move(list);
        for (auto& c : clients) {
          if (c->closing || c->version < 1) continue;
          Session::Send(*c, 0, PacketId::DeviceListUpdated, {});
          if (!Flush(*c)) drop(*c, nullptr);
        }
      }
    }
    for (auto& c : clients)
      if (c->closing) ::close(c->fd);
    std::erase_if(clients, [](const std::unique_ptr<Client>& c) { return c->closing; });
    clients_now_ = clients.size();
  }
  for (auto& c : clients) ::close(c->fd);
}

}  // namespace trx::openrgb
