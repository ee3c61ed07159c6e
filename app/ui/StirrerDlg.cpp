#include "ui/StirrerDlg.h"

#include "display/TarnStatic.h"
#include "display/VelButton.h"
#include "display/VelDigit.h"
#include "graph/VelGraphWnd.h"
#include "platform/ColorRef.h"
#include "platform/DataExchange.h"
#include "platform/Font.h"
#include "platform/Icon.h"
#include "platform/ResourceModule.h"
#include "platform/SpinButtonCtrl.h"
#include "ui/AboutDlg.h"
#include "ui/BrokerLinkCell.h"
#include "ui/BusyExchange.h"
#include "ui/AlarmBanner.h"
#include "ui/EndPointDlg.h"
#include "ui/EndPointView.h"
#include "ui/NetworkDlg.h"
#include "net/MqttMessages.h"
#include "ui/RunAutomation.h"
#include "ui/CloseQuestion.h"
#include "ui/InfoDlg.h"
#include "ui/LimitsDlg.h"
#include "ui/LiveCharts.h"
#include "ui/LiveSpeedField.h"
#include "ui/MainMenuBar.h"
#include "ui/Palette.h"
#include "ui/PortSettingDlg.h"
#include "ui/ProgramEditorDlg.h"
#include "ui/ResourceIds.h"
#include "ui/RecoveryDlg.h"
#include "ui/RunDetailsDlg.h"
#include "ui/RunExport.h"
#include "ui/RunStatusStrip.h"
#include "ui/RunViewer.h"
#include "ui/TorqueCells.h"
#include "ui/WindowAutomation.h"
#include "ui/RunPublishing.h"
#include "ui/WindowPublishing.h"
#include "link/CommPort.h"
#include "run/DurationText.h"
#include "run/JournalStore.h"
#include "run/RunJournal.h"

#include <QContextMenuEvent>
#include <QHostInfo>
#include <QSettings>
#include <QInputDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <cstdio>

namespace {
const QString kShowDelta = QStringLiteral("Show \u0394torque on the chart");
const QString kHideDelta = QStringLiteral("Hide \u0394torque on the chart");
const int kIdTorqueDigit = 1000;
const int kIdSpeedDigit = 1001;
const int kIdTemperature = 1002;
const int kIdTempSpin = 1003;
const int kIdSpeed = 1004;
const int kIdSpeedSpin = 1005;
const int kIdStart = 1006;
const int kIdSave = 1008;
const int kIdStop = 1009;
const int kIdFirstLabel = 1012;
const int kIdLastLabel = 1017;
const int kDigitPlaces = 5;

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        const plat::CIconPtr hIcon(plat::LoadIcon(vantoc::IDR_MAINFRAME, plat::CSize(size, size)));
        if (hIcon) icon.addPixmap(QPixmap::fromImage(plat::IconImage(hIcon.get())));
    }
    return icon;
}
}  // namespace

CStirrerDlg::CStirrerDlg(QWidget* parent)
    : plat::CDialog(plat::CDialogTemplate::Load(vantoc::DialogTemplatePath(vantoc::IDD_STIRRER_DIALOG)), parent),
      m_pPublishing(std::make_unique<CWindowPublishing>(m_run)),
      m_scaler(this)
{
    connect(m_pPublishing.get(), &CWindowPublishing::remoteStop, this, &CStirrerDlg::OnRemoteStop);
    connect(m_pPublishing.get(), &CWindowPublishing::problem, this, &CStirrerDlg::ShowJournalWarning);
    m_run.SetExchangeRunner(&CBusyExchange::Run);
    connect(&m_run, &CRunControl::sampleArrived, this, &CStirrerDlg::OnStirrerSample);
    connect(&m_run, &CRunControl::runningChanged, this, &CStirrerDlg::UpdateRunButtons);
    connect(&m_run, &CRunControl::journalWarning, this, &CStirrerDlg::ShowJournalWarning);
    // Queued: the handler that ran the exchange finishes its steps first.
    connect(&m_run, &CRunControl::exchangesEnded, this, &CStirrerDlg::CloseIfQueued, Qt::QueuedConnection);
    m_pAutomation = new CWindowAutomation(m_run, this);
    m_pEndPoint = std::make_unique<CEndPointView>(m_run, m_pAutomation->Automation());
    // The automation's stops are the Stop button's.
    m_pAutomation->Automation().SetStopHandler([this](const QString& reason) {
        const bool stopped = m_run.Stop(reason);
        UpdateRunButtons(false);
        return stopped;
    });
}

void CStirrerDlg::SetLimits(const CSafetyLimits& limits)
{
    m_pAutomation->SetLimits(limits);
}

void CStirrerDlg::SetJournalOptions(const CRunControl::SJournalOptions& options)
{
    m_run.SetJournalOptions(options);
}

CStirrerDlg::~CStirrerDlg()
{
    OnDestroy();
}

void CStirrerDlg::SetPortPreselection(const QString& portName, const QString& baudText)
{
    if (!portName.isEmpty()) m_strPortName = portName;
    if (!baudText.isEmpty()) m_strBaudRate = baudText;
}

QWidget* CStirrerDlg::CreateControl(const plat::CDialogItemTemplate& item, QWidget* parent)
{
    switch (item.nId) {
    case kIdTorqueDigit:
        return m_digTorque = new CVelDigit(parent);
    case kIdSpeedDigit:
        return m_digSpeed = new CVelDigit(parent);
    case CLiveCharts::kIdSpeedChart:
    case CLiveCharts::kIdTorqueChart:
        return CLiveCharts::CreateChart(item, parent);
    case kIdStart:
        return m_btnStart = new CVelButton(parent);
    case plat::IDCANCEL:
        return m_btnClose = new CVelButton(parent);
    case kIdStop:
        return m_btnStop = new CVelButton(parent);
    case kIdSave:
        return m_btnSave = new CVelButton(parent);
    default:
        if (item.nId >= kIdFirstLabel && item.nId <= kIdLastLabel)
            return m_stcLabels[item.nId - kIdFirstLabel] = new CTarnStatic(parent);
        return nullptr;
    }
}

void CStirrerDlg::DoDataExchange(plat::CDataExchange* pDX)
{
    plat::DDX_Text(pDX, kIdTemperature, m_fTemperature);
    plat::DDV_MinMaxFloat(pDX, m_fTemperature, 25, 340);
    plat::DDX_Text(pDX, kIdSpeed, m_nSpeed);
    plat::DDV_MinMaxInt(pDX, m_nSpeed, 0, 20000);
}

plat::BOOL CStirrerDlg::OnInitDialog()
{
    plat::CDialog::OnInitDialog();
    AddAboutEntry();
    setWindowIcon(ApplicationIcon());
    SetUpControls();
    AddJournalEntries();
    AddMenuBar();
    AddStatusStrip();
    SetUpAutomation();
    AddAssistantEntries();
    SetUpScaling();
    PortSettingsStep();
    if (m_networkSettings.IsEnabled()) ApplyNetworkSettings(m_networkSettings);
    if (!m_run.Connect()) {
        ShowConnectionProblem(m_run.ConnectionProblem());
        CInfoDlg::ShowString(vantoc::IDS_CONNECT_FAILED);
    }
    setWindowTitle(vantoc::String(vantoc::IDS_PRODUCT_NAME));
    m_pViewer->SetLiveTitle(windowTitle());
    if (m_bFitToScreen) FitToScreen();
    OfferRecovery();
    return plat::TRUE;
}

// Window managers offer no system menu to extend, so the About entry sits
// in the window's context menu, after a separator as it would there.
void CStirrerDlg::AddAboutEntry()
{
    const QString text = vantoc::String(vantoc::IDS_ABOUTBOX);
    if (text.isEmpty()) return;
    m_pSysMenu = new QMenu(this);
    m_pSysMenu->addSeparator();
    QAction* about = m_pSysMenu->addAction(text);
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
}

void CStirrerDlg::SetUpControls()
{
    for (CVelDigit* digit : {m_digTorque, m_digSpeed}) {
        digit->SetStyle(vantoc::IDB_DIGIT_STRIP, kDigitPlaces);
        digit->SetDotPrecision(0);
        digit->SetValue(digit == m_digTorque ? 0.0f : 500.0f, plat::TRUE);
        digit->SetZeroPadding(plat::TRUE, plat::TRUE);
    }
    m_pCharts = new CLiveCharts(GetDlgItem<CVelGraphWnd>(CLiveCharts::kIdSpeedChart),
                                GetDlgItem<CVelGraphWnd>(CLiveCharts::kIdTorqueChart), this);
    m_pCharts->SetUp();
    m_pCharts->Follow(m_run);
    m_pViewer = new CRunViewer(m_pCharts, m_run, this);
    for (CVelButton* button : {m_btnStart, m_btnClose, m_btnStop, m_btnSave}) {
        button->SetButtonSemiflat(plat::TRUE);
        button->SetBkgInColor(vantoc::kBackground);
        button->SetTextColor(vantoc::kLightText, 0, 0);
        button->SetTextInColor(vantoc::kLightText);
        button->SetFontSize(vantoc::kButtonFontHeight, vantoc::kButtonFontWeight);
    }
    const plat::LOGFONT lf = vantoc::LabelLogFont();
    for (int id : {1012, 1013}) {
        auto* pFont = new plat::CFont;
        pFont->CreateFontIndirect(&lf);
        m_stcLabels[id - kIdFirstLabel]->SetFont(pFont);
    }
    for (CTarnStatic* label : m_stcLabels) label->SetTextColor(vantoc::kLightText);
    connect(m_btnStart, &QAbstractButton::clicked, this, &CStirrerDlg::OnStart);
    connect(m_btnStop, &QAbstractButton::clicked, this, &CStirrerDlg::OnStop);
    connect(m_btnSave, &QAbstractButton::clicked, this, &CStirrerDlg::OnSave);
    connect(GetDlgItem<plat::CSpinButtonCtrl>(kIdSpeedSpin), &plat::CSpinButtonCtrl::deltaPos, this,
            &CStirrerDlg::OnDeltaposSpeedSpin);
    connect(GetDlgItem<plat::CSpinButtonCtrl>(kIdTempSpin), &plat::CSpinButtonCtrl::deltaPos, this,
            &CStirrerDlg::OnDeltaposTempSpin);
}

// The reason goes to standard error and into a line below the controls; the
// window grows by that line only when there is a reason to show.
void CStirrerDlg::ShowConnectionProblem(const QString& reason)
{
    if (reason.isEmpty()) return;
    std::fprintf(stderr, "vantoc: %s\n", qPrintable(reason));
    if (!m_stcProblem) {
        m_stcProblem = new QLabel(this);
        m_stcProblem->setWordWrap(true);
        m_stcProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPalette palette = m_stcProblem->palette();
        palette.setColor(QPalette::WindowText, plat::ToQColor(vantoc::kLightText));
        m_stcProblem->setPalette(palette);
    }
    m_stcProblem->setText(reason);
    m_stcProblem->show();
    const int margin = fontMetrics().height() / 2;
    const int before = m_nProblemHeight;
    m_nProblemHeight = m_stcProblem->heightForWidth(width() - 2 * margin) + margin;
    resize(width(), height() - before + m_nProblemHeight);
    LayOutWindow();
}

void CStirrerDlg::HideConnectionProblem()
{
    if (!m_stcProblem || m_nProblemHeight == 0) return;
    m_stcProblem->hide();
    const int before = m_nProblemHeight;
    m_nProblemHeight = 0;
    resize(width(), height() - before);
    LayOutWindow();
}

// The template's controls scale with the window between the bar and the
// strip; the digit displays keep their strip's proportions.
void CStirrerDlg::SetUpScaling()
{
    QList<QWidget*> controls;
    for (QObject* child : children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control && control != m_pMenuBar && control != m_pStrip && !control->isWindow()) controls << control;
    }
    m_scaler.SetControls(controls);
    for (CVelDigit* digit : {m_digTorque, m_digSpeed}) {
        digit->SetScaleToFit(true);
        m_scaler.KeepAspect(digit, digit->sizeHint());
    }
    m_scaler.Arm(m_rcTemplate);
    const int below = CRunStatusStrip::kHeight;
    setMinimumSize(m_rcTemplate.width() / 2, m_rcTemplate.top() + m_rcTemplate.height() / 2 + below);
}

void CStirrerDlg::FitToScreen(QSize available)
{
    if (available.isEmpty()) {
        const QScreen* pScreen = screen();
        if (!pScreen) return;
        // Room for the window manager's title bar and borders.
        available = pScreen->availableGeometry().size() - QSize(16, 48);
    }
    const int barHeight = m_rcTemplate.top();
    const int below = height() - m_rcTemplate.bottom() - 1;
    const QSize fixed(0, barHeight + below);
    const double factor = CTemplateScaler::FitFactor(m_rcTemplate.size(), available - fixed);
    if (factor >= 1.0) return;
    const QSize area(int(m_rcTemplate.width() * factor), int(m_rcTemplate.height() * factor));
    resize(area + fixed);
}

void CStirrerDlg::resizeEvent(QResizeEvent* event)
{
    plat::CDialog::resizeEvent(event);
    LayOutWindow();
}

// Bar on top, the template's area, the strip, and the problem line when
// there is one.
void CStirrerDlg::LayOutWindow()
{
    if (!m_pMenuBar || !m_pStrip || !m_scaler.IsArmed()) return;
    const int barHeight = m_pMenuBar->height();
    const int below = CRunStatusStrip::kHeight + m_nProblemHeight;
    const QRect area(0, barHeight, width(), std::max(1, height() - barHeight - below));
    m_scaler.ScaleInto(area);
    m_rcTemplate = area;
    m_pMenuBar->setGeometry(0, 0, width(), barHeight);
    m_pStrip->setGeometry(0, area.bottom() + 1, width(), CRunStatusStrip::kHeight);
    if (m_stcProblem && m_nProblemHeight > 0) {
        const int margin = fontMetrics().height() / 2;
        m_stcProblem->setGeometry(margin, m_pStrip->geometry().bottom() + 1, width() - 2 * margin,
                                  m_nProblemHeight - margin);
    }
    update();
}

void CStirrerDlg::PortSettingsStep()
{
    CPortSettingDlg dlg;
    dlg.m_strPortName = m_strPortName;
    dlg.m_strBaudRate = m_strBaudRate;
    if (dlg.DoModal() == plat::IDOK) CRunControl::ApplyPortSettings(dlg.m_strPortName, dlg.m_strBaudRate);
}

void CStirrerDlg::paintEvent(QPaintEvent*)
{
    const int id = (m_nBackground == 1 || m_nBackground == 2) ? vantoc::IDB_BACKGROUND : vantoc::IDB_BACKGROUND_ALT;
    if (m_background.isNull()) m_background = plat::CResourceModule::FindBitmap(QString::number(id));
    QPainter painter(this);
    // The picture covers the template's area as before; the bar above it and
    // the strip below it have the plain background colour.
    QRect area = rect();
    if (m_rcTemplate.isValid()) {
        area = m_rcTemplate;
        painter.fillRect(rect(), plat::ToQColor(vantoc::kBackground));
    }
    if (m_background.isNull()) painter.fillRect(area, plat::ToQColor(vantoc::kBackground));
    else painter.drawImage(area, m_background);
}

// Marks and run details join the About entry in the context menu, above it.
void CStirrerDlg::AddJournalEntries()
{
    if (!m_pSysMenu) m_pSysMenu = new QMenu(this);
    QAction* first = m_pSysMenu->actions().value(0);
    auto* mark = new QAction(QStringLiteral("Mark event…"), m_pSysMenu);
    mark->setShortcut(QKeySequence(Qt::Key_F2));
    auto* details = new QAction(QStringLiteral("Run details…"), m_pSysMenu);
    m_pSysMenu->insertAction(first, mark);
    m_pSysMenu->insertAction(first, details);
    connect(mark, &QAction::triggered, this, &CStirrerDlg::OnMarkEvent);
    connect(details, &QAction::triggered, this, &CStirrerDlg::OnRunDetails);
    m_pViewer->AddEntries(m_pSysMenu, mark);
}

// The bar goes above the template's controls: they move down by its height
// and the window grows by it, so their places among themselves stay.
void CStirrerDlg::AddMenuBar()
{
    using EMenu = CMainMenuBar::EMenu;
    // The template fixes the size; the window grows here and scales later.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_pMenuBar = new CMainMenuBar(this);
    const int barHeight = m_pMenuBar->sizeHint().height();
    for (QObject* child : children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control && control != m_pMenuBar && !control->isWindow()) control->move(control->x(), control->y() + barHeight);
    }
    m_pMenuBar->setGeometry(0, 0, width(), barHeight);
    m_rcTemplate = QRect(0, barHeight, width(), height());
    resize(width(), height() + barHeight);

    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Start"), this, &CStirrerDlg::OnStart);
    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Stop"), this, &CStirrerDlg::OnStop)->setEnabled(false);
    m_pMenuBar->AddSeparator(EMenu::Run);
    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Program…"), this, &CStirrerDlg::OnProgram);
    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Stop after…"), this, &CStirrerDlg::OnStopAfter);
    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Mark event…"), this, &CStirrerDlg::OnMarkEvent,
                         QKeySequence(Qt::Key_F2));
    m_pMenuBar->AddEntry(EMenu::Settings, QStringLiteral("Port…"), this, &CStirrerDlg::OnPortSettings);
    m_pMenuBar->AddEntry(EMenu::Settings, QStringLiteral("Limits…"), this, &CStirrerDlg::OnLimits);
    m_pMenuBar->AddEntry(EMenu::Settings, QStringLiteral("Run details…"), this, &CStirrerDlg::OnRunDetails);
    m_pMenuBar->AddEntry(EMenu::Help, QStringLiteral("About…"), this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    m_pMenuBar->AddEntry(EMenu::File, QStringLiteral("Open run…"), m_pViewer, &CRunViewer::AskOpen);
    m_pMenuBar->AddEntry(EMenu::File, QStringLiteral("Compare with…"), m_pViewer, &CRunViewer::AskCompare);
    m_pMenuBar->AddEntry(EMenu::File, QStringLiteral("Remove comparison…"), m_pViewer, &CRunViewer::AskRemove);
    m_pMenuBar->AddEntry(EMenu::File, QStringLiteral("Report…"), m_pViewer, &CRunViewer::AskReport);
}

void CStirrerDlg::SetUpAutomation()
{
    m_pSpeedField = new CLiveSpeedField(GetDlgItem<QLineEdit>(kIdSpeed), this);
    connect(m_pSpeedField, &CLiveSpeedField::sendRequested, this, &CStirrerDlg::OnSpeedEntered);
    m_pAutomation->Attach(m_pStrip, m_pSpeedField, m_pCharts);
}

void CStirrerDlg::OnStopAfter()
{
    if (m_run.IsRunning()) return;
    const double now = m_pAutomation->StopAfter();
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Stop after"),
                                               QStringLiteral("Stop the next run after (h:mm:ss; empty: no limit):"),
                                               QLineEdit::Normal, now > 0 ? CDurationText::Format(now) : QString(), &ok);
    if (!ok) return;
    if (text.trimmed().isEmpty()) {
        m_pAutomation->SetStopAfter(0);
        return;
    }
    const std::optional<double> seconds = CDurationText::Parse(text.trimmed());
    if (!seconds || *seconds <= 0) {
        QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME),
                             QStringLiteral("\"%1\" is not a duration. Use h:mm:ss, m:ss or seconds.").arg(text.trimmed()));
        return;
    }
    m_pAutomation->SetStopAfter(*seconds);
}

void CStirrerDlg::OnProgram()
{
    if (m_run.IsRunning()) return;
    CWindowAutomation& automation = *m_pAutomation;
    CProgramEditorDlg dlg(automation.Automation().Program(), m_strProgramPath, automation.Automation().Limits().maxRpm,
                          this);
    dlg.exec();
    m_strProgramPath = dlg.ProgramPath();
    const QString name = m_strProgramPath.isEmpty() ? QStringLiteral("(not saved)")
                                                    : QFileInfo(m_strProgramPath).completeBaseName();
    automation.SetProgram(dlg.Program(), name);
}

// Remembered for the next program start as soon as they are confirmed.
void CStirrerDlg::OnLimits()
{
    if (m_run.IsRunning()) return;
    CLimitsDlg dlg(m_pAutomation->Automation().Limits(), this);
    if (dlg.exec() != QDialog::Accepted) return;
    const CSafetyLimits limits = dlg.Limits();
    SetLimits(limits);
    QSettings settings;
    limits.Save(settings);
}

void CStirrerDlg::OnSpeedEntered()
{
    if (!m_run.IsRunning() || !m_pAutomation->IsSpeedManual()) return;
    if (!UpdateData(plat::TRUE)) return;
    if (m_pAutomation->ChangeSpeed(m_nSpeed) && m_nSpeed == CRunControl::kMaxSpeed) {
        m_nSpeed = CRunControl::kMaxSpeed - 1;
        UpdateData(plat::FALSE);
    }
}

void CStirrerDlg::AddStatusStrip()
{
    if (!m_rcTemplate.isValid()) m_rcTemplate = rect();
    const int top = m_rcTemplate.bottom() + 1;
    m_pStrip = new CRunStatusStrip(m_run, this);
    m_pStrip->setGeometry(0, top, width(), CRunStatusStrip::kHeight);
    m_pTorqueCells = new CTorqueCells(m_pStrip);
    m_pStrip->AddCell(m_pTorqueCells);
    m_pBrokerCell = new CBrokerLinkCell(m_pStrip);
    m_pStrip->AddCell(m_pBrokerCell);
    connect(m_pPublishing.get(), &CWindowPublishing::publisherChanged, m_pBrokerCell, &CBrokerLinkCell::Follow);
    m_pBrokerCell->Follow(m_pPublishing->Publisher());
    resize(width(), top + CRunStatusStrip::kHeight);
}

void CStirrerDlg::AddAssistantEntries()
{
    using EMenu = CMainMenuBar::EMenu;
    CAlarmBanner* banner = m_pStrip->Banner();
    m_pEndPoint->Attach(m_pTorqueCells, m_pCharts, banner);
    connect(banner, &CAlarmBanner::raised, m_pPublishing.get(), [this] { m_pPublishing->SetAlarm(true); });
    connect(banner, &CAlarmBanner::acknowledged, m_pPublishing.get(), [this] { m_pPublishing->SetAlarm(false); });
    m_pMenuBar->AddSeparator(EMenu::Run);
    m_pMenuBar->AddEntry(EMenu::Run, QStringLiteral("Tare torque"), this, &CStirrerDlg::OnTare, QKeySequence(Qt::Key_F3));
    QAction* delta = m_pMenuBar->AddEntry(EMenu::Run, kShowDelta);
    connect(delta, &QAction::triggered, this, [this, delta] {
        const bool show = !m_pCharts->IsDeltaShown();
        m_pEndPoint->ShowDelta(show);
        delta->setText(show ? kHideDelta : kShowDelta);
    });
    m_pMenuBar->AddEntry(EMenu::Settings, QStringLiteral("End point…"), this, &CStirrerDlg::OnEndPointSettings);
    m_pMenuBar->AddEntry(EMenu::Settings, QStringLiteral("Network…"), this, &CStirrerDlg::OnNetworkSettings);
}

void CStirrerDlg::OnTare()
{
    if (!m_pEndPoint->Tare()) m_pStrip->ShowNotice(QStringLiteral("Tare torque: no samples of a run yet"));
}

void CStirrerDlg::SetEndPointRules(const CEndPointRules& rules)
{
    m_pEndPoint->SetRules(rules);
}

void CStirrerDlg::OnEndPointSettings()
{
    CEndPointDlg dlg(m_pEndPoint->Rules(), this);
    if (dlg.exec() != QDialog::Accepted) return;
    m_pEndPoint->SetRules(dlg.Rules());
    CEndPointView::RememberRules(dlg.Rules());
}

void CStirrerDlg::OnNetworkSettings()
{
    const QString prefix = mqtt_messages::DefaultPrefix(QHostInfo::localHostName(), CCommPort::Instance()->PortName());
    CNetworkDlg dlg(m_networkSettings, this, prefix);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!ApplyNetworkSettings(dlg.Settings())) return;
    QSettings remembered;
    dlg.Settings().Save(remembered);
}

bool CStirrerDlg::ApplyNetworkSettings(const SMqttSettings& settings)
{
    QString error;
    if (m_pPublishing->Apply(settings, CCommPort::Instance()->PortName(), &error)) {
        m_networkSettings = settings;
        return true;
    }
    QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME), error);
    return false;
}

// Only when the settings accept it; the motor stops as Stop stops it.
void CStirrerDlg::OnRemoteStop(const QString& text)
{
    if (!m_run.IsRunning()) return;
    const QString said = text.isEmpty() ? QStringLiteral("(no message)") : text;
    if (CRunPublishing* pPublishing = m_pPublishing->Publishing()) pPublishing->RecordRemoteStop(said);
    OnStop();
}

void CStirrerDlg::OnMarkEvent()
{
    if (!m_run.IsRunning()) return;
    bool ok = false;
    const QString note = QInputDialog::getText(this, QStringLiteral("Mark event"), QStringLiteral("Note:"),
                                               QLineEdit::Normal, m_run.NextMarkText(), &ok);
    if (ok) MarkEvent(note);
}

QString CStirrerDlg::MarkEvent(const QString& note)
{
    return m_run.Mark(note);
}

void CStirrerDlg::OnRunDetails()
{
    CRunControl::SJournalOptions options = m_run.JournalOptions();
    CRunDetailsDlg dlg(this);
    dlg.SetValues(options.strOperator, options.strSample, options.strNote);
    if (dlg.exec() != QDialog::Accepted) return;
    options.strOperator = dlg.Operator();
    options.strSample = dlg.Sample();
    options.strNote = dlg.Note();
    m_run.SetJournalOptions(options);
    CRunDetailsDlg::RememberOperator(options.strOperator);
}

void CStirrerDlg::OfferRecovery()
{
    const CRunControl::SJournalOptions& options = m_run.JournalOptions();
    if (!options.bEnabled) return;
    const CJournalStore store(options.strDir);
    const QStringList unfinished = store.Unfinished();
    if (unfinished.isEmpty()) return;
    CRecoveryDlg dlg(store, unfinished, this);
    dlg.exec();
    // Opened as File > Open run… opens it: named in the title, and Save and
    // Report take its samples.
    if (!dlg.OpenPath().isEmpty()) m_pViewer->Open(dlg.OpenPath());
}

// Not modal: the motor control and the charts go on while it is shown.
void CStirrerDlg::ShowJournalWarning(const QString& text)
{
    if (m_pJournalWarning) return;
    auto* box = new QMessageBox(QMessageBox::Warning, vantoc::String(vantoc::IDS_PRODUCT_NAME), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    m_pJournalWarning = box;
}

void CStirrerDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_pSysMenu) m_pSysMenu->exec(event->globalPos());
}

void CStirrerDlg::OnSysCommand(unsigned nID)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    }
}

void CStirrerDlg::OnDeltaposSpeedSpin(int iDelta)
{
    if (m_pSpeedField && m_pSpeedField->IsLocked()) return;
    UpdateData(plat::TRUE);
    m_nSpeed += iDelta < 0 ? 10 : -10;
    UpdateData(plat::FALSE);
    // During a plain run the spin sets the speed at once.
    if (m_run.IsRunning()) OnSpeedEntered();
}

void CStirrerDlg::OnDeltaposTempSpin(int iDelta)
{
    UpdateData(plat::TRUE);
    m_fTemperature += iDelta < 0 ? 0.1f : -0.1f;
    UpdateData(plat::FALSE);
}

void CStirrerDlg::OnStart()
{
    if (m_run.IsConnectionFailed()) {
        CInfoDlg::ShowString(vantoc::IDS_CONNECT_FAILED_RESTART);
        return;
    }
    // A value the validation refused has been shown; nothing is sent.
    if (!UpdateData(plat::TRUE)) return;
    const bool program = m_pAutomation->Automation().HasProgram();
    if (!program && (m_nSpeed < CRunControl::kMinSpeed || m_nSpeed > CRunControl::kMaxSpeed)) {
        CInfoDlg::ShowString(vantoc::IDS_SPEED_RANGE);
        return;
    }
    const std::optional<int> rpm = m_pAutomation->PrepareStart(m_nSpeed);
    if (!rpm) return;
    int startRpm = *rpm;
    const int publishedRpm = program ? startRpm : m_nSpeed;
    m_pPublishing->SetSetPoint(publishedRpm == CRunControl::kMaxSpeed ? publishedRpm - 1 : publishedRpm);
    switch (program ? m_run.Start(startRpm) : m_run.Start(m_nSpeed)) {
    case CRunControl::EStart::NotConnected:
        CInfoDlg::ShowString(vantoc::IDS_CONNECT_FAILED_RESTART);
        break;
    case CRunControl::EStart::SpeedOutOfRange:
        CInfoDlg::ShowString(vantoc::IDS_SPEED_RANGE);
        break;
    case CRunControl::EStart::Refused:
        // No dialog: the refusal keeps its quiet flow, the strip tells it.
        m_pStrip->ShowNotice(QStringLiteral("Start refused: the stirrer did not take the speed command"));
        break;
    case CRunControl::EStart::Started:
        break;
    }
}

void CStirrerDlg::OnStop()
{
    // The motor stops first: a field holding a refused value shows a modal
    // message, and the motor must not turn on while it waits for the operator.
    m_run.Stop();
    UpdateRunButtons(false);
    UpdateData(plat::TRUE);
}

void CStirrerDlg::UpdateRunButtons(bool running)
{
    m_btnStart->setEnabled(!running);
    m_btnStop->setEnabled(running);
    if (!m_pMenuBar) return;
    for (const auto& [text, enabled] :
         {std::pair{"Start", !running}, {"Stop", running}, {"Port…", !running}, {"Stop after…", !running},
          {"Program…", !running}, {"Limits…", !running}})
        if (QAction* entry = m_pMenuBar->Entry(QString::fromUtf8(text))) entry->setEnabled(enabled);
}

void CStirrerDlg::OnPortSettings()
{
    if (m_run.IsRunning() || m_run.IsBusy()) return;
    CPortSettingDlg dlg;
    dlg.m_strPortName = m_strPortName;
    dlg.m_strBaudRate = m_strBaudRate;
    if (dlg.DoModal() != plat::IDOK) return;
    m_strPortName = dlg.m_strPortName;
    m_strBaudRate = dlg.m_strBaudRate;
    CCommPort::Instance()->Close();
    CRunControl::ApplyPortSettings(m_strPortName, m_strBaudRate);
    if (m_run.Connect()) {
        HideConnectionProblem();
        return;
    }
    ShowConnectionProblem(m_run.ConnectionProblem());
    CInfoDlg::ShowString(vantoc::IDS_CONNECT_FAILED);
}

void CStirrerDlg::OnStirrerSample(int speed, int torque)
{
    m_digSpeed->SetValue(static_cast<float>(speed), plat::TRUE);
    m_digTorque->SetValue(static_cast<float>(torque), plat::TRUE);
}

void CStirrerDlg::OnStirrerState(int motor, int status)
{
    m_run.OnRunState(motor, status);
}

void CStirrerDlg::OnSave()
{
    QFileDialog dialog(nullptr);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    dialog.setNameFilter(QStringLiteral("*.xls"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    SaveTo(dialog.selectedFiles().constFirst());
}

bool CStirrerDlg::SaveTo(const QString& path)
{
    // What the charts show is what is saved: an opened run while it is
    // shown, the last run recorded otherwise.
    CRunRecord opened;
    if (m_pViewer && m_pViewer->IsShowingOpenedRun())
        for (const SRunSample& sample : m_pViewer->OpenedRun()->Samples()) opened.Append(sample.nSpeed, sample.nTorque);
    const CRunRecord& record = m_pViewer && m_pViewer->IsShowingOpenedRun() ? opened : m_run.Record();
    QString reason;
    if (CRunExport::Write(path, CRunExport::Format(record), &reason)) return true;
    QMessageBox::warning(this, vantoc::String(vantoc::IDS_PRODUCT_NAME), CRunExport::FailureMessage(path, reason));
    return false;
}

void CStirrerDlg::reject()
{
    OnCancel();
}

// The Close button, Escape and the window's close box all come here.
void CStirrerDlg::OnCancel()
{
    // A serial exchange in progress finishes first; its steps must not be
    // cut, so the close waits for its end.
    if (m_run.IsBusy()) {
        m_bCloseQueued = true;
        return;
    }
    m_bCloseQueued = false;
    if (m_run.IsRunning() || m_run.IsMotorRunning()) {
        switch (CCloseQuestion::Ask(this)) {
        case CCloseQuestion::EAnswer::Cancel:
            return;
        case CCloseQuestion::EAnswer::LeaveRunningAndClose:
            break;
        case CCloseQuestion::EAnswer::StopAndClose:
            // An unacknowledged stop keeps the window open: the strip says
            // so, and the operator decides again.
            if (!StopForClose()) return;
            break;
        }
    }
    plat::CDialog::OnCancel();
}

bool CStirrerDlg::StopForClose()
{
    const bool stopped = m_run.Stop(QString::fromLatin1(CRunControl::kEndWindowClosed));
    UpdateRunButtons(false);
    return stopped;
}

void CStirrerDlg::CloseIfQueued()
{
    if (m_bCloseQueued) OnCancel();
}

void CStirrerDlg::OnDestroy()
{
    m_run.Shutdown();
    m_pPublishing->Finish();
}
