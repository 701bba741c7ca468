# ph_add_package_note(target): gives an executable an ELF .note.package note
# holding its package's name and version as JSON, so tools such as
# `readelf --notes` or a core-dump handler can tell where a binary comes from
# without running it.
#
# The option goes to the linker through -Xlinker rather than -Wl, because the
# compiler driver splits -Wl arguments at commas, and JSON has those. Single
# quotes keep the double quotes intact through CMake's SHELL: splitting.
set(PH_PACKAGE_NAME pricehistory CACHE STRING "Name of the Debian package the program is shipped in")

function(ph_add_package_note target)
  set(metadata "{\"type\":\"deb\",\"os\":\"debian\",\"name\":\"${PH_PACKAGE_NAME}\",\"version\":\"${PROJECT_VERSION}\"}")
  target_link_options(${target} PRIVATE "SHELL:-Xlinker '--package-metadata=${metadata}'")
endfunction()
