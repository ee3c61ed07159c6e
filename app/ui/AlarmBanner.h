#pragma once

#include <QDateTime>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

// A red alarm line for the status strip: the reason and the time it was
// raised, a beep now and every kBeepIntervalMs until the operator presses
// "Acknowledge". Hidden while no alarm is raised. A second alarm before the
// acknowledgement replaces the text and says how many are waiting; one
// acknowledgement clears them all. UI thread.
class CAlarmBanner : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBeepIntervalMs = 5000;

    explicit CAlarmBanner(QWidget* parent = nullptr);

    // Shows the alarm (time: when it happened, local time shown as hh:mm:ss).
    void Raise(const QString& reason, const QDateTime& time = QDateTime::currentDateTime());
    // Hides the banner and emits acknowledged(); nothing while none is raised.
    void Acknowledge();
    bool IsRaised() const { return m_nRaised > 0; }
    // The line as shown, e.g. "14:03:22  Torque limit 40 Ncm reached".
    QString Text() const;
    // Alarms raised since the last acknowledgement.
    int RaisedCount() const { return m_nRaised; }
    // Beeps given since the banner was made.
    int BeepCount() const { return m_nBeeps; }
    QPushButton* AcknowledgeButton() const { return m_pButton; }

    // "hh:mm:ss  reason", and "(n alarms)" after it when more than one waits.
    static QString LineText(const QString& reason, const QDateTime& time, int count);

signals:
    void raised(const QString& reason);
    void acknowledged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Beep();

    QLabel* m_pText;
    QPushButton* m_pButton;
    QTimer m_beeper;
    int m_nRaised = 0;
    int m_nBeeps = 0;
};
