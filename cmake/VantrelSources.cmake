# Each source folder is globbed, so adding a file to a folder needs no CMake edit.
function(vantrel_glob_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB files CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp
             ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
        list(APPEND result ${files})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()
