# The MSI package, one per bitness: every build (and --target msi) makes
# Korvid-<version>-win<bitness>.msi beside the zip, from cmake/Korvid.wxs.in
# and the registry table of cmake/msi_registry.cmake, with Debian's wixl and
# msibuild (msi_make.sh in the build's msi folder).
# Its programs and DLLs are the zip's: stripped, their debug information in
# the same <package>-debug folder.
if(KORVID_BITNESS EQUAL 64)
    set(KORVID_MSI_PLATFORM x64)
    set(KORVID_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(KORVID_MSI_WIN64 yes)
    set(KORVID_MSI_LOCATOR_TYPE 18)  # a raw value, in the 64-bit view
    set(KORVID_MSI_UPGRADE_CODE EE67AFB9-DE54-4D1D-BC93-CDE0CDD09B7F)
else()
    set(KORVID_MSI_PLATFORM x86)
    set(KORVID_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(KORVID_MSI_WIN64 no)
    set(KORVID_MSI_LOCATOR_TYPE 2)
    set(KORVID_MSI_UPGRADE_CODE B25AEEB1-CD5A-472B-BB69-12E636EEDFBF)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/msi_registry.cmake)

set(KORVID_MSI_DIR ${CMAKE_BINARY_DIR}/msi)
set(KORVID_MSI_STAGE ${KORVID_MSI_DIR}/stage)
set(KORVID_MSI_OUTPUT ${KORVID_PACKAGE_DIR}/Korvid-${PROJECT_VERSION}-win${KORVID_BITNESS}.msi)

# <id> <feature> <name> [<folder>]: one file of the stage folder, one
# component, in KORVID_MSI_FILES; with a folder, a file of that subfolder in
# KORVID_MSI_<folder>_FILES.
set(KORVID_MSI_FILES "")
set(KORVID_MSI_docs_FILES "")
macro(korvid_msi_file id feature name)
    korvid_msi_guid(_guid "win${KORVID_BITNESS}:${id}")
    if(${ARGC} GREATER 3)
        set(_source ${ARGV3}/${name})
        set(_list KORVID_MSI_${ARGV3}_FILES)
    else()
        set(_source ${name})
        set(_list KORVID_MSI_FILES)
    endif()
    string(APPEND ${_list}
        "          <Component Id=\"${id}\" Guid=\"${_guid}\" Win64=\"${KORVID_MSI_WIN64}\">\n"
        "            <File Id=\"${id}\" Name=\"${name}\" Source=\"stage/${_source}\" KeyPath=\"yes\"/>\n"
        "          </Component>\n")
    list(APPEND KORVID_MSI_${feature}_COMPONENTS ${id})
endmacro()
korvid_msi_file(KorvidDll Korvid Korvid.dll)
korvid_msi_file(ValidateExe Korvid korvid-validate.exe)
korvid_msi_file(AutofillExe Korvid korvid-autofill.exe)
korvid_msi_file(Readme Korvid README.md)
korvid_msi_file(License Korvid LICENSE)
korvid_msi_file(SampleComponents Korvid three_components.como)
korvid_msi_file(SampleUnitDll SampleUnit KorvidSampleUnit.dll)
# The pages the README links (KORVID_DOCS, package.cmake's), in the docs
# folder beside it.
foreach(page ${KORVID_DOCS})
    get_filename_component(name ${page} NAME)
    string(MAKE_C_IDENTIFIER "Doc_${name}" id)
    korvid_msi_file(${id} Korvid ${name} docs)
endforeach()
foreach(feature Korvid SampleUnit)
    set(KORVID_MSI_${feature}_REFS "")
    foreach(component ${KORVID_MSI_${feature}_COMPONENTS})
        string(APPEND KORVID_MSI_${feature}_REFS "      <ComponentRef Id=\"${component}\"/>\n")
    endforeach()
endforeach()
korvid_msi_guid(KORVID_MSI_FOLDER_GUID "win${KORVID_BITNESS}:InstallFolder")
korvid_msi_guid(KORVID_MSI_REPORTS_GUID "win${KORVID_BITNESS}:ReportsFolder")
korvid_msi_guid(KORVID_MSI_DOCS_GUID "win${KORVID_BITNESS}:DocsFolder")
configure_file(${CMAKE_CURRENT_LIST_DIR}/Korvid.wxs.in ${KORVID_MSI_DIR}/Korvid.wxs @ONLY)
find_program(KORVID_WIXL wixl)
find_program(KORVID_MSIBUILD msibuild)

if(NOT MINGW OR NOT KORVID_WIXL OR NOT KORVID_MSIBUILD)
    add_custom_target(msi COMMAND ${CMAKE_COMMAND} -E echo
                      "The MSI package is made in a mingw-w64 build with wixl and msibuild (apt-get install wixl msitools)."
                      COMMAND ${CMAKE_COMMAND} -E false)
    return()
endif()
set(KORVID_MSI_BINARIES $<TARGET_FILE:Korvid> $<TARGET_FILE:korvid-validate>
                        $<TARGET_FILE:korvid-autofill> $<TARGET_FILE:KorvidSampleUnit>)
set(KORVID_MSI_DOCUMENTS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
                         ${CMAKE_SOURCE_DIR}/tests/data/three_components.como)
# What wixl does not write, msibuild adds: the keys removed whole, the
# searches of the interface keys' owners and of a Wine prefix (AppSearch),
# secure so that they reach the installation's server side, the conditions
# on those components, and the reports folder's access list: SYSTEM and
# Administrators full control, Users modify, so that a host run by any user
# writes its reports there. (";" is "<semicolon>" while in a CMake list.)
list(APPEND KORVID_MSI_OWNERS WINE_PREFIX)
list(JOIN KORVID_MSI_OWNERS "<semicolon>" KORVID_MSI_SECURE)
string(REPLACE ";" "<semicolon>" KORVID_MSI_REPORTS_SDDL "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)")
list(PREPEND KORVID_MSI_SQL
     "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50)"
     "INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50)"
     "INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('WINE_PREFIX', 'WINE_PREFIX')"
     "INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Name`, `Type`) VALUES ('WINE_PREFIX', 2, 'Software\\Wine\\LicenseInformation', 'Kernel-MUI-Language-Allowed', ${KORVID_MSI_LOCATOR_TYPE})"
     "CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` CHAR(0) NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)"
     "INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('ReportsAccess', 'REPORTSDIR', 'CreateFolder', '${KORVID_MSI_REPORTS_SDDL}')"
     "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED<semicolon>WIX_UPGRADE_DETECTED<semicolon>${KORVID_MSI_SECURE}' WHERE `Property` = 'SecureCustomProperties'")
list(JOIN KORVID_MSI_SQL "\n" KORVID_MSI_TABLES)
string(REPLACE "<semicolon>" ";" KORVID_MSI_TABLES "${KORVID_MSI_TABLES}")
file(WRITE ${KORVID_MSI_DIR}/msi_tables.sql "${KORVID_MSI_TABLES}\n")
configure_file(${CMAKE_CURRENT_LIST_DIR}/msi_make.sh.in ${KORVID_MSI_DIR}/msi_make.sh @ONLY)
add_custom_command(OUTPUT ${KORVID_MSI_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORVID_MSI_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVID_MSI_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVID_MSI_BINARIES} ${KORVID_MSI_DOCUMENTS} ${KORVID_MSI_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVID_MSI_STAGE}/docs
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVID_DOCS} ${KORVID_MSI_STAGE}/docs
    COMMAND ${CMAKE_COMMAND} -DCPACK_TEMPORARY_INSTALL_DIRECTORY=${KORVID_MSI_STAGE}
            -DCPACK_KORVID_OBJCOPY=${CMAKE_OBJCOPY} -DCPACK_KORVID_STRIP=${CMAKE_STRIP}
            -DCPACK_KORVID_DEBUG_DIR=${CPACK_KORVID_DEBUG_DIR}
            -P ${CMAKE_CURRENT_LIST_DIR}/strip_package.cmake
    COMMAND bash ${KORVID_MSI_DIR}/msi_make.sh ${PROJECT_VERSION} ${KORVID_MSI_OUTPUT}
    DEPENDS ${KORVID_MSI_BINARIES} ${KORVID_MSI_DOCUMENTS} ${KORVID_DOCS} ${KORVID_MSI_DIR}/Korvid.wxs
            ${KORVID_MSI_DIR}/msi_make.sh ${KORVID_MSI_DIR}/msi_tables.sql
    COMMENT "Making ${KORVID_MSI_OUTPUT}"
    VERBATIM)
# Part of every build, so that the tests always install the package of the
# sources at hand.
add_custom_target(msi ALL DEPENDS ${KORVID_MSI_OUTPUT})
add_dependencies(msi Korvid korvid-validate korvid-autofill KorvidSampleUnit)
