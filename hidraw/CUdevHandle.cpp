#include "hidraw/CUdevHandle.h"

#include <libudev.h>

void CUdevUnref::operator()(udev* handle) const {
    udev_unref(handle);
}

void CUdevUnref::operator()(udev_device* handle) const {
    udev_device_unref(handle);
}

void CUdevUnref::operator()(udev_enumerate* handle) const {
    udev_enumerate_unref(handle);
}

void CUdevUnref::operator()(udev_monitor* handle) const {
    udev_monitor_unref(handle);
}
