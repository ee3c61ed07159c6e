#pragma once

#include "platform/QuindleExport.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <mutex>
#include <optional>

namespace plat {

// The measures of text in one font, kept with the font: a chart measures
// the same scale labels at every paint, and each measuring would shape the
// text again and look the font up anew. Safe to share between threads.
class QUINDLE_EXPORT CTextMeasures {
public:
    // The font's metrics, as QFontMetrics(font) gives them.
    QFontMetrics Metrics(const QFont& font);
    // QFontMetrics(font).horizontalAdvance(text).
    int Advance(const QFont& font, const QString& text);

private:
    const QFontMetrics& MetricsLocked(const QFont& font);

    // Strings kept at the most; a font's texts start over beyond it.
    static constexpr int kMaxTexts = 512;

    std::mutex m_mutex;
    std::optional<QFontMetrics> m_metrics;
    QHash<QString, int> m_advances;
};

}  // namespace plat
