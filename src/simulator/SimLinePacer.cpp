#include "SimLinePacer.h"

#include <algorithm>

std::chrono::microseconds CSimLinePacer::ByteTime(uint32_t baudRate)
{
    const long long micros = 10LL * 1000 * 1000 / std::max<uint32_t>(baudRate, 1);
    return std::chrono::microseconds(std::max(micros, 1LL));
}
