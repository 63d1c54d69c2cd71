# The udev helper on real report descriptors laid out as sysfs.
add_test(NAME udev.HelperRecognisesReaderDescriptors
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/udev/helper-check $<TARGET_FILE:vantrel-hid-id>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/descriptors)

# The rule and the helper under Debian's kernel and systemd-udevd in qemu, with uhid devices and
# USB gadgets (scripts/udev-rule-check). Not under the sanitizers, as the other kernel tests.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    add_executable(udev_vm_uhid_device ${CMAKE_CURRENT_SOURCE_DIR}/udev/vm/UhidDevice.cpp)
    add_executable(udev_vm_load_modules ${CMAKE_CURRENT_SOURCE_DIR}/udev/vm/LoadModules.cpp)
    add_test(NAME udev.RuleOnKernel
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/udev-rule-check $<TARGET_FILE:vantrel-hid-id>
                     $<TARGET_FILE:udev_vm_uhid_device> $<TARGET_FILE:udev_vm_load_modules>)
    set_tests_properties(udev.RuleOnKernel PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600
        LABELS kernel ENVIRONMENT VANTREL_UDEV_WORK=${CMAKE_BINARY_DIR}/kernel-udev-test)
endif()
