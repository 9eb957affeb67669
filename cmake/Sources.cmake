# Every .cpp below a folder belongs to its target, so adding a file needs no edit here.
function(varnholt_sources out dir)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    set(${out} ${found} PARENT_SCOPE)
endfunction()
