#pragma once

#include "run/BadLines.h"
#include "run/RunClock.h"

#include <QMap>
#include <QString>
#include <stdexcept>
#include <vector>

class CRunJournal;
class QIODevice;

// A file that holds no run that can be shown: missing, unreadable, a folder,
// empty, or neither a journal nor a saved run.
class CRunFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One sample of an opened run.
struct SRunSample {
    int nSpeed = 0;         // rpm
    int nTorque = 0;        // Ncm
    qint64 nElapsedMs = -1; // since Start; -1 where the file keeps no times
};

// One event of an opened run (Start, Stop, a mark, a tare...).
struct SRunEvent {
    int nAfterSamples = 0;  // sample rows before it: its place on the X axis
    qint64 nElapsedMs = 0;
    SWallTime wall;
    QString strText;
};

// A finished or unfinished run read back from a journal or from a Save
// file (.xls), whichever the file is: its samples, header details and
// events. The file is read once, front to back; bad lines are skipped and
// counted, never thrown.
class COpenedRun
{
public:
    enum class EKind { Journal, SaveFile };

    // Throws CRunFileError when the file holds no run.
    static COpenedRun Load(const QString& path);
    static COpenedRun FromJournal(const CRunJournal& journal);
    // Samples held in memory (a run recorded without a journal); name
    // stands for the file name.
    static COpenedRun FromSamples(const QString& name, std::vector<SRunSample> samples);

    EKind Kind() const { return m_eKind; }
    const QString& Path() const { return m_strPath; }
    // The file's name without its folder: for titles and legends.
    QString FileName() const;
    // Header values by key ("start", "operator", "port"...); empty when
    // absent. Save files have none.
    QString Header(const QString& key) const { return m_header.value(key); }
    const QMap<QString, QString>& HeaderMap() const { return m_header; }
    const std::vector<SRunSample>& Samples() const { return m_samples; }
    const std::vector<SRunEvent>& Events() const { return m_events; }
    const CBadLines& BadLines() const { return m_badLines; }
    // The journal's end line ("<time> <reason>"); empty for an unfinished
    // journal and for Save files.
    const QString& EndText() const { return m_strEnd; }
    // Seconds from Start to the last sample or event; negative when the
    // file keeps no times.
    double DurationSeconds() const;

private:
    friend class CSaveFileReader;

    EKind m_eKind = EKind::SaveFile;
    QString m_strPath;
    QMap<QString, QString> m_header;
    std::vector<SRunSample> m_samples;
    std::vector<SRunEvent> m_events;
    CBadLines m_badLines;
    QString m_strEnd;
};
