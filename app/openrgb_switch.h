#pragma once
// Turning the OpenRGB SDK server on and off (app/openrgb_bridge.h) with
// the stored choice in "main.ini": at start it runs when the stored choice
// says so, on the stored port; the tray's item turns it on or off and
// stores the choice. A port in use is shown in a message box
// ("message_openrgb_port_in_use" with the port) and, like any other
// failure, on stderr; the choice stays stored, so the next start tries
// again.
//
// UI thread.

namespace trx::app {

class COpenRgbBridge;
class CWindowMessages;

// The stored choice: the server runs from start.
bool OpenRgbStoredOn();
// Starts the server on the stored port; true when it listens.
bool StartOpenRgbServer(COpenRgbBridge& bridge, const CWindowMessages& messages);
// Turns the server on or off and stores the choice; true when the server
// runs as asked.
bool SetOpenRgbServer(COpenRgbBridge& bridge, bool on, const CWindowMessages& messages);

}  // namespace trx::app
