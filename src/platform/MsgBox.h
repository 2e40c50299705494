#pragma once
// Modal message boxes with one OK button, in the three styles the program uses.

#include <QString>

#include <functional>

namespace varnex {

namespace msgbox {
inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;  // the answer of every box
}  // namespace msgbox

// One box as it is shown: the title is already the application title when none was given.
struct MsgBoxCall {
    QString prompt;
    int style = 0;
    QString title;

    friend bool operator==(const MsgBoxCall&, const MsgBoxCall&) = default;
};

using MsgBoxHandler = std::function<int(const MsgBoxCall&)>;

// Replaces what showing a box does (tests record the boxes instead of showing them).
// An empty handler restores the real box. Returns the previous handler.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);

// Shows the box modally and returns vbOK. An empty title shows AppTitle().
int MsgBox(const QString& prompt, int style = msgbox::vbOKOnly, const QString& title = {});

}  // namespace varnex
