// The foreground program: identity from a fake /proc tree, the backend for
// a session, sway, and X11 (under Xvfb, on windows the test creates).

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include "platform/foreground/foreground_choice.h"
#include "platform/foreground/process_identity.h"
#include "platform/foreground/sway_foreground.h"
#include "platform/foreground/x11_foreground.h"
#include "tests/platform/temp_home.h"
#include "tests/support/wait.h"

namespace trx::foreground {
namespace {

namespace fs = std::filesystem;

class FakeProc : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root + "/pfx/dosdevices");
    fs::create_directories(root + "/pfx/drive_c");
    fs::create_symlink("../drive_c", root + "/pfx/dosdevices/c:");
    fs::create_symlink("/", root + "/pfx/dosdevices/z:");
  }
  static std::string Nul(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& p : parts) out += p + '\0';
    return out;
  }
  void AddProcess(int pid, const std::string& exe, const std::string& cmdline, const std::string& environ,
                  const std::string& cwd = "/") {
    const std::string dir = root + "/proc/" + std::to_string(pid);
    fs::create_directories(dir);
    fs::create_symlink(exe, dir + "/exe");
    fs::create_symlink(cwd, dir + "/cwd");
    std::ofstream(dir + "/cmdline", std::ios::binary) << cmdline;
    std::ofstream(dir + "/environ", std::ios::binary) << environ;
  }
  test::TempHome home;
  std::string root = home.root();
};

TEST_F(FakeProc, WineAndProtonProgramsAreKnownByTheirWindowsExecutable) {
  const std::string prefix = "WINEPREFIX=" + root + "/pfx";
  // Executable, command line, environment, working folder; the path and name found.
  const std::tuple<const char*, std::string, std::string, const char*, std::string, const char*> cases[] = {
      // a native program
      {"/usr/bin/gedit", Nul({"gedit", "notes.txt"}), "", "/", "/usr/bin/gedit", "gedit"},
      // the exe of a process whose file was replaced
      {"/usr/bin/game (deleted)", Nul({"game"}), "", "/", "/usr/bin/game", "game"},
      // Wine rewrites its arguments: the Windows path first, drive C: of the prefix
      {"/usr/lib/wine/wine64-preloader", Nul({"C:\\Games\\Race\\Race.exe", "-windowed"}), Nul({prefix}), "/",
       root + "/pfx/drive_c/Games/Race/Race.exe", "Race.exe"},
      // Proton: drive Z: is the root of the Linux file system
      {"/home/u/.steam/proton/files/bin/wine64-preloader",
       Nul({"Z:\\home\\u\\.steam\\steamapps\\common\\Shooter\\shooter.EXE"}), Nul({prefix}), "/",
       "/home/u/.steam/steamapps/common/Shooter/shooter.EXE", "shooter.EXE"},
      // started as "wine64 game.exe" in the game's folder
      {"/usr/bin/wine64", Nul({"wine64", "game.exe"}), Nul({prefix}), "/srv/games/x", "/srv/games/x/game.exe", "game.exe"},
      // no prefix known: the Windows path is kept, with '/' for '\'
      {"/usr/bin/wine-preloader", Nul({"D:\\Setup\\setup.exe"}), "", "/", "D:/Setup/setup.exe", "setup.exe"},
      // a Wine loader running no .exe stays the loader
      {"/usr/bin/wine", Nul({"wine", "--version"}), "", "/", "/usr/bin/wine", "wine"},
  };
  int pid = 100;
  for (const auto& [exe, cmdline, environ, cwd, path, name] : cases) {
    AddProcess(pid, exe, cmdline, environ, cwd);
    const ForegroundResult r = ResultForPid(pid, root + "/proc");
    ASSERT_EQ(r.status, ForegroundStatus::Program) << exe;
    EXPECT_EQ(r.program.pid, pid);
    EXPECT_EQ(r.program.path, path) << exe;
    EXPECT_EQ(r.program.display_name, name) << exe;
    ++pid;
  }
  // A process that can't be inspected is unknown.
  EXPECT_EQ(ResultForPid(4242, root + "/proc").status, ForegroundStatus::Unknown);  // gone
  EXPECT_EQ(ResultForPid(0, root + "/proc").status, ForegroundStatus::Unknown);     // a window without a pid
  EXPECT_EQ(ResultForPid(-1, root + "/proc").status, ForegroundStatus::Unknown);
}

TEST(ForegroundChoice, TheBackendFollowsTheSession) {
  const std::pair<ForegroundSession, const char*> cases[] = {
      {{"", ":0", "", ""}, "x11"},
      {{"KDE", ":0", "", ""}, "x11"},  // Plasma on X11
      {{"KDE", ":1", "wayland-0", ""}, "kwin"},
      {{"ubuntu:GNOME", ":1", "wayland-0", ""}, "gnome"},
      {{"sway", ":1", "wayland-1", "/run/user/1000/sway-ipc.sock"}, "sway"},
      {{"Hyprland", ":1", "wayland-1", ""}, "none"},  // Xwayland's active window would be wrong
      {{"", "", "", ""}, "none"},
  };
  for (const auto& [session, backend] : cases) EXPECT_STREQ(ForegroundBackendFor(session), backend) << session.current_desktop;

  ForegroundUnavailable why;
  EXPECT_FALSE(CreateForegroundSource({"Hyprland", "", "wayland-1", ""})->Start(&why));
  EXPECT_STREQ(why.text_id, kReasonWayland);
  EXPECT_FALSE(CreateForegroundSource({"", "", "", ""})->Start(&why));
  EXPECT_STREQ(why.text_id, kReasonNoSession);
}

TEST(SwayTree, TheFocusedNodesPidIsTaken) {
  const char* tree = R"({"id":1,"type":"root","focused":false,"nodes":[
      {"type":"output","focused":false,"nodes":[{"type":"workspace","focused":false,
        "nodes":[{"type":"con","focused":false,"pid":300,"nodes":[]}],
        "floating_nodes":[{"type":"floating_con","focused":true,"pid":301,"nodes":[]}]}]}]})";
  EXPECT_EQ(FocusedPidInTree(tree), 301);
  EXPECT_EQ(FocusedPidInTree(R"({"nodes":[{"type":"workspace","focused":true,"nodes":[]}]})"), 0);
  EXPECT_EQ(FocusedPidInTree("{not json"), -1);
}

TEST(SwaySource, AsksTheSocketForTheTree) {
  const std::string path = "/tmp/trx770-sway-" + std::to_string(getpid()) + ".sock";
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  unlink(path.c_str());
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(server, 4), 0);
  std::vector<uint32_t> types;
  std::thread serve([&] {
    const std::string reply = R"({"nodes":[{"focused":true,"pid":)" + std::to_string(getpid()) + "}]}";
    for (int i = 0; i < 2; ++i) {
      const int c = accept(server, nullptr, nullptr);
      char header[14];
      ASSERT_EQ(read(c, header, sizeof header), 14);
      uint32_t type = 0;
      std::memcpy(&type, header + 10, 4);
      types.push_back(type);
      const uint32_t length = static_cast<uint32_t>(reply.size());
      std::memcpy(header + 6, &length, 4);
      ASSERT_EQ(write(c, header, sizeof header), 14);
      ASSERT_EQ(write(c, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
      close(c);
    }
  });
  CSwayForegroundSource source(path);
  ForegroundUnavailable why;
  ASSERT_TRUE(source.Start(&why)) << why.detail;
  const ForegroundResult r = source.Current();
  serve.join();
  close(server);
  unlink(path.c_str());
  EXPECT_EQ(r.status, ForegroundStatus::Program);
  EXPECT_EQ(r.program.pid, getpid());
  EXPECT_EQ(types, (std::vector<uint32_t>{kSwayGetTree, kSwayGetTree}));
  EXPECT_FALSE(CSwayForegroundSource("/tmp/trx770-no-such.sock").Start(&why));
  EXPECT_STREQ(why.text_id, kReasonSway);
}

class X11Foreground : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      if (std::getenv("TRX770_REQUIRE_DISPLAY") != nullptr) FAIL() << "no DISPLAY under xvfb-run";
      GTEST_SKIP() << "no X display (the xvfb-run variant of this test runs it)";
    }
    c = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    active = Atom("_NET_ACTIVE_WINDOW");
    wm_pid = Atom("_NET_WM_PID");
  }
  void TearDown() override {
    if (c != nullptr) xcb_disconnect(c);
  }
  xcb_atom_t Atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
  }
  xcb_window_t Window(uint32_t pid) {
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    if (pid != 0) SetPid(w, pid);
    xcb_flush(c);
    return w;
  }
  void SetPid(xcb_window_t w, uint32_t pid) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, wm_pid, XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_flush(c);
  }
  void Activate(xcb_window_t w) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, active, XCB_ATOM_WINDOW, 32, 1, &w);
    xcb_flush(c);
  }
  xcb_connection_t* c = nullptr;
  xcb_window_t root = 0;
  xcb_atom_t active = 0;
  xcb_atom_t wm_pid = 0;
};

TEST_F(X11Foreground, FollowsTheActiveWindowsProcessWithoutPolling) {
  // Two "programs": this test process and its parent (the real /proc names them).
  const int self = getpid();
  const int parent = getppid();
  const xcb_window_t a = Window(static_cast<uint32_t>(self));
  const xcb_window_t b = Window(static_cast<uint32_t>(parent));
  const xcb_window_t late = Window(0);
  Activate(XCB_WINDOW_NONE);

  CX11ForegroundSource source;
  ForegroundUnavailable why;
  ASSERT_TRUE(source.Start(&why)) << why.detail;
  EXPECT_EQ(source.Current().status, ForegroundStatus::None);

  Activate(a);
  ASSERT_TRUE(test::Eventually([&] { return source.Current().program.pid == self; }));
  EXPECT_EQ(source.Current().program.path, fs::read_symlink("/proc/self/exe").string());
  Activate(b);
  ASSERT_TRUE(test::Eventually([&] { return source.Current().program.pid == parent; }));

  // A window that gets its pid only after it was activated.
  Activate(late);
  ASSERT_TRUE(test::Eventually([&] { return source.Current().status == ForegroundStatus::Unknown; }));
  SetPid(late, static_cast<uint32_t>(self));
  ASSERT_TRUE(test::Eventually([&] { return source.Current().program.pid == self; }));

  // Nothing changes: the watcher reads nothing more, however often asked.
  const int reads = source.Reads();
  for (int i = 0; i < 20; ++i) source.Current();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(source.Reads(), reads);
  source.Stop();
  EXPECT_EQ(source.Current().status, ForegroundStatus::Unknown);
}

TEST(X11ForegroundNoDisplay, ADisplayThatCantBeOpenedGivesTheReason) {
  CX11ForegroundSource source(":97531");
  ForegroundUnavailable why;
  EXPECT_FALSE(source.Start(&why));
  EXPECT_STREQ(why.text_id, kReasonX11);
}

}  // namespace
}  // namespace trx::foreground
