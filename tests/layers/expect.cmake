# The `layers_check` test: cmake/checklayers.cmake, run on the made-up tree
# beside this file, finds each fault planted there and nothing else.
#   cmake -DCHECKER=<checklayers.cmake> -P expect.cmake
set(here ${CMAKE_CURRENT_LIST_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${here}/tree -DTABLE=${here}/table.cmake -P ${CHECKER}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out)
set(expected
    "shared/ uses windowb/, which is not a layer below it"
    "core/values.cpp: includes <QString>, but core/ is free of Qt"
    "core/values.cpp: includes <QtCore/QList>, but core/ is free of Qt"
    "core/values.cpp: includes \"shared/common.h\" from shared/, a layer above it"
    "windowa/windowa.cpp: includes \"windowb/windowb.h\" from windowb/, a layer above it"
    "windowa/windowa.cpp: includes \"../core/values.h\", out of its folder by a relative path"
    "windowa/windowa.cpp: includes \"helpers.h\", which is in no layer"
    "windowb/windowb.h: includes \"windowa/windowa.h\" from windowa/, a layer it does not use"
    "windowb/windowb.h: includes \"shared/gone.h\", which does not exist"
    "lib_core links Qt6::Core, but core/ is free of Qt"
    "lib_windowa links lib_windowb, a layer that windowa/ does not declare it uses")
list(LENGTH expected count)
set(failed FALSE)
if(status EQUAL 0)
    message(SEND_ERROR "the check passed a tree with faults")
    set(failed TRUE)
endif()
foreach(line IN LISTS expected)
    string(FIND "${out}" "${line}" at)
    if(at EQUAL -1)
        message(SEND_ERROR "not reported: ${line}")
        set(failed TRUE)
    endif()
endforeach()
string(FIND "${out}" "${count} fault(s)" at)
if(at EQUAL -1)
    message(SEND_ERROR "not exactly ${count} faults reported")
    set(failed TRUE)
endif()
if(failed)
    message(FATAL_ERROR "the check's output was:\n${out}")
endif()
message(STATUS "layers check: all ${count} planted faults reported")
