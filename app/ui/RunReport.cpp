#include "ui/RunReport.h"

#include "platform/DC.h"
#include "run/DurationText.h"
#include "ui/BuildVersion.h"
#include "ui/RunReportChart.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace {

constexpr int kMargin = 48;
constexpr int kLine = 15;          // text line height, page units
constexpr int kChartHeight = 250;
constexpr int kFooterHeight = 2 * kLine + 6;

// Header keys shown under their own labels; any other key is shown too,
// under its own name (limits, end-point rules, programs...).
const QList<QPair<QString, QString>> kKnownKeys = {
    {"start", "Start"},        {"operator", "Operator"}, {"sample", "Sample"}, {"note", "Note"},
    {"port", "Port"},          {"baud", "Baud"},         {"host", "Host"},     {"user", "User"},
    {"setpoint_rpm", "Set-point"}, {"program", "Recorded by"},
};
const QStringList kHiddenKeys = {"format"};

QFont TextFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString Number(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString Signed(double v)
{
    return (v > 0 ? QStringLiteral("+") : QString()) + Number(v, 1);
}

}  // namespace

CRunReport::CRunReport(const COpenedRun& run) : m_run(run), m_summary(CRunSummary::Of(run))
{
}

QSize CRunReport::PageSize()
{
    // Rounded to the nearest pixel (Qt's sizePixels cuts 793.7 to 793).
    const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return QSize(qRound(mm.width() / 25.4 * kDpi), qRound(mm.height() / 25.4 * kDpi));
}

bool CRunReport::IsSupportedPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("pdf") || suffix == QLatin1String("png");
}

QList<QPair<QString, QString>> CRunReport::Details() const
{
    QList<QPair<QString, QString>> rows;
    const QString start = m_run.Header(QStringLiteral("start"));
    rows.append({QStringLiteral("Start"), start.isEmpty() ? QStringLiteral("not recorded in the file") : start});
    const double duration = m_run.DurationSeconds();
    rows.append({QStringLiteral("Duration"),
                 duration < 0 ? QStringLiteral("not recorded in the file") : CDurationText::Format(duration)});
    if (m_run.Kind() == COpenedRun::EKind::Journal)
        rows.append({QStringLiteral("End"), m_run.EndText().isEmpty() ? QStringLiteral("not finished (no end line)")
                                                                      : m_run.EndText()});
    for (const auto& [key, label] : kKnownKeys) {
        if (key == QLatin1String("start")) continue;
        QString value = m_run.Header(key);
        if (value.isEmpty()) continue;
        if (key == QLatin1String("setpoint_rpm")) value += QStringLiteral(" rpm");
        rows.append({label, value});
    }
    for (auto it = m_run.HeaderMap().begin(); it != m_run.HeaderMap().end(); ++it) {
        const bool known = std::any_of(kKnownKeys.begin(), kKnownKeys.end(),
                                       [&](const auto& k) { return k.first == it.key(); });
        if (known || kHiddenKeys.contains(it.key()) || it.value().isEmpty()) continue;
        QString label = it.key();
        label.replace(QLatin1Char('_'), QLatin1Char(' '));
        if (!label.isEmpty()) label[0] = label[0].toUpper();
        rows.append({label, it.value()});
    }
    if (!m_run.BadLines().IsEmpty()) rows.append({QStringLiteral("Unreadable"), m_run.BadLines().Text()});
    return rows;
}

QList<QStringList> CRunReport::SummaryRows() const
{
    QList<QStringList> rows;
    rows.append({QStringLiteral("Samples"), QString::number(m_summary.Samples())});
    if (m_summary.Speed()) {
        rows.append({QStringLiteral(""), QStringLiteral("minimum"), QStringLiteral("mean"), QStringLiteral("maximum")});
        const SQuantityStats& s = *m_summary.Speed();
        rows.append({QStringLiteral("Speed (rpm)"), Number(s.dMin, 0), Number(s.dMean, 1), Number(s.dMax, 0)});
        const SQuantityStats& t = *m_summary.Torque();
        rows.append({QStringLiteral("Torque (Ncm)"), Number(t.dMin, 0), Number(t.dMean, 1), Number(t.dMax, 0)});
    }
    if (m_summary.DeltaTorque())
        rows.append({QStringLiteral("Δtorque since tare (Ncm)"), Signed(*m_summary.DeltaTorque()),
                     QStringLiteral("tare %1").arg(Number(*m_summary.Tare(), 1))});
    return rows;
}

QStringList CRunReport::EventLines() const
{
    QStringList lines;
    for (const SRunEvent& e : m_run.Events())
        lines << QStringLiteral("%1  after sample %2  %3")
                     .arg(CDurationText::Format(double(e.nElapsedMs) / 1000.0))
                     .arg(e.nAfterSamples)
                     .arg(e.strText);
    return lines;
}

QString CRunReport::FooterText() const
{
    return QStringLiteral("Vantoc %1 — %2").arg(QString::fromUtf8(vantoc::BuildVersion()),
                                                 QFileInfo(m_run.Path()).absoluteFilePath());
}

int CRunReport::PaintTexts(QPainter& painter, int top, const QString& heading, const QList<QStringList>& rows,
                           const QList<int>& columns) const
{
    const int width = PageSize().width() - 2 * kMargin;
    painter.setFont(TextFont(13, true));
    painter.drawText(QRect(kMargin, top, width, kLine + 4), Qt::AlignLeft | Qt::AlignVCenter, heading);
    top += kLine + 6;
    painter.setFont(TextFont(11));
    for (const QStringList& row : rows) {
        for (int c = 0; c < row.size() && c < columns.size(); ++c) {
            const int left = kMargin + columns[c];
            const int right = c + 1 < columns.size() ? kMargin + columns[c + 1] - 8 : kMargin + width;
            const QString text = painter.fontMetrics().elidedText(row[c], Qt::ElideMiddle, right - left);
            painter.drawText(QRect(left, top, right - left, kLine), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        top += kLine;
    }
    return top + 8;
}

void CRunReport::Paint(QPainter& painter) const
{
    const QSize page = PageSize();
    painter.fillRect(QRect(QPoint(0, 0), page), Qt::white);
    painter.setPen(Qt::black);
    int top = kMargin;
    painter.setFont(TextFont(20, true));
    painter.drawText(QRect(kMargin, top, page.width() - 2 * kMargin, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Run report: %1").arg(m_run.FileName()));
    top += 36;

    QList<QStringList> details;
    for (const auto& [label, value] : Details()) details.append({label, value});
    top = PaintTexts(painter, top, QStringLiteral("Run"), details, {0, 130});

    const plat::CRect rcSpeed(kMargin - 10, top, page.width() - kMargin + 10, top + kChartHeight);
    const plat::CRect rcTorque(rcSpeed.left, rcSpeed.bottom + 4, rcSpeed.right, rcSpeed.bottom + 4 + kChartHeight);
    {
        plat::CDC dc(&painter);
        CRunReportChart::Paint(&dc, rcSpeed, m_run, CRunReportChart::EQuantity::Speed);
        CRunReportChart::Paint(&dc, rcTorque, m_run, CRunReportChart::EQuantity::Torque);
    }
    painter.setPen(Qt::black);
    top = rcTorque.bottom + 12;
    top = PaintTexts(painter, top, QStringLiteral("Summary"), SummaryRows(), {0, 180, 280, 380});

    // Events fill what is left above the foot; the rest is counted.
    const int room = std::max(0, (page.height() - kMargin - kFooterHeight - top - kLine - 6) / kLine);
    QStringList events = EventLines();
    QList<QStringList> eventRows;
    const int shown = events.size() <= room ? int(events.size()) : std::max(0, room - 1);
    for (int i = 0; i < shown; ++i) eventRows.append({events[i]});
    if (shown < events.size()) eventRows.append({QStringLiteral("… and %1 more").arg(events.size() - shown)});
    if (events.isEmpty()) eventRows.append({QStringLiteral("none")});
    PaintTexts(painter, top, QStringLiteral("Events"), eventRows, {0});

    painter.setFont(TextFont(9));
    painter.setPen(QColor(80, 80, 80));
    const QRect foot(kMargin, page.height() - kMargin - kFooterHeight, page.width() - 2 * kMargin, kFooterHeight);
    painter.drawLine(foot.topLeft(), foot.topRight());
    painter.drawText(foot.adjusted(0, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, FooterText());
    painter.drawText(foot.adjusted(0, 4, 0, 0), Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Created %1").arg(QDateTime::currentDateTime().toString(Qt::ISODate)));
}

bool CRunReport::Save(const QString& path, QString* error) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return SavePdf(path, error);
    if (suffix == QLatin1String("png")) return SavePng(path, error);
    *error = QStringLiteral("%1: a report is written as .pdf or .png").arg(path);
    return false;
}

bool CRunReport::SavePdf(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(kDpi);
        writer.setTitle(QStringLiteral("Run report: %1").arg(m_run.FileName()));
        writer.setCreator(QStringLiteral("Vantoc %1").arg(QString::fromUtf8(vantoc::BuildVersion())));
        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = QStringLiteral("%1: the PDF could not be started").arg(path);
            file.cancelWriting();
            return false;
        }
        Paint(painter);
        painter.end();
    }
    if (!file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool CRunReport::SavePng(const QString& path, QString* error) const
{
    QImage image(PageSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(kDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kDpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        Paint(painter);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
