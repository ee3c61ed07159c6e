#include "platform/Dialog.h"

#include "platform/DataExchange.h"

#include <QAbstractButton>
#include <QPainter>

namespace plat {

CDialog::CDialog(CDialogTemplate tmpl, QWidget* parent) : QDialog(parent), m_tmpl(std::move(tmpl))
{
}

BOOL CDialog::Create()
{
    if (m_bCreated) return TRUE;
    if (!m_tmpl.IsValid()) return FALSE;
    const CDialogBuilder builder(m_tmpl);
    m_base = builder.BaseUnits();
    builder.Build(this, [this](const CDialogItemTemplate& item, QWidget* parent) { return CreateControl(item, parent); });
    for (int id : {IDOK, IDCANCEL}) {
        if (auto* button = GetDlgItem<QAbstractButton>(id)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] {
                if (id == IDOK) OnOK();
                else OnCancel();
            });
        }
    }
    m_bCreated = true;
    return OnInitDialog();
}

int CDialog::DoModal()
{
    if (!m_bCreated && !Create()) return -1;
    return exec();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    QDialog::done(nResult);
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::accept()
{
    OnOK();
}

void CDialog::reject()
{
    OnCancel();
}

QWidget* CDialog::CreateControl(const CDialogItemTemplate&, QWidget*)
{
    return nullptr;
}

void CDialog::SetBackgroundColor(COLORREF color, BOOL bRepaint)
{
    m_background = QColor(GetRValue(color), GetGValue(color), GetBValue(color));
    if (bRepaint) update();
}

void CDialog::paintEvent(QPaintEvent* event)
{
    if (!m_background) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), *m_background);
}

}  // namespace plat
