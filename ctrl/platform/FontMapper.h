#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"

#include <QFont>
#include <QStringList>

// The bridge between LOGFONT records and Qt fonts.
namespace plat {

// Installed families to try for a Windows face name, best first:
// "Microsoft Sans Serif", "MS Shell Dlg", "System", "Tahoma", "Arial" and an
// empty name give the desktop sans serif; "宋体"/"SimSun" and the other
// Chinese faces give an installed CJK face (WenQuanYi Micro Hei first);
// "Courier New" and friends a monospace, "Times New Roman" a serif face. A CJK
// face always closes the list so Chinese text never falls back to boxes.
QUINDLE_EXPORT QStringList MapFaceName(const QString& face);

// The Qt font for a LOGFONT. lfHeight < 0 is the em (character) height in
// pixels, lfHeight > 0 the cell height (ascent + descent), 0 a default 12-px
// em. Weight 0 is normal. Escapement is not part of a QFont: the DC rotates.
QUINDLE_EXPORT QFont QFontFromLogFont(const LOGFONT& lf);

// A LOGFONT describing a Qt font (negative height: its pixel em size).
QUINDLE_EXPORT LOGFONT LogFontFromQFont(const QFont& font);

}  // namespace plat
