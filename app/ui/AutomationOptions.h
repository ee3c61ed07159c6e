#pragma once

#include <QString>
#include <QStringList>

// The headless run's options for a program, the safety limits, the tare
// and the end-point rules. Parsed beside CCommandLine's own options.
class CAutomationOptions
{
public:
    // Whether args[i] is one of these options; if so i then stands on its
    // value and a wrong value is put into error.
    bool Take(const QStringList& args, int& i, QString& error);
    // After every option was taken: error names what does not fit.
    void Check(const QStringList& given, bool headless, QString& error) const;
    // The options' lines for --help.
    static QString Usage();

    static bool IsOption(const QString& arg);

    QString strProgram;        // --program FILE; empty: a plain --speed run
    double dMaxTorqueNcm = 0;  // 0: no torque limit
    double dLinkTimeoutS = 0;  // 0: the run waits on a silent line
    int nMaxSpeed = 0;         // 0: 2200
    bool bTare = false;
    bool bPlateau = false;
    double dPlateauRate = 0;   // Ncm/min
    double dPlateauS = 0;
    double dEndTorqueNcm = 0;  // 0: no threshold rule
    double dMinTimeS = 0;
    double dTrendWindowS = 60; // least-squares window of the torque's trend
};
