#include "graph/GraphPointArray.h"

#include "platform/InvalidArgException.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <string>

std::uint64_t CGraphPointArray::NextRevision()
{
    static std::atomic<std::uint64_t> s_nNext{1};
    return s_nNext++;
}

int CGraphPointArray::GrownCapacity(int nSize, int nCapacity)
{
    if (nCapacity == 0) return 1;
    const int nStep = std::clamp(nSize / 8, 4, 1024);
    if (nCapacity > std::numeric_limits<int>::max() - nStep)
        throw plat::CInvalidArgException("point array: size limit reached");
    return nCapacity + nStep;
}

void CGraphPointArray::Grow()
{
    const int nNewCapacity = GrownCapacity(m_nSize, m_nCapacity);
    // Value-initialised, so the new slots are zero; the old block is only
    // replaced once the new one exists.
    std::unique_ptr<tagGraphPoint[]> pNew(new tagGraphPoint[nNewCapacity]());
    std::copy_n(m_pData.get(), m_nSize, pNew.get());
    m_pData = std::move(pNew);
    m_nCapacity = nNewCapacity;
}

int CGraphPointArray::Add(double x, double y)
{
    if (m_nSize == m_nCapacity) Grow();
    m_pData[m_nSize] = {x, y};
    if (m_bExtentsValid) {
        m_xExtent.Add(x);
        m_yExtent.Add(y);
    }
    return m_nSize++;
}

int CGraphPointArray::RoomFor(int nSize, int nCount)
{
    if (nCount < 0 || nCount > std::numeric_limits<int>::max() - nSize)
        throw plat::CInvalidArgException("point array: size limit reached");
    return nSize + nCount;
}

// One pass: the points and, while they are valid, the extents.
void CGraphPointArray::CopyIn(tagGraphPoint* pTo, int nCount, const double* pX, const double* pY)
{
    for (int i = 0; i < nCount; ++i) pTo[i] = {pX[i], pY[i]};
    if (!m_bExtentsValid) return;
    for (int i = 0; i < nCount; ++i) {
        m_xExtent.Add(pX[i]);
        m_yExtent.Add(pY[i]);
    }
}

void CGraphPointArray::Append(int nCount, const double* pX, const double* pY)
{
    const int nNewSize = RoomFor(m_nSize, nCount);
    if (nCount == 0) return;
    if (nNewSize > m_nCapacity) {
        std::unique_ptr<tagGraphPoint[]> pNew(new tagGraphPoint[nNewSize]);
        std::copy_n(m_pData.get(), m_nSize, pNew.get());
        m_pData = std::move(pNew);
        m_nCapacity = nNewSize;
    }
    CopyIn(m_pData.get() + m_nSize, nCount, pX, pY);
    m_nSize = nNewSize;
}

void CGraphPointArray::Assign(int nCount, const double* pX, const double* pY)
{
    RoomFor(0, nCount);
    std::unique_ptr<tagGraphPoint[]> pNew(nCount > 0 ? new tagGraphPoint[nCount] : nullptr);
    RemoveAll();
    m_pData = std::move(pNew);
    m_nCapacity = nCount;
    CopyIn(m_pData.get(), nCount, pX, pY);
    m_nSize = nCount;
}

void CGraphPointArray::CheckIndex(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nSize)
        throw plat::CInvalidArgException("point index " + std::to_string(nIndex) + " outside 0.."
                                         + std::to_string(m_nSize - 1));
}

void CGraphPointArray::SetAt(int nIndex, double x, double y)
{
    CheckIndex(nIndex);
    m_pData[nIndex] = {x, y};
    m_bExtentsValid = false;
    m_nRevision = NextRevision();
}

const tagGraphPoint& CGraphPointArray::GetAt(int nIndex) const
{
    CheckIndex(nIndex);
    return m_pData[nIndex];
}

void CGraphPointArray::RemoveAll()
{
    m_pData.reset();
    m_nSize = 0;
    m_nCapacity = 0;
    m_xExtent = {};
    m_yExtent = {};
    m_bExtentsValid = true;
    m_nRevision = NextRevision();
}

void CGraphPointArray::tagExtent::Add(double v)
{
    if (!std::isfinite(v)) return;
    if (!bAny) {
        dMin = dMax = v;
        bAny = true;
        return;
    }
    if (v > dMax) dMax = v;
    if (v < dMin) dMin = v;
}

void CGraphPointArray::RecountExtents() const
{
    m_xExtent = {};
    m_yExtent = {};
    for (int i = 0; i < m_nSize; ++i) {
        m_xExtent.Add(m_pData[i].x);
        m_yExtent.Add(m_pData[i].y);
    }
    m_bExtentsValid = true;
}

bool CGraphPointArray::GetExtent(bool bX, double& dMin, double& dMax) const
{
    if (!m_bExtentsValid) RecountExtents();
    const tagExtent& e = bX ? m_xExtent : m_yExtent;
    if (!e.bAny) return false;
    dMin = e.dMin;
    dMax = e.dMax;
    return true;
}
