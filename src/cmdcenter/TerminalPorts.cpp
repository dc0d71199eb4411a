#include "TerminalPorts.h"

#include "device/HBDataStreamMnt.h"

#include <memory>

namespace {

const uint32_t kRoom = 256;

void AddUsbPorts(std::vector<STerminalPort>& ports)
{
    std::vector<UsbDeviceInfo> devices(kRoom);
    const int count = hbds_enum_usb_device(devices.data(), kRoom);
    for (int i = 0; i < count; ++i) {
        STerminalPort port;
        port.serial = false;
        port.usbDevice = devices[static_cast<size_t>(i)];
        port.label = UsbPortLabel(port.usbDevice, i + 1);
        ports.push_back(port);
    }
}

void AddSerialPorts(std::vector<STerminalPort>& ports)
{
    std::vector<SerialSettings> records(kRoom);
    const int count = hbds_enum_serial_ports(records.data(), kRoom);
    for (int i = 0; i < count; ++i) {
        STerminalPort port;
        port.serialPort = records[static_cast<size_t>(i)];
        char path[512] = {};
        port.label = hbds_serial_port_path(port.serialPort.port, path, sizeof path) != 0
                         ? wxString::FromUTF8(path)
                         : wxString::Format("COM%u", port.serialPort.port);
        ports.push_back(port);
    }
}

}  // namespace

wxString UsbPortLabel(const UsbDeviceInfo& device, int number)
{
    wxString label;
    switch (device.interfaceKind) {
    case HBDS_USB_HID_POS_COMPOSITE:
        label = wxString::Format("HidPosMi %d", number);
        break;
    case HBDS_USB_DATA_PIPE:
        label = wxString::Format("DataPipe %d", number);
        break;
    default:
        label = wxString::Format("HidPos %d", number);
        break;
    }
    // The product lets the user tell two scanners apart.
    const wxString product = wxString::FromUTF8(device.product, strnlen(device.product, sizeof device.product));
    return product.empty() ? label : label + " (" + product + ")";
}

std::vector<STerminalPort> ListTerminalPorts()
{
    std::vector<STerminalPort> ports;
    AddUsbPorts(ports);
    AddSerialPorts(ports);
    return ports;
}

bool OpenTerminalPort(const STerminalPort& port, const SerialSettings& line, uint32_t& status)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.CloseDevice(0);
    auto entry = std::make_unique<DeviceEntry>();
    if (port.serial) {
        entry->kind = DEVICE_KIND_SERIAL;
        entry->serial = line;
        entry->serial.port = port.serialPort.port;
    } else {
        entry->kind = DEVICE_KIND_USB;
        entry->usb = port.usbDevice;
    }
    DeviceEntry* added = link.AddDevice(std::move(entry));
    const bool opened = link.OpenDevice(added);
    status = added->status;
    return opened;
}
