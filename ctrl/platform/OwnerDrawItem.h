#pragma once

#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <cstdint>

namespace plat {

class CDC;
class CFont;

// Owner-draw item kinds and states, with their Windows values.
inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_GRAYED = 0x0002;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_CHECKED = 0x0008;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;

// What an owner-drawn item is asked for its size: the owner fills in
// itemWidth and itemHeight (pixels). font is the font the item is drawn in.
struct MEASUREITEMSTRUCT {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    std::uintptr_t itemData = 0;
    const CFont* font = nullptr;  // not owned; null: the application font
};

// One owner-drawn item to paint: the DC (not owned) with the item's font
// selected, the item's rectangle and its ODS_ state bits.
struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    CDC* pDC = nullptr;
    CRect rcItem;
    std::uintptr_t itemData = 0;
};

}  // namespace plat
