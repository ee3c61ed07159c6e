#pragma once

#include <QString>

class QWidget;

// The one question closing the main window asks while the motor may turn.
// Cancel is the default and the Escape answer, so a stray Escape or Enter
// never ends a run.
class CCloseQuestion
{
public:
    enum class EAnswer { StopAndClose, LeaveRunningAndClose, Cancel };

    static const char* const kStopText;
    static const char* const kLeaveText;

    // Modal; parent may be null.
    static EAnswer Ask(QWidget* parent);
};
