#include "platform/DialogBuilder.h"

#include "platform/TemplateStyled.h"

#include "platform/FontMapper.h"
#include "platform/SpinButtonCtrl.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace plat {

namespace {

const char* const kIdProperty = "plat_dlg_id";

int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QFont MakeDialogFont(const CDialogTemplate& t)
{
    // Point sizes of templates assume 96 dots per inch, as the layout does.
    LOGFONT lf;
    lf.lfHeight = -MulDiv(t.nPointSize, 96, 72);
    lf.lfWeight = FW_NORMAL;
    lf.SetFaceName(t.strFaceName.toUtf8().constData());
    return QFontFromLogFont(lf);
}

CSize MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, fm.height()};
}

bool HasFrame(const CDialogItemTemplate& item)
{
    using namespace style;
    return (item.dwStyle & WS_BORDER) || (item.dwExStyle & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
}

QWidget* CreateButton(const CDialogItemTemplate& item, QWidget* parent)
{
    using namespace style;
    switch (item.dwStyle & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return new QCheckBox(item.strText, parent);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        auto* radio = new QRadioButton(item.strText, parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    case BS_GROUPBOX:
        return new QGroupBox(item.strText, parent);
    default: {
        auto* button = new QPushButton(item.strText, parent);
        button->setAutoDefault(false);
        button->setDefault((item.dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        return button;
    }
    }
}

QWidget* CreateStatic(const CDialogItemTemplate& item, QWidget* parent)
{
    using namespace style;
    auto* label = new QLabel(parent);
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    if (type == SS_ICON) return label;  // the owner puts the icon in
    label->setText(item.strText);
    Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
    if (type == SS_CENTER) align = Qt::AlignTop | Qt::AlignHCenter;
    else if (type == SS_RIGHT) align = Qt::AlignTop | Qt::AlignRight;
    if (item.dwStyle & SS_CENTERIMAGE) align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    label->setAlignment(align);
    label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    if (type == SS_BLACKFRAME || (item.dwStyle & WS_BORDER)) label->setFrameStyle(QFrame::Box | QFrame::Plain);
    else if ((item.dwStyle & SS_SUNKEN) || HasFrame(item)) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* CreateEdit(const CDialogItemTemplate& item, QWidget* parent)
{
    using namespace style;
    auto* edit = new QLineEdit(item.strText, parent);
    if (item.dwStyle & ES_CENTER) edit->setAlignment(Qt::AlignCenter);
    else if (item.dwStyle & ES_RIGHT) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setReadOnly(item.dwStyle & ES_READONLY);
    if (item.dwStyle & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
    edit->setFrame(HasFrame(item));
    return edit;
}

QWidget* CreateComboBox(const CDialogItemTemplate& item, QWidget* parent)
{
    using namespace style;
    auto* combo = new QComboBox(parent);
    combo->setEditable((item.dwStyle & CBS_TYPEMASK) != CBS_DROPDOWNLIST);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(item.items);
    if (item.dwStyle & CBS_SORT) combo->model()->sort(0);
    combo->setCurrentIndex(-1);
    return combo;
}

// A control made by the owner's factory still shows the template's text and
// is the default button when the template says so.
void ApplyTemplateText(QWidget* control, const CDialogItemTemplate& item)
{
    if (auto* push = qobject_cast<QPushButton*>(control)) {
        push->setAutoDefault(false);
        push->setDefault((item.dwStyle & style::BS_TYPEMASK) == style::BS_DEFPUSHBUTTON);
    }
    if (item.strText.isEmpty()) return;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(item.strText);
    else if (auto* label = qobject_cast<QLabel*>(control)) label->setText(item.strText);
    else if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(item.strText);
}

}  // namespace

CDialogBuilder::CDialogBuilder(const CDialogTemplate& tmpl)
    : m_tmpl(tmpl), m_font(MakeDialogFont(tmpl)), m_base(MeasureBaseUnits(m_font))
{
}

CRect CDialogBuilder::MapDialogRect(int x, int y, int cx, int cy) const
{
    const int left = MulDiv(x, m_base.cx, 4);
    const int top = MulDiv(y, m_base.cy, 8);
    return {left, top, left + MulDiv(cx, m_base.cx, 4), top + MulDiv(cy, m_base.cy, 8)};
}

CSize CDialogBuilder::MapDialogSize(int cx, int cy) const
{
    return {MulDiv(cx, m_base.cx, 4), MulDiv(cy, m_base.cy, 8)};
}

QWidget* CDialogBuilder::CreateStandardControl(const CDialogItemTemplate& item, QWidget* parent) const
{
    const QString cls = item.strClass;
    if (cls.compare(QLatin1String(WC_BUTTON), Qt::CaseInsensitive) == 0) return CreateButton(item, parent);
    if (cls.compare(QLatin1String(WC_STATIC), Qt::CaseInsensitive) == 0) return CreateStatic(item, parent);
    if (cls.compare(QLatin1String(WC_EDIT), Qt::CaseInsensitive) == 0) return CreateEdit(item, parent);
    if (cls.compare(QLatin1String(WC_COMBOBOX), Qt::CaseInsensitive) == 0) return CreateComboBox(item, parent);
    if (cls.compare(QLatin1String(WC_LISTBOX), Qt::CaseInsensitive) == 0) {
        auto* list = new QListWidget(parent);
        list->addItems(item.items);
        return list;
    }
    if (cls.compare(QLatin1String(WC_UPDOWN), Qt::CaseInsensitive) == 0)
        return new CSpinButtonCtrl(parent, item.dwStyle & style::UDS_ARROWKEYS);
    qWarning("dialog %d: control %d has unknown class %s", m_tmpl.nId, item.nId, qPrintable(cls));
    return new QWidget(parent);
}

void CDialogBuilder::SetWindowFlags(QWidget* dialog) const
{
    using namespace style;
    Qt::WindowFlags flags = (m_tmpl.dwExStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if ((m_tmpl.dwStyle & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
    if (m_tmpl.dwStyle & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if ((m_tmpl.dwStyle & WS_CAPTION) == WS_CAPTION && (m_tmpl.dwStyle & WS_MINIMIZEBOX))
        flags |= Qt::WindowMinimizeButtonHint;
    dialog->setWindowFlags(flags);
}

void CDialogBuilder::Build(QWidget* dialog, const Factory& factory) const
{
    using namespace style;
    dialog->setFont(m_font);
    dialog->setWindowTitle(m_tmpl.strCaption);
    // A child template (a property page) stays a child of whatever holds it.
    if (!(m_tmpl.dwStyle & WS_CHILD)) SetWindowFlags(dialog);
    dialog->setFixedSize(MapDialogSize(m_tmpl.cx, m_tmpl.cy).toQSize());

    for (const CDialogItemTemplate& item : m_tmpl.items) {
        QWidget* control = factory ? factory(item, dialog) : nullptr;
        if (control) {
            ApplyTemplateText(control, item);
            if (auto* styled = dynamic_cast<ITemplateStyled*>(control)) styled->ApplyTemplateStyle(item.dwStyle);
        } else {
            control = CreateStandardControl(item, dialog);
        }
        control->setParent(dialog);
        control->setProperty(kIdProperty, item.nId);
        control->setObjectName(QStringLiteral("dlgitem_%1").arg(item.nId));
        QRect geometry = MapDialogRect(item.x, item.y, item.cx, item.cy).toQRect();
        // A combo box's height in the template is its dropped list; the
        // closed box is as tall as its font needs.
        if (qobject_cast<QComboBox*>(control)) geometry.setHeight(control->sizeHint().height());
        control->setGeometry(geometry);
        control->setEnabled(!(item.dwStyle & WS_DISABLED));
        control->setVisible(item.dwStyle & WS_VISIBLE);
    }
}

QWidget* CDialogBuilder::GetDlgItem(const QWidget* dialog, int id)
{
    if (!dialog) return nullptr;
    for (QObject* child : dialog->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->property(kIdProperty).isValid() && w->property(kIdProperty).toInt() == id) return w;
    }
    return nullptr;
}

void CDialogBuilder::SetDlgCtrlID(QWidget* control, int id)
{
    if (control) control->setProperty(kIdProperty, id);
}

int CDialogBuilder::GetDlgCtrlID(const QWidget* control)
{
    const QVariant id = control ? control->property(kIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : 0;
}

}  // namespace plat
