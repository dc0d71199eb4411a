#include "SerialLine.h"

#include "hbds.h"

#include <algorithm>
#include <cerrno>

namespace hbds {

uint32_t StatusForOpenErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
        return HBDS_ERR_ACCESS_DENIED;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return HBDS_ERR_NOT_EXIST;
    case EISDIR:
    case ENOTTY:
        return HBDS_ERR_INVALID_FILE_FORMAT;
    default:
        return HBDS_ERR_UNKNOWN;
    }
}

// EIO, ENXIO and ENODEV mean the device has gone (an unplugged adapter, a closed
// pseudo-terminal peer).
uint32_t StatusForIoErrno(int error)
{
    switch (error) {
    case EIO:
    case ENXIO:
    case ENODEV:
        return HBDS_ERR_NOT_EXIST;
    default:
        return HBDS_ERR_COMMUNICATION;
    }
}

int SerialQuietGapMs(uint32_t baudRate)
{
    // Twenty character times, never under 20 ms: scanners pause briefly between
    // the parts of one reply.
    const int charTimes = static_cast<int>(20 * 10 * 1000 / std::max<uint32_t>(baudRate, 1));
    return std::max(20, charTimes);
}

}  // namespace hbds
