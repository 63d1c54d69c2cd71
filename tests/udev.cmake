# The udev helper's descriptor match (udev/).
vantrel_add_test_folder(udev vantrel_udev GTest::gtest_main)
