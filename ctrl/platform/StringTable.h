#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QByteArray>
#include <QStringList>
#include <map>

namespace plat {

// A module's string table, read from a UTF-8 text file:
//
//   # a comment; blank lines are ignored
//   4004	数值不能为空！
//   101	About Overhead Rotaque(&A)...
//
// Each entry is one line: the decimal id, white space (a tab by habit), then
// the text up to the end of the line. In the text, \n is a line feed, \t a
// tab, \s a space (for texts that begin or end with one) and \\ a backslash.
// An id may appear once; a repeated id keeps its first text and is reported.
class QUINDLE_EXPORT CStringTable {
public:
    CStringTable() = default;

    // Reads entries from the file contents; returns the problems found
    // ("line 3: ..."), empty when the text is clean. Good lines are kept.
    QStringList Parse(const QByteArray& utf8);

    bool Contains(UINT id) const { return m_strings.count(id) != 0; }
    // The text of id, or an empty string.
    QString Text(UINT id) const;
    std::size_t Size() const { return m_strings.size(); }

private:
    std::map<UINT, QString> m_strings;
};

}  // namespace plat
