#pragma once
// How a page's upload to a device ended (the button assignments, the
// routines). The upload operation returns it as its result, Ok having the
// device queue's success value, and the page reads it back from the outcome.
//
// Thread: any (values and pure functions).

#include "device/device_queue.h"

namespace trx::pages {

enum class UploadResult : int {
  Ok = 1,           // everything written
  TooLarge = 2,     // the image does not fit the device's memory: nothing sent
  FileError = 3,    // a file could not be read
  DeviceError = 4,  // the device did not answer, or the operation did not run
};

// The outcome's upload result; DeviceError when the operation did not run.
inline UploadResult UploadResultOf(const OperationOutcome& o) {
  if (o.status != OperationStatus::Ran) return UploadResult::DeviceError;
  switch (const UploadResult r = o.result.As<UploadResult>()) {
    case UploadResult::Ok:
    case UploadResult::TooLarge:
    case UploadResult::FileError: return r;
    default: return UploadResult::DeviceError;
  }
}

}  // namespace trx::pages
