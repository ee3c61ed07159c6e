#pragma once

#include <QString>
#include <QStringList>

// The folder of run journals: where it is, what is in it, which journals
// were left unfinished, and putting one aside.
class CJournalStore
{
public:
    static constexpr const char* kSuffix = ".vrun";
    static constexpr const char* kDiscarded = "discarded";

    // $XDG_DATA_HOME/vantoc/runs (default ~/.local/share/vantoc/runs).
    static QString DefaultDir();

    explicit CJournalStore(QString dir) : m_strDir(std::move(dir)) {}
    const QString& Dir() const { return m_strDir; }

    // The journals in the folder (not in discarded/), oldest name first.
    QStringList Journals() const;
    // Journals without an end line that no running program holds open.
    QStringList Unfinished() const;
    // Moves a journal into discarded/ (a free name there); false with the
    // reason in *error.
    bool Discard(const QString& path, QString* error) const;

    // True while a program writes the journal (it holds its lock).
    static bool IsHeld(const QString& path);

private:
    QString m_strDir;
};
