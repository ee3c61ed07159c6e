#include "EditSection.h"

#include "graph/VelGraphWnd.h"
#include "input/VelEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

CVelEdit* NumberEdit(QWidget* parent, double dMin, double dMax, unsigned nPrecision)
{
    auto* edit = new CVelEdit(parent);
    edit->SetRange(dMin, dMax);
    edit->SetPrecision(nPrecision);
    edit->setMinimumWidth(160);
    return edit;
}

}  // namespace

EditSection::EditSection(CVelGraphWnd* pChart, QWidget* parent)
    : QGroupBox(QStringLiteral("CVelEdit: embedded buttons and checked numbers; chart properties"), parent)
{
    auto* row = new QHBoxLayout(this);
    auto* form = new QFormLayout;
    row->addLayout(form);

    auto* plain = new CVelEdit(this);
    plain->setText(QStringLiteral("plain text"));
    form->addRow(QStringLiteral("Plain"), plain);

    auto* label = new CVelEdit(this);
    label->EnableDefaultButton(QStringLiteral("..."));
    label->setText(QStringLiteral("labelled button"));
    form->addRow(QStringLiteral("Label button"), label);

    auto* file = new CVelEdit(this);
    file->EnableFileBrowseButton(QStringLiteral("xls"), QStringLiteral("Runs (*.xls)|*.xls|All files (*.*)|*.*||"));
    file->setText(QStringLiteral("run.xls"));
    form->addRow(QStringLiteral("File"), file);

    auto* folder = new CVelEdit(this);
    folder->EnableFolderBrowseButton(QStringLiteral("选择文件夹"));
    folder->setText(QStringLiteral("/tmp"));
    form->addRow(QStringLiteral("Folder"), folder);

    CVelEdit* number = NumberEdit(this, 0.0, 100.0, 2);
    number->EnableNumberEdit();
    number->EnableMinus();
    number->SetValue(12.5);
    form->addRow(QStringLiteral("Number 0..100, 2 decimals"), number);

    CVelEdit* spin = NumberEdit(this, 50.0, 2200.0, 0);
    spin->EnableSpinNumButton();
    spin->SetStepValue(50.0);
    spin->SetValue(300L);
    form->addRow(QStringLiteral("Speed 50..2200 rpm, step 50"), spin);

    auto* side = new QVBoxLayout;
    row->addLayout(side);
    auto* accepted = new QLabel(QStringLiteral("Accepted: -"), this);
    side->addWidget(accepted);
    for (CVelEdit* edit : {number, spin}) {
        connect(edit, &CVelEdit::numberAccepted, accepted,
                [accepted, edit] { accepted->setText(QStringLiteral("Accepted: %1").arg(edit->text())); });
    }
    auto* sheet = new QPushButton(QStringLiteral("Chart properties..."), this);
    sheet->setEnabled(pChart != nullptr);
    if (pChart) connect(sheet, &QPushButton::clicked, pChart, [pChart] { pChart->OnProperty(); });
    side->addWidget(sheet);
    side->addWidget(new QLabel(QStringLiteral("(or double-click a chart)"), this));
    side->addStretch();
}
