#pragma once

namespace varnex {

// Names Setup.ini in appSettings().iniFile: beside the executable, or in the user's settings
// folder for an installed build. There a missing file is first created with the defaults
// (no database, user Admin, the Jet 4.0 provider, exports with a header line), owner-only.
// True when Setup.ini exists afterwards.
bool prepareSettingsFile();

}  // namespace varnex
