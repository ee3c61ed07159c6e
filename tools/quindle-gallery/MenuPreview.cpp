#include "MenuPreview.h"

#include "input/TarnMenu.h"
#include "platform/DC.h"
#include "platform/Font.h"

#include <algorithm>

using namespace plat;

namespace {

struct PreviewItem {
    const char* text;
    UINT id;
    UINT state;
};

const PreviewItem kItems[] = {
    {"Open run...", 0x8001, 0},
    {"", 0, 0},
    {"Start", 0x8002, ODS_SELECTED},
    {"Stop", 0x8003, ODS_DISABLED | ODS_GRAYED},
    {"Save as...", 0x8004, 0},
};

constexpr int kFrame = 2;

}  // namespace

MenuPreview::MenuPreview(CTarnMenu* pMenu, QWidget* parent) : QWidget(parent), m_pMenu(pMenu) {}

QSize MenuPreview::sizeHint() const
{
    CFont font;
    font.CreateFromQFont(this->font());
    int width = 0, height = 2 * kFrame;
    for (const PreviewItem& p : kItems) {
        tagTarnMenuItem item{QString::fromUtf8(p.text), p.id, -1, 0};
        MEASUREITEMSTRUCT mis;
        mis.itemData = reinterpret_cast<std::uintptr_t>(&item);
        mis.font = &font;
        m_pMenu->MeasureItem(&mis);
        width = std::max(width, int(mis.itemWidth));
        height += int(mis.itemHeight);
    }
    return {width + 2 * kFrame + 40, height};
}

void MenuPreview::paintEvent(QPaintEvent*)
{
    CDC dc(this);
    CFont font;
    font.CreateFromQFont(this->font());
    CFont* pOldFont = dc.SelectObject(&font);
    dc.FillSolidRect(CRect(rect()), m_pMenu->GetMenuColor());
    int y = kFrame;
    for (const PreviewItem& p : kItems) {
        tagTarnMenuItem item{QString::fromUtf8(p.text), p.id, -1, 0};
        MEASUREITEMSTRUCT mis;
        mis.itemData = reinterpret_cast<std::uintptr_t>(&item);
        mis.font = &font;
        m_pMenu->MeasureItem(&mis);
        DRAWITEMSTRUCT dis;
        dis.pDC = &dc;
        dis.rcItem = CRect(kFrame, y, width() - kFrame, y + int(mis.itemHeight));
        dis.itemState = p.state;
        dis.itemData = reinterpret_cast<std::uintptr_t>(&item);
        m_pMenu->DrawItem(&dis);
        y += int(mis.itemHeight);
    }
    dc.SelectObject(pOldFont);
}
