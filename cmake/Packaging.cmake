# Installation (GNUInstallDirs) and the Debian package (cpack -G DEB).
install(TARGETS korvo2k-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET korvo-sim)
  install(TARGETS korvo-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET korvo2k)
  install(TARGETS korvo2k RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/dist/korvo2k.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/korvo2k-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME korvo2k.png)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/korvo2k.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
# The default every user's folder starts from; the program finds it beside its bin folder.
install(FILES ${CMAKE_SOURCE_DIR}/src/store/UPLOAD.CFG DESTINATION ${CMAKE_INSTALL_DATADIR}/korvo2k)
install(FILES ${CMAKE_SOURCE_DIR}/dist/systemd/korvo2k-download.service
              ${CMAKE_SOURCE_DIR}/dist/systemd/korvo2k-download.timer
              ${CMAKE_SOURCE_DIR}/dist/systemd/korvo2k-monitor.service
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME korvo2k)
set(CPACK_PACKAGE_VENDOR "KORVO2K/Bio Utility developers")
set(CPACK_PACKAGE_CONTACT "KORVO2K/Bio Utility developers <korvo2k@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Manage access-control and time-attendance terminals")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Reads and writes terminal parameters, uploads tables, moves fingerprint templates, downloads and receives\n"
       "transactions, sets clocks and browses, exports and reports activities, over serial, modem and TCP/IP.\n"
       "Includes korvo2k-cli for scripts and the terminal simulator korvo-sim.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Reading the DBF files back in a script is optional; the program writes them itself.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dbfread, sqlite3")
include(CPack)
