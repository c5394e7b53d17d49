# The Debian package (VELTO_PACKAGED=ON), made by `cpack -G DEB`: the program
# with help/ and the menu icons in /usr/lib/velto (src/app), the ward's data
# in /var/lib/velto, which the package's postinst makes for the group velto.

set(VELTO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(velto_generated ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${velto_generated})

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
# Installing (and so cpack) builds nothing first: build the target velto
# before (scripts/package.sh does), and the tests need not be built at all.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Compressed as Debian wants it: best compression, no name or time stamp, so
# the same text gives the same bytes.
function(velto_gzip source target)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
velto_gzip(${VELTO_PACKAGING_DIR}/velto.1 ${velto_generated}/velto.1.gz)
velto_gzip(${VELTO_PACKAGING_DIR}/changelog ${velto_generated}/changelog.Debian.gz)

# A relative link: the program still finds help/ beside its real file.
file(CREATE_LINK ../lib/velto/velto ${velto_generated}/velto SYMBOLIC)
install(FILES ${velto_generated}/velto DESTINATION bin)

install(FILES ${velto_generated}/velto.1.gz DESTINATION share/man/man1)
install(FILES ${VELTO_PACKAGING_DIR}/copyright ${velto_generated}/changelog.Debian.gz
        DESTINATION share/doc/velto)
install(FILES ${VELTO_PACKAGING_DIR}/velto.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velto.png DESTINATION share/icons/hicolor/64x64/apps)
foreach(size 16 32 48 128 256)
  install(FILES ${VELTO_PACKAGING_DIR}/icons/velto-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME velto.png)
endforeach()
install(FILES ${VELTO_PACKAGING_DIR}/lintian-overrides DESTINATION share/lintian/overrides RENAME velto)
# A conffile (see packaging/conffiles): an administrator's changes survive upgrades.
install(FILES ${VELTO_PACKAGING_DIR}/velto.ini DESTINATION /etc/velto)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velto maintainers <velto@hospital.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "electronic whiteboard of a hospital ward")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velto shows the ward's rooms and beds with their patients. From a bed the
nurses admit a patient, keep the patient's record, discharge, readmit or move
patients, print a patient summary and look at the ward as it stood on any
earlier day. Staff log in with their own account.
The ward's data is kept in /var/lib/velto, shared by the accounts of the
group velto, or in a PostgreSQL database shared by several terminals.")
# The libraries come from the binary; what it loads at run time does not show.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "adduser, fonts-ipafont-gothic, fonts-ipafont-mincho, libqt6sql6-psql, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${VELTO_PACKAGING_DIR}/conffiles ${VELTO_PACKAGING_DIR}/postinst ${VELTO_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
