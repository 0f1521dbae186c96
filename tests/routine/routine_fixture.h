#pragma once
// A routine store in a temporary folder, the defaults in "program" beside it.

#include <filesystem>
#include <string>

#include "routine/default_routines.h"
#include "routine/routine_files.h"
#include "tests/platform/temp_home.h"

namespace trx::routine::test {

inline RoutineStore MakeStore(const trx::test::TempHome& home) {
  RoutineStore store{home.Path("ms/"), home.Path("ms/msMacro.ini"), home.Path("program/")};
  std::filesystem::create_directories(store.folder);
  std::filesystem::create_directories(store.defaults_folder);
  for (int r = 0; r < kRoutineCount; ++r)
    trx::test::TempHome::WriteBytes(DefaultRoutinePath(store, r), RoutineFileBytes(DefaultRoutineLines(r)));
  InitRoutineIndex(store);
  return store;
}

}  // namespace trx::routine::test
