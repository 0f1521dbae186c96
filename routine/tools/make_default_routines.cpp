// Writes the default routine files that ship in the program folder:
//   trx770-make-routines <output folder>
// gives "name_1.cur" .. "name_4.cur" (routine/default_routines.h).

#include <cstdio>
#include <string>

#include "platform/atomic_file.h"
#include "routine/default_routines.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '/') folder += '/';
  bool ok = true;
  for (int r = 0; r < trx::routine::kRoutineCount; ++r) {
    char name[32];
    std::snprintf(name, sizeof name, trx::routine::kDefaultRoutineFormat, r + 1);
    const std::vector<uint8_t> bytes = trx::routine::RoutineFileBytes(trx::routine::DefaultRoutineLines(r));
    if (!trx::WriteFileAtomic(folder + name, bytes.data(), bytes.size())) {
      std::fprintf(stderr, "trx770-make-routines: cannot write %s%s\n", folder.c_str(), name);
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
