#pragma once

#include "platform/DialogBuilder.h"
#include "platform/DialogTemplate.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QColor>
#include <QDialog>
#include <optional>

namespace plat {

class CDataExchange;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// A dialog on a template: built by CDialogBuilder, initialised by
// OnInitDialog, with data exchange through DoDataExchange/UpdateData and the
// OK (id 1) and Cancel (id 2) buttons, Enter, Escape and the close box wired
// as the framework wires them.
class QUINDLE_EXPORT CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(CDialogTemplate tmpl, QWidget* parent = nullptr);

    // Shows the dialog modally: IDOK, IDCANCEL or what EndDialog was given;
    // -1 when the template is not valid.
    int DoModal();
    // Builds and initialises the dialog without showing it; false when the
    // template is not valid or OnInitDialog failed.
    BOOL Create();
    bool IsCreated() const { return m_bCreated; }

    QWidget* GetDlgItem(int id) const { return CDialogBuilder::GetDlgItem(this, id); }
    template <class T>
    T* GetDlgItem(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }
    // Exchanges every control with its member; false when validation refused
    // a value (the message has been shown and the field has the focus).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult);

    // Fills the dialog's background with one colour.
    void SetBackgroundColor(COLORREF color, BOOL bRepaint = TRUE);
    const CDialogTemplate& Template() const { return m_tmpl; }
    // Average character width and character height of the dialog font.
    CSize BaseUnits() const { return m_base; }

    void accept() override;
    void reject() override;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // The widget for a template control, or nullptr for the standard one.
    virtual QWidget* CreateControl(const CDialogItemTemplate& item, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;

private:
    CDialogTemplate m_tmpl;
    CSize m_base;
    bool m_bCreated = false;
    std::optional<QColor> m_background;
};

}  // namespace plat
