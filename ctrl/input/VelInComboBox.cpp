#include "input/VelInComboBox.h"

#include "platform/DialogBuilder.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

using namespace plat;

CVelInComboBox::CVelInComboBox(int nItem, int nSubItem, const CString& strInitText, const QStringList* pStrings)
    : m_bTree(FALSE), m_nItem(nItem), m_nSubItem(nSubItem), m_strInitText(strInitText), m_pStrings(pStrings)
{
}

CVelInComboBox::CVelInComboBox(HTREEITEM hItem, int nParam, const CString& strInitText, const QStringList* pStrings)
    : m_bTree(TRUE), m_nItem(0), m_nSubItem(nParam), m_strInitText(strInitText), m_pStrings(pStrings), m_hItem(hItem)
{
}

CVelInComboBox::~CVelInComboBox() = default;

BOOL CVelInComboBox::Create(DWORD dwStyle, const CRect& rect, QWidget* pParent, int nID)
{
    if (!pParent) return FALSE;
    m_dwStyle = dwStyle;
    setParent(pParent);
    CDialogBuilder::SetDlgCtrlID(this, nID);
    OnCreate();
    const int nBoxHeight = std::min(sizeHint().height(), rect.Height());
    setGeometry(rect.left, rect.top, rect.Width(), nBoxHeight);
    m_nDroppedHeight = rect.Height();
    if (dwStyle & kStyleVisible) {
        show();
        setFocus(Qt::OtherFocusReason);
    }
    return TRUE;
}

void CVelInComboBox::OnCreate()
{
    setFont(m_pFont ? m_pFont->GetQFont() : parentWidget()->font());
    if (m_pStrings) addItems(*m_pStrings);
    setCurrentIndex(-1);
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(m_strInitText, Qt::CaseInsensitive)) {
            setCurrentIndex(i);
            break;
        }
    }
}

CRect CVelInComboBox::GetDroppedControlRect() const
{
    const QRect r = geometry();
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + m_nDroppedHeight);
}

void CVelInComboBox::showPopup()
{
    QComboBox::showPopup();
    // The open list hangs below the box (above it when the screen ends
    // first) and fills the rest of the rectangle the box was made with.
    QWidget* popup = view()->window();
    const int nListHeight = m_nDroppedHeight - height();
    if (!popup || nListHeight <= 0) return;
    QRect g = popup->geometry();
    g.setHeight(nListHeight);
    g.moveTop(mapToGlobal(QPoint(0, height())).y());
    const QScreen* screen = this->screen();
    if (screen && g.bottom() > screen->availableGeometry().bottom()) g.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1);
    popup->setGeometry(g);
}

void CVelInComboBox::SetUserFont(const LOGFONT& lf)
{
    auto font = std::make_unique<CFont>();
    if (font->CreateFontIndirect(&lf)) m_pFont = std::move(font);
}

void CVelInComboBox::FocusParent()
{
    if (QWidget* parent = parentWidget()) parent->setFocus(Qt::OtherFocusReason);
    // The focus loss has ended the edit, unless no focus event came.
    EndEdit();
}

bool CVelInComboBox::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            m_bTabDown = TRUE;
            FocusParent();
            return true;
        }
    }
    return QComboBox::event(e);
}

void CVelInComboBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        FocusParent();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void CVelInComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // The box's own open list takes the focus only while it is open.
    if (e->reason() == Qt::PopupFocusReason || view()->isVisible()) return;
    EndEdit();
}

void CVelInComboBox::EndEdit()
{
    if (m_bEnded) return;
    m_bEnded = true;
    const CString strText = currentIndex() >= 0 ? itemText(currentIndex()) : CString();
    sInPlaceNotify info = MakeEndEditNotify(this, m_bTree != FALSE, m_nItem, m_nSubItem, m_hItem, strText);
    emit endLabelEdit(info);
}
