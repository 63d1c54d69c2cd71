# The real-kernel test: the guest program runs as /init of Debian's kernel under qemu.
# Not under the sanitizers: the guest has no sanitizer runtime set-up and runs under emulation.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize" AND TARGET vantrel_device)
    add_executable(kernel_guest ${CMAKE_CURRENT_SOURCE_DIR}/kernel/KernelGuest.cpp)
    target_link_libraries(kernel_guest PRIVATE vantrel_device vantrel_platform_select
        vantrel_test_support)
    add_test(NAME KernelHidraw
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/kernel/run-kernel-test $<TARGET_FILE:kernel_guest>
                ${CMAKE_BINARY_DIR}/kernel-test ${CMAKE_CURRENT_SOURCE_DIR}/data/descriptors)
    set_tests_properties(KernelHidraw PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS kernel)
endif()
