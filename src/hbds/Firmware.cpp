// Firmware files. Downloading firmware is not built yet: both operations fail with a
// clear log line and a status the program can show.
#include "hbds.h"

#include <cstring>

extern "C" {

int hbds_get_kernel_info(const char* path, void* kernelInfo, uint32_t* out)
{
    if (kernelInfo)
        std::memset(kernelInfo, 0, 2784);
    if (out)
        *out = HBDS_ERR_INVALID_FILE_FORMAT;
    logout_line(3, "Firmware.cpp", __LINE__, "kernel information of %s: firmware files are not supported yet",
                path ? path : "(null)");
    return 0;
}

int hbds_update_firmware_file_1(HBDS_HANDLE handle, const char* path, int nameCheck, int retries,
                                void* progress, int reserved, uint32_t* status)
{
    (void)handle;
    (void)nameCheck;
    (void)retries;
    (void)reserved;
    if (progress)
        std::memset(progress, 0, 84);
    if (status)
        *status = HBDS_ERR_UPDATE_FAILED;
    logout_line(2, "Firmware.cpp", __LINE__, "firmware download of %s: not supported by this build",
                path ? path : "(null)");
    return 0;
}

}  // extern "C"
