// trx770-sim-cli: starts a simulated mouse, finds it as the detection does,
// runs the mouse connect read and prints what the device reported.
//
//   trx770-sim-cli [--inprocess] [--trace FILE] [--press-profile] [--press-dpi]
//
// By default the mouse is attached through a fake hidraw tree, so the frames
// go through the real hidraw backend; --inprocess uses the in-process
// simulator backend instead. --trace appends every frame to FILE (see
// device/frame_trace.h for the line format). --press-profile / --press-dpi
// then press the device's onboard-profile / DPI button, wait for its
// notification on the consumer interface (as the synchronisation thread
// does) and read back what changed. Exit code 0 on success, 1 on failure
// with a message on stderr.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "device/commands.h"
#include "device/device_channel.h"
#include "device/frame_trace.h"
#include "device/hidraw_backend.h"
#include "device/open_matching.h"
#include "sim/connect_read.h"
#include "sim/firmware_model.h"
#include "sim/hidraw_attach.h"
#include "sim/hidraw_fake_tree.h"
#include "sim/report_descriptors.h"
#include "sim/sim_backend.h"

namespace {

using trx::sim::MouseSnapshot;

struct Options {
  bool inprocess = false;
  bool press_profile = false;
  bool press_dpi = false;
  std::string trace;
};

void Usage(FILE* out) {
  std::fprintf(out, "usage: trx770-sim-cli [--inprocess] [--trace FILE] [--press-profile] [--press-dpi]\n");
}

// How the command line was taken.
enum class ParseResult { Run, Exit /* help or version shown: exit 0 */, Bad /* reason shown */ };

ParseResult ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--inprocess") == 0) {
      options.inprocess = true;
    } else if (std::strcmp(argv[i], "--press-profile") == 0) {
      options.press_profile = true;
    } else if (std::strcmp(argv[i], "--press-dpi") == 0) {
      options.press_dpi = true;
    } else if (std::strcmp(argv[i], "--trace") == 0 && i + 1 < argc) {
      options.trace = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      Usage(stdout);
      return ParseResult::Exit;
    } else {
      std::fprintf(stderr, "trx770-sim-cli: unknown or incomplete option '%s'\n", argv[i]);
      Usage(stderr);
      return ParseResult::Bad;
    }
  }
  return ParseResult::Run;
}

unsigned U16(const uint8_t* p) { return static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8); }

void PrintInformation(const MouseSnapshot& s) {
  const uint8_t* info = s.info.data();
  const unsigned step = info[trx::sim::kInfoDpiStep];
  const unsigned base = U16(info + trx::sim::kInfoDpiBase);
  const unsigned max_pos = info[trx::sim::kInfoDpiMaxPosition];
  std::printf("device information:\n");
  std::printf("  sensor id     0x%04x\n", U16(info + trx::sim::kInfoSensorId));
  std::printf("  DPI step      %u\n", step);
  std::printf("  DPI base      %u\n", base);
  std::printf("  DPI max       %u (position %u)\n", base + max_pos * step, max_pos);
  std::printf("  macro memory  %u bytes\n", info[trx::sim::kInfoMacroUnits] * 128u);
  std::printf("  active onboard profile %u\n", s.active_profile);
}

void PrintRecords(const MouseSnapshot& s) {
  const unsigned step = s.info[trx::sim::kInfoDpiStep];
  const unsigned base = U16(s.info.data() + trx::sim::kInfoDpiBase);
  for (int k = 0; k < trx::sim::kMouseRecords; ++k) {
    const uint8_t* r = s.settings[k].data();
    std::printf("settings record %d:\n  ", k);
    for (size_t i = 0; i < trx::sim::kMouseRecordRead; ++i) std::printf("%02x%s", r[i], (i % 28 == 27) ? "\n  " : " ");
    std::printf("DPI levels:");
    for (int level = 0; level < trx::sim::kDpiLevelCount; ++level) {
      const uint8_t* c = r + trx::sim::kRecordDpiColours + 3 * level;
      std::printf(" %u (#%02x%02x%02x)%s", base + r[trx::sim::kRecordDpiLevels + level] * step, c[0], c[1], c[2],
                  r[trx::sim::kRecordCurrentDpi] == level ? "*" : "");
    }
    std::printf("\n");
  }
}

// Opens the device's consumer interface read-only, as the synchronisation
// thread does. True when opened.
bool OpenConsumerInterface(trx::CHidDevice& hid) {
  trx::InterfaceWanted wanted;
  wanted.listed = [](const std::string& path) {
    return trx::ParsePathVendorId(path) == trx::sim::kVendorId &&
           trx::ParsePathProductId(path) == trx::sim::kMouseProductId;
  };
  wanted.matches = [](const trx::CHidDevice& h) {
    return h.capabilities.usage_page == trx::sim::kConsumerUsagePage &&
           h.capabilities.usage == trx::sim::kConsumerUsage;
  };
  wanted.want_write = false;
  return trx::OpenMatchingInterface(hid, wanted) == trx::OpenMatch::Opened;
}

// Waits for one notification and returns its usage, or -1.
int ReadNotification(trx::CHidDevice& hid) {
  size_t got = 0;
  if (!hid.ReadReport(hid.input_report_buffer.data(), hid.input_report_buffer.size(), 1000, &got)) return -1;
  if (!trx::DecodeInputUsages(hid.input_elements, hid.input_report_buffer.data(), got, hid.descriptor)) return -1;
  if (hid.input_elements.empty() || hid.input_elements[0].usage_list.empty()) return -1;
  return hid.input_elements[0].usage_list[0];
}

// Presses a device button, reports the notification and reads back the
// changed byte. True on success.
bool PressButton(trx::CDeviceChannel& channel, trx::CHidDevice& consumer, trx::sim::SimFirmware& firmware,
                 bool profile_button) {
  if (profile_button) {
    firmware.PressProfileButton();
  } else {
    firmware.PressDpiButton();
  }
  const int usage = ReadNotification(consumer);
  const int expected = profile_button ? trx::sim::kUsageProfileChanged : trx::sim::kUsageSettingsChanged;
  if (usage != expected) {
    std::fprintf(stderr, "trx770-sim-cli: expected notification 0x%03x, got %d\n", expected, usage);
    return false;
  }
  uint8_t active = 0;
  if (trx::ReadSettingsBytes(channel, 0, &active, 1) != trx::kResultOk) {
    std::fprintf(stderr, "trx770-sim-cli: re-reading the active onboard profile failed\n");
    return false;
  }
  if (profile_button) {
    std::printf("notification 0x%03x: onboard profile changed, active onboard profile %u\n", usage, active);
    return true;
  }
  uint8_t level = 0;
  const uint16_t address = static_cast<uint16_t>(active * 64 + trx::sim::kRecordCurrentDpi);
  if (trx::ReadSettingsBytes(channel, address, &level, 1) != trx::kResultOk) {
    std::fprintf(stderr, "trx770-sim-cli: re-reading the current DPI level failed\n");
    return false;
  }
  std::printf("notification 0x%03x: settings changed, current DPI level of profile %u is %u\n", usage, active, level);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const ParseResult parsed = ParseOptions(argc, argv, options);
  if (parsed != ParseResult::Run) return parsed == ParseResult::Exit ? 0 : 1;
  if (!options.trace.empty() && !trx::SetFrameTraceFile(options.trace)) {
    std::fprintf(stderr, "trx770-sim-cli: cannot open trace file %s\n", options.trace.c_str());
    return 1;
  }

  auto firmware = std::make_shared<trx::sim::SimFirmware>(trx::sim::SimKind::Mouse);
  std::shared_ptr<trx::IHidBackend> backend;
  std::unique_ptr<trx::FakeHidrawTree> tree;
  std::unique_ptr<trx::sim::HidrawSimAttachment> attachment;
  if (options.inprocess) {
    auto sim_backend = std::make_shared<trx::sim::SimBackend>();
    sim_backend->AddDevice(firmware);
    backend = sim_backend;
  } else {
    tree = std::make_unique<trx::FakeHidrawTree>();
    if (!tree->Valid()) {
      std::fprintf(stderr, "trx770-sim-cli: cannot create the fake hidraw tree\n");
      return 1;
    }
    attachment = std::make_unique<trx::sim::HidrawSimAttachment>(*tree, firmware);
    if (!attachment->Valid()) {
      std::fprintf(stderr, "trx770-sim-cli: cannot attach the simulated mouse to the hidraw tree\n");
      return 1;
    }
    backend = tree->MakeBackend();
  }

  int status = 0;
  {
    trx::CDeviceChannel channel(trx::DeviceKind::Mouse, backend);
    channel.SetIdentity(trx::sim::kVendorId, trx::sim::kMouseProductId, trx::sim::kVendorUsagePage,
                        trx::sim::kVendorUsage);
    if (!trx::sim::ConnectMatchingInterface(channel)) {
      std::fprintf(stderr, "trx770-sim-cli: no interface 0c45:652c with collection 0xff1c/0x92 found\n");
      status = 1;
    } else {
      std::printf("mouse interface %s\n", channel.transport.device_path.c_str());
      MouseSnapshot snapshot;
      const trx::CommandResult result = trx::sim::ReadMouseSnapshot(channel, snapshot);
      if (result != trx::kResultOk) {
        std::fprintf(stderr, "trx770-sim-cli: connect read failed with result %d\n", trx::CommandCode(result));
        status = 1;
      } else {
        PrintInformation(snapshot);
        PrintRecords(snapshot);
      }
      if (status == 0 && (options.press_profile || options.press_dpi)) {
        trx::CHidDevice consumer(backend);
        if (!OpenConsumerInterface(consumer)) {
          std::fprintf(stderr, "trx770-sim-cli: no consumer-control interface 0c45:652c found\n");
          status = 1;
        }
        if (status == 0 && options.press_profile && !PressButton(channel, consumer, *firmware, true)) status = 1;
        if (status == 0 && options.press_dpi && !PressButton(channel, consumer, *firmware, false)) status = 1;
      }
    }
  }
  attachment.reset();  // before the tree it lives in
  trx::SetFrameTraceFile("");
  return status;
}
