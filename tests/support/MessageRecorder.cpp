#include "MessageRecorder.h"

#include <ostream>

namespace varnex {

// Readable failure output for EXPECT_EQ on messages.
void PrintTo(const Message& call, std::ostream* os)
{
    *os << "{\"" << call.text.toStdString() << "\", " << static_cast<int>(call.style) << ", \"" << call.title.toStdString() << "\"}";
}

}  // namespace varnex

namespace varnex::test {

MessageRecorder::MessageRecorder()
    : previous_(setMessageHandler([this](const Message& call) { calls_.append(call); })),
      previousQuestions_(setQuestionHandler([this](const Message& question) {
          calls_.append(question);
          return answer_;
      }))
{
}

MessageRecorder::~MessageRecorder()
{
    setQuestionHandler(std::move(previousQuestions_));
    setMessageHandler(std::move(previous_));
}

}  // namespace varnex::test
