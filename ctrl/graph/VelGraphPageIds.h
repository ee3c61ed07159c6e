#pragma once

#include "platform/DialogTemplate.h"

// Control ids of the chart's property pages (templates 4000, 4002, 4003)
// and where the templates are found.
namespace VelGraphPageIds {

inline constexpr int IDC_SHOW_LEGEND = 2001;
inline constexpr int IDC_SHOW_MARKS = 2002;
inline constexpr int IDC_SHOW_TIP = 2003;
inline constexpr int IDC_AXIS_MIN = 2004;
inline constexpr int IDC_AXIS_MAX = 2005;
inline constexpr int IDC_TITLE = 2008;
inline constexpr int IDC_MAJOR_GRID = 2009;
inline constexpr int IDC_MINOR_GRID = 2010;
inline constexpr int IDC_MULTILINE = 2017;
inline constexpr int IDC_LEGEND_LEFT = 2019;
inline constexpr int IDC_LEGEND_RIGHT = 2020;
inline constexpr int IDC_LEGEND_TOP = 2021;
inline constexpr int IDC_LEGEND_BOTTOM = 2022;
inline constexpr int IDC_FONT = 2025;
inline constexpr int IDC_LOGARITHM = 2028;
inline constexpr int IDC_AUTO_CALC = 2029;

// Messages of the axis pages and the sheet's caption (library strings).
inline constexpr unsigned IDS_LOG_NOT_POSITIVE = 4010;
inline constexpr unsigned IDS_RANGE_INVALID = 4011;
inline constexpr unsigned IDS_SHEET_CAPTION = 4012;

// The library's template with this id (an invalid one when it is missing).
inline plat::CDialogTemplate LoadPageTemplate(int nId)
{
    return plat::CDialogTemplate::Load(QStringLiteral(":/quindle/dialogs/%1.json").arg(nId));
}

}  // namespace VelGraphPageIds
