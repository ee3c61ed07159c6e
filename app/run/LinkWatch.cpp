#include "run/LinkWatch.h"

void CLinkWatch::Start(qint64 nowNs)
{
    m_bActive = true;
    m_bLost = false;
    m_nLastNs = nowNs;
}

CLinkWatch::EChange CLinkWatch::OnSample(qint64 nowNs)
{
    if (!m_bActive) return EChange::None;
    m_nLastNs = nowNs;
    if (!m_bLost) return EChange::None;
    m_bLost = false;
    return EChange::Back;
}

CLinkWatch::EChange CLinkWatch::Check(qint64 nowNs)
{
    if (!m_bActive || m_bLost || nowNs - m_nLastNs <= kSilentNs) return EChange::None;
    m_bLost = true;
    return EChange::Lost;
}
