#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

// The number check of the edit's number modes, without a widget: what a
// typed text means for a field with a range and a number of decimals.
class QUINDLE_EXPORT CVelEditNumberRule {
public:
    enum eVerdict {
        Accepted,         // a number inside the range
        Empty,            // nothing, or a lone "-" (message 4004)
        Malformed,        // misplaced "-" or ".", superfluous leading zeros (4005)
        TooManyDecimals,  // more decimals than allowed: back without a word
        AboveMaximum,     // more than the maximum (4006)
        BelowMinimum,     // less than the minimum (4007)
    };

    // A value may leave the range by this much and still count as inside.
    static constexpr double kTolerance = 0.00001;

    static eVerdict Judge(const plat::CString& strText, plat::UINT nPrecision, double dMin, double dMax);

    // The number at the start of the text as the C library reads it (leading
    // blanks skipped), 0 when there is none.
    static double LeadingDouble(const plat::CString& strText);
    static long LeadingLong(const plat::CString& strText);
    // The value with nPrecision decimals ("%.*f").
    static plat::CString Format(double dValue, plat::UINT nPrecision);
};
