#pragma once
// Messages for the user: modal boxes with one OK button in the desktop program,
// lines on standard error elsewhere; and yes-or-no questions, which only the desktop
// program asks. Whoever shows them installs a handler.

#include <QString>

#include <functional>

namespace varnex {

// How a message is shown: the icon of its box.
enum class MessageStyle { Plain, Critical, Question, Information };

// One message as it is shown: the title is already the application title when none was given.
struct Message {
    QString text;
    MessageStyle style = MessageStyle::Plain;
    QString title;

    friend bool operator==(const Message&, const Message&) = default;
};

using MessageHandler = std::function<void(const Message&)>;

// Replaces how messages are shown (the desktop shell shows boxes, tests record them).
// An empty handler writes them to standard error. Returns the previous handler.
MessageHandler setMessageHandler(MessageHandler handler);

// Returns once the message has been seen (a box: dismissed). An empty title shows appTitle().
void showMessage(const QString& text, MessageStyle style = MessageStyle::Plain, const QString& title = {});

// Answers a question with Yes (true) or No (false); the message's style is Question.
using QuestionHandler = std::function<bool(const Message&)>;
// Replaces how questions are asked. Without a handler every answer is No. Returns the previous handler.
QuestionHandler setQuestionHandler(QuestionHandler handler);

// Asks a yes-or-no question and returns once it is answered: true for Yes. An empty title shows appTitle().
bool askQuestion(const QString& text, const QString& title = {});

}  // namespace varnex
