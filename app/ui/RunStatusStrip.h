#pragma once

#include <QDateTime>
#include <QTimer>
#include <QWidget>

class CAlarmBanner;
class CRunControl;
class QLabel;

// The strip below the main window's controls: run time since Start
// (h:mm:ss), wall-clock start, samples, age of the last valid sample (amber
// over 3 s, red over 10 s with "No reply from the stirrer") and the
// journal's file name. Reads the run control twice a second; UI thread.
class CRunStatusStrip : public QWidget
{
    Q_OBJECT
public:
    enum class EAge { None, Fresh, Late, Silent };
    static constexpr qint64 kLateMs = 3000;
    static constexpr qint64 kSilentMs = 10000;
    static constexpr int kHeight = 24;

    // run is not owned and must outlive the strip.
    CRunStatusStrip(const CRunControl& run, QWidget* parent = nullptr);

    // "h:mm:ss"; hours grow past 9 as needed.
    static QString RunTimeText(qint64 ms);
    static EAge AgeOf(qint64 silenceMs);
    // The age cell's text, e.g. "last sample 1.2 s ago".
    static QString AgeText(qint64 silenceMs);

    // Reads the run control now.
    void Refresh();
    // A further cell (taken over), after the run's own and before the
    // notice, the alarm banner and the journal's file name.
    void AddCell(QWidget* cell);
    QString RunTimeShown() const;
    QString SamplesShown() const;
    QString AgeShown() const;
    QString FileShown() const;
    EAge AgeLevel() const { return m_eAge; }
    // A line of trouble that needs no dialog (a refused Start, a Stop never
    // acknowledged, a line that stopped answering), with the time; it stays
    // until the next one or the next Start.
    void ShowNotice(const QString& text, const QDateTime& time = QDateTime::currentDateTime());
    QString NoticeShown() const;
    // The time left of a timed run or a program (empty hides it).
    void SetCountdown(const QString& text);
    QString CountdownShown() const;
    // The red alarm line, hidden until an alarm is raised on it.
    CAlarmBanner* Banner() const { return m_pBanner; }

private:
    const CRunControl& m_run;
    QLabel* m_pTime;
    QLabel* m_pStart;
    QLabel* m_pSamples;
    QLabel* m_pAge;
    QLabel* m_pFile;
    QLabel* m_pNotice;
    QLabel* m_pCountdown;
    CAlarmBanner* m_pBanner;
    QTimer m_timer;
    EAge m_eAge = EAge::None;
    QString m_strFile;
};
