# The COM registration the MSI package writes through its own registry table,
# never through DllRegisterServer: the keys regsvr32 writes for Korvid.dll
# (com_server/registration.cpp) and for the sample unit
# (tools/sample_unit/registration.cpp), in one table of the classes below.
# tests/e2e/test_msi.sh compares what the installed package wrote with the
# keys regsvr32 writes (tests/data/expected/registration and sample_unit),
# so that the two cannot drift apart.
#
# Per bitness (Win64 by the package): the class, the interface keys and the
# type library's win32/win64 subkey, which Windows keeps in one view per
# bitness or names by bitness. Shared by both packages (one component code,
# 32-bit in both, as the keys are one for both views): the ProgID and the
# type library's version key, which stay while either package is installed.
# A key of the class or interface goes whole with its component, and so does
# the type library's with the shared one.
# An interface key that another type library owns at install time is left
# alone (a condition on its component), as regsvr32 leaves it.

set(KORVID_MSI_AUTOMATION_PROXY "{00020424-0000-0000-C000-000000000046}")
set(KORVID_MSI_GUID_NAMESPACE "6B1E1C1A-5E1F-4C33-9E5A-2F3E7C0A9D41")

# A component code that stays the same from build to build: from `name` alone
# for the shared components, from the bitness and `name` for the others.
function(korvid_msi_guid out name)
    string(UUID guid NAMESPACE ${KORVID_MSI_GUID_NAMESPACE} NAME "${name}" TYPE SHA1 UPPER)
    set(${out} ${guid} PARENT_SCOPE)
endfunction()

function(korvid_msi_xml_escape out text)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Appends to `xml` in the caller one string value (`name` "" for the key's
# default value), the component's key path when it is the first.
function(korvid_msi_value key name value)
    korvid_msi_xml_escape(value "${value}")
    if(NOT name STREQUAL "")
        set(name " Name=\"${name}\"")
    endif()
    string(APPEND xml "      <RegistryValue Root=\"HKCR\" Key=\"${key}\"${name} Type=\"string\""
           " Value=\"${value}\"${keypath}/>\n")
    set(xml "${xml}" PARENT_SCOPE)
    set(keypath "" PARENT_SCOPE)
endfunction()

# A key that goes, with all below it, when the open `component` is removed:
# a row of the Registry table whose name is "*", which wixl does not write
# (an SQL statement for msibuild in `sql`).
function(korvid_msi_owned_key key)
    string(SHA1 id "${component}:${key}")
    string(SUBSTRING ${id} 0 16 id)
    list(APPEND sql "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('Key${id}', 0, '${key}', '*', '${component}')")
    set(sql "${sql}" PARENT_SCOPE)
endfunction()

# Opens component `id`: one of both packages (32-bit in both) when `shared`.
function(korvid_msi_component id shared)
    if(shared)
        korvid_msi_guid(guid "shared:${id}")
        set(win64 no)
    else()
        korvid_msi_guid(guid "win${KORVID_BITNESS}:${id}")
        set(win64 ${KORVID_MSI_WIN64})
    endif()
    string(APPEND xml "    <Component Id=\"${id}\" Guid=\"${guid}\" Win64=\"${win64}\">\n")
    set(xml "${xml}" PARENT_SCOPE)
    set(keypath " KeyPath=\"yes\"" PARENT_SCOPE)
    set(component ${id} PARENT_SCOPE)
endfunction()

# korvid_msi_class(<id> [PROGRAMMABLE] FEATURE <feature> FILE <file id> PROGID <progid> NAME <class name>
#                  CLSID <clsid> LIBID <libid> LIBRARY <library name> [RESOURCE <\2>]
#                  [CAPE <value name> <value>...] [CATEGORIES <catid>...]
#                  [INTERFACES <iid> <name>...])
# The registry components of one class of a DLL, added to the feature's list
# KORVID_MSI_<feature>_COMPONENTS and their XML to KORVID_MSI_REGISTRY. What
# wixl does not write goes to KORVID_MSI_SQL as SQL statements for msibuild:
# the keys removed whole, the searches of the interface keys' owners
# (properties KORVID_MSI_OWNERS) and the conditions on the interface
# components. An interface an earlier class of the package claims is left to
# that one (as regsvr32 leaves it to the DLL registered first).
function(korvid_msi_class id)
    cmake_parse_arguments(PARSE_ARGV 1 arg "PROGRAMMABLE" "FEATURE;FILE;PROGID;NAME;CLSID;LIBID;LIBRARY;RESOURCE"
                          "CAPE;CATEGORIES;INTERFACES")
    set(xml "")
    set(owners ${KORVID_MSI_OWNERS})
    set(sql ${KORVID_MSI_SQL})
    set(components ${KORVID_MSI_${arg_FEATURE}_COMPONENTS})
    set(class "CLSID\\{${arg_CLSID}}")
    set(lib "TypeLib\\{${arg_LIBID}}\\1.0")
    set(path "[#${arg_FILE}]")

    korvid_msi_component(${id}Class FALSE)
    korvid_msi_value("${class}" "" "${arg_NAME}")
    korvid_msi_owned_key("${class}")
    korvid_msi_value("${class}\\InprocServer32" "" "${path}")
    korvid_msi_value("${class}\\InprocServer32" ThreadingModel Apartment)
    korvid_msi_value("${class}\\ProgID" "" "${arg_PROGID}")
    korvid_msi_value("${class}\\VersionIndependentProgID" "" "${arg_PROGID}")
    korvid_msi_value("${class}\\TypeLib" "" "{${arg_LIBID}}")
    korvid_msi_value("${class}\\Version" "" 1.0)
    if(arg_PROGRAMMABLE)
        korvid_msi_value("${class}\\Programmable" "" "")
    endif()
    list(LENGTH arg_CAPE count)
    if(count GREATER 0)
        math(EXPR last "${count} - 1")
        foreach(k RANGE 0 ${last} 2)
            math(EXPR v "${k} + 1")
            list(GET arg_CAPE ${k} name)
            list(GET arg_CAPE ${v} value)
            if(value STREQUAL "<empty>")
                set(value "")
            endif()
            korvid_msi_value("${class}\\CapeDescription" "${name}" "${value}")
        endforeach()
    endif()
    foreach(category ${arg_CATEGORIES})
        korvid_msi_owned_key("${class}\\Implemented Categories\\{${category}}")
    endforeach()
    korvid_msi_value("${lib}\\0\\win${KORVID_BITNESS}" "" "${path}${arg_RESOURCE}")
    korvid_msi_owned_key("${lib}\\0\\win${KORVID_BITNESS}")
    # The folder with a trailing "\\" (regsvr32 writes it without).
    korvid_msi_value("${lib}\\HELPDIR" "" "[INSTALLDIR]")
    string(APPEND xml "    </Component>\n")
    list(APPEND components ${id}Class)

    korvid_msi_component(${id}Shared TRUE)
    korvid_msi_value("${arg_PROGID}" "" "${arg_NAME}")
    korvid_msi_owned_key("${arg_PROGID}")
    korvid_msi_value("${arg_PROGID}\\CLSID" "" "{${arg_CLSID}}")
    korvid_msi_value("${lib}" "" "${arg_LIBRARY}")
    korvid_msi_value("${lib}\\FLAGS" "" 0)
    korvid_msi_owned_key("TypeLib\\{${arg_LIBID}}")
    string(APPEND xml "    </Component>\n")
    list(APPEND components ${id}Shared)

    # Wine keeps a ProgID key in each view: there the 64-bit package writes
    # its ProgID in the 64-bit view as well (WINE_PREFIX: a value every Wine
    # prefix has).
    if(KORVID_BITNESS EQUAL 64)
        korvid_msi_component(${id}WineProgId FALSE)
        korvid_msi_value("${arg_PROGID}" "" "${arg_NAME}")
        korvid_msi_owned_key("${arg_PROGID}")
        korvid_msi_value("${arg_PROGID}\\CLSID" "" "{${arg_CLSID}}")
        string(APPEND xml "    </Component>\n")
        list(APPEND components ${id}WineProgId)
        list(APPEND sql "UPDATE `Component` SET `Condition` = 'WINE_PREFIX' WHERE `Component` = '${id}WineProgId'")
    endif()

    set(claimed ${KORVID_MSI_CLAIMED_INTERFACES})
    list(LENGTH arg_INTERFACES count)
    math(EXPR last "${count} - 1")
    foreach(k RANGE 0 ${last} 2)
        math(EXPR n "${k} + 1")
        list(GET arg_INTERFACES ${k} iid)
        list(GET arg_INTERFACES ${n} name)
        if(iid IN_LIST claimed)
            continue()
        endif()
        list(APPEND claimed ${iid})
        string(REPLACE "-" "_" owner "OWNER_${iid}")
        set(key "Interface\\{${iid}}")
        list(APPEND sql
             "INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('${owner}', '${owner}')"
             "INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('${owner}', 0, '${key}\\TypeLib', ${KORVID_MSI_LOCATOR_TYPE})")
        list(APPEND owners ${owner})
        korvid_msi_component(${name}Interface FALSE)
        list(APPEND sql "UPDATE `Component` SET `Condition` = 'NOT ${owner} OR ${owner} = \"{${arg_LIBID}}\"' WHERE `Component` = '${name}Interface'")
        korvid_msi_value("${key}" "" "${name}")
        korvid_msi_owned_key("${key}")
        korvid_msi_value("${key}\\ProxyStubClsid" "" "${KORVID_MSI_AUTOMATION_PROXY}")
        korvid_msi_value("${key}\\ProxyStubClsid32" "" "${KORVID_MSI_AUTOMATION_PROXY}")
        korvid_msi_value("${key}\\TypeLib" "" "{${arg_LIBID}}")
        korvid_msi_value("${key}\\TypeLib" Version 1.0)
        string(APPEND xml "    </Component>\n")
        list(APPEND components ${name}Interface)
    endforeach()

    set(KORVID_MSI_CLAIMED_INTERFACES ${claimed} PARENT_SCOPE)
    set(KORVID_MSI_${arg_FEATURE}_COMPONENTS ${components} PARENT_SCOPE)
    set(KORVID_MSI_REGISTRY "${KORVID_MSI_REGISTRY}${xml}" PARENT_SCOPE)
    set(KORVID_MSI_OWNERS ${owners} PARENT_SCOPE)
    set(KORVID_MSI_SQL "${sql}" PARENT_SCOPE)
endfunction()

# --- The table -------------------------------------------------------------------
set(KORVID_MSI_REGISTRY "")
set(KORVID_MSI_OWNERS "")
set(KORVID_MSI_SQL "")
korvid_msi_class(Tessel PROGRAMMABLE FEATURE Korvid FILE KorvidDll PROGID Korvid.Tessel
    NAME "Korvid test material object"
    CLSID B7F98B4C-E47C-4821-ABA9-A462547124BB LIBID A0E3B237-872B-447D-A343-A7D418B7FE77
    LIBRARY Korvid
    CAPE Name "Validation Material Object"
         Description "This is a dummy material object for validation purposes only"
         CapeVersion 0.9
    INTERFACES 91662CFF-B8FF-4B1A-B4DF-5A62AFEED1E9 _Tessel
               678C0990-7D66-11D2-A67D-00105A42887F ICapeIdentification
               678C0994-7D66-11D2-A67D-00105A42887F ICapeThermoMaterialObject)
korvid_msi_class(Material PROGRAMMABLE FEATURE Korvid FILE KorvidDll PROGID Korvid.Material
    NAME "Korvid CAPE-OPEN 1.1 test material object"
    CLSID 3E8D6A52-91C4-4B7F-A0D3-6F25C81B9E07 LIBID 5C4B0E1D-7A35-4E8F-9C61-2B7D3F0A8E42
    LIBRARY KorvidThermo11 RESOURCE "\\2"
    CAPE Name "Korvid Material"
         Description "A CAPE-OPEN 1.1 test material: it stores what it is given and computes nothing"
         CapeVersion 1.1
    INTERFACES 678C0A9B-7D66-11D2-A67D-00105A42887F ICapeThermoMaterial
               678C0A9D-7D66-11D2-A67D-00105A42887F ICapeThermoCompounds
               678C0A9E-7D66-11D2-A67D-00105A42887F ICapeThermoPhases
               678C0AA1-7D66-11D2-A67D-00105A42887F ICapeThermoUniversalConstant
               678C0A9F-7D66-11D2-A67D-00105A42887F ICapeThermoPropertyRoutine
               678C0AA0-7D66-11D2-A67D-00105A42887F ICapeThermoEquilibriumRoutine
               678C0B10-7D66-11D2-A67D-00105A42887F ECapeRoot
               678C0B11-7D66-11D2-A67D-00105A42887F ECapeUser
               E29E42B3-E481-45C6-A737-78F4A7FC0391 ECapeBadArgument
               678C0B22-7D66-11D2-A67D-00105A42887F ECapeBadInvOrder
               678C0B12-7D66-11D2-A67D-00105A42887F ECapeUnknown
               678C0B13-7D66-11D2-A67D-00105A42887F ECapeData
               678C0B17-7D66-11D2-A67D-00105A42887F ECapeInvalidArgument
               678C0B19-7D66-11D2-A67D-00105A42887F ECapeImplementation
               678C0B1A-7D66-11D2-A67D-00105A42887F ECapeNoImpl
               678C0B1B-7D66-11D2-A67D-00105A42887F ECapeLimitedImpl
               678C0B1E-7D66-11D2-A67D-00105A42887F ECapeNoMemory
               678C0B20-7D66-11D2-A67D-00105A42887F ECapeFailedInitialisation
               678C09B6-7D66-11D2-A67D-00105A42887F ECapeThrmPropertyNotAvailable)
# The sample unit operation: a CAPE-OPEN component, a unit operation, one
# that takes 1.0 and 1.1 material objects. Of its interfaces, those Korvid.dll
# declares as well (ICapeIdentification, ECapeRoot, ECapeUser, ECapeUnknown)
# are Korvid.dll's in this package, as they are when regsvr32 registers it first.
korvid_msi_class(SampleFlashDrum FEATURE SampleUnit FILE SampleUnitDll
    PROGID Korvid.SampleFlashDrum NAME "Korvid sample flash drum"
    CLSID 131D0C75-548C-4316-B6C8-797D7C73A288 LIBID 8E2643F9-43B5-4282-92DE-5452B19899F5
    LIBRARY KorvidSampleUnit
    CAPE Name "Korvid Sample Flash Drum"
         Description "A flash drum that splits its feed into a vapour and a liquid outlet: a sample unit operation for trying CAPE-OPEN hosts and material objects"
         CapeVersion 1.0
         ComponentVersion ${PROJECT_VERSION}
         VendorURL <empty>
         HelpURL <empty>
         About "Korvid Sample Flash Drum ${PROJECT_VERSION}. Copyright (c) the Korvid developers. MIT License."
    CATEGORIES 678C09A1-7D66-11D2-A67D-00105A42887F 678C09A5-7D66-11D2-A67D-00105A42887F
               4150C28A-EE06-403F-A871-87AFEC38A249 0D562DC8-EA8E-4210-AB39-B66513C0CD09
               4667023A-5A8E-4CCA-AB6D-9D78C5112FED
    INTERFACES 678C0998-0100-11D2-A67D-00105A42887F ICapeUnit
               678C0A9B-0100-11D2-A67D-00105A42887F ICapeUtilities
               678C0999-0093-11D2-A67D-00105A42887F ICapeUnitPort
               678C099A-0093-11D2-A67D-00105A42887F ICapeCollection
               678C09A0-0093-11D2-A67D-00105A42887F ICapeParameter
               678C099C-0093-11D2-A67D-00105A42887F ICapeParameterSpec
               678C099D-0093-11D2-A67D-00105A42887F ICapeRealParameterSpec)
