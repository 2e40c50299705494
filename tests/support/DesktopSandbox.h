#pragma once
// The application sandbox for the desktop program: ending the process is recorded
// instead of done, and the single-instance guard lives in the sandbox's folder.

#include "shell/Windows.h"
#include "support/AppSandbox.h"

#include <functional>

namespace varnex::test {

class DesktopSandbox : public AppSandbox {
public:
    explicit DesktopSandbox(QDateTime now = QDateTime(QDate(2002, 7, 3), QTime(9, 5, 3)));
    ~DesktopSandbox();

    int endProcessCount() const { return ends_; }
    // The exit status of the first end, the one a real process ends with (-1 before any).
    int exitStatus() const { return exitStatus_; }

private:
    int ends_ = 0;
    int exitStatus_ = -1;
    EndProcessHandler previousEnd_;
};

}  // namespace varnex::test
