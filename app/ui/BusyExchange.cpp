#include "ui/BusyExchange.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <thread>

bool CBusyExchange::Run(const std::function<bool()>& exchange)
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    bool result = false;
    std::thread helper([&] {
        result = exchange();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    helper.join();
    QApplication::restoreOverrideCursor();
    return result;
}
