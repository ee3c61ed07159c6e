#include "ui/RunStatusStrip.h"

#include "run/JournalFormat.h"
#include "ui/AlarmBanner.h"
#include "ui/RunControl.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kRefreshMs = 500;
const char* const kLight = "color: #EAEAEA;";
const char* const kAmber = "color: #FFBF00; font-weight: bold;";
const char* const kRed = "color: #FF4040; font-weight: bold;";
}  // namespace

CRunStatusStrip::CRunStatusStrip(const CRunControl& run, QWidget* parent) : QWidget(parent), m_run(run)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(16);
    for (QLabel** label : {&m_pTime, &m_pStart, &m_pSamples, &m_pAge, &m_pFile}) {
        *label = new QLabel(this);
        (*label)->setStyleSheet(QString::fromLatin1(kLight));
        layout->addWidget(*label);
    }
    m_pCountdown = new QLabel(this);
    m_pCountdown->setStyleSheet(QString::fromLatin1(kLight));
    layout->addWidget(m_pCountdown);
    m_pNotice = new QLabel(this);
    m_pNotice->setStyleSheet(QString::fromLatin1(kAmber));
    layout->addWidget(m_pNotice);
    // A raised alarm takes the free middle of the strip, and the room of
    // the start time and the file name, which say nothing new meanwhile.
    m_pBanner = new CAlarmBanner(this);
    layout->addWidget(m_pBanner, 100);
    connect(m_pBanner, &CAlarmBanner::raised, this, [this] {
        m_pStart->hide();
        m_pFile->hide();
    });
    connect(m_pBanner, &CAlarmBanner::acknowledged, this, [this] {
        m_pStart->show();
        m_pFile->show();
    });
    layout->addStretch(1);
    layout->addWidget(m_pFile);
    setFixedHeight(kHeight);
    connect(&m_timer, &QTimer::timeout, this, &CRunStatusStrip::Refresh);
    connect(&run, &CRunControl::journalChanged, this, [this](const QString& path) {
        if (!path.isEmpty()) m_strFile = QFileInfo(path).fileName();
        Refresh();
    });
    connect(&run, &CRunControl::runningChanged, this, [this](bool running) {
        if (running && !m_run.Journal().IsOpen()) m_strFile.clear();
        if (running) m_pNotice->clear();
        Refresh();
    });
    connect(&run, &CRunControl::sampleArrived, this, &CRunStatusStrip::Refresh);
    connect(&run, &CRunControl::eventRecorded, this, [this](int, CRunControl::EEvent kind, const QString& text) {
        switch (kind) {
        case CRunControl::EEvent::StopNotAcknowledged:
            ShowNotice(QStringLiteral("Stop not acknowledged: the motor may still be turning"));
            break;
        case CRunControl::EEvent::LinkLost:
        case CRunControl::EEvent::LinkBack:
            ShowNotice(QStringLiteral("Stirrer: %1").arg(text));
            break;
        default:
            break;
        }
    });
    m_timer.start(kRefreshMs);
    Refresh();
}

QString CRunStatusStrip::RunTimeText(qint64 ms)
{
    if (ms < 0) ms = 0;
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

CRunStatusStrip::EAge CRunStatusStrip::AgeOf(qint64 silenceMs)
{
    if (silenceMs < 0) return EAge::None;
    if (silenceMs > kSilentMs) return EAge::Silent;
    if (silenceMs > kLateMs) return EAge::Late;
    return EAge::Fresh;
}

QString CRunStatusStrip::AgeText(qint64 silenceMs)
{
    switch (AgeOf(silenceMs)) {
    case EAge::None:
        return QString();
    case EAge::Silent:
        return QStringLiteral("No reply from the stirrer (%1 s)").arg(silenceMs / 1000);
    case EAge::Late:
    case EAge::Fresh:
        break;
    }
    return QStringLiteral("last sample %1 s ago").arg(double(silenceMs) / 1000.0, 0, 'f', 1);
}

void CRunStatusStrip::Refresh()
{
    const qint64 runMs = m_run.RunTimeMs();
    m_pTime->setText(runMs < 0 ? QStringLiteral("No run yet") : QStringLiteral("Run %1").arg(RunTimeText(runMs)));
    if (runMs >= 0) {
        const QByteArray start = CJournalFormat::WallTime(m_run.StartWall());
        m_pStart->setText(QStringLiteral("started %1 %2").arg(QString::fromLatin1(start.left(10)),
                                                              QString::fromLatin1(start.mid(11, 8))));
    }
    m_pSamples->setText(runMs < 0 ? QString() : QStringLiteral("%1 samples").arg(m_run.Record().GetCount()));
    const qint64 silence = m_run.SilenceMs();
    m_eAge = AgeOf(silence);
    m_pAge->setText(AgeText(silence));
    m_pAge->setStyleSheet(QString::fromLatin1(m_eAge == EAge::Silent ? kRed : m_eAge == EAge::Late ? kAmber : kLight));
    m_pFile->setText(m_strFile);
}

void CRunStatusStrip::AddCell(QWidget* cell)
{
    auto* box = static_cast<QHBoxLayout*>(layout());
    // After the run's cells, before the notice, the banner and the file.
    box->insertWidget(box->indexOf(m_pNotice), cell);
}

QString CRunStatusStrip::RunTimeShown() const
{
    return m_pTime->text();
}

QString CRunStatusStrip::SamplesShown() const
{
    return m_pSamples->text();
}

QString CRunStatusStrip::AgeShown() const
{
    return m_pAge->text();
}

QString CRunStatusStrip::FileShown() const
{
    return m_pFile->text();
}

void CRunStatusStrip::ShowNotice(const QString& text, const QDateTime& time)
{
    m_pNotice->setText(time.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + text);
    m_pNotice->setToolTip(m_pNotice->text());
}

QString CRunStatusStrip::NoticeShown() const
{
    return m_pNotice->text();
}

void CRunStatusStrip::SetCountdown(const QString& text)
{
    if (m_pCountdown->text() != text) m_pCountdown->setText(text);
}

QString CRunStatusStrip::CountdownShown() const
{
    return m_pCountdown->text();
}
