#pragma once

#include "net/MqttSettings.h"
#include "ui/AutomationOptions.h"

#include <QString>
#include <QStringList>

// The options of the vantoc program.
class CCommandLine
{
public:
    static constexpr int kUsageExit = 64;  // EX_USAGE
    static constexpr int kDataExit = 65;   // EX_DATAERR: not a readable journal

    // Parses the arguments after the program name; on a problem Error()
    // says what is wrong.
    static CCommandLine Parse(const QStringList& args);
    static QString Usage();
    static QString Version();

    bool IsValid() const { return m_strError.isEmpty(); }
    const QString& Error() const { return m_strError; }

    bool m_bHelp = false;
    bool m_bVersion = false;
    bool m_bListPorts = false;  // print the serial devices present and exit
    QString m_strPort;  // empty: the dialog's default
    QString m_strBaud;
    bool m_bSendState = false;
    int m_nMotor = 0;
    int m_nStatus = 0;

    // A run without a window (--headless). The speed is range-checked by the
    // run itself, like the window's Start; exactly one of duration and
    // samples is set, or at most one with --program.
    bool m_bHeadless = false;
    int m_nSpeed = 0;           // rpm, clamped into int
    qint64 m_nDurationMs = 0;   // 0: not given
    int m_nSamples = 0;         // 0: not given
    QString m_strSave;          // empty: no export file
    SMqttSettings m_mqtt;       // --mqtt and its companions (headless only)
    CAutomationOptions m_automation;  // --program, limits, tare, end point (headless only)

    // The run journal, window and headless alike.
    bool m_bNoJournal = false;
    QString m_strJournalDir;    // empty: the default folder
    QString m_strNote;          // note of the next run's journal
    // Journal commands: list the folder, or write a journal's export file.
    bool m_bJournals = false;
    QString m_strExportJournal;
    QString m_strOut;

private:
    bool TakeHeadlessOption(const QStringList& args, int& i);
    void CheckHeadlessCombination(const QStringList& given);
    bool TakeMqttOption(const QStringList& args, int& i);
    void CheckMqttCombination(const QStringList& given);
    bool TakeJournalOption(const QStringList& args, int& i);
    void CheckJournalCombination(const QStringList& given);

    QString m_strError;
};
