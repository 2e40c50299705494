#pragma once

#include "core/Messages.h"

#include <QList>

namespace varnex::test {

// Records every message instead of showing it, for the lifetime of the recorder.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<Message>& calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    QList<Message> calls_;
    MessageHandler previous_;
};

}  // namespace varnex::test
