# CPack pre-build script: drops the compilers' .comment sections from the
# packaged programs, as Debian's own stripping does; CPack's strip keeps them.
# Runs on the staging tree after CPack has installed and stripped it.
file(GLOB programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PH_PROGRAM_DIR}/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_OBJCOPY}" --remove-section=.comment "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
