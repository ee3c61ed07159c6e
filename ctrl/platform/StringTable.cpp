#include "platform/StringTable.h"

namespace plat {

namespace {

QString Unescape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar e = text[++i];
        if (e == u'n') out += u'\n';
        else if (e == u't') out += u'\t';
        else if (e == u's') out += u' ';
        else if (e == u'\\') out += u'\\';
        else out += c, out += e;
    }
    return out;
}

}  // namespace

QStringList CStringTable::Parse(const QByteArray& utf8)
{
    QStringList problems;
    const QStringList lines = QString::fromUtf8(utf8).split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#')) continue;
        qsizetype i = 0;
        while (i < line.size() && line[i].isDigit()) ++i;
        bool ok = false;
        const UINT id = line.left(i).toUInt(&ok);
        if (!ok || i >= line.size() || !line[i].isSpace()) {
            problems << QStringLiteral("line %1: expected an id, white space and a text").arg(n + 1);
            continue;
        }
        while (i < line.size() && line[i].isSpace()) ++i;
        if (!m_strings.emplace(id, Unescape(line.mid(i))).second)
            problems << QStringLiteral("line %1: id %2 appears again").arg(n + 1).arg(id);
    }
    return problems;
}

QString CStringTable::Text(UINT id) const
{
    auto it = m_strings.find(id);
    return it == m_strings.end() ? QString() : it->second;
}

}  // namespace plat
