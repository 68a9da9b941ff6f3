# The `layers` test: checks the layers of cmake/layers.cmake against the
# sources and the build.
#
#   cmake -DSOURCE_DIR=<source tree> -DTABLE=<build>/layers-table.cmake -P checklayers.cmake
#
# - Each layer uses only layers declared before it, so no two folders use
#   each other, directly or through others.
# - Each #include "..." of a layer names a header of its own folder (by bare
#   name, or a path below the folder), or a header of a layer below it, by
#   that layer's folder ("xray/lines.h"). Nothing climbs out with "../", and
#   nothing comes from a folder that is no layer (tests/, fuzz/, tools/).
# - A NO_QT layer (the cores and the command line) includes no Qt header and
#   links no Qt library.
# - Each layer's library links the libraries of the layers it declares and
#   no other layer's.
#
# Every fault is listed, one line each, and the test fails.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT TABLE)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=DIR -DTABLE=FILE -P checklayers.cmake")
endif()
if(NOT EXISTS ${TABLE})
    message(FATAL_ERROR "no table of layers at ${TABLE}: configure the build first")
endif()
include(${TABLE})

set(faults)
macro(fault text)
    list(APPEND faults "${text}")
endmacro()

# The order, and what each layer may include: the layers it uses and all
# they may include in turn.
set(declared)
set(layer_targets)
foreach(layer IN LISTS ZANDOR_LAYERS)
    string(MAKE_C_IDENTIFIER ${layer} id)
    set(reach_${id})
    foreach(use IN LISTS ZANDOR_LAYER_USES_${id})
        if(NOT use IN_LIST declared)
            fault("${layer}/ uses ${use}/, which is not a layer below it")
            continue()
        endif()
        string(MAKE_C_IDENTIFIER ${use} use_id)
        list(APPEND reach_${id} ${use} ${reach_${use_id}})
    endforeach()
    list(REMOVE_DUPLICATES reach_${id})
    list(APPEND declared ${layer})
    list(APPEND layer_targets ${ZANDOR_LAYER_TARGET_${id}})
endforeach()

# The layer whose folder starts the path, if any.
function(layer_of path variable)
    set(found "")
    foreach(layer IN LISTS ZANDOR_LAYERS)
        string(LENGTH "${layer}/" length)
        string(SUBSTRING "${path}" 0 ${length} start)
        if(start STREQUAL "${layer}/")
            set(found ${layer})
        endif()
    endforeach()
    set(${variable} "${found}" PARENT_SCOPE)
endfunction()

set(files_checked 0)
set(includes_checked 0)
foreach(layer IN LISTS ZANDOR_LAYERS)
    string(MAKE_C_IDENTIFIER ${layer} id)
    file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.hpp ${SOURCE_DIR}/${layer}/*.cpp)
    foreach(source IN LISTS sources)
        math(EXPR files_checked "${files_checked} + 1")
        get_filename_component(here ${source} DIRECTORY)
        file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS lines)
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
                continue()
            endif()
            math(EXPR includes_checked "${includes_checked} + 1")
            set(quoted "${CMAKE_MATCH_1}")
            set(header "${CMAKE_MATCH_2}")
            if(quoted STREQUAL "<")
                if(ZANDOR_LAYER_NO_QT_${id} AND header MATCHES "^Q[A-Za-z0-9_]*(/|$)")
                    fault("${source}: includes <${header}>, but ${layer}/ is free of Qt")
                endif()
                continue()
            endif()
            if(header MATCHES "(^|/)\\.\\.(/|$)")
                fault("${source}: includes \"${header}\", out of its folder by a relative path")
                continue()
            endif()
            if(EXISTS ${SOURCE_DIR}/${here}/${header})
                continue() # its own folder
            endif()
            layer_of("${header}" owner)
            if(owner STREQUAL "")
                fault("${source}: includes \"${header}\", which is in no layer (a header of another folder goes by its folder: \"folder/name.h\")")
            elseif(NOT owner STREQUAL layer AND NOT owner IN_LIST reach_${id})
                list(FIND declared ${owner} owner_at)
                list(FIND declared ${layer} layer_at)
                if(owner_at GREATER layer_at)
                    set(why "a layer above it")
                else()
                    set(why "a layer it does not use")
                endif()
                fault("${source}: includes \"${header}\" from ${owner}/, ${why}")
            elseif(NOT EXISTS ${SOURCE_DIR}/${header})
                fault("${source}: includes \"${header}\", which does not exist")
            endif()
        endforeach()
    endforeach()
endforeach()

# What each library links.
foreach(layer IN LISTS ZANDOR_LAYERS)
    string(MAKE_C_IDENTIFIER ${layer} id)
    set(allowed)
    foreach(use IN LISTS ZANDOR_LAYER_USES_${id})
        string(MAKE_C_IDENTIFIER ${use} use_id)
        list(APPEND allowed ${ZANDOR_LAYER_TARGET_${use_id}})
    endforeach()
    foreach(link IN LISTS ZANDOR_LAYER_LINKS_${id})
        # A link made from another directory carries that directory's id.
        string(REGEX REPLACE "::@\\(.*\\)$" "" link "${link}")
        string(REGEX REPLACE "^::@$" "" link "${link}")
        if(link STREQUAL "")
            continue()
        endif()
        if(ZANDOR_LAYER_NO_QT_${id} AND link MATCHES "(^|[^A-Za-z])Qt[0-9]*::")
            fault("${ZANDOR_LAYER_TARGET_${id}} links ${link}, but ${layer}/ is free of Qt")
        endif()
        if(link IN_LIST layer_targets AND NOT link IN_LIST allowed
           AND NOT link STREQUAL ZANDOR_LAYER_TARGET_${id})
            fault("${ZANDOR_LAYER_TARGET_${id}} links ${link}, a layer that ${layer}/ does not declare it uses")
        endif()
    endforeach()
endforeach()

list(LENGTH ZANDOR_LAYERS layer_count)
if(faults)
    list(LENGTH faults fault_count)
    string(REPLACE ";" "\n  " listed "${faults}")
    message(FATAL_ERROR "${fault_count} fault(s) in the layers:\n  ${listed}")
endif()
message(STATUS "layers: ${layer_count} layers, ${files_checked} files, ${includes_checked} includes: all downward")
