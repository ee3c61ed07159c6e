#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

namespace plat {

// A library control that takes a template control's place and reads the
// template's window style, as the style bits of the control it replaces
// would have reached it. The dialog builder calls it once, at creation.
class QUINDLE_EXPORT ITemplateStyled {
public:
    virtual ~ITemplateStyled() = default;
    virtual void ApplyTemplateStyle(DWORD dwStyle) = 0;
};

}  // namespace plat
