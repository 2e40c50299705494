#include "MsgBoxRecorder.h"

#include <ostream>

namespace varnex {

// Readable failure output for EXPECT_EQ on boxes.
void PrintTo(const MsgBoxCall& call, std::ostream* os)
{
    *os << "{\"" << call.prompt.toStdString() << "\", " << call.style << ", \"" << call.title.toStdString() << "\"}";
}

}  // namespace varnex

namespace varnex::test {

MsgBoxRecorder::MsgBoxRecorder()
    : previous_(SetMsgBoxHandler([this](const MsgBoxCall& call) {
          calls_.append(call);
          return msgbox::vbOK;
      }))
{
}

MsgBoxRecorder::~MsgBoxRecorder() { SetMsgBoxHandler(std::move(previous_)); }

}  // namespace varnex::test
