# SPDX-FileCopyrightText: 2026 Corvasse
# SPDX-License-Identifier: MIT
# The chaos run drives the main dialog over the simulated readers with a seeded random schedule;
# it prints its seed, so a failure can be replayed with --seed. Briefly in the default build,
# for 30 s under the sanitizers. It records to and opens recordings in a temporary folder, starting
# from the recordings of the test data.
if(TARGET vantrel_app)
    add_executable(chaos_run ${CMAKE_CURRENT_SOURCE_DIR}/app/chaos/ChaosRun.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/app/chaos/CChaosFiles.cpp)
    target_link_libraries(chaos_run PRIVATE vantrel_app vantrel_outputwindow vantrel_recording
        vantrel_sim vantrel_test_support Qt6::Test)
    target_compile_definitions(chaos_run PRIVATE
        VANTREL_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
        set(chaos_seconds 30)
    else()
        set(chaos_seconds 5)
    endif()
    add_test(NAME ChaosRun COMMAND chaos_run --seconds ${chaos_seconds})
    set_tests_properties(ChaosRun PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTREL_SIMULATE="
        TIMEOUT 300)
endif()
