# Installing the programs, and the Debian package CPack builds from the installed tree. The desktop
# files are installed by resources/.
include(GNUInstallDirs)
install(TARGETS velkaro zindrel zindrel-batch velkaro-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(VELKARO_PACKAGE_MAINTAINER "Halvetic" CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkaro)
set(CPACK_PACKAGE_VENDOR Halvetic)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ODBC schema explorer (Velkaro) and data search (Zindrel)")
set(CPACK_PACKAGE_DESCRIPTION
    "Velkaro shows the schemas of ODBC data sources as a tree; Zindrel searches a data source for a string in names and data, in a window or from a terminal (zindrel-batch); velkaro-report writes schema reports from a terminal.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELKARO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
# dpkg-shlibdeps names the packages of the libraries the programs link: Qt 6 Core, Gui, Widgets,
# Svg and Print Support (libqt6printsupport6), unixODBC's libodbc2, the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Any data source needs its driver; these are the three the programs are tested with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, odbc-mariadb, libsqliteodbc")
include(CPack)
