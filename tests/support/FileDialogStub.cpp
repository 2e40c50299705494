#include "FileDialogStub.h"

namespace varnex::test {

FileDialogStub::FileDialogStub(std::optional<QString> answer)
    : answer_(std::move(answer)), previous_(setFileDialogHandler([this](const FileDialog& dialog) {
          shown_.append(dialog);
          return answer_;
      }))
{
}

FileDialogStub::~FileDialogStub() { setFileDialogHandler(std::move(previous_)); }

}  // namespace varnex::test
