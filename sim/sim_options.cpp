#include "sim/sim_options.h"

namespace trx::sim {
namespace {

constexpr char kSimulate[] = "--simulate";
constexpr char kSimState[] = "--sim-state";

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

bool IsSimOption(const std::string& arg) {
  return arg == kSimulate || StartsWith(arg, "--simulate=") || arg == kSimState || StartsWith(arg, "--sim-state=");
}

SimOptionResult TakeSimOption(const std::vector<std::string>& args, size_t& i, SimOptions& options,
                              std::string& error) {
  const std::string& arg = args[i];
  if (arg == kSimulate) {
    options.simulate = true;
    return SimOptionResult::Taken;
  }
  if (StartsWith(arg, "--simulate=")) {
    options.simulate = true;
    options.simulate_list = arg.substr(sizeof kSimulate);
    if (!options.simulate_list.empty()) return SimOptionResult::Taken;
    error = "--simulate= needs a device list";
    return SimOptionResult::Bad;
  }
  if (arg == kSimState || StartsWith(arg, "--sim-state=")) {
    if (arg != kSimState) options.sim_state = arg.substr(sizeof kSimState);
    else if (i + 1 < args.size()) options.sim_state = args[++i];
    if (!options.sim_state.empty()) return SimOptionResult::Taken;
    error = "--sim-state needs a folder";
    return SimOptionResult::Bad;
  }
  return SimOptionResult::NotOurs;
}

bool CheckSimOptions(const SimOptions& options, std::string& error) {
  if (options.sim_state.empty() || options.simulate) return true;
  error = "--sim-state needs --simulate";
  return false;
}

}  // namespace trx::sim
