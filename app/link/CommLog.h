#pragma once

#include <QByteArray>
#include <QString>
#include <mutex>

// The communication log "Flu_CommOutput.txt": every frame sent and every reply
// received, as hexadecimal text. Appends never create the file, so a log that
// someone deleted stays gone until the next Reset.
//
// Location: the directory given by SetDirectory, else $VANTOC_LOG_DIR, else
// beside the program when that folder is writable, else
// $XDG_STATE_HOME/vantoc (default ~/.local/state/vantoc).
//
// All members may be called from any thread.
class CCommLog
{
public:
    static constexpr const char* kFileName = "Flu_CommOutput.txt";

    // Overrides the location for this process (tests, embedding programs);
    // an empty directory restores the default choice.
    static void SetDirectory(const QString& directory);

    // The full path the next Reset will use.
    static QString FilePath();

    // Creates the file, emptying it if it exists. False when it cannot.
    bool Reset();

    // Appends the bytes as they stand; silently drops them when the file
    // cannot be opened without creating it.
    void Append(const QByteArray& text);

    QString Path() const;

private:
    static QString DefaultDirectory();

    mutable std::mutex m_lock;  // guards m_strPath and serialises appends
    QString m_strPath;
};
