# Data built into the program: the code tables from data/ and the school directory from res/.
# Each generator appends its generated sources to VARNHOLT_GENERATED_CORE_SOURCES.
set(VARNHOLT_GENERATED_CORE_SOURCES "")

# The host tool that writes the generated sources (run at build time, never shipped).
add_executable(varnholt_embed_data ${CMAKE_SOURCE_DIR}/tools/EmbedData.cpp)
target_link_libraries(varnholt_embed_data PRIVATE quillmark_options)
set(VARNHOLT_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${VARNHOLT_GENERATED_DIR})

# Code tables: symbol = UTF-8 TSV file of "code<TAB>name" lines, in table order.
set(VARNHOLT_CODE_TABLES
    g_codeMajors=majors.tsv
    g_codeSexes=sexes.tsv
    g_codeEducations=educations.tsv
    g_codeLanguages=languages.tsv
    g_codeLanguageLevels=language_levels.tsv
    g_codeProvinces=provinces.tsv
    g_codePoliticalStatus=political_status.tsv
    g_codeRegions=regions.tsv
    g_codeEmployerTypes=employer_types.tsv
    g_codeIndustries=industries.tsv
    g_codeJobCategories=job_categories.tsv
    g_codeGrassroots=grassroots.tsv)
set(code_arguments "")
set(code_inputs "")
foreach(table ${VARNHOLT_CODE_TABLES})
    string(REPLACE "=" ";" parts ${table})
    list(GET parts 0 symbol)
    list(GET parts 1 file)
    list(APPEND code_arguments ${symbol}=${CMAKE_SOURCE_DIR}/data/${file})
    list(APPEND code_inputs ${CMAKE_SOURCE_DIR}/data/${file})
endforeach()
set(code_tables_source ${VARNHOLT_GENERATED_DIR}/CodeTables.cpp)
add_custom_command(OUTPUT ${code_tables_source}
    COMMAND varnholt_embed_data codes ${code_tables_source} ${code_arguments}
    DEPENDS varnholt_embed_data ${code_inputs}
    COMMENT "Generating the code tables from data/" VERBATIM)
list(APPEND VARNHOLT_GENERATED_CORE_SOURCES ${code_tables_source})

# Resources: id:type:file, embedded byte for byte and found through platform/Resources.h.
set(resources_source ${VARNHOLT_GENERATED_DIR}/EmbeddedResources.cpp)
set(school_directory ${CMAKE_SOURCE_DIR}/res/schools.txt)
add_custom_command(OUTPUT ${resources_source}
    COMMAND varnholt_embed_data resources ${resources_source} 134:TXT:${school_directory}
    DEPENDS varnholt_embed_data ${school_directory}
    COMMENT "Embedding the school directory" VERBATIM)
target_sources(quillmark_platform PRIVATE ${resources_source})

# The core keeps its text in GBK. Sources holding Chinese text literals (written in UTF-8) are
# compiled with the GBK execution character set, so their literals become GBK bytes and a
# character GBK cannot hold stops the build.
set(VARNHOLT_GBK_SOURCES
    ${code_tables_source}
    ${CMAKE_SOURCE_DIR}/src/core/StudentSchema.cpp
    ${CMAKE_SOURCE_DIR}/src/core/SchoolDirectory.cpp
    ${CMAKE_SOURCE_DIR}/src/core/RecordCheck.cpp
    ${CMAKE_SOURCE_DIR}/src/core/SchoolAccessMessage.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/ErrorText.cpp)
set_source_files_properties(${VARNHOLT_GBK_SOURCES} PROPERTIES COMPILE_OPTIONS -fexec-charset=CP936)
