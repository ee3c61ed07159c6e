#include "ui/EndPointDlg.h"

#include "input/TarnGroupBox.h"
#include "input/VelEdit.h"
#include "run/DurationText.h"
#include "ui/NumberField.h"
#include "ui/ResourceIds.h"
#include "ui/SettingsParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace {

using Action = CEndPointRules::Action;

constexpr double kMaxTrendSeconds = 3600;
constexpr double kMaxRatePerMinute = 10000;
constexpr double kMaxNcm = 65535;
constexpr double kMaxPlateauSeconds = CDurationText::kMaxSeconds;

int ActionIndex(Action action)
{
    switch (action) {
    case Action::StopMotor:
        return 1;
    case Action::ChangeSpeed:
        return 2;
    case Action::AlertOnly:
        break;
    }
    return 0;
}

Action ActionAt(int index)
{
    return index == 1 ? Action::StopMotor : index == 2 ? Action::ChangeSpeed : Action::AlertOnly;
}

}  // namespace

const QStringList& CEndPointDlg::ActionTexts()
{
    static const QStringList texts = {QStringLiteral("Alert"), QStringLiteral("Alert and stop the motor"),
                                      QStringLiteral("Alert and change the speed")};
    return texts;
}

CEndPointDlg::CEndPointDlg(const CEndPointRules& rules, QWidget* parent, int maxRpm)
    : QDialog(parent), m_rules(rules), m_nMaxRpm(std::clamp(maxRpm, 50, 2200))
{
    setWindowTitle(QStringLiteral("End point"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateTrendGroup());
    layout->addWidget(CreatePlateauGroup());
    layout->addWidget(CreateThresholdGroup());
    layout->addWidget(CreateActionGroup());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEndPointDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    UpdateEnabled();
}

CEndPointDlg::~CEndPointDlg() = default;

QWidget* CEndPointDlg::CreateTrendGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Trend"), this);
    auto* form = new QFormLayout(group);
    m_pTrendWindow = std::make_unique<CNumberField>(group, CNumberField::Kind::Number, QStringLiteral("The trend window"),
                                                    QStringLiteral("s"), 1, kMaxTrendSeconds, 0,
                                                    m_rules.trendWindowSeconds);
    form->addRow(QStringLiteral("Trend window (s):"), m_pTrendWindow->Edit());
    m_pMinRunTime = std::make_unique<CNumberField>(group, CNumberField::Kind::Duration,
                                                   QStringLiteral("The minimum run time"), QString(), 0,
                                                   CDurationText::kMaxSeconds, 0, m_rules.minRunSeconds);
    form->addRow(QStringLiteral("No rule fires before (h:mm:ss):"), m_pMinRunTime->Edit());
    return group;
}

QWidget* CEndPointDlg::CreatePlateauGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Plateau"), this);
    auto* form = new QFormLayout(group);
    m_pPlateauOn = new QCheckBox(QStringLiteral("End when the torque has stopped changing"), group);
    m_pPlateauOn->setChecked(m_rules.plateauOn);
    form->addRow(m_pPlateauOn);
    m_pPlateauRate = std::make_unique<CNumberField>(group, CNumberField::Kind::Number,
                                                    QStringLiteral("The plateau rate"), QStringLiteral("Ncm/min"), 0,
                                                    kMaxRatePerMinute, 2, m_rules.plateauRate);
    form->addRow(QStringLiteral("|Rate| below (Ncm/min):"), m_pPlateauRate->Edit());
    m_pPlateauTime = std::make_unique<CNumberField>(group, CNumberField::Kind::Duration,
                                                    QStringLiteral("The plateau time"), QString(), 1,
                                                    kMaxPlateauSeconds, 0, m_rules.plateauSeconds);
    form->addRow(QStringLiteral("For (h:mm:ss):"), m_pPlateauTime->Edit());
    m_pPlateauAction = NewActionBox(m_rules.plateauAction, group);
    form->addRow(QStringLiteral("Then:"), m_pPlateauAction);
    connect(m_pPlateauOn, &QCheckBox::toggled, this, &CEndPointDlg::UpdateEnabled);
    return group;
}

QWidget* CEndPointDlg::CreateThresholdGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Threshold"), this);
    auto* form = new QFormLayout(group);
    m_pThresholdOn = new QCheckBox(QStringLiteral("End when Δtorque reaches a value"), group);
    m_pThresholdOn->setChecked(m_rules.thresholdOn);
    form->addRow(m_pThresholdOn);
    m_pThreshold = std::make_unique<CNumberField>(group, CNumberField::Kind::Number,
                                                  QStringLiteral("The torque threshold"), QStringLiteral("Ncm"),
                                                  0, kMaxNcm, 1, m_rules.thresholdNcm);
    form->addRow(QStringLiteral("Δtorque at or above (Ncm):"), m_pThreshold->Edit());
    m_pThresholdAction = NewActionBox(m_rules.thresholdAction, group);
    form->addRow(QStringLiteral("Then:"), m_pThresholdAction);
    connect(m_pThresholdOn, &QCheckBox::toggled, this, &CEndPointDlg::UpdateEnabled);
    return group;
}

QWidget* CEndPointDlg::CreateActionGroup()
{
    auto* group = CSettingsParts::NewGroup(QStringLiteral("Speed change"), this);
    auto* form = new QFormLayout(group);
    m_pChangeSpeed = std::make_unique<CNumberField>(group, CNumberField::Kind::Number, QStringLiteral("The new speed"),
                                                    QStringLiteral("rpm"), 50, 2200, 0, m_rules.changeSpeedRpm);
    m_pChangeSpeed->EnableSpin(50);
    form->addRow(QStringLiteral("Change the speed to (rpm):"), m_pChangeSpeed->Edit());
    return group;
}

QComboBox* CEndPointDlg::NewActionBox(CEndPointRules::Action action, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(ActionTexts());
    box->setCurrentIndex(ActionIndex(action));
    connect(box, &QComboBox::currentIndexChanged, this, &CEndPointDlg::UpdateEnabled);
    return box;
}

void CEndPointDlg::UpdateEnabled()
{
    const bool plateau = m_pPlateauOn && m_pPlateauOn->isChecked();
    const bool threshold = m_pThresholdOn && m_pThresholdOn->isChecked();
    if (m_pPlateauRate) {
        m_pPlateauRate->Edit()->setEnabled(plateau);
        m_pPlateauTime->Edit()->setEnabled(plateau);
        m_pPlateauAction->setEnabled(plateau);
    }
    if (m_pThreshold) {
        m_pThreshold->Edit()->setEnabled(threshold);
        m_pThresholdAction->setEnabled(threshold);
    }
    if (m_pChangeSpeed) {
        const bool speed = (plateau && ActionAt(m_pPlateauAction->currentIndex()) == Action::ChangeSpeed) ||
                           (threshold && ActionAt(m_pThresholdAction->currentIndex()) == Action::ChangeSpeed);
        m_pChangeSpeed->Edit()->setEnabled(speed);
    }
}

bool CEndPointDlg::Collect(CEndPointRules* rules, QString* error, QWidget** field) const
{
    CEndPointRules read = m_rules;
    if (!m_pTrendWindow->Take(read.trendWindowSeconds, error, field) ||
        !m_pMinRunTime->Take(read.minRunSeconds, error, field) ||
        !m_pPlateauRate->Take(read.plateauRate, error, field) ||
        !m_pPlateauTime->Take(read.plateauSeconds, error, field) ||
        !m_pThreshold->Take(read.thresholdNcm, error, field) ||
        !m_pChangeSpeed->Take(read.changeSpeedRpm, error, field))
        return false;
    read.plateauOn = m_pPlateauOn->isChecked();
    read.thresholdOn = m_pThresholdOn->isChecked();
    read.plateauAction = ActionAt(m_pPlateauAction->currentIndex());
    read.thresholdAction = ActionAt(m_pThresholdAction->currentIndex());
    // A rate of 0 would never count as flat: the rule could never fire.
    if (read.plateauOn && read.plateauRate <= 0)
        return m_pPlateauRate->Refuse(QStringLiteral("The plateau rate must be above 0 Ncm/min."), error, field);
    // At or above 0 holds from the tare on: the rule would fire at once.
    if (read.thresholdOn && read.thresholdNcm <= 0)
        return m_pThreshold->Refuse(QStringLiteral("The torque threshold must be above 0 Ncm."), error, field);
    const bool changesSpeed = (read.plateauOn && read.plateauAction == Action::ChangeSpeed) ||
                              (read.thresholdOn && read.thresholdAction == Action::ChangeSpeed);
    if (changesSpeed && read.changeSpeedRpm > m_nMaxRpm)
        return m_pChangeSpeed->Refuse(
            QStringLiteral("The new speed %1 rpm is above the laboratory's maximum speed of %2 rpm (Limits).")
                .arg(read.changeSpeedRpm)
                .arg(m_nMaxRpm),
            error, field);
    *rules = read;
    return true;
}

void CEndPointDlg::accept()
{
    if (CNumberField::Confirm(this, &m_rules, [this](auto* read, QString* error, QWidget** field) {
            return Collect(read, error, field);
        }))
        QDialog::accept();
}
