#include "ui/LimitsDlg.h"

#include "input/TarnGroupBox.h"
#include "input/VelEdit.h"
#include "ui/NumberField.h"
#include "ui/ResourceIds.h"
#include "ui/SettingsParts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr double kMaxTorqueNcm = 65535;
constexpr double kMaxLinkLostSeconds = 86400;

}  // namespace

CLimitsDlg::CLimitsDlg(const CSafetyLimits& limits, QWidget* parent) : QDialog(parent), m_limits(limits)
{
    setWindowTitle(QStringLiteral("Limits"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateSpeedGroup());
    layout->addWidget(CreateTorqueGroup());
    layout->addWidget(CreateLinkGroup());
    m_pConfirm = new QCheckBox(QStringLiteral("Confirm before Start"), this);
    m_pConfirm->setChecked(limits.confirmBeforeStart);
    layout->addWidget(m_pConfirm);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLimitsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CLimitsDlg::~CLimitsDlg() = default;

QWidget* CLimitsDlg::CreateSpeedGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Speed"), this);
    auto* form = new QFormLayout(group);
    m_pMaxRpm = std::make_unique<CNumberField>(group, CNumberField::Kind::Number, QStringLiteral("The maximum speed"),
                                               QStringLiteral("rpm"), 50, 2200, 0, m_limits.maxRpm);
    m_pMaxRpm->EnableSpin(50);
    form->addRow(QStringLiteral("Maximum speed (rpm):"), m_pMaxRpm->Edit());
    form->addRow(CSettingsParts::Hint(QStringLiteral("Start and programs refuse more."), group));
    return group;
}

QWidget* CLimitsDlg::CreateTorqueGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Torque"), this);
    auto* form = new QFormLayout(group);
    m_pTorque = std::make_unique<CNumberField>(group, CNumberField::Kind::Number, QStringLiteral("The torque limit"),
                                               QStringLiteral("Ncm"), 0, kMaxTorqueNcm, 1, m_limits.torqueLimitNcm);
    form->addRow(QStringLiteral("Torque limit (Ncm):"), m_pTorque->Edit());
    form->addRow(CSettingsParts::Hint(QStringLiteral("0: no torque limit."), group));
    m_pStop = new QRadioButton(QStringLiteral("Stop the motor"), group);
    m_pAlarm = new QRadioButton(QStringLiteral("Alarm only"), group);
    (m_limits.torqueAction == CSafetyLimits::TorqueAction::AlarmOnly ? m_pAlarm : m_pStop)->setChecked(true);
    form->addRow(QStringLiteral("When reached:"), m_pStop);
    form->addRow(QString(), m_pAlarm);
    return group;
}

QWidget* CLimitsDlg::CreateLinkGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Link"), this);
    auto* form = new QFormLayout(group);
    m_pLinkLost = std::make_unique<CNumberField>(group, CNumberField::Kind::Number, QStringLiteral("The link-lost time"),
                                                 QStringLiteral("s"), 0, kMaxLinkLostSeconds, 1,
                                                 m_limits.linkLostSeconds);
    form->addRow(QStringLiteral("Link lost after (s):"), m_pLinkLost->Edit());
    form->addRow(
        CSettingsParts::Hint(QStringLiteral("No valid status reply for this long raises the alarm; 0: never."), group));
    return group;
}

QString CLimitsDlg::LinkLostTooShortText()
{
    return QStringLiteral("The link-lost time must be 0 (never) or at least 2 s: the stirrer answers once a second.");
}

bool CLimitsDlg::Collect(CSafetyLimits* limits, QString* error, QWidget** field) const
{
    CSafetyLimits read = m_limits;
    if (!m_pMaxRpm->Take(read.maxRpm, error, field) || !m_pTorque->Take(read.torqueLimitNcm, error, field) ||
        !m_pLinkLost->Take(read.linkLostSeconds, error, field))
        return false;
    if (read.linkLostSeconds > 0 && read.linkLostSeconds < CSafetyLimits::kMinLinkLostSeconds)
        return m_pLinkLost->Refuse(LinkLostTooShortText(), error, field);
    read.torqueAction = m_pAlarm->isChecked() ? CSafetyLimits::TorqueAction::AlarmOnly
                                              : CSafetyLimits::TorqueAction::StopMotor;
    read.confirmBeforeStart = m_pConfirm->isChecked();
    *limits = read;
    return true;
}

void CLimitsDlg::accept()
{
    if (CNumberField::Confirm(this, &m_limits, [this](auto* read, QString* error, QWidget** field) {
            return Collect(read, error, field);
        }))
        QDialog::accept();
}
