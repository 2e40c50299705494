#pragma once
// An X server of the test's own (Xvfb) on which the real program runs with its usual
// platform, and the user's hand on it: the windows shown, and closing one as its close
// button would (the window manager's WM_DELETE_WINDOW request).

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

namespace varnex::test {

class VirtualDisplay {
public:
    struct Window {
        uint32_t id;
        QString title;
    };

    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False when no X server could be started (Xvfb missing).
    bool running() const { return connection_ != nullptr; }
    // ":<number>", for DISPLAY.
    QString name() const { return name_; }

    // The top-level windows on screen, with their titles.
    std::vector<Window> shownWindows() const;
    void requestClose(uint32_t window) const;

private:
    uint32_t atom(const char* name) const;

    QProcess server_;
    QString name_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
};

}  // namespace varnex::test
