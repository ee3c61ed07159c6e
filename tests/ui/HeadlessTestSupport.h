#pragma once

// Helpers shared by the tests of headless runs.

#include "StirrerSimulator.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace headless_test {

using Frame = std::array<std::uint8_t, 6>;

inline const Frame kHandshake{0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0};
inline const Frame kStatus{0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2};
inline const Frame kSpeedZero{0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1};
inline const QByteArray kHeader = "Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n";

// Output that calls back on every write, while the run is still going.
class CCaptureDevice : public QIODevice
{
public:
    CCaptureDevice() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    QByteArray m_data;
    std::function<void()> m_onWrite;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_data.append(data, size);
        if (m_onWrite) m_onWrite();
        return size;
    }
};

inline std::vector<Frame> FrameBytes(const CStirrerSimulator& sim)
{
    std::vector<Frame> frames;
    for (const SimFrame& f : sim.Frames()) frames.push_back(f.bytes);
    return frames;
}

inline int Count(const std::vector<Frame>& frames, const Frame& frame)
{
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The rows of printed output; empty when any line is not a well-formed row
// numbered from 1 in order.
struct SRow {
    int nNumber, nSpeed, nTorque;
};
inline QList<SRow> ParseRows(const QByteArray& text)
{
    static const QRegularExpression row(QStringLiteral("^(\\d+)\\t(-?\\d+)\\t(-?\\d+)\\r$"));
    QList<SRow> rows;
    QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || !lines.takeLast().isEmpty()) return {};
    for (const QByteArray& line : lines) {
        const auto match = row.match(QString::fromLatin1(line));
        if (!match.hasMatch() || match.captured(1).toInt() != rows.size() + 1) return {};
        rows.append({match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()});
    }
    return rows;
}

}  // namespace headless_test
