# The core keeps its text in GBK. Its sources hold Chinese literals readably (UTF-8) and are all
# compiled with the GBK execution character set, so the compiler turns the literals into GBK and
# rejects a character GBK cannot hold. That is the only way the core makes GBK text. The exchange
# follows the same rule, so its messages are GBK from the start and a text read from a file joins
# them converted (exchange/FileText.h). The platform layer's one file of texts is compiled the same
# way (the whole layer cannot be: <chrono> holds a character GBK lacks).
target_compile_options(quillmark_core PRIVATE -finput-charset=UTF-8 -fexec-charset=CP936)
target_compile_options(quillmark_exchange PRIVATE -finput-charset=UTF-8 -fexec-charset=CP936)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/platform/ErrorText.cpp PROPERTIES COMPILE_OPTIONS
                            "-finput-charset=UTF-8;-fexec-charset=CP936")
# The one core file that needs <chrono> holds no text and keeps the default character set; give it
# no Chinese literal.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/core/BackupPolicy.cpp PROPERTIES COMPILE_OPTIONS
                            "-fexec-charset=UTF-8")

# The build stops when a core or exchange file makes text another way: a non-ASCII literal in a header (the
# desktop program and the CLI compile headers without the GBK character set), one with an encoding
# prefix, or hand-written byte escapes.
add_executable(varnholt_check_core_text ${CMAKE_SOURCE_DIR}/tools/CheckCoreText.cpp)
target_link_libraries(varnholt_check_core_text PRIVATE quillmark_options)
file(GLOB_RECURSE core_text_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/core/*.cpp ${CMAKE_SOURCE_DIR}/src/core/*.h
     ${CMAKE_SOURCE_DIR}/src/exchange/*.cpp ${CMAKE_SOURCE_DIR}/src/exchange/*.h
     ${CMAKE_SOURCE_DIR}/src/platform/ErrorText.cpp)
set(core_text_stamp ${CMAKE_BINARY_DIR}/core-text.checked)
add_custom_command(OUTPUT ${core_text_stamp}
    COMMAND varnholt_check_core_text ${core_text_stamp} ${core_text_files}
    DEPENDS varnholt_check_core_text ${core_text_files}
    COMMENT "Checking how the core writes its text" VERBATIM)
add_custom_target(check_core_text DEPENDS ${core_text_stamp})
add_dependencies(quillmark_core check_core_text)
add_dependencies(quillmark_exchange check_core_text)
