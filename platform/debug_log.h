#pragma once
// Diagnostic lines: the program's equivalent of writing to the debugger
// output. Each call writes one line. By default lines go to stderr when the
// environment variable TRX770_DEBUG is set (to anything), and nowhere
// otherwise. Tests install a sink to read them.
//
// Thread safety: DebugLine may be called from any thread; installing a sink
// is serialised with writers.

#include <functional>
#include <string>
#include <string_view>

namespace trx {

void DebugLine(std::string_view line);
// printf-style convenience; the result is one line.
void DebugLineF(const char* format, ...) __attribute__((format(printf, 1, 2)));

using DebugSink = std::function<void(std::string_view)>;
// Replaces the sink (an empty function restores the default). Returns the
// previous sink so that a test can restore it.
DebugSink SetDebugSink(DebugSink sink);

}  // namespace trx
