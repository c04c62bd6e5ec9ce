# korvid_idl(<idl file> <name> [TLB] [INCLUDE_DIRS dir...])
# Compiles an IDL file as the top CMakeLists does for Korvid.idl (widl under
# mingw-w64, midl under MSVC) into the current binary folder: <name>_h.h,
# <name>_i.c and, with TLB, <name>.tlb. INCLUDE_DIRS are searched by its
# import statements.
function(korvid_idl idl name)
    cmake_parse_arguments(ARG "TLB" "" "INCLUDE_DIRS" ${ARGN})
    set(out ${CMAKE_CURRENT_BINARY_DIR})
    set(outputs ${out}/${name}_h.h ${out}/${name}_i.c)
    set(depends ${idl})
    foreach(dir ${ARG_INCLUDE_DIRS})
        file(GLOB imported ${dir}/*.idl)
        list(APPEND depends ${imported})
    endforeach()
    if(MSVC)
        list(TRANSFORM ARG_INCLUDE_DIRS PREPEND /I OUTPUT_VARIABLE includes)
        set(tlb_option)
        if(ARG_TLB)
            set(tlb_option /tlb ${name}.tlb)
            list(APPEND outputs ${out}/${name}.tlb)
        endif()
        add_custom_command(
            OUTPUT ${outputs}
            COMMAND midl /nologo /env ${KORVID_MIDL_ENV} ${includes} ${tlb_option}
                    /h ${name}_h.h /iid ${name}_i.c ${idl}
            WORKING_DIRECTORY ${out}
            DEPENDS ${depends})
    else()
        list(TRANSFORM ARG_INCLUDE_DIRS PREPEND -I OUTPUT_VARIABLE includes)
        set(tlb_option)
        if(ARG_TLB)
            set(tlb_option -t -o ${name}.tlb)
            list(APPEND outputs ${out}/${name}.tlb)
        endif()
        add_custom_command(
            OUTPUT ${outputs}
            COMMAND ${KORVID_WIDL} --win${KORVID_BITNESS} -I${KORVID_WINE_IDL_DIR} ${includes}
                    -L${KORVID_WINE_TLB_DIR} ${tlb_option} -h -H ${name}_h.h -u -U ${name}_i.c ${idl}
            WORKING_DIRECTORY ${out}
            DEPENDS ${depends})
    endif()
    # The IID definitions as selectany (DEFINE_GUID) with midl too, so that two
    # libraries declaring one interface (ICapeIdentification) link together.
    set_source_files_properties(${out}/${name}_i.c PROPERTIES COMPILE_DEFINITIONS _MIDL_USE_GUIDDEF_)
endfunction()
