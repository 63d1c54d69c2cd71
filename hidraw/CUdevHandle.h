#pragma once

#include <memory>

struct udev;
struct udev_device;
struct udev_enumerate;
struct udev_monitor;

// Drops one libudev reference; the overloads keep libudev.h out of the headers.
struct CUdevUnref {
    void operator()(udev* handle) const;
    void operator()(udev_device* handle) const;
    void operator()(udev_enumerate* handle) const;
    void operator()(udev_monitor* handle) const;
};

// One owned libudev reference, released when the handle goes.
template <class T> using CUdevHandle = std::unique_ptr<T, CUdevUnref>;
