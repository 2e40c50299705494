#pragma once

namespace varnex {

// Reads Setup.ini into Globals() and replaces and opens the shared connection.
// False when Setup.ini is missing or a failure was logged and shown.
bool loadSettings();

}  // namespace varnex
