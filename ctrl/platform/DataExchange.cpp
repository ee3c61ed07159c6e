#include "platform/DataExchange.h"

#include "platform/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <cfloat>

namespace plat {

namespace {

QString WindowText(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    return w ? w->windowTitle() : QString();
}

void SetWindowText(QWidget* w, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w)) label->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setEditText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(text);
    else if (w) w->setWindowTitle(text);
}

// Real numbers are shown as the framework shows them: %g with the type's
// significant digits.
QString FormatReal(double value, int digits)
{
    return QString::asprintf("%.*g", digits, value);
}

bool ParseReal(const QString& text, double* value)
{
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok;
}

}  // namespace

QString ParseIntMessage()
{
    return QStringLiteral("Please enter an integer.");
}

QString ParseRealMessage()
{
    return QStringLiteral("Please enter a number.");
}

QString IntRangeMessage(long long minVal, long long maxVal)
{
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(minVal).arg(maxVal);
}

QString RealRangeMessage(double minVal, double maxVal)
{
    return QStringLiteral("Please enter a number between %1 and %2.")
        .arg(FormatReal(minVal, FLT_DIG), FormatReal(maxVal, FLT_DIG));
}

CDataExchange::CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

QWidget* CDataExchange::PrepareCtrl(int nIDC)
{
    QWidget* control = m_pDlgWnd->GetDlgItem(nIDC);
    if (!control) qWarning("dialog data exchange: no control %d", nIDC);
    m_pLastControl = control;
    return control;
}

void CDataExchange::Fail(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), message, QMessageBox::Ok,
                    m_pDlgWnd);
    box.exec();
    if (m_pLastControl) {
        m_pLastControl->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl)) edit->selectAll();
    }
    throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = WindowText(control);
    else SetWindowText(control, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(control, QString::number(value));
        return;
    }
    bool ok = false;
    const int parsed = WindowText(control).trimmed().toInt(&ok);
    if (!ok) pDX->Fail(ParseIntMessage());
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(control, FormatReal(value, FLT_DIG));
        return;
    }
    double parsed = 0;
    if (!ParseReal(WindowText(control), &parsed) || parsed > FLT_MAX || parsed < -FLT_MAX)
        pDX->Fail(ParseRealMessage());
    value = static_cast<float>(parsed);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    QWidget* control = pDX->PrepareCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetWindowText(control, FormatReal(value, DBL_DIG));
        return;
    }
    double parsed = 0;
    if (!ParseReal(WindowText(control), &parsed)) pDX->Fail(ParseRealMessage());
    value = parsed;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    auto* box = qobject_cast<QCheckBox*>(pDX->PrepareCtrl(nIDC));
    if (!box) return;
    if (pDX->m_bSaveAndValidate) {
        value = box->checkState() == Qt::Checked ? 1 : box->checkState() == Qt::PartiallyChecked ? 2 : 0;
    } else {
        box->setTristate(value == 2 || box->isTristate());
        box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    QWidget* first = pDX->PrepareCtrl(nIDC);
    if (!first) return;
    // The group runs from this button in creation order to the next control
    // that starts a group or is not a radio button.
    QList<QRadioButton*> group;
    bool inGroup = false;
    for (QObject* child : pDX->m_pDlgWnd->children()) {
        if (child == first) inGroup = true;
        if (!inGroup) continue;
        auto* radio = qobject_cast<QRadioButton*>(child);
        if (!radio) {
            if (qobject_cast<QWidget*>(child)) break;
            continue;
        }
        const CDialogItemTemplate* item = pDX->m_pDlgWnd->Template().Find(CDialogBuilder::GetDlgCtrlID(radio));
        if (!group.isEmpty() && item && (item->dwStyle & style::WS_GROUP)) break;
        group << radio;
    }
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (int i = 0; i < group.size(); ++i)
            if (group[i]->isChecked()) value = i;
    } else {
        for (int i = 0; i < group.size(); ++i) group[i]->setChecked(i == value);
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    auto* combo = qobject_cast<QComboBox*>(pDX->PrepareCtrl(nIDC));
    if (!combo) return;
    if (pDX->m_bSaveAndValidate) {
        value = combo->isEditable() ? combo->currentText()
                                    : (combo->currentIndex() >= 0 ? combo->itemText(combo->currentIndex()) : QString());
        return;
    }
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(value, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
    if (combo->isEditable()) combo->setEditText(value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) pDX->Fail(IntRangeMessage(minVal, maxVal));
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) pDX->Fail(RealRangeMessage(minVal, maxVal));
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) pDX->Fail(RealRangeMessage(minVal, maxVal));
}

}  // namespace plat
