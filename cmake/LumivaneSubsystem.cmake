# lv_add_subsystem(<name>)
# A subsystem folder as one static library of every source in it, on the core services and the
# user-interface layer, with its tests (tests/*.cpp) in one program that can use the master
# database the build makes.
function(lv_add_subsystem name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC lv_core lv_ui)

    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    if(tests)
        lv_add_test(${name}_tests SOURCES ${tests} LIBS ${name} lv_test_ui)
        lv_use_master_db(${name}_tests)
    endif()
endfunction()
