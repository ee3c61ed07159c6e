#include "input/VelEdit.h"

#include "input/VelEditNumberRule.h"
#include "platform/ResourceModule.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <limits>

namespace {

constexpr plat::UINT kMsgEmpty = 4004;
constexpr plat::UINT kMsgMalformed = 4005;
constexpr plat::UINT kMsgAbove = 4006;
constexpr plat::UINT kMsgBelow = 4007;
constexpr int kPictureSize = 16;
constexpr int kSpinButtonWidth = 18;
constexpr QRgb kTransparentKey = 0xFFFF00FF;  // magenta

// A limit of the double range as a long: truncated, and held inside the
// long range so that the default (widest) range stays meaningful.
long LimitToLong(double d)
{
    if (!(d > static_cast<double>(LONG_MIN))) return LONG_MIN;
    if (!(d < static_cast<double>(LONG_MAX))) return LONG_MAX;
    return static_cast<long>(d);
}

}  // namespace

CVelEdit::CVelEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_dMin(std::numeric_limits<double>::lowest())
    , m_dMax(std::numeric_limits<double>::max())
{
    setMouseTracking(true);
    m_CheckTimer.setSingleShot(true);
    m_SpinTimer.setInterval(kSpinInterval);
    connect(&m_CheckTimer, &QTimer::timeout, this, &CVelEdit::OnCheckTimer);
    connect(&m_SpinTimer, &QTimer::timeout, this, &CVelEdit::OnSpinTimer);
}

CVelEdit::~CVelEdit() = default;

// ---- modes ---------------------------------------------------------------

void CVelEdit::EnableDefaultButton(const plat::CString& strLabel)
{
    m_nMode = ModeLabel;
    m_strLabel = strLabel;
    m_arImages.clear();
    m_nImageWidth = m_nImageHeight = 0;
    ChangeLayout();
}

void CVelEdit::EnableFileBrowseButton(const plat::CString& strDefExt, const plat::CString& strFilter)
{
    m_nMode = ModeFile;
    m_strDefExt = strDefExt;
    m_strFilter = strFilter;
    LoadPictures();
    m_nButtonWidth = std::max(m_nButtonWidth, m_nImageWidth + 8);
    ChangeLayout();
}

void CVelEdit::EnableFolderBrowseButton(const plat::CString& strTitle)
{
    m_nMode = ModeFolder;
    m_strBrowseTitle = strTitle;
    LoadPictures();
    m_nButtonWidth = std::max(m_nButtonWidth, m_nImageWidth + 8);
    ChangeLayout();
}

void CVelEdit::EnableSpinNumButton()
{
    m_nMode = ModeSpin;
    LoadPictures();
    m_nButtonWidth = kSpinButtonWidth;
    ChangeLayout();
}

void CVelEdit::EnableNumberEdit()
{
    m_nMode = ModeNumber;
}

void CVelEdit::LoadPictures()
{
    m_arImages.clear();
    QImage strip = plat::CResourceModule::Library().LoadBitmap(4000);
    m_nImageWidth = m_nImageHeight = kPictureSize;
    if (strip.isNull()) return;
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x)
            if ((line[x] | 0xFF000000) == kTransparentKey) line[x] = 0;
    }
    for (int x = 0; x + kPictureSize <= strip.width(); x += kPictureSize)
        m_arImages.emplace_back(plat::CreateIconFromImage(strip.copy(x, 0, kPictureSize, kPictureSize)));
}

// ---- layout ----------------------------------------------------------------

void CVelEdit::ChangeLayout()
{
    setTextMargins(0, 0, HasButton() ? m_nButtonWidth : 0, 0);
    PlaceButton();
    update();
}

void CVelEdit::PlaceButton()
{
    if (!HasButton()) {
        m_rcButton = m_rcUpper = m_rcLower = plat::CRect();
        return;
    }
    m_rcButton = plat::CRect(width() - m_nButtonWidth, 0, width(), height());
    const int nHalf = m_rcButton.Height() / 2;
    m_rcUpper = plat::CRect(m_rcButton.left, m_rcButton.top, m_rcButton.right, m_rcButton.top + nHalf);
    m_rcLower = plat::CRect(m_rcButton.left, m_rcButton.bottom - nHalf, m_rcButton.right, m_rcButton.bottom);
}

void CVelEdit::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    PlaceButton();
}

bool CVelEdit::InButton(const QPoint& pt) const
{
    return HasButton() && m_rcButton.PtInRect(plat::CPoint(pt.x(), pt.y()));
}

// ---- numbers -----------------------------------------------------------------

void CVelEdit::SetRange(double dMin, double dMax)
{
    m_dMin = dMin;
    m_dMax = dMax;
}

void CVelEdit::GetRange(double& dMin, double& dMax) const
{
    dMin = m_dMin;
    dMax = m_dMax;
}

void CVelEdit::SetValue(double dValue)
{
    dValue = std::min(std::max(dValue, m_dMin), m_dMax);
    m_strLastText = CVelEditNumberRule::Format(dValue, m_nPrecision);
    setText(m_strLastText);
}

void CVelEdit::SetValue(long nValue)
{
    nValue = std::min(std::max(nValue, LimitToLong(m_dMin)), LimitToLong(m_dMax));
    m_strLastText = QString::number(nValue);
    setText(m_strLastText);
}

void CVelEdit::GetValue(double& dValue) const
{
    dValue = CVelEditNumberRule::LeadingDouble(text());
}

void CVelEdit::GetValue(long& nValue) const
{
    nValue = CVelEditNumberRule::LeadingLong(text());
}

plat::BOOL CVelEdit::JudgeNumberIsLegal()
{
    const plat::CString strText = text();
    switch (CVelEditNumberRule::Judge(strText, m_nPrecision, m_dMin, m_dMax)) {
    case CVelEditNumberRule::Empty: Refuse(kMsgEmpty); return plat::FALSE;
    case CVelEditNumberRule::Malformed: Refuse(kMsgMalformed); return plat::FALSE;
    case CVelEditNumberRule::TooManyDecimals: setText(m_strLastText); return plat::FALSE;
    case CVelEditNumberRule::AboveMaximum:
        Refuse(kMsgAbove, CVelEditNumberRule::Format(m_dMax, m_nPrecision));
        return plat::FALSE;
    case CVelEditNumberRule::BelowMinimum:
        Refuse(kMsgBelow, CVelEditNumberRule::Format(m_dMin, m_nPrecision));
        return plat::FALSE;
    case CVelEditNumberRule::Accepted: break;
    }
    if (strText != m_strLastText) {
        m_strLastText = strText;
        emit numberAccepted();
    }
    return plat::TRUE;
}

void CVelEdit::Refuse(plat::UINT nMessage, const plat::CString& strArg)
{
    plat::CString strText = plat::CResourceModule::Library().LoadString(nMessage);
    if (!strArg.isEmpty()) strText.replace(QLatin1String("%s"), strArg);
    ShowMessage(strText);
    setText(m_strLastText);
}

void CVelEdit::ShowMessage(const plat::CString& strText)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), strText, QMessageBox::Ok, this);
    box.exec();
}

// ---- timers ------------------------------------------------------------------

void CVelEdit::OnCheckTimer()
{
    m_CheckTimer.stop();
    if (IsNumberMode()) JudgeNumberIsLegal();
}

void CVelEdit::OnSpinTimer()
{
    double dValue = 0.0;
    GetValue(dValue);
    SetValue(m_bUpperHalf ? dValue + m_dStep : dValue - m_dStep);
}

void CVelEdit::RestartCheckTimer()
{
    if (!m_bAutoCheck) return;
    m_CheckTimer.start(static_cast<int>(std::min<plat::UINT>(m_nTimerDelay, INT_MAX)));
}

void CVelEdit::RememberTextOnce()
{
    if (m_strLastText.isEmpty()) m_strLastText = text();
}

// ---- keyboard ----------------------------------------------------------------

void CVelEdit::keyPressEvent(QKeyEvent* e)
{
    const bool bEnter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (bEnter && !m_bWantAllKeys && qobject_cast<QDialog*>(window())) {
        // Inside a dialog Enter belongs to the dialog (its default button).
        e->ignore();
        return;
    }
    if (bEnter) {
        if (!m_bAutoCheck) JudgeNumberIsLegal();
        if (IsNumberMode()) {
            if (QWidget* parent = parentWidget()) parent->setFocus(Qt::OtherFocusReason);
        } else {
            QLineEdit::keyPressEvent(e);
        }
        e->accept();
        return;
    }
    if (IsNumberMode() && e->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(e);
        RememberTextOnce();
        RestartCheckTimer();
        return;
    }
    if (IsNumberMode() && FilterCharacter(e)) return;
    QLineEdit::keyPressEvent(e);
}

bool CVelEdit::FilterCharacter(QKeyEvent* e)
{
    const QString strChar = e->text();
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return false;
    // Keys that type nothing (arrows, Home, End, Escape) and shortcuts
    // (copy, paste, undo) keep their usual meaning; a change they make is
    // checked like typing.
    const bool bControl = !strChar.isEmpty() && strChar.at(0).unicode() < 0x20 && e->key() != Qt::Key_Backspace;
    if (strChar.isEmpty() || bControl || (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        const plat::CString strBefore = text();
        QLineEdit::keyPressEvent(e);
        if (text() != strBefore) {
            RememberTextOnce();
            RestartCheckTimer();
        }
        return true;
    }
    RememberTextOnce();
    const QChar c = strChar.at(0);
    const bool bTypes = c.isDigit() || e->key() == Qt::Key_Backspace || (c == QLatin1Char('-') && m_bMinus)
        || (c == QLatin1Char('.') && m_nPrecision != 0 && !text().contains(QLatin1Char('.')));
    if (bTypes && (c.unicode() < 0x80 || e->key() == Qt::Key_Backspace)) {
        QLineEdit::keyPressEvent(e);
        RestartCheckTimer();
    }
    e->accept();
    return true;
}

// ---- mouse ---------------------------------------------------------------------

void CVelEdit::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    if (m_bTracking) {
        const bool bInside = InButton(pt);
        if (bInside != m_bPressed) {
            m_bPressed = bInside;
            update(m_rcButton.toQRect());
        }
        return;
    }
    if (HasButton()) {
        const bool bInside = InButton(pt);
        const bool bUpper = m_nMode == ModeSpin && bInside ? m_rcUpper.PtInRect(plat::CPoint(pt.x(), pt.y()))
                                                            : m_bUpperHalf;
        if (bInside != m_bHot || bUpper != m_bUpperHalf) {
            m_bHot = bInside;
            m_bUpperHalf = bUpper;
            update(m_rcButton.toQRect());
        }
        if (bInside) {
            setCursor(Qt::ArrowCursor);
            return;
        }
        unsetCursor();
    }
    QLineEdit::mouseMoveEvent(e);
}

void CVelEdit::mousePressEvent(QMouseEvent* e)
{
    if (!InButton(e->position().toPoint())) {
        QLineEdit::mousePressEvent(e);
        return;
    }
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    m_bPressed = m_bTracking = true;
    m_bHot = true;
    if (m_nMode == ModeSpin) {
        m_bUpperHalf = m_rcUpper.PtInRect(plat::CPoint(e->position().toPoint().x(), e->position().toPoint().y()));
        if (m_bAutoCheck) m_SpinTimer.start();
    }
    update(m_rcButton.toQRect());
}

void CVelEdit::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_bTracking || e->button() != Qt::LeftButton) {
        if (!m_bTracking) QLineEdit::mouseReleaseEvent(e);
        return;
    }
    e->accept();
    const bool bInside = InButton(e->position().toPoint());
    m_bPressed = m_bTracking = false;
    m_bHot = bInside;
    update(m_rcButton.toQRect());
    if (m_nMode == ModeSpin) {
        m_SpinTimer.stop();
        return;
    }
    if (bInside) OnClickButton();
}

void CVelEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double click on the button is no click at all.
    if (InButton(e->position().toPoint())) {
        e->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(e);
}

void CVelEdit::leaveEvent(QEvent* e)
{
    if (m_bHot && !m_bTracking) {
        m_bHot = false;
        update(m_rcButton.toQRect());
    }
    QLineEdit::leaveEvent(e);
}

void CVelEdit::OnCancelMode()
{
    m_SpinTimer.stop();
    if (!m_bPressed && !m_bHot && !m_bTracking) return;
    m_bPressed = m_bHot = m_bTracking = false;
    update(m_rcButton.toQRect());
}

void CVelEdit::hideEvent(QHideEvent* e)
{
    OnCancelMode();
    QLineEdit::hideEvent(e);
}

void CVelEdit::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) OnCancelMode();
    QLineEdit::changeEvent(e);
}

// ---- browsing ------------------------------------------------------------------

void CVelEdit::OnClickButton()
{
    if (m_nMode == ModeFolder) BrowseFolder();
    else if (m_nMode == ModeFile) BrowseFile();
    else return;
    setFocus(Qt::OtherFocusReason);
}

void CVelEdit::BrowseFile()
{
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(m_strDefExt);
    const QStringList filters = NameFilters(m_strFilter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!text().isEmpty()) dialog.selectFile(text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    setText(dialog.selectedFiles().constFirst());
}

void CVelEdit::BrowseFolder()
{
    QFileDialog dialog(this, m_strBrowseTitle);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!text().isEmpty()) dialog.setDirectory(text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString strPath = dialog.selectedFiles().constFirst();
    if (!strPath.isEmpty()) setText(strPath);
}

QStringList CVelEdit::NameFilters(const plat::CString& strFilter)
{
    QStringList filters;
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString strName = parts[i].trimmed();
        const QString strPatterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        if (strName.isEmpty() && strPatterns.isEmpty()) break;
        if (strPatterns.isEmpty()) continue;
        // Qt reads the patterns from the last parentheses of the name.
        static const QRegularExpression kTail(QStringLiteral("\\(([^()]*)\\)\\s*$"));
        const QRegularExpressionMatch m = kTail.match(strName);
        if (m.hasMatch() && m.captured(1).simplified() == strPatterns.simplified()) filters << strName;
        else filters << QStringLiteral("%1 (%2)").arg(strName.isEmpty() ? strPatterns : strName, strPatterns);
    }
    return filters;
}
