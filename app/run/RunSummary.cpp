#include "run/RunSummary.h"

#include "run/OpenedRun.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace {

template <typename Get>
SQuantityStats Stats(const std::vector<SRunSample>& samples, Get get)
{
    SQuantityStats s;
    s.dMin = std::numeric_limits<double>::infinity();
    s.dMax = -std::numeric_limits<double>::infinity();
    double sum = 0;
    for (const SRunSample& sample : samples) {
        const double v = get(sample);
        s.dMin = std::min(s.dMin, v);
        s.dMax = std::max(s.dMax, v);
        sum += v;
    }
    s.dMean = sum / double(samples.size());
    return s;
}

// The mean torque of up to n samples before index end.
std::optional<double> MeanBefore(const std::vector<SRunSample>& samples, int end, int n)
{
    end = std::clamp(end, 0, int(samples.size()));
    const int begin = std::max(0, end - n);
    if (end == begin) return std::nullopt;
    double sum = 0;
    for (int i = begin; i < end; ++i) sum += samples[size_t(i)].nTorque;
    return sum / double(end - begin);
}

}  // namespace

bool CRunSummary::IsTareEvent(const QString& text)
{
    static const QRegularExpression tare(QStringLiteral("^\\s*tare\\b"), QRegularExpression::CaseInsensitiveOption);
    return tare.match(text).hasMatch();
}

std::optional<double> CRunSummary::TareValue(const QString& text)
{
    // Only a number given in Ncm: other numbers in the text (a sample count)
    // are not the tare.
    static const QRegularExpression ncm(QStringLiteral("([-+]?\\d+(?:\\.\\d+)?)\\s*Ncm\\b"));
    const QRegularExpressionMatch m = ncm.match(text);
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

CRunSummary CRunSummary::Of(const COpenedRun& run)
{
    CRunSummary summary;
    const std::vector<SRunSample>& samples = run.Samples();
    summary.m_nSamples = int(samples.size());
    if (samples.empty()) return summary;
    summary.m_speed = Stats(samples, [](const SRunSample& s) { return double(s.nSpeed); });
    summary.m_torque = Stats(samples, [](const SRunSample& s) { return double(s.nTorque); });
    for (auto it = run.Events().rbegin(); it != run.Events().rend(); ++it) {
        if (!IsTareEvent(it->strText)) continue;
        summary.m_tare = TareValue(it->strText);
        if (!summary.m_tare) summary.m_tare = MeanBefore(samples, it->nAfterSamples, kTareSamples);
        if (summary.m_tare && it->nAfterSamples < int(samples.size()))
            summary.m_deltaTorque = samples.back().nTorque - *summary.m_tare;
        break;
    }
    return summary;
}
