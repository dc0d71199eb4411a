// The fault plan of a running scanner: changed by a test or the program while the
// scanner serves on another thread.
#pragma once

#include "SimFaultPlan.h"

#include <mutex>

class CSimFaults {
public:
    void Set(const SSimFaultPlan& plan);
    void Clear() { Set(SSimFaultPlan()); }
    SSimFaultPlan Get() const;

private:
    mutable std::mutex m_mutex;
    SSimFaultPlan m_plan;
};
