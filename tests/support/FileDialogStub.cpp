#include "FileDialogStub.h"

namespace varnex::test {

FileDialogStub::FileDialogStub(std::optional<QString> answer)
    : answer_(std::move(answer)), previous_(SetFileDialogHandler([this](const CommonDialog& dialog) {
          shown_.append(dialog);
          return answer_;
      }))
{
}

FileDialogStub::~FileDialogStub() { SetFileDialogHandler(std::move(previous_)); }

}  // namespace varnex::test
