# Installation and the Debian package (cpack -G DEB): the programs, the launcher with its icons,
# the AppStream metadata, the man pages, and the udev rule with its helper that give the desktop
# user access to the readers.
include(GNUInstallDirs)

set(VANTREL_APP_ID com.corvasse.Vantrel)
# udev reads rules and the helpers they name from <prefix>/lib/udev only when the prefix is /usr,
# as in the package; never the multiarch library directory.
set(VANTREL_UDEV_DIR lib/udev)

if(TARGET vantrel)
    install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET vantrel-cli)
    install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS vantrel-hid-id RUNTIME DESTINATION ${VANTREL_UDEV_DIR})
install(FILES res/70-vantrel.rules DESTINATION ${VANTREL_UDEV_DIR}/rules.d)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

# Man pages, compressed as Debian installs them.
set(man_pages)
if(TARGET vantrel)
    list(APPEND man_pages vantrel)
endif()
if(TARGET vantrel-cli)
    list(APPEND man_pages vantrel-cli)
endif()
set(man_outputs)
foreach(page IN LISTS man_pages)
    set(src ${PROJECT_SOURCE_DIR}/man/${page}.1)
    set(out ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND gzip -9n -c ${src} > ${out}
        DEPENDS ${src}
        COMMENT "Compressing man page ${page}(1)")
    list(APPEND man_outputs ${out})
endforeach()
if(man_outputs)
    add_custom_target(vantrel_man ALL DEPENDS ${man_outputs})
    install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(TARGET vantrel)
    install(FILES res/${VANTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES res/${VANTREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # The icon: the SVG for the scalable size, PNGs rendered from it at build time for the fixed
    # sizes that panels and menus ask for.
    set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES res/vantrel.svg DESTINATION ${icon_dir}/scalable/apps
            RENAME ${VANTREL_APP_ID}.svg)
    find_program(RSVG_CONVERT rsvg-convert)
    if(RSVG_CONVERT)
        set(icon_outputs)
        foreach(size 16 22 24 32 48 64 128 256)
            set(out ${PROJECT_BINARY_DIR}/icons/${size}x${size}/${VANTREL_APP_ID}.png)
            add_custom_command(OUTPUT ${out}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
                COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${out} ${PROJECT_SOURCE_DIR}/res/vantrel.svg
                DEPENDS ${PROJECT_SOURCE_DIR}/res/vantrel.svg
                COMMENT "Rendering the ${size}x${size} icon")
            list(APPEND icon_outputs ${out})
            install(FILES ${out} DESTINATION ${icon_dir}/${size}x${size}/apps)
        endforeach()
        add_custom_target(vantrel_icons ALL DEPENDS ${icon_outputs})
    else()
        message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): "
                        "only the scalable icon is installed")
    endif()
endif()

# The Debian package.
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Corvasse)
set(CPACK_PACKAGE_CONTACT "Corvasse Vantrel developers <vantrel@corvasse.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diagnostic and demonstration tool for USB bar-code readers")
set(CPACK_PACKAGE_DESCRIPTION [[
Vantrel opens the HID interface of a bar-code reader, reads every input
report, decodes it by the reader's interface type (Quorin, Hid Pos, SurePos,
SurePos Sio) and shows label, symbology, raw and sent bytes in a coloured
output window, with a panel of buttons for the commands of each type.
vantrel-cli does the same from a terminal and replays recordings.

The package installs a udev rule that gives the user of the active local
session access to the readers' hidraw nodes.]])
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (dpkg-dev) derives the runtime dependencies (Qt 6, libudev, libstdc++) from
# the installed programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: the platform plugins (xcb, wayland) without
# which no window opens (xcb; qt6-wayland adds native Wayland), and the SVG image plugin for the
# window icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
