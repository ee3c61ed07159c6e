#include "input/VelInEdit.h"

#include "platform/DialogBuilder.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace plat;

namespace {

constexpr double kLowest = -std::numeric_limits<double>::max();
constexpr double kHighest = std::numeric_limits<double>::max();

// The leading decimal number of a text, as the C library reads one: optional
// sign, digits with an optional point, optional exponent. Anything else, or
// nothing, reads as 0. Hexadecimal, infinity and not-a-number are not read.
double LeadingNumber(const QString& text)
{
    const QByteArray s = text.trimmed().toLatin1();
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digitsAt = [&](qsizetype at) {
        qsizetype k = at;
        while (k < n && s[k] >= '0' && s[k] <= '9') ++k;
        return k - at;
    };
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    const qsizetype whole = digitsAt(i);
    i += whole;
    qsizetype fraction = 0;
    if (i < n && s[i] == '.') {
        fraction = digitsAt(i + 1);
        if (whole + fraction > 0) i += 1 + fraction;
    }
    if (whole + fraction == 0) return 0.0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        const qsizetype exponent = digitsAt(j);
        if (exponent > 0) i = j + exponent;
    }
    bool ok = false;
    const double value = QByteArray(s.constData(), i).toDouble(&ok);
    if (ok) return value;
    // Out of the double's range: the sign decides which end it stands for.
    return s.startsWith('-') ? kLowest : kHighest;
}

}  // namespace

CVelInEdit::CVelInEdit(int nItem, int nSubItem, const CString& strInitText)
    : m_bTree(FALSE), m_nItem(nItem), m_nSubItem(nSubItem), m_strInitText(strInitText), m_dMin(kLowest), m_dMax(kHighest)
{
}

CVelInEdit::CVelInEdit(HTREEITEM hItem, int nParam, const CString& strInitText)
    : m_bTree(TRUE), m_nItem(0), m_nSubItem(nParam), m_strInitText(strInitText), m_hItem(hItem), m_dMin(kLowest),
      m_dMax(kHighest)
{
}

CVelInEdit::~CVelInEdit() = default;

BOOL CVelInEdit::Create(DWORD dwStyle, const CRect& rect, QWidget* pParent, int nID)
{
    if (!pParent) return FALSE;
    m_dwStyle = dwStyle;
    setParent(pParent);
    CDialogBuilder::SetDlgCtrlID(this, nID);
    setFrame((dwStyle & kStyleBorder) != 0);
    setGeometry(rect.toQRect());
    OnCreate();
    if (dwStyle & kStyleVisible) {
        show();
        setFocus(Qt::OtherFocusReason);
    }
    return TRUE;
}

void CVelInEdit::OnCreate()
{
    setFont(m_pFont ? m_pFont->GetQFont() : parentWidget()->font());
    setText(m_strInitText);
    // Leaves the caret at the end, so the text's end is in view.
    selectAll();
}

void CVelInEdit::EnableNumEdit(double dMin, double dMax)
{
    m_bNumEdit = TRUE;
    m_dMin = dMin;
    m_dMax = dMax;
}

void CVelInEdit::SetUserFont(const LOGFONT& lf)
{
    auto font = std::make_unique<CFont>();
    if (font->CreateFontIndirect(&lf)) m_pFont = std::move(font);
}

bool CVelInEdit::AcceptsNumberChar(QChar c) const
{
    switch (c.unicode()) {
    case '.': return m_nPrecision != 0;
    case '-': return m_bMinus != FALSE;
    case '\b':
    case ' ': return true;
    default: return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
}

void CVelInEdit::FocusParent()
{
    if (QWidget* parent = parentWidget()) parent->setFocus(Qt::OtherFocusReason);
    // The focus loss has ended the edit, unless no focus event came (an
    // inactive window, a parent that takes no focus): end it here then.
    EndEdit();
}

bool CVelInEdit::event(QEvent* e)
{
    // Tab would move the focus along the chain before keyPressEvent sees it.
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            m_bTabDown = TRUE;
            FocusParent();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CVelInEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        m_bEscaped = TRUE;
        FocusParent();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FocusParent();
        return;
    default: break;
    }
    // Shortcuts (copy, paste, undo) keep their meaning; pasted text is read as
    // a number at the end like typed text.
    const QString typed = e->text();
    if (m_bNumEdit && !typed.isEmpty() && !(e->modifiers() & Qt::ControlModifier)) {
        for (QChar c : typed)
            if (!AcceptsNumberChar(c)) return;
    }
    QLineEdit::keyPressEvent(e);
}

void CVelInEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A context menu takes the focus only while it is open.
    if (e->reason() == Qt::PopupFocusReason || QApplication::activePopupWidget()) return;
    EndEdit();
}

void CVelInEdit::EndEdit()
{
    if (m_bEnded) return;
    m_bEnded = true;
    CString strText = text().trimmed();
    if (m_bNumEdit) strText = NumberText(strText, m_dMin, m_dMax, m_nPrecision);
    sInPlaceNotify info =
        MakeEndEditNotify(this, m_bTree != FALSE, m_nItem, m_nSubItem, m_hItem, m_bEscaped ? m_strInitText : strText);
    emit endLabelEdit(info);
}

CString CVelInEdit::NumberText(const CString& strText, double dMin, double dMax, unsigned int nPrecision)
{
    double dValue = LeadingNumber(strText);
    if (dValue < dMin)
        dValue = dMin;
    else if (dValue > dMax)
        dValue = dMax;
    const int nDecimals = static_cast<int>(std::min(nPrecision, kMaxPrecision));
    return CString::asprintf("%.*f", nDecimals, dValue);
}
