#pragma once

#include "platform/QuindleExport.h"

#include <cstdint>
#include <memory>

// One data point of a series.
struct tagGraphPoint {
    double x = 0.0;
    double y = 0.0;
};

// The growable point store of a series. It grows by its own rule rather than
// doubling: one point first, then an eighth of the size at a time (4 to 1024
// points), so long live series do not reserve twice what they hold.
class QUINDLE_EXPORT CGraphPointArray {
public:
    CGraphPointArray() = default;
    CGraphPointArray(const CGraphPointArray&) = delete;
    CGraphPointArray& operator=(const CGraphPointArray&) = delete;

    // Appends a point and returns its index. On an allocation failure
    // std::bad_alloc leaves the array as it was.
    int Add(double x, double y);
    // Appends nCount points taken pairwise from pX and pY with at most one
    // allocation (to exactly the room needed) and one copy. On a failure the
    // array is as it was.
    void Append(int nCount, const double* pX, const double* pY);
    // Replaces every point by nCount pairs: one allocation of exactly nCount
    // points, made before the old points go, so a failure loses nothing.
    void Assign(int nCount, const double* pX, const double* pY);
    // Both throw plat::CInvalidArgException for an index outside 0..size-1.
    void SetAt(int nIndex, double x, double y);
    const tagGraphPoint& GetAt(int nIndex) const;

    int GetSize() const { return m_nSize; }
    int GetCapacity() const { return m_nCapacity; }
    const tagGraphPoint* GetData() const { return m_pData.get(); }
    // Frees the storage: size and capacity become 0.
    void RemoveAll();

    // Smallest and largest finite x (bX) or y of the points; false when
    // there is none. Kept up to date as points arrive, so asking costs
    // nothing however long the series is.
    bool GetExtent(bool bX, double& dMin, double& dMax) const;
    // Changes whenever a stored point changes or the array is emptied
    // (appending changes the size instead), so a painter can tell whether
    // what it derived from the points still holds.
    // Unique among all arrays of the process.
    std::uint64_t GetRevision() const { return m_nRevision; }

    // Capacity after growing a full store of nSize points.
    static int GrownCapacity(int nSize, int nCapacity);

private:
    void CheckIndex(int nIndex) const;
    void Grow();
    static int RoomFor(int nSize, int nCount);
    void CopyIn(tagGraphPoint* pTo, int nCount, const double* pX, const double* pY);

    struct tagExtent {
        double dMin = 0.0;
        double dMax = 0.0;
        bool bAny = false;
        void Add(double v);
    };
    void RecountExtents() const;

    std::unique_ptr<tagGraphPoint[]> m_pData;
    int m_nSize = 0;
    int m_nCapacity = 0;
    // Over all points while m_bExtentsValid; SetAt may shrink them, so it
    // only marks them for a recount.
    mutable tagExtent m_xExtent;
    mutable tagExtent m_yExtent;
    mutable bool m_bExtentsValid = true;
    std::uint64_t m_nRevision = NextRevision();
    static std::uint64_t NextRevision();
};
