#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace plat {

CWaitCursor::CWaitCursor()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_bSet = true;
}

CWaitCursor::~CWaitCursor()
{
    if (m_bSet) QGuiApplication::restoreOverrideCursor();
}

}  // namespace plat
