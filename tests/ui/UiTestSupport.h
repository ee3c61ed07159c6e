#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <functional>

// Serves events until the condition holds or the deadline passes; the
// condition's last value.
inline bool WaitFor(const std::function<bool()>& condition, int deadlineMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > deadlineMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void Click(QWidget* button)
{
    qobject_cast<QAbstractButton*>(button)->click();
}
