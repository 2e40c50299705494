#include "core/Messages.h"

#include "core/Application.h"

#include <cstdio>

namespace varnex {
namespace {

MessageHandler& handlerSlot()
{
    static MessageHandler handler;
    return handler;
}

QuestionHandler& questionSlot()
{
    static QuestionHandler handler;
    return handler;
}

void printToStandardError(const Message& message)
{
    const QByteArray line = (message.title + QStringLiteral(": ") + message.text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

}  // namespace

MessageHandler setMessageHandler(MessageHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

void showMessage(const QString& text, MessageStyle style, const QString& title)
{
    const Message message{text, style, title.isEmpty() ? appTitle() : title};
    if (const MessageHandler& handler = handlerSlot())
        handler(message);
    else
        printToStandardError(message);
}

QuestionHandler setQuestionHandler(QuestionHandler handler)
{
    return std::exchange(questionSlot(), std::move(handler));
}

bool askQuestion(const QString& text, const QString& title)
{
    const QuestionHandler& handler = questionSlot();
    return handler && handler(Message{text, MessageStyle::Question, title.isEmpty() ? appTitle() : title});
}

}  // namespace varnex
