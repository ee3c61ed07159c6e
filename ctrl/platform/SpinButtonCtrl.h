#pragma once

#include "platform/QuindleExport.h"
#include "platform/WinDef.h"

#include <QWidget>

class QToolButton;

namespace plat {

// An up-down control without a buddy: two arrows that report a step. With the
// control's default range (100 down to 0) the up arrow reports -1 and the down
// arrow +1, as the delta-position notification does.
class QUINDLE_EXPORT CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr, bool arrowKeys = true);

signals:
    void deltaPos(int iDelta);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_pUp;
    QToolButton* m_pDown;
    bool m_bArrowKeys;
};

}  // namespace plat
