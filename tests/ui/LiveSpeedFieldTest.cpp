#include "ui/LiveSpeedField.h"

#include <QLineEdit>
#include <QPushButton>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using EState = CLiveSpeedField::EState;

TEST(LiveSpeedFieldTest, TheFieldTellsWhetherTheShownValueIsInEffect)
{
    QLineEdit edit;
    CLiveSpeedField field(&edit);
    const struct {
        int running;  // set-point in effect, -1 idle
        QString text;
        EState expected;
    } cases[] = {
        {-1, "300", EState::Idle},
        {300, "300", EState::InEffect},
        {300, " 300 ", EState::InEffect},
        {300, "310", EState::Pending},
        {300, "", EState::Pending},
        {300, "abc", EState::Pending},
        {2199, "2200", EState::InEffect},  // sent as 2199
        {2199, "2199", EState::InEffect},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        field.SetRunning(c.running);
        edit.setText(c.text);
        EXPECT_EQ(field.State(), c.expected);
        EXPECT_EQ(edit.toolTip(), CLiveSpeedField::StateText(c.expected, c.running));
        EXPECT_EQ(edit.styleSheet().isEmpty(), c.expected == EState::Idle);
    }
    field.SetRunning(300);
    edit.setText("500");
    field.SetInEffect(500);
    EXPECT_EQ(field.State(), EState::InEffect);
    field.SetRunning(-1);
    field.SetInEffect(700);
    EXPECT_EQ(field.State(), EState::Idle) << "no set-point outside a run";
}

// Enter during a run sends; it never reaches the window's default button.
// Idle, Enter goes on to the window as before.
TEST(LiveSpeedFieldTest, EnterDuringARunAsksToSendAndGoesNoFurther)
{
    QDialog window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QPushButton("Stop", &window);
    button->setDefault(true);
    CLiveSpeedField field(edit);
    QSignalSpy send(&field, &CLiveSpeedField::sendRequested);
    QSignalSpy pressed(button, &QPushButton::clicked);
    window.show();

    field.SetRunning(300);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(send.count(), 2);
    EXPECT_EQ(pressed.count(), 0);

    field.SetRunning(-1);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(send.count(), 2);
    EXPECT_EQ(pressed.count(), 1);
}
