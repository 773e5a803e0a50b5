# The Debian package of the installed layout, made by scripts/package.sh with
# cpack. Its version is the product version of the program's version record.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PELMORA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PELMORA_ProductVersion})
set(CPACK_PACKAGE_VENDOR Dranek)
set(CPACK_PACKAGE_CONTACT "Pelmora Dev <dev@pelmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "post the day's cash sales into the general ledger")
set(CPACK_PACKAGE_DESCRIPTION "A tool of the Pelmora accounting suite that posts the cash sales
of one day and one point of sale into a company's Firebird database:
as a window (contavtascontado), or from the command line and each night
from systemd (pelmora-post). It includes create-company.sh, which makes
a company database from the installed schema.")
# The program and the driver beside it are installed under the prefix the
# build was configured with (/usr for the package), not a staging folder, so
# the systemd unit names the right program.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the shared-library scan cannot see: the driver opens the Firebird
# client with dlopen, the client runs the embedded engine, and
# create-company.sh runs isql-fb.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfbclient2, firebird3.0-server-core, firebird3.0-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
