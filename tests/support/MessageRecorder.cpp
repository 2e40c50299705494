#include "MessageRecorder.h"

#include <ostream>

namespace varnex {

// Readable failure output for EXPECT_EQ on messages.
void PrintTo(const Message& call, std::ostream* os)
{
    *os << "{\"" << call.text.toStdString() << "\", " << test::StyleName(call.style).toStdString() << ", \"" << call.title.toStdString() << "\"}";
}

}  // namespace varnex

namespace varnex::test {

QString StyleName(MessageStyle style)
{
    switch (style) {
    case MessageStyle::Plain: return QStringLiteral("Plain");
    case MessageStyle::Critical: return QStringLiteral("Critical");
    case MessageStyle::Question: return QStringLiteral("Question");
    case MessageStyle::Information: return QStringLiteral("Information");
    }
    return QStringLiteral("Unknown");
}

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
