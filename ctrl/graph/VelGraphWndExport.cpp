#include "graph/GraphImageExport.h"
#include "graph/VelGraphWnd.h"
#include "platform/DC.h"
#include "platform/ResourceModule.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

constexpr plat::UINT kIdsSaveImageDone = 4008;
constexpr plat::UINT kIdsSaveImageFailed = 4009;

const char* const kBmpFilter = "BMP File(*.bmp)";
const char* const kPngFilter = "PNG File(*.png)";
const char* const kSvgFilter = "SVG File(*.svg)";

// The suffix that goes with a filter of the export dialog.
QString SuffixOfFilter(const QString& strFilter)
{
    if (strFilter == QLatin1String(kPngFilter)) return QStringLiteral("png");
    if (strFilter == QLatin1String(kSvgFilter)) return QStringLiteral("svg");
    return QStringLiteral("bmp");
}

void ShowLibraryMessage(plat::UINT nId, QMessageBox::Icon eIcon)
{
    QMessageBox box(eIcon, QApplication::applicationDisplayName(), plat::CResourceModule::Library().LoadString(nId),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

// The window's own paint at the picture's origin, in the window's
// coordinates as on screen.
CGraphImageExport::PaintFn ClientPaint(CVelGraphWnd* pWnd, const plat::CRect& rc)
{
    return [pWnd, rc](plat::CDC* pDC) {
        pDC->SetWindowOrg(rc.left, rc.top);
        pWnd->OnDraw(pDC, rc);
    };
}

}  // namespace

plat::BOOL CVelGraphWnd::OnExportImage()
{
    QStringList filters{QString::fromLatin1(kBmpFilter), QString::fromLatin1(kPngFilter)};
    if (CGraphImageExport::IsSvgAvailable()) filters << QString::fromLatin1(kSvgFilter);

    // No owner, as the chart's other dialogs; the overwrite question is
    // the dialog's own.
    QFileDialog dlg(nullptr);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters(filters);
    dlg.setDefaultSuffix(QStringLiteral("bmp"));
    connect(&dlg, &QFileDialog::filterSelected, &dlg,
            [&dlg](const QString& strFilter) { dlg.setDefaultSuffix(SuffixOfFilter(strFilter)); });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return plat::FALSE;

    QString strFile = dlg.selectedFiles().constFirst();
    // A name with a suffix of no format gets the chosen filter's suffix.
    if (CGraphImageExport::FormatOfPath(strFile) == CGraphImageExport::FormatUnknown)
        strFile += QLatin1Char('.') + SuffixOfFilter(dlg.selectedNameFilter());

    const plat::BOOL bSaved = SaveImage(strFile);
    ShowLibraryMessage(bSaved ? kIdsSaveImageDone : kIdsSaveImageFailed,
                       bSaved ? QMessageBox::Information : QMessageBox::Warning);
    return bSaved;
}

plat::BOOL CVelGraphWnd::SaveImage(const plat::CString& strFile)
{
    const plat::CRect rc = GetClientRect();
    if (rc.IsRectEmpty()) return plat::FALSE;
    if (m_pGraph->GetBound().IsRectEmpty()) AdjustLayout();
    const CGraphImageExport::PaintFn paint = ClientPaint(this, rc);
    switch (CGraphImageExport::FormatOfPath(strFile)) {
    case CGraphImageExport::FormatBmp: return SaveImageToBMP(strFile);
    case CGraphImageExport::FormatPng:
        return CGraphImageExport::SavePng(strFile, rc.Width(), rc.Height(), paint) ? plat::TRUE : plat::FALSE;
    case CGraphImageExport::FormatSvg: {
        const CVelGraphTitle* pTitle = m_pGraph->GetTitleObject();
        const QString strTitle = pTitle ? pTitle->m_strText : QString();
        return CGraphImageExport::SaveSvg(strFile, rc.Width(), rc.Height(), paint, strTitle) ? plat::TRUE
                                                                                               : plat::FALSE;
    }
    default: return plat::FALSE;
    }
}

plat::BOOL CVelGraphWnd::SaveImageToBMP(const plat::CString& strFile)
{
    const plat::CRect rc = GetClientRect();
    if (rc.IsRectEmpty()) return plat::FALSE;
    return CGraphImageExport::SaveBmp16(strFile, rc.Width(), rc.Height(), ClientPaint(this, rc)) ? plat::TRUE
                                                                                                 : plat::FALSE;
}
