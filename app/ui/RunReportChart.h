#pragma once

#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QString>

class COpenedRun;
namespace plat {
class CDC;
}

// One of a report's two charts: a chart model of the library, without a
// window, filled with one quantity of a run, its events as marker lines,
// laid out in a rectangle and painted there as lines (vector in a PDF).
class CRunReportChart
{
public:
    enum class EQuantity { Speed, Torque };

    static void Paint(plat::CDC* pDC, plat::CRect rc, const COpenedRun& run, EQuantity eQuantity);
};
