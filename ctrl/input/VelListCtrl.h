#pragma once

#include "input/InPlaceNotify.h"
#include "input/VelHeaderCtrl.h"
#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"

#include <QPointer>
#include <QStringList>
#include <QTableWidget>
#include <memory>
#include <vector>

// A report-view list whose cells are edited in place: a click on a cell opens
// a text edit, a number edit with a range or a drop-down list of fixed
// strings over it, as recorded per column or per cell; marked cells open
// nothing. An edit ends when its editor loses the focus (Enter, Tab, Escape,
// a click elsewhere, scrolling); the list then stores the text in the cell
// and emits editCommitted. Every click on a row emits listClicked.
//
// Attributes: setting an attribute of a cell or a column (item -1) replaces
// whatever attribute that exact cell or column had. A cell attribute beats
// its column's attribute. An enabled and a disabled mark both open no
// editor; they differ only in the type the lookup reports, for the owner.
//
// Sorting: SortItems orders the rows by one column, comparing dates
// (dd/mm/yyyy) when every text of the column is one, numbers when every text
// is a whole number, and text otherwise; cell attributes follow their rows.
// With EnableHeaderSort a click on a header item sorts by it (again: the
// other way round) and shows the arrow.
class QUINDLE_EXPORT CVelListCtrl : public QTableWidget {
    Q_OBJECT

public:
    // Edit types of an attribute.
    enum { EDIT_ENABLED = 0, EDIT_DISABLED = 1, EDIT_TEXT = 2, EDIT_NUMBER = 3, EDIT_COMBO = 4 };
    // Column formats.
    enum { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };
    // Styles InitListControl sets.
    static constexpr plat::DWORD LVS_REPORT = 0x0001;
    static constexpr plat::DWORD LVS_TYPEMASK = 0x0003;
    static constexpr plat::DWORD LVS_EDITLABELS = 0x0200;
    static constexpr plat::DWORD LVS_EX_GRIDLINES = 0x0001;
    static constexpr plat::DWORD LVS_EX_FULLROWSELECT = 0x0020;
    // The control identifier of the in-place editors.
    static constexpr int kEditorId = 1003;
    // Height of the drop-down with its list open, in pixels.
    static constexpr int kDropDownHeight = 100;

    // One editing attribute of a column (item -1) or a cell.
    struct sListColAttribute {
        int nColumn = 0;
        int nItem = -1;
        int nEditType = EDIT_TEXT;
        int nMin = 0;  // number edit
        int nMax = 0;
        std::unique_ptr<QStringList> pStrings;  // drop-down: its own copy of the choices
    };

    explicit CVelListCtrl(QWidget* parent = nullptr);
    ~CVelListCtrl() override;

    // Report view with grid lines and full-row selection. Always TRUE.
    plat::BOOL InitListControl();
    plat::DWORD GetStyle() const { return m_dwStyle; }
    plat::DWORD GetExtendedStyle() const { return m_dwExStyle; }
    void SetExtendedStyle(plat::DWORD dwExStyle);

    CVelHeaderCtrl* GetHeaderCtrl() const { return m_pHeader; }

    // Columns and items, as a report list offers them. Inserting or deleting
    // rows or columns first commits an open editor to the cell it was opened on.
    int InsertColumn(int nCol, const plat::CString& strHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    // Removes the column's attributes, then the column. Attributes of later
    // columns keep their column numbers.
    plat::BOOL DeleteColumn(int nCol);
    int GetColCount() const;
    int InsertItem(int nItem, const plat::CString& strText);
    plat::BOOL DeleteItem(int nItem);
    plat::BOOL DeleteAllItems();
    int GetItemCount() const { return rowCount(); }
    plat::BOOL SetItemText(int nItem, int nSubItem, const plat::CString& strText);
    plat::CString GetItemText(int nItem, int nSubItem) const;

    // Attributes; nItem -1 stands for every row of the column.
    void SetComboColText(int nColumn, int nItem, const QStringList& strings);
    void SetNumEdit(int nColumn, int nItem, int nMin, int nMax);
    // bEnable 0 marks the cell disabled, otherwise enabled; neither opens an editor.
    void EnableItem(plat::BOOL bEnable, int nColumn, int nItem);
    const std::vector<sListColAttribute>& GetAttributes() const { return m_attributes; }

    // With the clear state on, a committed edit leaves its cell empty (the
    // notification still carries the text the editor ended with).
    void SetClear(plat::BOOL bClear) { m_bClear = bClear; }
    plat::BOOL GetClearState() const { return m_bClear; }

    CVelInEdit* GetInEdit() const { return m_pInEdit; }
    CVelInComboBox* GetInComboBox() const { return m_pInComboBox; }

    void SortItems(int nColumn, bool bAscending);
    void EnableHeaderSort(plat::BOOL bEnable) { m_bHeaderSort = bEnable; }
    plat::BOOL IsHeaderSortEnabled() const { return m_bHeaderSort; }

signals:
    // After every click that hits a row.
    void listClicked();
    // After every committed edit: the cell and the text its editor ended with.
    void editCommitted(int nItem, int nSubItem, const QString& strText);

protected:
    int GetItemTypeBy(int nColumn, int nItem, const sListColAttribute*& pAttr) const;
    int FindItemBy(int nEditType, int nColumn, int nItem) const;
    // The column under point (viewport coordinates) in row nItem; 0 when none.
    int HitTestColBy(int nItem, const QPoint& point) const;
    // The editor's rectangle over a cell, in viewport coordinates.
    plat::CRect GetSubItemRect(int nItem, int nColumn) const;
    // The row's rectangle across all columns, in viewport coordinates.
    plat::CRect GetItemBounds(int nItem) const;
    void EditSubItemLabel(int nItem, int nColumn, int nEditType, const sListColAttribute* pAttr);
    void ComboSubItemLabel(int nItem, int nColumn, const sListColAttribute* pAttr);
    // A click at point (viewport coordinates).
    void OnNMClick(const QPoint& point);
    void OnLvnEndlabeledit(QObject* pEditor, sInPlaceNotify& info);
    // Commits any open editor by taking the focus back.
    void EndEditors();

    static int CompareFunction(plat::LPARAM lParam1, plat::LPARAM lParam2, plat::LPARAM lParamSort);
    static bool IsNumber(const plat::CString& strText);
    static int NumberCompare(const plat::CString& strText1, const plat::CString& strText2);
    static bool IsDate(const plat::CString& strText);
    static int DateCompare(const plat::CString& strDate1, const plat::CString& strDate2);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Appends an attribute after removing any earlier one of exactly that cell.
    sListColAttribute& AddAttribute(int nColumn, int nItem, int nEditType);
    void RemoveAttribute(int nColumn, int nItem);
    void OnHeaderClicked(int nColumn);
    void ApplyStyles();
    QTableWidgetItem* NewCell(int nColumn, const plat::CString& strText) const;

    std::vector<sListColAttribute> m_attributes;
    CVelHeaderCtrl* m_pHeader;  // owned by the list as its header
    QPointer<CVelInEdit> m_pInEdit;
    QPointer<CVelInComboBox> m_pInComboBox;
    plat::BOOL m_bClear = plat::FALSE;
    plat::BOOL m_bHeaderSort = plat::FALSE;
    plat::DWORD m_dwStyle = LVS_REPORT;
    plat::DWORD m_dwExStyle = 0;
    bool m_bPressed = false;
};
