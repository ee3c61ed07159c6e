#pragma once

#include "support/ModalAnswer.h"

#include <QMessageBox>

// Presses OK on a settings dialog, answering the warning it may show; the
// warning's text, empty when none came.
template <class Dialog>
QString PressOk(Dialog& dlg)
{
    QString text;
    ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    dlg.accept();
    if (text.isEmpty()) answer.cancel();
    return text;
}
