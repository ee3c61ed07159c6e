#pragma once

#include <QString>

// What a journal's header says about its run. Texts are written as given,
// with line breaks turned into spaces.
struct SJournalHeader {
    QString strProgram;   // e.g. "vantoc 1.0.0"
    QString strHost;
    QString strUser;
    QString strPort;
    int nBaud = 0;
    int nSetPoint = 0;    // rpm
    QString strOperator;
    QString strSample;
    QString strNote;
};
