#include "ui/RunDetailsDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSettings>

namespace {
constexpr int kMaxLength = 200;
const char* const kOperatorKey = "run/operator";
}  // namespace

CRunDetailsDlg::CRunDetailsDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Run details"));
    auto* form = new QFormLayout(this);
    for (QLineEdit** edit : {&m_pOperator, &m_pSample, &m_pNote}) {
        *edit = new QLineEdit(this);
        (*edit)->setMaxLength(kMaxLength);
    }
    form->addRow(QStringLiteral("Operator:"), m_pOperator);
    form->addRow(QStringLiteral("Sample:"), m_pSample);
    form->addRow(QStringLiteral("Note:"), m_pNote);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void CRunDetailsDlg::SetValues(const QString& op, const QString& sample, const QString& note)
{
    m_pOperator->setText(op);
    m_pSample->setText(sample);
    m_pNote->setText(note);
}

QString CRunDetailsDlg::Operator() const
{
    return m_pOperator->text().trimmed();
}

QString CRunDetailsDlg::Sample() const
{
    return m_pSample->text().trimmed();
}

QString CRunDetailsDlg::Note() const
{
    return m_pNote->text().trimmed();
}

QString CRunDetailsDlg::RememberedOperator()
{
    return QSettings().value(QLatin1String(kOperatorKey)).toString();
}

void CRunDetailsDlg::RememberOperator(const QString& op)
{
    QSettings().setValue(QLatin1String(kOperatorKey), op);
}
