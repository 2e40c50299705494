#include "DesktopSandbox.h"

#include "shell/SingleInstance.h"
#include "shell/Windows.h"

namespace varnex::test {

DesktopSandbox::DesktopSandbox(QDateTime now) : AppSandbox(std::move(now))
{
    previousEnd_ = setEndProcessHandler([this] { ++ends_; });
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
