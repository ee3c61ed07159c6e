#include "ui/StirrerApp.h"

#include "ui/CommandLine.h"
#include "ui/ResourceIds.h"
#include "ui/StateEndpoint.h"
#include "ui/StirrerDlg.h"

#include <cstdio>

int CStirrerApp::InitInstance(const CCommandLine& cl)
{
    vantoc::RegisterResources();

    CStirrerDlg dlg;
    dlg.SetPortPreselection(cl.m_strPort, cl.m_strBaud);

    CStateEndpoint endpoint;
    QString reason;
    if (endpoint.Listen(CStateEndpoint::DefaultPath(), &reason))
        QObject::connect(&endpoint, &CStateEndpoint::stateReceived, &dlg, &CStirrerDlg::OnStirrerState);
    else
        std::fprintf(stderr, "vantoc: run-state messages are off: %s\n", qPrintable(reason));

    dlg.DoModal();
    dlg.OnDestroy();
    return 0;
}
