# lv_add_layer(<name> <sources...>)
# A platform layer that the spreadsheet host program and the add-in it loads share: a shared
# library, so that the process holds one copy of the layer's state (the one Application, the
# one Ui service, the one settings store and edition) and one copy of its classes' type and
# signal information, whichever of the two calls it. The fuzz build, whose instrumented code
# must live in the fuzzer's own program, makes it a static library.
function(lv_add_layer name)
    if(LUMIVANE_FUZZ)
        add_library(${name} STATIC ${ARGN})
    else()
        add_library(${name} SHARED ${ARGN})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
