#pragma once
// Messages for the user: modal boxes with one OK button in the desktop program,
// lines on standard error elsewhere. Whoever shows them installs a handler.

#include <QString>

#include <functional>

namespace varnex {

// The numbers are the styles' traditional values, which tests and logs compare.
enum class MessageStyle { Plain = 0, Critical = 16, Information = 64 };

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

}  // namespace varnex
