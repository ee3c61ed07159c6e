#pragma once

#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QLabel>
#include <memory>

namespace plat {
class CDC;
class CFont;
}  // namespace plat

// A text label that looks transparent: the parent's background shows behind
// its text, which is drawn centred in a chosen colour and font.
class QUINDLE_EXPORT CTarnStatic : public QLabel {
    Q_OBJECT

public:
    explicit CTarnStatic(QWidget* parent = nullptr);
    explicit CTarnStatic(const QString& text, QWidget* parent = nullptr);
    ~CTarnStatic() override;

    void SetTextColor(plat::COLORREF crText) { m_crText = crText; }
    plat::COLORREF GetTextColor() const { return m_crText; }

    // Takes ownership of a font created on the heap for this label alone; a
    // font set before is deleted. Null goes back to the parent's font.
    void SetFont(plat::CFont* pFont);
    plat::CFont* GetFont() const { return m_pFont.get(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void DrawItem(plat::CDC* pDC, const plat::CRect& rcItem);

private:
    void Initialize();
    // The stored font, or the parent's font when none is stored.
    QFont EffectiveFont() const;

    plat::COLORREF m_crText = 0;
    std::unique_ptr<plat::CFont> m_pFont;
};
