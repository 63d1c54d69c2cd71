# SPDX-FileCopyrightText: 2026 Corvasse
# SPDX-License-Identifier: MIT
# The real-kernel tests: a guest program runs as /init of Debian's own kernel under qemu
# (tests/kernel/run-kernel-test, from the kernel package scripts/install-deps downloads).
# Not under the sanitizers: the guest has no sanitizer runtime set-up and runs under emulation.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize" AND TARGET vantrel_device)
    set(kernel_dir ${CMAKE_CURRENT_SOURCE_DIR}/kernel)
    set(kernel_runner ${kernel_dir}/run-kernel-test)
    set(kernel_descriptors)
    foreach(name hidpos-8c-0002 ff45-4b00-handheld)
        list(APPEND kernel_descriptors
             --file ${CMAKE_CURRENT_SOURCE_DIR}/data/descriptors/${name}.hex:/descriptors/)
    endforeach()

    # Virtual readers made with uhid, without a USB parent; keyboards read through evdev, their
    # keys typed under the layouts of xkb-data.
    add_executable(kernel_guest ${kernel_dir}/KernelGuest.cpp ${kernel_dir}/GuestSupport.cpp)
    target_link_libraries(kernel_guest PRIVATE vantrel_device vantrel_platform_select
        vantrel_test_support)
    add_test(NAME KernelHidraw
        COMMAND ${kernel_runner} --work ${CMAKE_BINARY_DIR}/kernel-test
                --init $<TARGET_FILE:kernel_guest> --module evdev --module hid
                --module hid-generic --module uhid ${kernel_descriptors}
                --file ${CMAKE_CURRENT_SOURCE_DIR}/data/descriptors/keyboard-0001-0006.hex:/descriptors/
                --tree /usr/share/X11/xkb:/usr/share/X11/xkb)
    set_tests_properties(KernelHidraw PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS kernel)

    # Readers plugged in as USB gadgets on the dummy host controller, with vantrel-cli inside.
    if(TARGET vantrel-cli)
        add_executable(usb_gadget_guest ${kernel_dir}/UsbGadgetGuest.cpp
            ${kernel_dir}/CGadgetFirmware.cpp ${kernel_dir}/CUsbGadget.cpp
            ${kernel_dir}/GuestSupport.cpp)
        target_link_libraries(usb_gadget_guest PRIVATE vantrel_device vantrel_sim
            vantrel_platform_select vantrel_test_support)
        add_dependencies(usb_gadget_guest vantrel-cli)
        set(gadget_modules)
        foreach(module hid hid-generic usb-common usbcore usbhid configfs udc-core libcomposite
                       dummy_hcd usb_f_hid)
            list(APPEND gadget_modules --module ${module})
        endforeach()
        add_test(NAME KernelUsbGadget
            COMMAND ${kernel_runner} --work ${CMAKE_BINARY_DIR}/kernel-usb-test
                    --init $<TARGET_FILE:usb_gadget_guest> ${gadget_modules}
                    --program $<TARGET_FILE:vantrel-cli>:/usr/bin/vantrel-cli
                    ${kernel_descriptors})
        set_tests_properties(KernelUsbGadget PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400
            LABELS kernel)
    endif()
endif()
