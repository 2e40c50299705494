#include "DesktopSandbox.h"

#include "shell/SingleInstance.h"
#include "shell/Windows.h"

namespace varnex::test {

DesktopSandbox::DesktopSandbox(QDateTime now) : AppSandbox(std::move(now))
{
    previousEnd_ = setEndProcessHandler([this](int exitStatus) {
        if (ends_++ == 0)
            exitStatus_ = exitStatus;
    });
    // Start-up in a test must not meet a real Varnex, nor another test program.
    releaseInstanceGuard();
    setInstanceGuardFolderForTesting(path());
}

DesktopSandbox::~DesktopSandbox()
{
    setEndProcessHandler(std::move(previousEnd_));
    releaseInstanceGuard();
    setInstanceGuardFolderForTesting({});
}

}  // namespace varnex::test
