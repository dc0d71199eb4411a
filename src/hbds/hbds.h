/*
 * Device-link library: lists, opens and talks to barcode scanners on serial ports
 * and USB HID point-of-sale interfaces, and writes the program's log.
 *
 * Plain C interface. Handles are unsigned 32-bit, 0 meaning none. Results are
 * non-zero on success unless an operation says otherwise. Operations that take a
 * status cell store the last error code there (HBDS_ERR_*; 0 = no error).
 * Nothing throws across this interface.
 */
#ifndef HBDS_H
#define HBDS_H

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t HBDS_HANDLE;

/* Error codes left in a status cell. */
enum {
    HBDS_OK = 0,
    HBDS_ERR_UNKNOWN = 1,
    HBDS_ERR_NOT_EXIST = 2,         /* port or device vanished or never existed */
    HBDS_ERR_NOT_OPEN = 3,
    HBDS_ERR_ALREADY_OPEN = 4,
    HBDS_ERR_ACCESS_DENIED = 5,     /* no permission, or the port is busy */
    HBDS_ERR_NOT_INITIAL = 6,       /* unknown handle */
    HBDS_ERR_NOT_CHANGE_MI = 7,
    HBDS_ERR_INVALID_PARAMS = 8,
    HBDS_ERR_INVALID_FILE_FORMAT = 9, /* no firmware file, or a port path that is no serial line */
    HBDS_ERR_FILENAME_EXT = 10,
    HBDS_ERR_COMMUNICATION = 11,
    HBDS_ERR_MALLOC = 12,
    HBDS_ERR_UPDATE_FAILED = 13,
    HBDS_ERR_NO_UPDATE_OBJECT = 14,
    HBDS_ERR_REFUSED = 17,
    HBDS_ERR_STOPPED = 18,
    HBDS_ERR_BOOT_MODE = 19,       /* a download broke off: the scanner waits in its boot mode */
    HBDS_ERR_RESTART_UNSEEN = 20,  /* the connection went as the scanner restarted: result unknown */
    HBDS_ERR_CERTIFICATE = 21      /* a TLS port's certificate does not verify, or ours is refused */
};

/* Interface kinds of a USB record (byte 508). */
enum {
    HBDS_USB_DATA_PIPE = 1,
    HBDS_USB_HID_POS = 2,
    HBDS_USB_HID_POS_COMPOSITE = 3
};

#pragma pack(push, 1)

/* One USB scanner interface; 512 bytes, the interface kind at byte 508. */
typedef struct UsbDeviceInfo {
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t interfaceNumber;
    char path[256];          /* the platform's device path, NUL-terminated */
    char serialNumber[64];   /* UTF-8 */
    char product[128];       /* UTF-8 */
    char manufacturer[52];   /* UTF-8 */
    uint8_t interfaceKind;   /* HBDS_USB_* */
    uint8_t spare[3];
} UsbDeviceInfo;

/* One serial port and its line parameters; 12 bytes. */
typedef struct SerialSettings {
    uint32_t port;      /* port number (low 16 bits); see hbds_serial_port_path */
    uint32_t baudRate;  /* 0 = no scanner answered during detection */
    uint8_t dataBits;   /* 5 to 8 */
    uint8_t stopBits;   /* 0 = 1, 1 = 1.5, 2 = 2 */
    uint8_t parity;     /* 0 none, 1 odd, 2 even, 3 mark, 4 space */
    uint8_t spare;
} SerialSettings;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(UsbDeviceInfo) == 512, "a USB record is 512 bytes");
static_assert(offsetof(UsbDeviceInfo, interfaceKind) == 508, "the interface kind is byte 508 of a USB record");
static_assert(sizeof(SerialSettings) == 12, "a serial record is 12 bytes");
#else
_Static_assert(sizeof(UsbDeviceInfo) == 512, "a USB record is 512 bytes");
_Static_assert(offsetof(UsbDeviceInfo, interfaceKind) == 508, "the interface kind is byte 508 of a USB record");
_Static_assert(sizeof(SerialSettings) == 12, "a serial record is 12 bytes");
#endif

/* Connections */
HBDS_HANDLE hbds_create(void);                         /* new closed connection, or 0 */
int hbds_open_usb(HBDS_HANDLE handle, const UsbDeviceInfo* device, int mode, uint32_t* status);
int hbds_open_com(HBDS_HANDLE handle, const SerialSettings* settings, uint32_t* status);
int hbds_is_open(HBDS_HANDLE handle);                   /* non-zero while open */
int hbds_close(HBDS_HANDLE handle);                     /* closes; the handle stays valid */
int hbds_destory(HBDS_HANDLE handle);                   /* frees the handle (closes first) */
int hbds_clean(HBDS_HANDLE handle, int which);          /* drops pending input */

/* Bytes written, 0 on failure. */
int hbds_write(HBDS_HANDLE handle, const uint8_t* data, uint32_t count);

/*
 * Appends at most `size` received bytes to `buffer` and returns their count; 0 when
 * nothing arrived within `timeoutMs` or on failure (then the status cell says why).
 * A read ends when the `terminator` sequence has arrived, the buffer is full, the
 * line has gone quiet for a few character times after data came, or the time-out
 * has passed since the call began. `mode` is -2 (the only mode).
 */
int hbds_read_until(HBDS_HANDLE handle, uint8_t* buffer, uint32_t size, int timeoutMs, int mode,
                    const uint8_t* terminator, uint32_t terminatorLength, uint32_t* status);

/* Enumeration; each returns the number of records filled. */
int hbds_enum_usb_device(UsbDeviceInfo* devices, uint32_t room);
int hbds_enum_serial_ports(SerialSettings* ports, uint32_t room);

/*
 * Probes each of the first `count` ports at the common baud rates with a harmless
 * identity query, and stores in each record the rate that answered, or 0. Returns
 * the number of records examined (`count`).
 */
int hbds_detect_serial_settings(SerialSettings* ports, uint32_t count, int timeoutMs);

/*
 * Probes one port at the one rate `baudRate` as detection probes each of its rates:
 * 1 when a scanner answered there, 0 when nothing did or the port cannot be opened.
 * For a rate given by hand, so that a wrong one fails as fast as detection does.
 */
int hbds_probe_serial_rate(uint32_t port, uint32_t baudRate, int timeoutMs);

/* Reconfigures an open serial connection with the record's line parameters. */
int hbds_change_serial_settings(HBDS_HANDLE handle, const SerialSettings* settings);

/* Firmware files: kernel information (2784-byte record) and download (84-byte progress). */
int hbds_get_kernel_info(const char* path, void* kernelInfo, uint32_t* out);
int hbds_update_firmware_file_1(HBDS_HANDLE handle, const char* path, int nameCheck, int retries,
                                void* progress, int reserved, uint32_t* status);
/*
 * Settles a download whose end went unseen (HBDS_ERR_RESTART_UNSEEN, on a connection
 * opened again): asks the scanner who it is for at most `waitMs`. Returns 1 when it
 * runs the version of the file at `path` outside its boot mode; 0 otherwise, with
 * HBDS_ERR_BOOT_MODE, HBDS_ERR_UPDATE_FAILED (it runs another version) or the reason
 * nothing answered.
 */
int hbds_confirm_firmware(HBDS_HANDLE handle, const char* path, int waitMs, uint32_t* status);

/*
 * Serial ports given by path (pseudo-terminals, adapters the system does not list,
 * ports served over the network as "rfc2217://HOST:PORT" or "tcp://HOST:PORT", or
 * the same under TLS as "rfc2217+tls://HOST:PORT" or "tcp+tls://HOST:PORT").
 * hbds_add_serial_path returns the port number that stands for `path` from now on
 * (the same number when added again), or 0 when the path is empty. Paths in the
 * environment variable VOSTREL_SERIAL_PORTS (separated by ':') are added at the
 * first enumeration. With VOSTREL_SYSTEM_SERIAL_PORTS=off, enumeration lists only
 * these, never the ports the system has.
 */
uint32_t hbds_add_serial_path(const char* path);
/*
 * Adds every path of a ':'-separated list; network ports ("rfc2217://HOST:PORT",
 * "tcp://HOST:PORT") keep their colons. Returns the number of paths added.
 */
int hbds_add_serial_path_list(const char* list);
void hbds_clear_serial_paths(void);
/*
 * Network ports under TLS ("rfc2217+tls://HOST:PORT", "tcp+tls://HOST:PORT"): the
 * authority that signed the server's certificate (NULL or empty: the system's), and a
 * client certificate with its key for servers that ask for one (NULL or empty: none;
 * a key NULL or empty is looked for in the certificate file). For every later open.
 * The server's certificate must name the host or address of the port.
 */
void hbds_set_tls_files(const char* caFile, const char* certFile, const char* keyFile);
/* Why the last network port that could not be opened failed, in words ("" when not known). */
int hbds_last_network_problem(char* buffer, size_t size);
/* Writes the path of a port number into `buffer`; 0 when the number is unknown. */
int hbds_serial_port_path(uint32_t port, char* buffer, size_t size);

/*
 * Virtual serial ports: a device living in this process (a simulated scanner) that
 * the library lists, detects, opens and talks to like a serial port. Callbacks run
 * on the thread of the library call that needs them, possibly several at once.
 */
typedef struct HbdsVirtualDevice {
    void* context;  /* handed back to every callback */
    /* Takes bytes the program wrote to the port. */
    void (*receive)(void* context, const uint8_t* data, uint32_t count);
    /* Copies up to `size` bytes for the program; 0 when none came within `timeoutMs`, -1 when gone. */
    int (*send)(void* context, uint8_t* buffer, uint32_t size, int timeoutMs);
    /* Told the line parameters at open and at every change; may be NULL. */
    void (*line_changed)(void* context, const SerialSettings* settings);
    /* Forgets output the program has not read yet; may be NULL. */
    void (*drop_input)(void* context);
} HbdsVirtualDevice;

/*
 * Registers a virtual port under `name` and returns its port number (the same number
 * when a name is registered again after removal), or 0 when the name is empty, taken
 * by a live virtual port, or the device lacks receive or send. The record is copied.
 */
uint32_t hbds_add_virtual_port(const char* name, const HbdsVirtualDevice* device);
/*
 * Unregisters a virtual port; returns after every callback in progress has ended, and
 * calls none afterwards (open connections then fail with HBDS_ERR_NOT_EXIST). Must not
 * be called from inside one of the port's own callbacks.
 */
void hbds_remove_virtual_port(uint32_t port);

/* Logging: one line per call when `level` is at or below the threshold. */
void logout_line(int level, const char* source, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
void logout_line_u(int level, const char* source, int line, const wchar_t* format, ...);
int HBSetLogLevel(int level);          /* 1 to 6; returns non-zero when accepted */
int hbds_get_log_level(void);
/* Folder of the daily log files ("hbds_YYYYMMDD.log"); empty or NULL: no file. */
void hbds_set_log_directory(const char* directory);

#ifdef __cplusplus
}
#endif

#endif /* HBDS_H */
