# What goes into the Debian package and how CPack builds it:
#   cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
#   cmake --build build/package && (cd build/package && cpack)
# scripts/package.sh does that with Debian's hardening flags, then checks the result.
include(GNUInstallDirs)

install(TARGETS pricehistory pricehistory-sample-service RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(PH_PACKAGE_MAINTAINER "pricehistory developers <pricehistory@example.org>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PH_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PH_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show the price history of an online shop's product")
set(CPACK_PACKAGE_DESCRIPTION [=[
A small desktop tool that shows the price history of a product sold in an
online shop. Paste the address of the product's page into the link box and
press Query: the tool asks a price-history web service for that product and
shows the band of its page that holds the price chart. The window's texts
are in Chinese.

The package also holds pricehistory-sample-service, a sample service on
127.0.0.1 that draws made-up charts, for trying the tool out.]=])

# The name apt expects: pricehistory_2.0.8.29_amd64.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Run-time libraries come from dpkg-shlibdeps, so the list follows what we link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's texts are Chinese: without a CJK font they show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped like Debian's own packages: symbols by CPack, then the .comment
# sections by our script; the .note.package note stays.
set(CPACK_STRIP_FILES ON)
set(CPACK_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PH_PROGRAM_DIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_comments.cmake)
# Folders the package makes must not depend on the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Only the binary package: the repository itself is the source.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
