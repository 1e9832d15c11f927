#pragma once
// The data types of the libusb-0.1 programming interface. On Linux they come
// from libusb-compat's <usb.h>; on Windows the library is libusb-win32's
// libusb0.dll, loaded at run time, whose records are declared here as that
// library lays them out (byte-packed, 512-character names).

#ifndef _WIN32
#include <usb.h>
#else
#include <cstdint>

#define LIBUSB_PATH_MAX 512

#pragma pack(push, 1)

struct usb_endpoint_descriptor {
    unsigned char bLength;
    unsigned char bDescriptorType;
    unsigned char bEndpointAddress;
    unsigned char bmAttributes;
    unsigned short wMaxPacketSize;
    unsigned char bInterval;
    unsigned char bRefresh;
    unsigned char bSynchAddress;
    unsigned char* extra;
    int extralen;
};

struct usb_interface_descriptor {
    unsigned char bLength;
    unsigned char bDescriptorType;
    unsigned char bInterfaceNumber;
    unsigned char bAlternateSetting;
    unsigned char bNumEndpoints;
    unsigned char bInterfaceClass;
    unsigned char bInterfaceSubClass;
    unsigned char bInterfaceProtocol;
    unsigned char iInterface;
    struct usb_endpoint_descriptor* endpoint;
    unsigned char* extra;
    int extralen;
};

struct usb_interface {
    struct usb_interface_descriptor* altsetting;
    int num_altsetting;
};

// windows.h defines "interface" as a macro; the member keeps the library's name
#ifdef interface
#undef interface
#endif

struct usb_config_descriptor {
    unsigned char bLength;
    unsigned char bDescriptorType;
    unsigned short wTotalLength;
    unsigned char bNumInterfaces;
    unsigned char bConfigurationValue;
    unsigned char iConfiguration;
    unsigned char bmAttributes;
    unsigned char MaxPower;
    struct usb_interface* interface;
    unsigned char* extra;
    int extralen;
};

struct usb_device_descriptor {
    unsigned char bLength;
    unsigned char bDescriptorType;
    unsigned short bcdUSB;
    unsigned char bDeviceClass;
    unsigned char bDeviceSubClass;
    unsigned char bDeviceProtocol;
    unsigned char bMaxPacketSize0;
    unsigned short idVendor;
    unsigned short idProduct;
    unsigned short bcdDevice;
    unsigned char iManufacturer;
    unsigned char iProduct;
    unsigned char iSerialNumber;
    unsigned char bNumConfigurations;
};

struct usb_bus;

struct usb_device {
    struct usb_device *next, *prev;
    char filename[LIBUSB_PATH_MAX];
    struct usb_bus* bus;
    struct usb_device_descriptor descriptor;
    struct usb_config_descriptor* config;
    void* dev;
    unsigned char devnum;
    unsigned char num_children;
    struct usb_device** children;
};

struct usb_bus {
    struct usb_bus *next, *prev;
    char dirname[LIBUSB_PATH_MAX];
    struct usb_device* devices;
    unsigned long location;
    struct usb_device* root_dev;
};

#pragma pack(pop)

struct usb_dev_handle;
typedef struct usb_dev_handle usb_dev_handle;

#endif
