#include "graph/TitleFontChooser.h"

#include "platform/Dialog.h"
#include "platform/FontDialog.h"

namespace {
constexpr plat::LONG kUpward = 900;  // tenths of a degree
}

plat::BOOL CTitleFontChooser::Choose(QWidget* pParent, plat::LOGFONT* pFont, plat::COLORREF& crColor, bool bVertical)
{
    if (!pFont) return plat::FALSE;
    plat::CFontDialog dialog(pFont, plat::CF_EFFECTS | plat::CF_SCREENFONTS | plat::CF_INITTOLOGFONTSTRUCT, pParent);
    dialog.SetColor(crColor);
    if (dialog.DoModal() != plat::IDOK) return plat::FALSE;
    crColor = dialog.GetColor();
    plat::LOGFONT lf;
    dialog.GetCurrentFont(&lf);
    if (bVertical) lf.lfEscapement = lf.lfOrientation = kUpward;
    *pFont = lf;
    return plat::TRUE;
}
