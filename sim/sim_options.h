#pragma once
// The simulator's command-line options, read the same way by the program
// and by trx770ctl:
//   --simulate             all three simulated devices
//   --simulate=LIST        the listed ones (ParseSimulateList); an empty
//                          LIST is refused
//   --sim-state DIR, --sim-state=DIR
//                          the simulated devices keep their memory in DIR
//                          (needs --simulate, checked by CheckSimOptions)
//
// Thread: any (pure functions).

#include <string>
#include <vector>

namespace trx::sim {

struct SimOptions {
  bool simulate = false;
  std::string simulate_list;  // the value after "--simulate=" ("" for all three)
  std::string sim_state;      // the state folder ("" for none)
};

// True for the words TakeSimOption reads.
bool IsSimOption(const std::string& arg);

enum class SimOptionResult {
  NotOurs,  // args[i] is not a simulator option: nothing read
  Taken,    // read into `options` (i moved past a separate DIR)
  Bad,      // a simulator option with a missing value: `error` says which
};

// Reads args[i] (and, for "--sim-state DIR", args[i + 1]).
SimOptionResult TakeSimOption(const std::vector<std::string>& args, size_t& i, SimOptions& options,
                              std::string& error);

// After all arguments are read: false with `error` when a state folder is
// given without --simulate.
bool CheckSimOptions(const SimOptions& options, std::string& error);

}  // namespace trx::sim
