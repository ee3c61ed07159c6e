#pragma once

#include <QIODevice>
#include <QString>
#include <cstring>
#include <vector>

// Splits what a device holds into lines at LF, a chunk at a time, through a
// buffer of a fixed size: however long a line is, memory stays bounded. A
// line longer than the most kept is handed on as overlong, without its
// bytes. A last line without its LF is handed on as incomplete when it has
// any bytes.
class CLineReader
{
public:
    // take(const char* line, int length, bool overlong, bool complete) for
    // each line, LF left out; nMaxLength: the longest line kept. False when
    // the device fails, with its reason in *error.
    template <class Take>
    static bool Read(QIODevice& device, int nMaxLength, Take take, QString* error)
    {
        std::vector<char> line(static_cast<size_t>(nMaxLength > 0 ? nMaxLength : 1));
        std::vector<char> chunk(kChunk);
        int length = 0;
        bool overlong = false;
        for (;;) {
            const qint64 n = device.read(chunk.data(), kChunk);
            if (n < 0) {
                *error = device.errorString();
                return false;
            }
            if (n == 0) break;
            const char* p = chunk.data();
            const char* end = p + n;
            while (p < end) {
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
                const char* stop = lf ? lf : end;
                const qint64 part = stop - p;
                if (!overlong && length + part <= nMaxLength) {
                    std::memcpy(line.data() + length, p, size_t(part));
                    length += int(part);
                } else {
                    overlong = true;
                }
                if (!lf) break;
                take(static_cast<const char*>(line.data()), length, overlong, true);
                length = 0;
                overlong = false;
                p = lf + 1;
            }
        }
        if (length > 0 || overlong) take(static_cast<const char*>(line.data()), length, overlong, false);
        return true;
    }

private:
    static constexpr qint64 kChunk = 1 << 16;
};
