#include "ui/LiveSpeedField.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
const char* const kPendingStyle = "background: #FFE08A; color: #000000;";
const char* const kInEffectStyle = "background: #C8F0C8; color: #000000;";
}  // namespace

CLiveSpeedField::CLiveSpeedField(QLineEdit* edit, QObject* parent) : QObject(parent), m_pEdit(edit)
{
    m_pEdit->installEventFilter(this);
    connect(m_pEdit, &QLineEdit::textChanged, this, &CLiveSpeedField::Refresh);
}

void CLiveSpeedField::SetRunning(int setPointRpm)
{
    m_nInEffect = setPointRpm < 0 ? -1 : setPointRpm;
    Refresh();
}

void CLiveSpeedField::SetInEffect(int rpm)
{
    if (m_nInEffect < 0) return;
    m_nInEffect = rpm;
    if (m_bLocked) m_pEdit->setText(QString::number(rpm));
    Refresh();
}

void CLiveSpeedField::SetLocked(bool locked)
{
    m_bLocked = locked;
    m_pEdit->setReadOnly(locked);
    if (locked && m_nInEffect >= 0) m_pEdit->setText(QString::number(m_nInEffect));
    Refresh();
}

QString CLiveSpeedField::StateText(EState state, int inEffect)
{
    switch (state) {
    case EState::Idle:
        return QString();
    case EState::InEffect:
        return QStringLiteral("In effect: %1 rpm").arg(inEffect);
    case EState::Pending:
        return QStringLiteral("Not sent yet: press Enter to run at this speed (now %1 rpm)").arg(inEffect);
    }
    return QString();
}

void CLiveSpeedField::Refresh()
{
    EState state = EState::Idle;
    if (m_nInEffect >= 0) {
        bool ok = false;
        const int shown = m_pEdit->text().trimmed().toInt(&ok);
        // 2200 goes out as 2199 and counts as in effect.
        const bool same = ok && (shown == m_nInEffect || (shown == 2200 && m_nInEffect == 2199));
        state = same ? EState::InEffect : EState::Pending;
    }
    m_eState = state;
    m_pEdit->setStyleSheet(state == EState::Idle      ? QString()
                           : state == EState::Pending ? QString::fromLatin1(kPendingStyle)
                                                      : QString::fromLatin1(kInEffectStyle));
    m_pEdit->setToolTip(StateText(state, m_nInEffect));
}

bool CLiveSpeedField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pEdit && event->type() == QEvent::KeyPress && m_nInEffect >= 0 && !m_bLocked) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit sendRequested();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
