#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QComboBox>

class CACMatchList;
class QLineEdit;

// An editable combo box that completes what the user types: on every edit
// it finds the items that begin with the text (ignoring letter case), puts
// the first into the field with the added part selected, so that typing on
// replaces it, and lists all of them in its own pop-up list, where a click
// picks one. The list hides when the selection changes and when the focus
// goes elsewhere.
//
// The box is editable from construction, never adds typed texts as items
// and has no completer of its own. Completion follows the user's edits
// (QLineEdit::textEdited), not texts set by the program.
class QUINDLE_EXPORT CACComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit CACComboBox(QWidget* parent = nullptr);
    ~CACComboBox() override;

    // Runs after every edit of the text.
    virtual void HandleCompletion();
    // The owner calls this when the combo box moves, so the list follows it.
    void WindowMove();

    CACMatchList* GetMatchList() const { return m_pMatchList; }

protected:
    void OnKillfocus();
    void OnSelchange();
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AttachEdit();
    bool OwnsFocus(const QWidget* pFocus) const;

    QLineEdit* m_pEdit = nullptr;  // the combo box's own field, not owned
    CACMatchList* m_pMatchList;    // child window, deleted with the combo box
};
