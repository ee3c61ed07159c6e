#pragma once

#include "platform/DialogTemplate.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"

#include <QFont>
#include <functional>

class QWidget;

namespace plat {

// Turns a dialog template into widgets: dialog units become pixels through
// the dialog font (x * average character width / 4, y * character height / 8)
// and every control is created with the template's id, text, place and style.
class QUINDLE_EXPORT CDialogBuilder {
public:
    // Returns the widget for a control, or nullptr to get the standard one.
    // This is how a library control takes the place of a template control.
    using Factory = std::function<QWidget*(const CDialogItemTemplate& item, QWidget* parent)>;

    explicit CDialogBuilder(const CDialogTemplate& tmpl);

    // The template's font at 96 dots per inch, with the face mapped to an
    // installed one.
    const QFont& DialogFont() const { return m_font; }
    // Average character width and character height of the dialog font.
    CSize BaseUnits() const { return m_base; }
    CRect MapDialogRect(int x, int y, int cx, int cy) const;
    CSize MapDialogSize(int cx, int cy) const;

    // Gives the dialog its caption, font, window flags (none for a WS_CHILD
    // template) and fixed client size and creates the controls as its
    // children, in template order.
    void Build(QWidget* dialog, const Factory& factory = {}) const;
    // The standard widget for one template control.
    QWidget* CreateStandardControl(const CDialogItemTemplate& item, QWidget* parent) const;

    // The control a builder created with this id, or nullptr.
    static QWidget* GetDlgItem(const QWidget* dialog, int id);
    static int GetDlgCtrlID(const QWidget* control);
    // Gives a control made outside a template its id.
    static void SetDlgCtrlID(QWidget* control, int id);

private:
    // The window flags of a top-level dialog: frame, caption and buttons.
    void SetWindowFlags(QWidget* dialog) const;

    const CDialogTemplate& m_tmpl;
    QFont m_font;
    CSize m_base;
};

}  // namespace plat
