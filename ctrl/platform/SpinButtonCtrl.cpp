#include "platform/SpinButtonCtrl.h"

#include <QKeyEvent>
#include <QToolButton>

namespace plat {

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent, bool arrowKeys)
    : QWidget(parent), m_pUp(new QToolButton(this)), m_pDown(new QToolButton(this)), m_bArrowKeys(arrowKeys)
{
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_pUp, m_pDown}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_pUp, &QToolButton::clicked, this, [this] { emit deltaPos(-1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { emit deltaPos(1); });
    setFocusPolicy(arrowKeys ? Qt::TabFocus : Qt::NoFocus);
}

void CSpinButtonCtrl::keyPressEvent(QKeyEvent* event)
{
    if (m_bArrowKeys && event->key() == Qt::Key_Up) emit deltaPos(-1);
    else if (m_bArrowKeys && event->key() == Qt::Key_Down) emit deltaPos(1);
    else QWidget::keyPressEvent(event);
}

void CSpinButtonCtrl::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    m_pUp->setGeometry(0, 0, width(), half);
    m_pDown->setGeometry(0, half, width(), height() - half);
}

}  // namespace plat
