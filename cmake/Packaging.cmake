# Installing and packaging: the three programs with their manual pages, the
# manual, the desktop entry, the icon, the AppStream description and the Debian
# copyright and changelog. `cpack -G DEB` makes a Debian package of it;
# packaging/build-deb makes the one to ship (Release, Debian's hardening flags,
# stripped, without tests).
include(GNUInstallDirs)
install(TARGETS velmara velmara-charger-sim velmara-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velmara/help)
install(FILES packaging/velmara.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/velmara.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/org.velmara.Velmara.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go compressed, as Debian wants them: gzip -9n
# keeps no name or time inside, so the same source gives the same file.
set(velmara_man_pages velmara velmara-db velmara-charger-sim)
set(velmara_gz_dir ${CMAKE_BINARY_DIR}/packaging)
set(velmara_gz_files)
foreach(source IN ITEMS man/velmara.1 man/velmara-db.1 man/velmara-charger-sim.1 debian/changelog)
    get_filename_component(name ${source} NAME)
    if(name STREQUAL "changelog")
        set(name changelog.Debian)
    endif()
    set(gz ${velmara_gz_dir}/${name}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${velmara_gz_dir}
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/packaging/${source} ${gz}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
        VERBATIM)
    list(APPEND velmara_gz_files ${gz})
endforeach()
add_custom_target(velmara_compressed_docs ALL DEPENDS ${velmara_gz_files})
foreach(page IN LISTS velmara_man_pages)
    install(FILES ${velmara_gz_dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES packaging/debian/copyright ${velmara_gz_dir}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmara)

install(FILES packaging/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
        RENAME velmara)

set(CPACK_PACKAGE_NAME velmara)
set(CPACK_PACKAGE_VENDOR "velmara developers")
set(CPACK_PACKAGE_CONTACT "velmara developers <maintainers@velmara.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control a computer-controlled battery charger")
set(CPACK_PACKAGE_DESCRIPTION [=[velmara runs a computer-controlled battery charger with one or four charging
channels over a serial line. Every channel gets a window with its live state,
current, voltage and capacity. Charge programs are edited, checked, sent to
one channel or to all of them and kept in a library.

The measured values of each battery are recorded into password-protected
database files in the user's data folder, drawn as voltage, current and
capacity curves over time, exported to and imported from CSV files and
printed as A4 reports. The program speaks German and English.

A charger simulator (velmara-charger-sim) and a command-line tool for the
database files and settings (velmara-db) are included.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library dependencies from the binaries; the plugins Qt loads at run time by
# name; the translations of Qt's own dialogs are welcome but not needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
