#pragma once
// Writing the mouse's five key blocks from the configuration image to the
// device, with progress: Begin transfer, Write key block 0 … 4, End
// transfer — seven steps, each reported after it is done. The blocks are
// copied under ImageMutex() first and written after releasing it.
//
// Any thread (normally an operation on the mouse's queue). Returns Ok when every
// command succeeded, else the first failing command's result code (the
// later blocks are not written; End transfer is still sent after a Begin
// that succeeded); WriteFailed without sending anything when the channel's block
// size exceeds the image's 512-byte blocks. A stop request between steps ends the upload early with
// End transfer and NoReply.

#include "device/commands.h"
#include "platform/progress_reporter.h"

namespace trx {

inline constexpr int kKeyBlockUploadSteps = 7;

CommandResult UploadMouseKeyBlocks(CDeviceChannel& channel, IProgressReporter& progress);

}  // namespace trx
