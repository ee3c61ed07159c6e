#include "platform/TextMeasures.h"

namespace plat {

const QFontMetrics& CTextMeasures::MetricsLocked(const QFont& font)
{
    if (!m_metrics) m_metrics.emplace(font);
    return *m_metrics;
}

QFontMetrics CTextMeasures::Metrics(const QFont& font)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return MetricsLocked(font);
}

int CTextMeasures::Advance(const QFont& font, const QString& text)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_advances.constFind(text);
    if (it != m_advances.constEnd()) return *it;
    if (m_advances.size() >= kMaxTexts) m_advances.clear();
    const int nAdvance = MetricsLocked(font).horizontalAdvance(text);
    m_advances.insert(text, nAdvance);
    return nAdvance;
}

}  // namespace plat
