#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace quillo::test {

// The widget of type T named NAME under PARENT; a test cannot go on without
// it, so its absence ends the test program.
template <typename T> T* namedChild(const QObject* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

}  // namespace quillo::test
