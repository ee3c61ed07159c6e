#pragma once

#include "platform/QuindleExport.h"

namespace plat {

// Shows the wait cursor for its lifetime, when there is a GUI application.
class QUINDLE_EXPORT CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_bSet = false;
};

}  // namespace plat
