#include "services/mouse_record_edit.h"

#include <algorithm>

#include "device/commands.h"
#include "services/device_snapshot.h"
#include "settings/mouse_config_image.h"
#include "settings/record_apply.h"

namespace trx {

RecordEditOutcome EditActiveMouseRecord(CDeviceChannel& mouse, RecordSend send, const RecordEdit& edit) {
  RecordEditOutcome out;
  DeviceSnapshot snap;
  const CommandResult rc = ReadDeviceSnapshot(mouse, snap);
  if (rc != kResultOk) {
    out.result = RecordEditResult::ReadFailed;
    out.detail = rc;
    return out;
  }
  if (snap.active_profile < 0 || snap.active_profile >= kOnboardProfileCount) {
    out.result = RecordEditResult::NoActiveRecord;
    out.active = snap.active_profile;
    return out;
  }
  out.active = snap.active_profile;
  uint8_t record[kCurrentRecordSize];
  std::copy_n(snap.records[out.active].begin(), kCurrentRecordSize, record);
  record[kRecOnboardProfile] = static_cast<uint8_t>(out.active);
  if (!edit(snap.info.data(), record, out.reason)) {
    out.result = RecordEditResult::Refused;
    return out;
  }
  const CommandResult wrc = send == RecordSend::Frames3 ? SendMouseRecord(mouse, record)
                                              : WriteSettingsBytes(mouse, 0, record, kCurrentRecordSize);
  if (wrc != kResultOk) {
    out.result = RecordEditResult::WriteFailed;
    out.detail = wrc;
  }
  return out;
}

}  // namespace trx
