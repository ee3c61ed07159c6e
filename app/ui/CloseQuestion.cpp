#include "ui/CloseQuestion.h"

#include "ui/ResourceIds.h"

#include <QMessageBox>
#include <QPushButton>

const char* const CCloseQuestion::kStopText = "Stop the motor and close";
const char* const CCloseQuestion::kLeaveText = "Leave the motor running and close";

CCloseQuestion::EAnswer CCloseQuestion::Ask(QWidget* parent)
{
    QMessageBox box(QMessageBox::Question, vantoc::String(vantoc::IDS_PRODUCT_NAME),
                    QStringLiteral("The motor is running. Stop it before the window closes?"), QMessageBox::NoButton,
                    parent);
    QPushButton* stop = box.addButton(QString::fromUtf8(kStopText), QMessageBox::AcceptRole);
    QPushButton* leave = box.addButton(QString::fromUtf8(kLeaveText), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == stop) return EAnswer::StopAndClose;
    if (box.clickedButton() == leave) return EAnswer::LeaveRunningAndClose;
    return EAnswer::Cancel;
}
