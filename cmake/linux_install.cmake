# What `cmake --install` puts in place for the desktop program: the program, its menu
# entry, its icon in the hicolor theme, its AppStream data and its manual page. The Debian
# package is made from this tree (tools/package.sh).
include(GNUInstallDirs)
install(TARGETS tarvolm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(TARVOLM_LINUX_RES ${PROJECT_SOURCE_DIR}/src/res/linux)
install(FILES ${TARVOLM_LINUX_RES}/tarvolm.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/src/res/icon/tarvolm-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tarvolm.png)
endforeach()
# The release date follows SOURCE_DATE_EPOCH when it is set, so a package can be made again
# byte for byte.
string(TIMESTAMP TARVOLM_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${TARVOLM_LINUX_RES}/org.tarvolm.tarvolm.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/generated/org.tarvolm.tarvolm.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/generated/org.tarvolm.tarvolm.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TARVOLM_LINUX_RES}/tarvolm.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
