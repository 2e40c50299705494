#pragma once

#include "platform/MsgBox.h"

#include <QList>

namespace varnex::test {

// Records every message box instead of showing it, for the lifetime of the recorder.
class MsgBoxRecorder {
public:
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    const QList<MsgBoxCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }

private:
    QList<MsgBoxCall> calls_;
    MsgBoxHandler previous_;
};

}  // namespace varnex::test
