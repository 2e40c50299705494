#pragma once

namespace varnex {

// Reads Setup.ini into Globals() and replaces and opens the shared connection.
// False when Setup.ini is missing or a failure was logged and shown. From then on what keeps the
// log from its folder or file is shown to the user as a plain message.
bool loadSettings();

}  // namespace varnex
