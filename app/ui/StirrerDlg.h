#pragma once

#include "net/MqttSettings.h"
#include "platform/Dialog.h"
#include "ui/RunControl.h"
#include "ui/TemplateScaler.h"

#include <QImage>
#include <QPointer>
#include <array>
#include <memory>

class CBrokerLinkCell;
class CEndPointView;
class CRunAutomation;
struct CEndPointRules;
class CLiveCharts;
class CLiveSpeedField;
class CMainMenuBar;
class CWindowAutomation;
struct CSafetyLimits;
class CRunStatusStrip;
class CRunViewer;
class CTorqueCells;
class CWindowPublishing;
class CTarnStatic;
class CVelButton;
class CVelDigit;
class QLabel;
class QMenu;

// The main window: connects to the stirrer at start, takes the target speed,
// starts and stops the motor, shows every sample on two digit displays and
// saves the run. The run sequence itself is CRunControl's.
class CStirrerDlg : public plat::CDialog
{
    Q_OBJECT
public:
    static constexpr unsigned IDM_ABOUTBOX = 0x0010;

    explicit CStirrerDlg(QWidget* parent = nullptr);
    ~CStirrerDlg() override;

    // Preselection of the port settings dialog (command line).
    void SetPortPreselection(const QString& portName, const QString& baudText);
    // The run journal (off unless set; the application sets it). With a
    // journal, the window offers the unfinished runs it finds at start.
    void SetJournalOptions(const CRunControl::SJournalOptions& options);
    // The broker settings the window starts publishing with (none by
    // default); applied once the port is chosen.
    void SetNetworkSettings(const SMqttSettings& settings) { m_networkSettings = settings; }
    // Publishes with new settings at once (the old connection ends); false
    // after showing why they cannot be used.
    bool ApplyNetworkSettings(const SMqttSettings& settings);
    const CWindowPublishing* Publishing() const { return m_pPublishing.get(); }
    // "Network…": the broker settings, remembered and applied at once.
    void OnNetworkSettings();
    // The end-point rules the window starts with (the remembered ones in
    // the program); "End point…" changes and remembers them.
    void SetEndPointRules(const CEndPointRules& rules);
    void OnEndPointSettings();
    // "Tare torque" (F3): the mean of the last five samples becomes zero.
    void OnTare();
    const CEndPointView* EndPoint() const { return m_pEndPoint.get(); }
    const CBrokerLinkCell* BrokerCell() const { return m_pBrokerCell; }
    const CTorqueCells* TorqueCells() const { return m_pTorqueCells; }

    // "Mark event…" (F2): asks for a note and marks the run.
    void OnMarkEvent();
    // Marks the run with the note ("Mark n" when empty); the text used.
    QString MarkEvent(const QString& note);
    // "Run details…": operator, sample and note of the next run.
    void OnRunDetails();
    // The question about unfinished journals; nothing when there are none.
    void OfferRecovery();
    const CRunStatusStrip* Strip() const { return m_pStrip; }
    CRunStatusStrip* Strip() { return m_pStrip; }
    // The menu bar above the template's controls; entries are added to it
    // with CMainMenuBar::AddEntry.
    CMainMenuBar* MenuBar() const { return m_pMenuBar; }
    // The template's area inside the window: below the menu bar, above the strip.
    QRect TemplateArea() const { return m_rcTemplate; }
    // Opens scaled down when the template is larger than the screen (the
    // application asks for it; tests open at the template's size).
    void SetFitToScreen(bool fit) { m_bFitToScreen = fit; }
    // Scales the window down so that it fits available (the screen's free
    // area less the window frame when empty); never up.
    void FitToScreen(QSize available = QSize());
    // The laboratory's limits (the application reads the remembered ones).
    void SetLimits(const CSafetyLimits& limits);
    CWindowAutomation* Automation() const { return m_pAutomation; }
    // "Program…": the program editor; the program it ends with runs at the
    // next Start instead of the single speed.
    void OnProgram();
    // "Limits…": the laboratory's limits, remembered.
    void OnLimits();
    // "Stop after…": asks h:mm:ss for the next run.
    void OnStopAfter();
    // Enter in the speed field during a run: the shown speed at once.
    void OnSpeedEntered();
    // "Port…": while no run is under way, the port dialog again and a new
    // connection with its choice.
    void OnPortSettings();
    // The context menu's entries (About among them).
    QMenu* ContextMenu() const { return m_pSysMenu; }

    // Handlers, public so that the application and the tests can drive them.
    void OnStart();
    void OnStop();
    void OnSave();
    // Writes the run to path; false after showing why it failed.
    bool SaveTo(const QString& path);
    void OnStirrerSample(int speed, int torque);
    void OnStirrerState(int motor, int status);
    void OnSysCommand(unsigned nID);
    void OnDeltaposSpeedSpin(int iDelta);
    void OnDeltaposTempSpin(int iDelta);
    // Shutdown: waits for the worker when a run is active, closes the port.
    void OnDestroy();

    int m_nSpeed = 200;            // target speed, rpm (edit 1004)
    float m_fTemperature = 100.0f;  // hidden temperature (edit 1002)

    const CRunControl& Run() const { return m_run; }
    CVelDigit* SpeedDisplay() const { return m_digSpeed; }
    CVelDigit* TorqueDisplay() const { return m_digTorque; }
    const CLiveCharts* Charts() const { return m_pCharts; }
    // Open, compare and report runs ("Open run…", "Compare with…", "Report…").
    CRunViewer* Viewer() const { return m_pViewer; }
    // The line below the controls saying why the port could not be used;
    // null while there is nothing to say.
    const QLabel* ProblemLine() const { return m_stcProblem; }

    // During a serial exchange the close is queued and done once it ends.
    // While the motor may turn, one question decides: stop it and close,
    // leave it running and close, or stay.
    void reject() override;
    void OnCancel() override;
    bool IsCloseQueued() const { return m_bCloseQueued; }

protected:
    plat::BOOL OnInitDialog() override;
    void DoDataExchange(plat::CDataExchange* pDX) override;
    QWidget* CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AddAboutEntry();
    void SetUpControls();
    void PortSettingsStep();
    void UpdateRunButtons(bool running);
    void AddJournalEntries();
    void AddMenuBar();
    void AddStatusStrip();
    void ShowJournalWarning(const QString& text);
    void CloseIfQueued();
    bool StopForClose();
    void SetUpAutomation();
    void ShowConnectionProblem(const QString& reason);
    void OnRemoteStop(const QString& text);
    void AddAssistantEntries();
    void HideConnectionProblem();
    void SetUpScaling();
    void LayOutWindow();

    CRunControl m_run;
    // After the run control: they end before it.
    std::unique_ptr<CEndPointView> m_pEndPoint;
    std::unique_ptr<CWindowPublishing> m_pPublishing;
    SMqttSettings m_networkSettings;
    CBrokerLinkCell* m_pBrokerCell = nullptr;
    CTorqueCells* m_pTorqueCells = nullptr;
    CVelDigit* m_digTorque = nullptr;
    CVelDigit* m_digSpeed = nullptr;
    CLiveCharts* m_pCharts = nullptr;  // child object; charts 1010 and 1007
    CRunViewer* m_pViewer = nullptr;   // child object
    CVelButton* m_btnStart = nullptr;
    CVelButton* m_btnClose = nullptr;
    CVelButton* m_btnStop = nullptr;
    CVelButton* m_btnSave = nullptr;
    std::array<CTarnStatic*, 6> m_stcLabels{};  // 1012 to 1017
    QMenu* m_pSysMenu = nullptr;
    CRunStatusStrip* m_pStrip = nullptr;
    CMainMenuBar* m_pMenuBar = nullptr;
    CWindowAutomation* m_pAutomation = nullptr;  // child object
    CLiveSpeedField* m_pSpeedField = nullptr;    // child object
    QRect m_rcTemplate;  // the template's controls and background picture
    CTemplateScaler m_scaler;
    int m_nProblemHeight = 0;  // the problem line and its margin, 0 when hidden
    bool m_bFitToScreen = false;
    QPointer<QWidget> m_pJournalWarning;
    QLabel* m_stcProblem = nullptr;
    QImage m_background;
    int m_nBackground = 2;
    QString m_strPortName = QStringLiteral("com1");
    QString m_strBaudRate = QStringLiteral("9600");
    QString m_strProgramPath;  // the program file last loaded or saved
    bool m_bCloseQueued = false;
};
