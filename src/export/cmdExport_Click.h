#pragma once

namespace varnex {

class frmMain;

// The Export button: asks for a file name and writes the shown table to it as CSV.
void cmdExport_Click(frmMain& form);

}  // namespace varnex
