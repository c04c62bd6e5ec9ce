# Run by CPack before it zips the staged files (CPACK_PRE_BUILD_SCRIPTS): each
# program and DLL goes into the zip stripped, and its debug information into
# <package>-debug/<file>.debug beside the zip, tied to the stripped file by a
# .gnu_debuglink section, so that a crash report's addresses can be read
# against the very build that was shipped.
foreach(staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
    file(GLOB_RECURSE binaries ${staged}/*.dll ${staged}/*.exe)
    foreach(binary ${binaries})
        get_filename_component(name ${binary} NAME)
        set(debug ${CPACK_KORVID_DEBUG_DIR}/${name}.debug)
        file(MAKE_DIRECTORY ${CPACK_KORVID_DEBUG_DIR})
        execute_process(COMMAND ${CPACK_KORVID_OBJCOPY} --only-keep-debug ${binary} ${debug}
                        COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND ${CPACK_KORVID_STRIP} --strip-all ${binary} COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND ${CPACK_KORVID_OBJCOPY} --add-gnu-debuglink=${debug} ${binary}
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endforeach()
