#include "shell/Windows.h"

#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace varnex {
namespace {

struct Registry {
    QList<QPointer<QWidget>> forms;
    QList<QWidget*> unloading;  // guards against unloading a window from its own handler
    EndProcessHandler endHandler;
};

Registry& registry()
{
    static Registry r;
    return r;
}

void dropDestroyed()
{
    registry().forms.removeIf([](const QPointer<QWidget>& form) { return form.isNull(); });
}

}  // namespace

void registerWindow(QWidget* form)
{
    dropDestroyed();
    if (!form || registry().forms.contains(form))
        return;
    registry().forms.append(form);
}

void unloadWindow(QWidget* form)
{
    Registry& r = registry();
    if (!form || r.unloading.contains(form))
        return;
    QPointer<QWidget> guard(form);
    r.unloading.append(form);
    form->close();
    r.unloading.removeOne(form);
    r.forms.removeAll(guard);
    dropDestroyed();
}

QList<QWidget*> loadedWindows()
{
    dropDestroyed();
    QList<QWidget*> forms;
    for (const QPointer<QWidget>& form : registry().forms)
        forms.append(form.data());
    return forms;
}

void endProcess(int exitStatus)
{
    if (const auto& handler = registry().endHandler) {
        handler(exitStatus);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

EndProcessHandler setEndProcessHandler(EndProcessHandler handler)
{
    return std::exchange(registry().endHandler, std::move(handler));
}

EndProcessHandler setEndProcessHandler(std::function<void()> handler)
{
    if (!handler)
        return setEndProcessHandler(EndProcessHandler());
    return setEndProcessHandler([handler = std::move(handler)](int) { handler(); });
}

}  // namespace varnex
