# The udev helper on real report descriptors laid out as sysfs.
add_test(NAME udev.HelperRecognisesReaderDescriptors
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/udev/helper-check $<TARGET_FILE:vantrel-hid-id>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/descriptors)
