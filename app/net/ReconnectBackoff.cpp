#include "net/ReconnectBackoff.h"

#include <algorithm>

int CReconnectBackoff::Next()
{
    const int wait = m_nNextMs;
    m_nNextMs = std::min(kMaxMs, m_nNextMs * 2);
    return wait;
}
