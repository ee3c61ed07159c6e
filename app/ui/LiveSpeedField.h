#pragma once

#include <QObject>

class QLineEdit;

// The speed field while a run is under way: Enter in it asks for the shown
// value to be sent at once (instead of reaching the window's buttons), and
// its look tells whether the value shown is the one in effect. Idle, the
// field looks and behaves as before. UI thread.
class CLiveSpeedField : public QObject
{
    Q_OBJECT
public:
    enum class EState { Idle, InEffect, Pending };

    // edit is not owned and must outlive this object.
    explicit CLiveSpeedField(QLineEdit* edit, QObject* parent = nullptr);

    // A run began (with the set-point in effect, rpm as sent) or ended (-1).
    void SetRunning(int setPointRpm);
    // A new set-point was taken by the stirrer.
    void SetInEffect(int rpm);
    int InEffect() const { return m_nInEffect; }
    // While something else drives the speed (a program) the field only
    // shows the set-point in effect and takes no typing.
    void SetLocked(bool locked);
    bool IsLocked() const { return m_bLocked; }
    EState State() const { return m_eState; }
    // The text the state shows as the field's tool tip.
    static QString StateText(EState state, int inEffect);

signals:
    // Enter was pressed in the field during a run.
    void sendRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();

    QLineEdit* m_pEdit;
    int m_nInEffect = -1;  // -1: no run
    EState m_eState = EState::Idle;
    bool m_bLocked = false;
};
