#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QDialog>

class QComboBox;
class QFontDialog;

namespace plat {

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;

// The font dialog: face, style and size, underline and strike-out, and with
// CF_EFFECTS a text colour from the sixteen standard colours. Qt's own font
// chooser does the font part.
class QUINDLE_EXPORT CFontDialog : public QDialog {
    Q_OBJECT
public:
    // plfInitial: the font shown first (may be null).
    explicit CFontDialog(const LOGFONT* plfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         QWidget* pParent = nullptr);

    // IDOK (1) or IDCANCEL (2).
    int DoModal();
    void GetCurrentFont(LOGFONT* plf) const;
    COLORREF GetColor() const;
    // The colour shown; one outside the standard ones joins the list.
    void SetColor(COLORREF cr);

    QFontDialog* FontChooser() const { return m_pChooser; }
    QComboBox* ColorBox() const { return m_pColors; }

private:
    QFontDialog* m_pChooser;
    QComboBox* m_pColors = nullptr;
};

}  // namespace plat
