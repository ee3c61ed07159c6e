#pragma once

#include "run/EndPointRules.h"

#include <QDialog>
#include <memory>

class CNumberField;
class QCheckBox;
class QComboBox;

// "End point…": the torque trend window, the plateau rule (rate, time,
// action), the threshold rule (Δtorque, action), the speed a "change speed"
// action goes to, and the minimum run time. OK reads every field; a
// refused one is named in a message box, focused, and nothing is taken over.
class CEndPointDlg : public QDialog
{
    Q_OBJECT
public:
    // The entries of both action lists, in this order.
    static const QStringList& ActionTexts();

    // maxRpm: the laboratory's maximum speed, which a speed change may not exceed.
    explicit CEndPointDlg(const CEndPointRules& rules, QWidget* parent = nullptr, int maxRpm = 2200);
    ~CEndPointDlg() override;

    // The rules confirmed with OK; before that (or after Cancel) the ones
    // given to the constructor.
    CEndPointRules Rules() const { return m_rules; }

    // The fields' values, or false with *error and *field (the one at
    // fault) set. Shows nothing.
    bool Collect(CEndPointRules* rules, QString* error, QWidget** field) const;

    CNumberField& TrendWindowField() const { return *m_pTrendWindow; }
    CNumberField& PlateauRateField() const { return *m_pPlateauRate; }
    CNumberField& PlateauTimeField() const { return *m_pPlateauTime; }
    CNumberField& ThresholdField() const { return *m_pThreshold; }
    CNumberField& ChangeSpeedField() const { return *m_pChangeSpeed; }
    CNumberField& MinRunTimeField() const { return *m_pMinRunTime; }
    QCheckBox* PlateauBox() const { return m_pPlateauOn; }
    QCheckBox* ThresholdBox() const { return m_pThresholdOn; }
    QComboBox* PlateauActionBox() const { return m_pPlateauAction; }
    QComboBox* ThresholdActionBox() const { return m_pThresholdAction; }

    void accept() override;

private:
    QWidget* CreateTrendGroup();
    QWidget* CreatePlateauGroup();
    QWidget* CreateThresholdGroup();
    QWidget* CreateActionGroup();
    QComboBox* NewActionBox(CEndPointRules::Action action, QWidget* parent);
    // The fields of a rule that is off are greyed; the speed only matters
    // while an action changes the speed.
    void UpdateEnabled();

    CEndPointRules m_rules;
    int m_nMaxRpm;
    std::unique_ptr<CNumberField> m_pTrendWindow;
    std::unique_ptr<CNumberField> m_pPlateauRate;
    std::unique_ptr<CNumberField> m_pPlateauTime;
    std::unique_ptr<CNumberField> m_pThreshold;
    std::unique_ptr<CNumberField> m_pChangeSpeed;
    std::unique_ptr<CNumberField> m_pMinRunTime;
    QCheckBox* m_pPlateauOn = nullptr;
    QCheckBox* m_pThresholdOn = nullptr;
    QComboBox* m_pPlateauAction = nullptr;
    QComboBox* m_pThresholdAction = nullptr;
};
