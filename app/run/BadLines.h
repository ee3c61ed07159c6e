#pragma once

#include <QString>
#include <vector>

// The lines a reader skipped: how many, and the numbers of the first few
// (from 1, as an editor counts them). Memory stays small however many
// lines are bad.
class CBadLines
{
public:
    static constexpr int kKept = 100;   // line numbers remembered
    static constexpr int kListed = 10;  // line numbers a message names

    void Add(qint64 lineNumber);
    qint64 Count() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    const std::vector<qint64>& Numbers() const { return m_numbers; }

    // "3 lines could not be read: 17, 18, 244"; past kListed numbers the
    // rest is counted ("... 244 and 57 more"). Empty when none was bad.
    QString Text() const;

private:
    qint64 m_nCount = 0;
    std::vector<qint64> m_numbers;
};
