#pragma once

#include "platform/ColorRef.h"
#include "platform/WinDef.h"

#include <QString>
#include <QStringList>
#include <vector>

class COpenedRun;
class CVelGraphWnd;

// Earlier runs shown behind the current one for comparison: up to five, each
// a faded series at the front of the chart's series (drawn first, so under
// the current run) and named in the chart's legend. UI thread only.
class CChartOverlays
{
public:
    static constexpr int kMaxOverlays = 5;

    // False (nothing added) when five are shown already.
    bool Add(const QString& name, const COpenedRun& run);
    // An index outside the overlays is ignored.
    void Remove(int index);
    int Count() const { return int(m_overlays.size()); }
    QStringList Names() const;

    // The largest sample count of the overlays (0 without any).
    int XExtent() const;
    // The lowest and highest value of speed or torque over the overlays;
    // false without overlays.
    bool YRange(bool bSpeed, double& dMin, double& dMax) const;

    // Puts the overlays in front of the chart's series. The first nPlaced
    // series are overlays placed before and are replaced; every series after
    // them keeps its points, look, legend label and order, and the marker
    // lines stay. The legend shows while there are overlays.
    void Place(CVelGraphWnd* pChart, bool bSpeed, int nPlaced) const;

    // The colour of overlay index: a hue of its own mixed toward the plot's
    // background, so the current run stands out.
    static plat::COLORREF FadedColor(int index, plat::COLORREF crBackground);

private:
    struct SOverlay {
        QString strName;
        std::vector<double> x;
        std::vector<double> speed;
        std::vector<double> torque;
    };
    std::vector<SOverlay> m_overlays;
};
