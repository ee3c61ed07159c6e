// The editable list's click path, its in-place editors and the commit.
#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "input/VelListCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

using namespace plat;

CRect CVelListCtrl::GetItemBounds(int nItem) const
{
    const int nTop = rowViewportPosition(nItem);
    const int nLeft = -horizontalScrollBar()->value();
    return CRect(nLeft, nTop, nLeft + m_pHeader->length(), nTop + rowHeight(nItem));
}

int CVelListCtrl::HitTestColBy(int nItem, const QPoint& point) const
{
    const CRect rcItem = GetItemBounds(nItem);
    if (!rcItem.PtInRect(CPoint(point.x(), point.y()))) return 0;
    int x = rcItem.left;
    for (int nCol = 0; nCol < GetColCount(); ++nCol) {
        const int nWidth = m_pHeader->sectionSize(nCol);
        // A point on a boundary belongs to the column on its left.
        if (x <= point.x() && point.x() <= x + nWidth) return nCol;
        x += nWidth;
    }
    return 0;
}

CRect CVelListCtrl::GetSubItemRect(int nItem, int nColumn) const
{
    const CRect rcItem = GetItemBounds(nItem);
    const int nLeft = m_pHeader->sectionPosition(nColumn);
    CRect rc(nLeft, rcItem.top, nLeft + m_pHeader->sectionSize(nColumn), rcItem.bottom);
    rc.OffsetRect(-horizontalScrollBar()->value(), 0);
    return rc;
}

void CVelListCtrl::OnNMClick(const QPoint& point)
{
    const int nItem = rowAt(point.y());
    if (nItem < 0 || !GetItemBounds(nItem).PtInRect(CPoint(point.x(), point.y()))) return;
    const int nColumn = HitTestColBy(nItem, point);
    const sListColAttribute* pAttr = nullptr;
    switch (GetItemTypeBy(nColumn, nItem, pAttr)) {
    case EDIT_TEXT:
    case EDIT_NUMBER: EditSubItemLabel(nItem, nColumn, pAttr ? pAttr->nEditType : EDIT_TEXT, pAttr); break;
    case EDIT_COMBO: ComboSubItemLabel(nItem, nColumn, pAttr); break;
    default: break;
    }
    emit listClicked();
}

void CVelListCtrl::EditSubItemLabel(int nItem, int nColumn, int nEditType, const sListColAttribute* pAttr)
{
    EndEditors();
    auto* pEdit = new CVelInEdit(nItem, nColumn, GetItemText(nItem, nColumn));
    m_pInEdit = pEdit;
    if (nEditType == EDIT_NUMBER && pAttr) pEdit->EnableNumEdit(pAttr->nMin, pAttr->nMax);
    connect(pEdit, &CVelInEdit::endLabelEdit, this,
            [this, pEdit](sInPlaceNotify& info) { OnLvnEndlabeledit(pEdit, info); });
    pEdit->Create(CVelInEdit::kListStyle, GetSubItemRect(nItem, nColumn), viewport(), kEditorId);
}

void CVelListCtrl::ComboSubItemLabel(int nItem, int nColumn, const sListColAttribute* pAttr)
{
    EndEditors();
    CRect rc = GetSubItemRect(nItem, nColumn);
    rc.bottom = rc.top + kDropDownHeight;
    auto* pCombo = new CVelInComboBox(nItem, nColumn, GetItemText(nItem, nColumn), pAttr ? pAttr->pStrings.get() : nullptr);
    m_pInComboBox = pCombo;
    connect(pCombo, &CVelInComboBox::endLabelEdit, this,
            [this, pCombo](sInPlaceNotify& info) { OnLvnEndlabeledit(pCombo, info); });
    pCombo->Create(CVelInComboBox::kListStyle, rc, viewport(), kEditorId);
}

void CVelListCtrl::OnLvnEndlabeledit(QObject* pEditor, sInPlaceNotify& info)
{
    // Only the editor that ended is committed; it goes once its focus-loss
    // handling has returned.
    QWidget* pEnded = nullptr;
    if (pEditor == m_pInEdit) {
        pEnded = m_pInEdit;
        m_pInEdit = nullptr;
    } else if (pEditor == m_pInComboBox) {
        pEnded = m_pInComboBox;
        m_pInComboBox = nullptr;
    }
    if (!pEnded) return;
    pEnded->hide();
    pEnded->deleteLater();

    SetItemText(info.iItem, info.iSubItem, m_bClear ? CString() : info.strText);
    info.code = LVN_SETDISPINFOA;
    info.hwndFrom = this;
    emit editCommitted(info.iItem, info.iSubItem, info.strText);
}

void CVelListCtrl::EndEditors()
{
    if (!m_pInEdit && !m_pInComboBox) return;
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    // Without an active window no focus event ends them: end them here.
    if (m_pInEdit) m_pInEdit->EndEdit();
    if (m_pInComboBox) m_pInComboBox->EndEdit();
}

void CVelListCtrl::mousePressEvent(QMouseEvent* e)
{
    m_bPressed = e->button() == Qt::LeftButton;
    QTableWidget::mousePressEvent(e);
}

void CVelListCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    QTableWidget::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || !m_bPressed) return;
    m_bPressed = false;
    OnNMClick(e->position().toPoint());
}

void CVelListCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_bPressed = false;
    e->accept();
}

void CVelListCtrl::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down: e->accept(); return;
    default: QTableWidget::keyPressEvent(e);
    }
}

void CVelListCtrl::scrollContentsBy(int dx, int dy)
{
    EndEditors();
    QTableWidget::scrollContentsBy(dx, dy);
}
