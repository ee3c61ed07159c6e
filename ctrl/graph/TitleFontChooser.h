#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

class QWidget;

// The font dialog of a chart title, as the property pages run it.
class QUINDLE_EXPORT CTitleFontChooser {
public:
    // Opens the font dialog on *pFont, preset to crColor. On OK the chosen
    // colour goes to crColor and the chosen font replaces *pFont at once;
    // bVertical keeps the text running upward (escapement and orientation
    // 900). TRUE when the user confirmed. pFont null: nothing happens.
    static plat::BOOL Choose(QWidget* pParent, plat::LOGFONT* pFont, plat::COLORREF& crColor, bool bVertical);
};
