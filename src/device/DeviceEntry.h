// One scanner found by enumeration: its link record, connection handle, identity
// and the catalogue model matched to it.
#pragma once

#include "hbds/hbds.h"

#include <wx/string.h>

#include <memory>

class CDeviceInfo;

enum EDeviceKind : int32_t {
    DEVICE_KIND_USB = 0,
    DEVICE_KIND_SERIAL = 1
};

struct DeviceEntry {
    DeviceEntry();
    ~DeviceEntry();  // frees the handle (without closing it first) and the model
    DeviceEntry(const DeviceEntry&) = delete;
    DeviceEntry& operator=(const DeviceEntry&) = delete;

    UsbDeviceInfo usb;
    SerialSettings serial;
    uint32_t status = 0;
    int32_t kind = DEVICE_KIND_USB;
    HBDS_HANDLE handle = 0;
    std::unique_ptr<CDeviceInfo> model;
    wxString systemInfo;
    wxString productName;
    wxString serialNumber;
};

// Where the scanner hangs: the serial port's path (a device file or a network address)
// or the USB device path.
wxString PortPathOf(const DeviceEntry& entry);
