#include "input/MenuButton.h"

#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/OwnerDrawItem.h"
#include "platform/SysColor.h"

using namespace plat;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x7F7F7F;
}  // namespace

CMenuButton::CMenuButton(QWidget* parent) : CMenuButton(QString(), parent) {}

CMenuButton::CMenuButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), m_crFace(GetSysColor(COLOR_BTNFACE))
{
    setFlat(true);
    // Enter and leave repaint, for the raised edge under the pointer.
    setAttribute(Qt::WA_Hover);
}

void CMenuButton::SetFaceColor(COLORREF crFace, BOOL bRedraw)
{
    m_crFace = crFace;
    if (bRedraw) repaint();
}

UINT CMenuButton::ItemState() const
{
    UINT nState = 0;
    if (isDown() || isChecked()) nState |= ODS_SELECTED;
    if (!isEnabled()) nState |= ODS_DISABLED;
    return nState;
}

void CMenuButton::paintEvent(QPaintEvent*)
{
    CDC dc(this);
    const CRect rc(rect());
    dc.FillSolidRect(rc, m_crFace);
    const UINT nState = ItemState();
    if (nState & ODS_SELECTED)
        dc.Draw3dRect(rc, kGrey, kWhite);
    else if (underMouse() && isEnabled())
        dc.Draw3dRect(rc, kWhite, kGrey);

    CFont font;
    font.CreateFromQFont(this->font());
    CFont* pOldFont = dc.SelectObject(&font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor((nState & ODS_DISABLED) ? kGrey : GetSysColor(COLOR_BTNTEXT));
    CRect rcText = rc;
    if (nState & ODS_SELECTED) rcText.OffsetRect(1, 1);
    dc.DrawText(text(), &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
    dc.SelectObject(pOldFont);
}
