#include "graph/VelGraph.h"
#include "platform/Archive.h"
#include "platform/WaitCursor.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr int kArchiveBuffer = 4096;

void SerializeFlag(plat::CArchive& ar, int& nFlag)
{
    if (ar.IsStoring()) {
        ar << static_cast<plat::LONG>(nFlag);
    } else {
        plat::LONG n = 0;
        ar >> n;
        nFlag = n;
    }
}

}  // namespace

void CVelGraph::AutoSaveProperty(const plat::CString& strFile)
{
    m_strPropertyFile = strFile;
    ReadProperty(strFile);
}

void CVelGraph::SerializeProperty(plat::CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_strSignature;
    else
        ar >> m_strSignature;
    for (int* pFlag : {&m_bEnableLegend, &m_bEnableShowMarks, &m_bShowMarks, &m_bShowTip, &m_bXAutoCalc,
                       &m_bYAutoCalc, &m_XAxis.bMajorGrid, &m_XAxis.bMinorGrid, &m_XAxis.bLogarithm,
                       &m_YAxis.bMajorGrid, &m_YAxis.bMinorGrid, &m_YAxis.bLogarithm})
        SerializeFlag(ar, *pFlag);
    m_pTitle->Serialize(ar);
    m_pXTitle->Serialize(ar);
    m_pYTitle->Serialize(ar);
    m_Legend.Serialize(ar);
}

void CVelGraph::ReadProperty(const plat::CString& strFile)
{
    if (!m_pTitle || !m_pXTitle || !m_pYTitle || strFile.isEmpty()) return;
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) return;
    plat::CWaitCursor wait;
    try {
        plat::CArchive ar(&file, plat::CArchive::load, kArchiveBuffer);
        SerializeProperty(ar);
    } catch (const plat::CArchiveException&) {
        // A broken file keeps what was read; the rest keeps its old value.
    }
    // Grids, logarithm and fonts may have changed.
    MarkAxesDirty();
}

void CVelGraph::SaveProperty(const plat::CString& strFile)
{
    if (!m_pTitle || !m_pXTitle || !m_pYTitle || strFile.isEmpty()) return;
    QSaveFile file(strFile);
    if (!file.open(QIODevice::WriteOnly)) return;
    plat::CWaitCursor wait;
    try {
        plat::CArchive ar(&file, plat::CArchive::store, kArchiveBuffer);
        SerializeProperty(ar);
        ar.Close();
    } catch (const plat::CArchiveException&) {
        file.cancelWriting();
        return;
    }
    file.commit();
}
