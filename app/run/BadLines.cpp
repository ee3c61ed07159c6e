#include "run/BadLines.h"

#include <QStringList>

void CBadLines::Add(qint64 lineNumber)
{
    ++m_nCount;
    if (int(m_numbers.size()) < kKept) m_numbers.push_back(lineNumber);
}

QString CBadLines::Text() const
{
    if (m_nCount == 0) return {};
    QStringList listed;
    for (size_t i = 0; i < m_numbers.size() && int(i) < kListed; ++i) listed << QString::number(m_numbers[i]);
    QString text = QStringLiteral("%1 %2 could not be read: %3")
                       .arg(m_nCount)
                       .arg(m_nCount == 1 ? QStringLiteral("line") : QStringLiteral("lines"), listed.join(QStringLiteral(", ")));
    const qint64 rest = m_nCount - listed.size();
    if (rest > 0) text += QStringLiteral(" and %1 more").arg(rest);
    return text;
}
