# Install rules and the Debian package. The texts, sounds and pictures are compiled into the
# program (Qt resources), so the program finds them wherever it is installed; what goes
# beside it is what the desktop needs to show and start it.
include(GNUInstallDirs)

set(VORQ_APP_ID com.halvorsoft.vorq)
# The date of this version, for the AppStream release entry.
set(VORQ_RELEASE_DATE 2026-12-07)

install(TARGETS vorq vorq-demodb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${VORQ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/vorq.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VORQ_APP_ID}.svg)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${VORQ_APP_ID}.metainfo.xml
               ${PROJECT_BINARY_DIR}/packaging/${VORQ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${VORQ_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian wants the changelog and the manual pages compressed, with no time stamp inside.
function(vorq_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(plain ${PROJECT_BINARY_DIR}/packaging/${name})
    configure_file(${source} ${plain} @ONLY)
    add_custom_command(OUTPUT ${plain}.gz COMMAND gzip -9nfk ${plain} DEPENDS ${plain})
    add_custom_target(vorq-gzip-${name} ALL DEPENDS ${plain}.gz)
    install(FILES ${plain}.gz DESTINATION ${destination})
endfunction()
vorq_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DOCDIR})
vorq_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/vorq.1 ${CMAKE_INSTALL_MANDIR}/man1)
vorq_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/vorq-demodb.1 ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorq)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Halvorsoft)
set(CPACK_PACKAGE_CONTACT "VORQ maintainers <maintainers@users.noreply.c-seed-05f52fe1.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logging program for the net control of a traffic net")
# The long description; CPack puts the summary above it and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VORQ is the logging program of the net control station of a state-wide
amateur-radio phone traffic net. The operator types the call sign of each
station that checks in; VORQ finds it in its database of members, logs the
check-in, counts check-ins and traffic, looks up unknown calls in the QRZ
callsign service, keeps the roster of net controls and turns each session
into monthly totals and a monthly report.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vorq_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps, so the package installs wherever the Qt 6
# libraries it was built against exist, whatever the distribution calls their packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The licence database is SQLite through Qt's plugin, which no library links to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
# Net sharing only uses a folder; Syncthing is what keeps it the same on every PC of the net.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS syncthing)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Folders the package does not own keep the modes dpkg expects.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
