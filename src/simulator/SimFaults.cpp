#include "SimFaults.h"

void CSimFaults::Set(const SSimFaultPlan& plan)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_plan = plan;
}

SSimFaultPlan CSimFaults::Get() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plan;
}
