# SPDX-FileCopyrightText: 2026 Corvasse
# SPDX-License-Identifier: MIT
# Installation and the Debian packages (cpack -G DEB). Two install components, one package each:
#   cli: vantrel-cli, the udev rule with its helper that give the desktop user access to the
#        readers, the lane service with its settings and user, and the man page vantrel-cli(1):
#        package vantrel-cli, no GUI libraries;
#   gui: vantrel, the launcher with its icons, the AppStream metadata and vantrel(1): package
#        vantrel, which depends on vantrel-cli of the same version.
include(GNUInstallDirs)

# Directories the install creates get the mode a package expects whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VANTREL_APP_ID com.corvasse.Vantrel)
# udev reads rules and the helpers they name from <prefix>/lib/udev only when the prefix is /usr,
# as in the package; never the multiarch library directory.
set(VANTREL_UDEV_DIR lib/udev)

if(TARGET vantrel)
    install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
endif()
if(TARGET vantrel-cli)
    install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
endif()
install(TARGETS vantrel-hid-id RUNTIME DESTINATION ${VANTREL_UDEV_DIR} COMPONENT cli)
install(FILES res/70-vantrel.rules DESTINATION ${VANTREL_UDEV_DIR}/rules.d COMPONENT cli)
# The lane service, not enabled on install, its settings and its user.
install(FILES res/vantrel-lane.service DESTINATION lib/systemd/system COMPONENT cli)
install(FILES res/vantrel-lane.sysusers DESTINATION lib/sysusers.d RENAME vantrel-lane.conf
        COMPONENT cli)
install(FILES res/vantrel-lane.default DESTINATION /etc/default RENAME vantrel-lane COMPONENT cli)

# Man pages, the changelog and the larger documents, compressed as Debian installs them
# (gzip -9n: no name or time stamp, so the same sources give the same package).
set(VANTREL_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/cmake/debian)
set(compressed_outputs)
function(vantrel_install_gzipped src name destination component)
    set(out ${PROJECT_BINARY_DIR}/gz/${component}/${name}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gz/${component}
        COMMAND gzip -9n -c ${src} > ${out}
        DEPENDS ${src}
        COMMENT "Compressing ${name} for ${component}")
    install(FILES ${out} DESTINATION ${destination} COMPONENT ${component})
    set(compressed_outputs ${compressed_outputs} ${out} PARENT_SCOPE)
endfunction()

# Each package's documentation directory: the copyright, the changelog and, for the terminal
# package that the GUI depends on, the README.
set(doc_packages)
if(TARGET vantrel-cli)
    list(APPEND doc_packages cli:vantrel-cli)
    vantrel_install_gzipped(${PROJECT_SOURCE_DIR}/man/vantrel-cli.1 vantrel-cli.1
                            ${CMAKE_INSTALL_MANDIR}/man1 cli)
    vantrel_install_gzipped(${PROJECT_SOURCE_DIR}/README.md README.md
                            ${CMAKE_INSTALL_DATADIR}/doc/vantrel-cli cli)
endif()
if(TARGET vantrel)
    list(APPEND doc_packages gui:vantrel)
    vantrel_install_gzipped(${PROJECT_SOURCE_DIR}/man/vantrel.1 vantrel.1
                            ${CMAKE_INSTALL_MANDIR}/man1 gui)
endif()
foreach(entry IN LISTS doc_packages)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 component)
    list(GET entry 1 package)
    set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${package})
    install(FILES ${VANTREL_DEBIAN_DIR}/copyright DESTINATION ${doc_dir} COMPONENT ${component})
    vantrel_install_gzipped(${VANTREL_DEBIAN_DIR}/changelog changelog.Debian ${doc_dir}
                            ${component})
    # What lintian reports about the package and we accept, each with the reason.
    set(overrides ${VANTREL_DEBIAN_DIR}/${package}.lintian-overrides)
    if(EXISTS ${overrides})
        install(FILES ${overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
                RENAME ${package} COMPONENT ${component})
    endif()
endforeach()
add_custom_target(vantrel_compressed_docs ALL DEPENDS ${compressed_outputs})

if(TARGET vantrel)
    install(FILES res/${VANTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
            COMPONENT gui)
    install(FILES res/${VANTREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
            COMPONENT gui)

    # The icon: the SVG for the scalable size, PNGs rendered from it at build time for the fixed
    # sizes that panels and menus ask for.
    set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES res/vantrel.svg DESTINATION ${icon_dir}/scalable/apps
            RENAME ${VANTREL_APP_ID}.svg COMPONENT gui)
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
            install(FILES ${out} DESTINATION ${icon_dir}/${size}x${size}/apps COMPONENT gui)
        endforeach()
        add_custom_target(vantrel_icons ALL DEPENDS ${icon_outputs})
    else()
        message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): "
                        "only the scalable icon is installed")
    endif()
endif()

# The Debian packages, one per component. The version carries a Debian revision, so the
# changelog is changelog.Debian; its newest entry must name this version (package-check checks).
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Corvasse)
set(CPACK_PACKAGE_CONTACT "Corvasse Vantrel developers <vantrel@corvasse.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL)
if(TARGET vantrel-cli)
    list(APPEND CPACK_COMPONENTS_ALL cli)
endif()
if(TARGET vantrel)
    list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE vantrel)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps (dpkg-dev) derives each package's runtime dependencies (Qt 6, libudev,
# libstdc++) from the programs it installs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME vantrel-cli)
set(CPACK_DEBIAN_CLI_DESCRIPTION [[terminal tool for USB bar-code readers
vantrel-cli lists the bar-code readers attached over USB as HID devices,
monitors their input reports decoded by the reader's interface type (Quorin,
Hid Pos, SurePos, SurePos Sio), sends commands and raw reports, describes
report descriptors and replays recordings, as text or JSON for scripts.

The package installs a udev rule, with a helper that recognises readers by
their report descriptor, that gives the user of the active local session
access to the readers' hidraw nodes, and vantrel-lane.service (not enabled),
which follows the readers and publishes every scan to an MQTT broker.]])
# The keyboard layouts that readers in keyboard mode are read under, loaded by xkbcommon at
# run time.
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "xkb-data")
# The udev rule is reloaded when the package comes and goes; the lane's settings are kept.
set(CPACK_DEBIAN_CLI_PACKAGE_CONTROL_EXTRA
    ${VANTREL_DEBIAN_DIR}/postinst ${VANTREL_DEBIAN_DIR}/postrm ${VANTREL_DEBIAN_DIR}/conffiles)

set(CPACK_DEBIAN_GUI_PACKAGE_NAME vantrel)
set(CPACK_DEBIAN_GUI_DESCRIPTION [[diagnostic and demonstration tool for USB bar-code readers
Vantrel opens the HID interface of a bar-code reader, reads every input
report, decodes it by the reader's interface type (Quorin, Hid Pos, SurePos,
SurePos Sio) and shows label, symbology, raw and sent bytes in a coloured
output window, with a panel of buttons for the commands of each type.]])
# The reader access (udev rule) comes with the terminal package. Loaded at run time, so
# invisible to dpkg-shlibdeps: the platform plugins (xcb, wayland) without which no window
# opens (xcb; qt6-wayland adds native Wayland), and the SVG image plugin for the window icon.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS
    "vantrel-cli (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}), qt6-qpa-plugins")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "libqt6svg6, qt6-wayland")
include(CPack)
