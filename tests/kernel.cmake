# The real-kernel test: the guest program runs as /init of Debian's kernel under qemu.
# Not under the sanitizers: the guest has no sanitizer runtime set-up and runs under emulation.
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize" AND TARGET vantrel_core)
    add_executable(kernel_guest ${CMAKE_CURRENT_SOURCE_DIR}/kernel/KernelGuest.cpp)
    target_link_libraries(kernel_guest PRIVATE vantrel_core)
    add_test(NAME KernelHidraw
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/kernel/run-kernel-test $<TARGET_FILE:kernel_guest>
                ${CMAKE_BINARY_DIR}/kernel-test ${PROJECT_SOURCE_DIR}/../shared/realdata)
    set_tests_properties(KernelHidraw PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS kernel)
endif()
