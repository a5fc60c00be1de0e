#include "documents/documentloadcontrol.h"

#include "documents/documenterror.h"

#include <algorithm>

void DocumentLoadControl::report(double share)
{
    if (isCancelled())
        throw DocumentLoadCancelled();
    m_share.store(std::clamp(share, 0.0, 1.0), std::memory_order_relaxed);
}
