#include "platform/FontDialog.h"

#include "platform/Dialog.h"
#include "platform/FontMapper.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace plat {

namespace {

struct NamedColor {
    COLORREF cr;
    const char* name;
};

// The standard colours of the font dialog's list, in its order.
const NamedColor kColors[] = {
    {RGB(0, 0, 0), "黑色"},         {RGB(128, 0, 0), "褐红色"},     {RGB(0, 128, 0), "绿色"},
    {RGB(128, 128, 0), "橄榄色"},   {RGB(0, 0, 128), "藏青色"},     {RGB(128, 0, 128), "紫色"},
    {RGB(0, 128, 128), "深青色"},   {RGB(128, 128, 128), "灰色"},   {RGB(192, 192, 192), "银色"},
    {RGB(255, 0, 0), "红色"},       {RGB(0, 255, 0), "酸橙色"},     {RGB(255, 255, 0), "黄色"},
    {RGB(0, 0, 255), "蓝色"},       {RGB(255, 0, 255), "紫红色"},   {RGB(0, 255, 255), "水绿色"},
    {RGB(255, 255, 255), "白色"},
};

QColor ToQColor(COLORREF cr)
{
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QIcon Swatch(COLORREF cr)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(ToQColor(cr));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

}  // namespace

CFontDialog::CFontDialog(const LOGFONT* plfInitial, DWORD dwFlags, QWidget* pParent)
    : QDialog(pParent), m_pChooser(new QFontDialog(this))
{
    setWindowTitle(QStringLiteral("字体"));
    // The chooser is a part of this dialog, not a window of its own.
    m_pChooser->setWindowFlags(Qt::Widget);
    m_pChooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    if (plfInitial) m_pChooser->setCurrentFont(QFontFromLogFont(*plfInitial));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pChooser);
    if (dwFlags & CF_EFFECTS) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("颜色(&C)："), this);
        m_pColors = new QComboBox(this);
        for (const NamedColor& c : kColors) m_pColors->addItem(Swatch(c.cr), QString::fromUtf8(c.name), c.cr);
        label->setBuddy(m_pColors);
        row->addWidget(label);
        row->addWidget(m_pColors);
        row->addStretch();
        layout->addLayout(row);
        SetColor(0);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CFontDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CFontDialog::GetCurrentFont(LOGFONT* plf) const
{
    if (plf) *plf = LogFontFromQFont(m_pChooser->currentFont());
}

COLORREF CFontDialog::GetColor() const
{
    return m_pColors ? m_pColors->currentData().toUInt() : 0;
}

void CFontDialog::SetColor(COLORREF cr)
{
    if (!m_pColors) return;
    int nIndex = m_pColors->findData(cr);
    if (nIndex < 0) {
        m_pColors->addItem(Swatch(cr), QStringLiteral("自定义"), cr);
        nIndex = m_pColors->count() - 1;
    }
    m_pColors->setCurrentIndex(nIndex);
}

}  // namespace plat
