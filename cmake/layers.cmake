# The layers: each folder of the program is one library, and a library may
# use only the libraries declared before it.
#
#   zandor_layer(TARGET [NO_QT] [USES FOLDER...])
#
# declares the current source folder as a layer built as TARGET. It links
# TARGET to the libraries of the folders it USES, each of which must have
# been declared already: the folders are added in layer order, lowest first,
# so a use that would close a loop stops the configuration. A NO_QT layer
# (the cores and the command line) is plain C++: it neither includes nor
# links Qt.
#
# Headers are included by their folder ("xray/lines.h"), or by bare name
# from the same folder. A layer's include root (include/FOLDER in the build
# tree) holds nothing but a link to the folder, and a target sees only the
# roots of the layers it links: a header of a folder that is not used does
# not compile. There is no include path to the source tree as a whole.
#
# zandor_check_layers() at the end of the configuration writes the table of
# layers for the `layers` test (cmake/checklayers.cmake), which scans every
# #include of every layer against it.

set(ZANDOR_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include)

# The include root of FOLDER (relative to the source tree), made if need be,
# in VARIABLE.
function(zandor_include_root folder variable)
    set(root ${ZANDOR_INCLUDE_ROOTS}/${folder})
    get_filename_component(name ${folder} NAME)
    if(NOT IS_SYMLINK ${root}/${name})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${name} SYMBOLIC)
    endif()
    set(${variable} ${root} PARENT_SCOPE)
endfunction()

function(zandor_layer target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "NO_QT" "" "USES")
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    get_property(layers GLOBAL PROPERTY ZANDOR_LAYERS)
    foreach(use IN LISTS arg_USES)
        if(NOT use IN_LIST layers)
            message(FATAL_ERROR "${folder}/ uses ${use}/, which is not a layer declared before it. "
                "A layer may use only the layers below it; see cmake/layers.cmake.")
        endif()
        get_property(used GLOBAL PROPERTY ZANDOR_LAYER_TARGET_${use})
        target_link_libraries(${target} PUBLIC ${used})
    endforeach()
    zandor_include_root(${folder} root)
    target_include_directories(${target} PUBLIC ${root})
    set_property(GLOBAL APPEND PROPERTY ZANDOR_LAYERS ${folder})
    set_property(GLOBAL PROPERTY ZANDOR_LAYER_TARGET_${folder} ${target})
    set_property(GLOBAL PROPERTY ZANDOR_LAYER_USES_${folder} ${arg_USES})
    set_property(GLOBAL PROPERTY ZANDOR_LAYER_NO_QT_${folder} ${arg_NO_QT})
endfunction()

# Writes the table of layers: their order, what each declares it uses, and
# what each target really links (read when the build is generated).
function(zandor_check_layers)
    get_property(layers GLOBAL PROPERTY ZANDOR_LAYERS)
    set(table "# Written by cmake/layers.cmake: the layers, lowest first.\n")
    string(APPEND table "set(ZANDOR_LAYERS \"${layers}\")\n")
    foreach(folder IN LISTS layers)
        get_property(target GLOBAL PROPERTY ZANDOR_LAYER_TARGET_${folder})
        get_property(uses GLOBAL PROPERTY ZANDOR_LAYER_USES_${folder})
        get_property(noqt GLOBAL PROPERTY ZANDOR_LAYER_NO_QT_${folder})
        string(MAKE_C_IDENTIFIER ${folder} id)
        string(APPEND table
            "set(ZANDOR_LAYER_TARGET_${id} \"${target}\")\n"
            "set(ZANDOR_LAYER_USES_${id} \"${uses}\")\n"
            "set(ZANDOR_LAYER_NO_QT_${id} \"${noqt}\")\n"
            "set(ZANDOR_LAYER_LINKS_${id} [==[$<TARGET_PROPERTY:${target},LINK_LIBRARIES>]==])\n")
    endforeach()
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/layers-table.cmake CONTENT "${table}")
endfunction()
