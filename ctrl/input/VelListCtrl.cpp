#include "input/VelListCtrl.h"

#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"

#include <QHeaderView>
#include <algorithm>

using namespace plat;

CVelListCtrl::CVelListCtrl(QWidget* parent) : QTableWidget(parent), m_pHeader(new CVelHeaderCtrl(this))
{
    setHorizontalHeader(m_pHeader);
    verticalHeader()->hide();
    // Cells are edited only by the list's own editors.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    // An editor giving the focus to its parent gives it to the list.
    viewport()->setFocusProxy(this);
    connect(m_pHeader, &QHeaderView::sectionClicked, this, &CVelListCtrl::OnHeaderClicked);
    ApplyStyles();
}

CVelListCtrl::~CVelListCtrl()
{
    // The editors go with the viewport; they must not report to a list that is going.
    if (m_pInEdit) disconnect(m_pInEdit, nullptr, this, nullptr);
    if (m_pInComboBox) disconnect(m_pInComboBox, nullptr, this, nullptr);
}

BOOL CVelListCtrl::InitListControl()
{
    m_dwStyle = (m_dwStyle & ~(LVS_TYPEMASK | LVS_EDITLABELS)) | LVS_REPORT | LVS_EDITLABELS;
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return TRUE;
}

void CVelListCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    m_dwExStyle = dwExStyle;
    ApplyStyles();
}

void CVelListCtrl::ApplyStyles()
{
    setShowGrid((m_dwExStyle & LVS_EX_GRIDLINES) != 0);
    setSelectionBehavior((m_dwExStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                              : QAbstractItemView::SelectItems);
}

int CVelListCtrl::InsertColumn(int nCol, const CString& strHeading, int nFormat, int nWidth)
{
    EndEditors();
    nCol = std::clamp(nCol, 0, columnCount());
    insertColumn(nCol);
    setHorizontalHeaderItem(nCol, new QTableWidgetItem(strHeading));
    m_pHeader->SetItemFormat(nCol, nFormat & CVelHeaderCtrl::HDF_JUSTIFYMASK);
    if (nWidth >= 0) setColumnWidth(nCol, nWidth);
    return nCol;
}

BOOL CVelListCtrl::DeleteColumn(int nCol)
{
    EndEditors();
    m_attributes.erase(std::remove_if(m_attributes.begin(), m_attributes.end(),
                                      [nCol](const sListColAttribute& a) { return a.nColumn == nCol; }),
                       m_attributes.end());
    if (nCol < 0 || nCol >= columnCount()) return FALSE;
    removeColumn(nCol);
    return TRUE;
}

int CVelListCtrl::GetColCount() const
{
    return m_pHeader->count();
}

int CVelListCtrl::InsertItem(int nItem, const CString& strText)
{
    EndEditors();
    nItem = std::clamp(nItem, 0, rowCount());
    insertRow(nItem);
    setItem(nItem, 0, NewCell(0, strText));
    return nItem;
}

BOOL CVelListCtrl::DeleteItem(int nItem)
{
    EndEditors();
    if (nItem < 0 || nItem >= rowCount()) return FALSE;
    removeRow(nItem);
    return TRUE;
}

BOOL CVelListCtrl::DeleteAllItems()
{
    EndEditors();
    setRowCount(0);
    return TRUE;
}

BOOL CVelListCtrl::SetItemText(int nItem, int nSubItem, const CString& strText)
{
    if (nItem < 0 || nItem >= rowCount() || nSubItem < 0 || nSubItem >= columnCount()) return FALSE;
    if (QTableWidgetItem* cell = item(nItem, nSubItem))
        cell->setText(strText);
    else
        setItem(nItem, nSubItem, NewCell(nSubItem, strText));
    return TRUE;
}

QTableWidgetItem* CVelListCtrl::NewCell(int nColumn, const CString& strText) const
{
    // Cells take their column's alignment, as the header shows it.
    auto* cell = new QTableWidgetItem(strText);
    const int nFormat = m_pHeader->GetItemFormat(nColumn) & CVelHeaderCtrl::HDF_JUSTIFYMASK;
    Qt::Alignment align = Qt::AlignLeft;
    if (nFormat & CVelHeaderCtrl::HDF_CENTER)
        align = Qt::AlignHCenter;
    else if (nFormat & CVelHeaderCtrl::HDF_RIGHT)
        align = Qt::AlignRight;
    cell->setTextAlignment(align | Qt::AlignVCenter);
    return cell;
}

CString CVelListCtrl::GetItemText(int nItem, int nSubItem) const
{
    const QTableWidgetItem* cell = item(nItem, nSubItem);
    return cell ? cell->text() : CString();
}

CVelListCtrl::sListColAttribute& CVelListCtrl::AddAttribute(int nColumn, int nItem, int nEditType)
{
    RemoveAttribute(nColumn, nItem);
    sListColAttribute& attr = m_attributes.emplace_back();
    attr.nColumn = nColumn;
    attr.nItem = nItem;
    attr.nEditType = nEditType;
    return attr;
}

void CVelListCtrl::RemoveAttribute(int nColumn, int nItem)
{
    m_attributes.erase(std::remove_if(m_attributes.begin(), m_attributes.end(),
                                      [=](const sListColAttribute& a) { return a.nColumn == nColumn && a.nItem == nItem; }),
                       m_attributes.end());
}

void CVelListCtrl::SetComboColText(int nColumn, int nItem, const QStringList& strings)
{
    AddAttribute(nColumn, nItem, EDIT_COMBO).pStrings = std::make_unique<QStringList>(strings);
}

void CVelListCtrl::SetNumEdit(int nColumn, int nItem, int nMin, int nMax)
{
    sListColAttribute& attr = AddAttribute(nColumn, nItem, EDIT_NUMBER);
    attr.nMin = nMin;
    attr.nMax = nMax;
}

void CVelListCtrl::EnableItem(BOOL bEnable, int nColumn, int nItem)
{
    AddAttribute(nColumn, nItem, bEnable ? EDIT_ENABLED : EDIT_DISABLED);
}

int CVelListCtrl::GetItemTypeBy(int nColumn, int nItem, const sListColAttribute*& pAttr) const
{
    pAttr = nullptr;
    for (const sListColAttribute& attr : m_attributes) {
        if (attr.nColumn != nColumn) continue;
        if (attr.nItem == nItem) {
            pAttr = &attr;
            return attr.nEditType;
        }
        if (attr.nItem == -1) pAttr = &attr;
    }
    return pAttr ? pAttr->nEditType : EDIT_TEXT;
}

int CVelListCtrl::FindItemBy(int nEditType, int nColumn, int nItem) const
{
    for (size_t i = 0; i < m_attributes.size(); ++i) {
        const sListColAttribute& attr = m_attributes[i];
        if (attr.nEditType == nEditType && attr.nColumn == nColumn && attr.nItem == nItem) return static_cast<int>(i);
    }
    return -1;
}
