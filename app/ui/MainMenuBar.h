#pragma once

#include "input/TarnMenu.h"

#include <QKeySequence>
#include <QMenuBar>
#include <QStyle>
#include <array>
#include <memory>

// The main window's menu bar: File (shown once it holds an entry), Run,
// Settings and Help. The drop-downs are painted by the library's CTarnMenu
// and the bar's own items as the same tiles, in the window's colours.
// Entries are added with one call each:
//
//   bar->AddEntry(CMainMenuBar::EMenu::Run, "Tare torque", this, &Dlg::OnTare, Qt::Key_F3);
//
// Shortcuts work while the window is active, whether or not a menu is open.
class CMainMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    enum class EMenu { File, Run, Settings, Help };

    explicit CMainMenuBar(QWidget* parent = nullptr);
    ~CMainMenuBar() override;

    QMenu* Menu(EMenu menu) const { return m_menus[size_t(menu)]; }
    // A new entry at the end of the menu; the action belongs to the menu.
    QAction* AddEntry(EMenu menu, const QString& text, const QKeySequence& shortcut = {});
    // The same, connected to a slot or functor of receiver (which also
    // bounds the connection's life).
    template <class Receiver, class Slot>
    QAction* AddEntry(EMenu menu, const QString& text, const Receiver* receiver, Slot slot,
                      const QKeySequence& shortcut = {})
    {
        QAction* action = AddEntry(menu, text, shortcut);
        connect(action, &QAction::triggered, receiver, slot);
        return action;
    }
    void AddSeparator(EMenu menu);
    // The first entry of any menu with this text (without its shortcut);
    // null when there is none.
    QAction* Entry(const QString& text) const;
    // The object that paints the drop-downs (its colours, its records).
    CTarnMenu& Painter() { return m_painter; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QMenu* AddMenu(const QString& title);
    void ConvertNewEntries(QMenu* menu);

    CTarnMenu m_painter;  // never shown itself: it draws the menus below
    std::unique_ptr<QStyle> m_pItemStyle;  // sizes the bar's own items
    std::array<QMenu*, 4> m_menus{};
};
