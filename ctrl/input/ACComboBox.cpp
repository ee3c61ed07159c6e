#include "input/ACComboBox.h"

#include "input/ACMatchList.h"

#include <QApplication>
#include <QLineEdit>

CACComboBox::CACComboBox(QWidget* parent) : QComboBox(parent), m_pMatchList(new CACMatchList(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion is this class's own; Qt's inline completer would fight it.
    setCompleter(nullptr);
    m_pMatchList->Create(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { HandleCompletion(); });
    connect(this, &QComboBox::currentIndexChanged, this, &CACComboBox::OnSelchange);
}

CACComboBox::~CACComboBox()
{
    // The base's destruction may still report changes: none reach this part.
    disconnect(this, nullptr, this, nullptr);
    delete m_pMatchList;
    m_pMatchList = nullptr;
}

void CACComboBox::AttachEdit()
{
    if (!m_pEdit) m_pEdit = lineEdit();
}

void CACComboBox::HandleCompletion()
{
    AttachEdit();
    if (!m_pEdit) return;
    const int nCount = count();
    m_pMatchList->ClearMatches();
    const QString strTyped = m_pEdit->text();
    const int nCaret = m_pEdit->cursorPosition();

    QString strCompletion;
    bool bFound = false;
    for (int i = 0; i < nCount; ++i) {
        const QString strItem = itemText(i);
        if (!strItem.startsWith(strTyped, Qt::CaseInsensitive)) continue;
        m_pMatchList->AddMatch(i, strItem);
        if (!bFound) {
            strCompletion = strItem;
            bFound = true;
        }
    }
    if (bFound) {
        m_pEdit->setText(strCompletion);
        const int nAdded = int(strCompletion.size() - strTyped.size());
        // The added part selected, the caret where the typing goes on.
        if (nAdded > 0) m_pEdit->setSelection(int(strCompletion.size()), -nAdded);
        else m_pEdit->setCursorPosition(nCaret);
    }

    if (m_pMatchList->GetMatchCount() > 0) {
        m_pMatchList->UpdatePlacement();
        m_pMatchList->show();
        m_pMatchList->update();
    } else {
        m_pMatchList->hide();
    }
}

void CACComboBox::WindowMove()
{
    if (!m_pMatchList->isVisible()) return;
    m_pMatchList->UpdatePlacement();
    m_pMatchList->update();
}

bool CACComboBox::OwnsFocus(const QWidget* pFocus) const
{
    return pFocus && (pFocus == this || isAncestorOf(pFocus) || pFocus == m_pMatchList ||
                      m_pMatchList->isAncestorOf(pFocus));
}

void CACComboBox::OnKillfocus()
{
    if (!OwnsFocus(QApplication::focusWidget())) m_pMatchList->hide();
}

void CACComboBox::OnSelchange()
{
    m_pMatchList->hide();
}

void CACComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    OnKillfocus();
}

void CACComboBox::hideEvent(QHideEvent* event)
{
    // A list left standing would float over whatever comes next.
    m_pMatchList->hide();
    QComboBox::hideEvent(event);
}
