#include "ui/StirrerApp.h"

#include "ui/CommandLine.h"
#include "ui/EndPointView.h"
#include "run/JournalStore.h"
#include "run/SafetyLimits.h"
#include "ui/ResourceIds.h"
#include "ui/RunDetailsDlg.h"
#include "ui/StateEndpoint.h"
#include "ui/StirrerDlg.h"

#include <QSettings>
#include <cstdio>

int CStirrerApp::InitInstance(const CCommandLine& cl)
{
    vantoc::RegisterResources();

    CStirrerDlg dlg;
    dlg.SetPortPreselection(cl.m_strPort, cl.m_strBaud);
    CRunControl::SJournalOptions journal;
    journal.bEnabled = !cl.m_bNoJournal;
    journal.strDir = cl.m_strJournalDir.isEmpty() ? CJournalStore::DefaultDir() : cl.m_strJournalDir;
    journal.strOperator = CRunDetailsDlg::RememberedOperator();
    journal.strNote = cl.m_strNote;
    dlg.SetJournalOptions(journal);
    QSettings remembered;
    dlg.SetNetworkSettings(SMqttSettings::Load(remembered));
    dlg.SetEndPointRules(CEndPointView::RememberedRules());

    CStateEndpoint endpoint;
    QString reason;
    if (endpoint.Listen(CStateEndpoint::DefaultPath(), &reason))
        QObject::connect(&endpoint, &CStateEndpoint::stateReceived, &dlg, &CStirrerDlg::OnStirrerState);
    else
        std::fprintf(stderr, "vantoc: run-state messages are off: %s\n", qPrintable(reason));

    dlg.SetFitToScreen(true);
    QSettings settings;
    dlg.SetLimits(CSafetyLimits::Load(settings));
    dlg.DoModal();
    dlg.OnDestroy();
    return 0;
}
