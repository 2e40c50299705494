#pragma once

#include "core/Messages.h"

#include <QList>

#include <iosfwd>

namespace varnex {
// Readable failure output for EXPECT_EQ on messages: {"text", Style, "title"}.
void PrintTo(const Message& call, std::ostream* os);
}  // namespace varnex

namespace varnex::test {

// The style's name ("Critical"), for messages written out as text.
QString StyleName(MessageStyle style);

// Records every message and every question instead of showing them, for the lifetime of the
// recorder; questions (style Question) are answered Yes unless told otherwise.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<Message>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    void answerQuestions(bool yes) { answer_ = yes; }

private:
    QList<Message> calls_;
    bool answer_ = true;
    MessageHandler previous_;
    QuestionHandler previousQuestions_;
};

}  // namespace varnex::test
