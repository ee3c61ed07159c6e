#pragma once

#include "run/SafetyLimits.h"

#include <QDialog>
#include <memory>

class CNumberField;
class QCheckBox;
class QRadioButton;

// "Limits…": the laboratory's maximum speed, the torque limit with its
// action, the link-lost time and "confirm before Start". OK reads every
// field; a refused one is named in a message box, focused, and nothing is
// taken over.
class CLimitsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CLimitsDlg(const CSafetyLimits& limits, QWidget* parent = nullptr);
    ~CLimitsDlg() override;

    // The limits confirmed with OK; before that (or after Cancel) the ones
    // given to the constructor.
    CSafetyLimits Limits() const { return m_limits; }

    // The fields' values, or false with *error and *field (the one at
    // fault) set. Shows nothing.
    bool Collect(CSafetyLimits* limits, QString* error, QWidget** field) const;
    // Why a link-lost time above 0 but under the least one is refused.
    static QString LinkLostTooShortText();

    CNumberField& MaxRpmField() const { return *m_pMaxRpm; }
    CNumberField& TorqueField() const { return *m_pTorque; }
    CNumberField& LinkLostField() const { return *m_pLinkLost; }
    QRadioButton* StopMotorButton() const { return m_pStop; }
    QRadioButton* AlarmOnlyButton() const { return m_pAlarm; }
    QCheckBox* ConfirmBox() const { return m_pConfirm; }

    void accept() override;

private:
    QWidget* CreateSpeedGroup();
    QWidget* CreateTorqueGroup();
    QWidget* CreateLinkGroup();

    CSafetyLimits m_limits;
    std::unique_ptr<CNumberField> m_pMaxRpm;
    std::unique_ptr<CNumberField> m_pTorque;
    std::unique_ptr<CNumberField> m_pLinkLost;
    QRadioButton* m_pStop = nullptr;
    QRadioButton* m_pAlarm = nullptr;
    QCheckBox* m_pConfirm = nullptr;
};
