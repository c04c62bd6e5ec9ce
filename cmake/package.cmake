# The zip a Windows user downloads, one per bitness:
# Korvid-<version>-win32.zip or Korvid-<version>-win64.zip with the DLL, the
# form filler, the sample unit operation, the unit validator, a sample
# .como file, README and the pages of docs/ (in a docs folder, where the
# README's links find them), licence and the scripts that register each DLL
# with the regsvr32 of its bitness.
if(KORVID_BITNESS EQUAL 64)
    set(KORVID_CMD_REGSVR32 [=[rem The 64-bit regsvr32: System32 of a 64-bit command prompt; a 32-bit one
rem sees SysWOW64 under that name and reaches the 64-bit folder as Sysnative.
if "%PROCESSOR_ARCHITECTURE%"=="x86" if not defined PROCESSOR_ARCHITEW6432 (
    echo This is the 64-bit Korvid and this Windows is 32-bit: use the win32 package. 1>&2
    exit /b 1
)
set "regsvr32=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "regsvr32=%SystemRoot%\Sysnative\regsvr32.exe"]=])
else()
    set(KORVID_CMD_REGSVR32 [=[rem The 32-bit regsvr32: SysWOW64 on 64-bit Windows, System32 on 32-bit Windows.
set "regsvr32=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "regsvr32=%SystemRoot%\SysWOW64\regsvr32.exe"]=])
endif()

# A .cmd file from the template, with CR LF line ends (also inside the blocks
# substituted into it, which configure_file's NEWLINE_STYLE leaves alone).
function(korvid_cmd_file output)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/regsvr32.cmd.in ${output}.in @ONLY)
    file(READ ${output}.in text)
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${output} "${text}")
endfunction()

set(KORVID_CMD_DLL Korvid.dll)
set(KORVID_CMD_PURPOSE "Registers the ${KORVID_BITNESS}-bit Korvid.dll beside this script")
set(KORVID_CMD_SWITCH "")
set(KORVID_CMD_BEFORE [=[rem The object writes its trace reports here and never creates the folder.
if not exist "%~dp0CapeOpenValidationReports\" mkdir "%~dp0CapeOpenValidationReports"]=])
korvid_cmd_file(${CMAKE_BINARY_DIR}/package/register.cmd)
set(KORVID_CMD_PURPOSE "Unregisters the ${KORVID_BITNESS}-bit Korvid.dll beside this script")
set(KORVID_CMD_SWITCH "/u ")
set(KORVID_CMD_BEFORE "")
korvid_cmd_file(${CMAKE_BINARY_DIR}/package/unregister.cmd)
# The sample unit operation, KorvidSampleUnit.dll, registers by its own scripts.
set(KORVID_CMD_DLL KorvidSampleUnit.dll)
set(KORVID_CMD_PURPOSE "Registers the ${KORVID_BITNESS}-bit KorvidSampleUnit.dll beside this script")
set(KORVID_CMD_SWITCH "")
korvid_cmd_file(${CMAKE_BINARY_DIR}/package/register-sample-unit.cmd)
set(KORVID_CMD_PURPOSE "Unregisters the ${KORVID_BITNESS}-bit KorvidSampleUnit.dll beside this script")
set(KORVID_CMD_SWITCH "/u ")
korvid_cmd_file(${CMAKE_BINARY_DIR}/package/unregister-sample-unit.cmd)

install(PROGRAMS $<TARGET_FILE:Korvid> $<TARGET_FILE:korvid-autofill>
                 $<TARGET_FILE:korvid-validate>
                 ${CMAKE_BINARY_DIR}/package/register.cmd ${CMAKE_BINARY_DIR}/package/unregister.cmd
                 $<TARGET_FILE:KorvidSampleUnit> ${CMAKE_BINARY_DIR}/package/register-sample-unit.cmd
                 ${CMAKE_BINARY_DIR}/package/unregister-sample-unit.cmd
        DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/tests/data/three_components.como
              ${CMAKE_SOURCE_DIR}/tests/data/three_components_si.como
        DESTINATION .)
# The pages the README links, beside it as in the checkout (also the MSI's).
file(GLOB KORVID_DOCS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${KORVID_DOCS} DESTINATION docs)

# Shipped stripped; the debug information stays beside the zip.
if(MINGW)
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_package.cmake)
    set(CPACK_KORVID_OBJCOPY ${CMAKE_OBJCOPY})
    set(CPACK_KORVID_STRIP ${CMAKE_STRIP})
    set(CPACK_KORVID_DEBUG_DIR ${KORVID_PACKAGE_DIR}/Korvid-${PROJECT_VERSION}-win${KORVID_BITNESS}-debug)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Korvid)
set(CPACK_PACKAGE_VENDOR "the Korvid developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korvid: a CAPE-OPEN 0.9 test material object")
set(CPACK_PACKAGE_FILE_NAME Korvid-${PROJECT_VERSION}-win${KORVID_BITNESS})
set(CPACK_PACKAGE_DIRECTORY ${KORVID_PACKAGE_DIR})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
include(CPack)

# The MSI package beside the zip: --target msi.
include(${CMAKE_CURRENT_LIST_DIR}/msi.cmake)
