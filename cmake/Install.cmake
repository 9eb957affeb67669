# cmake --install places the program with its manual beside it (its data files CODE.db are kept
# there too, so install to a directory the user can write), the icon and the desktop entry.
include(GNUInstallDirs)
if(TARGET varnholt)
    install(TARGETS varnholt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET varnholt-cli)
    install(TARGETS varnholt-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The print command of varnholt-cli runs this program, which it looks for beside itself.
if(TARGET varnholt-print)
    install(TARGETS varnholt-print RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
set(VARNHOLT_MANUAL "${CMAKE_SOURCE_DIR}/docs/manual/Varnholt使用手册.mht")
if(EXISTS ${VARNHOLT_MANUAL})
    install(FILES ${VARNHOLT_MANUAL} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(size 16 32 48 64 128 256)
    install(FILES res/icons/app/varnholt-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME varnholt.png)
endforeach()
install(FILES res/icons/app/varnholt.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The desktop entry names the installed program, so it is written when the prefix is known: the
# one of `cmake --install --prefix`, not only the one of the configuration.
install(CODE "
    set(VARNHOLT_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/varnholt\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/res/desktop/varnholt.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/varnholt.desktop\" @ONLY)
")
install(FILES ${CMAKE_BINARY_DIR}/varnholt.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The build places the manual beside the program, where the help command looks for it, and copies
# it again whenever it changes (also when the program itself need not be linked again).
if(TARGET varnholt AND EXISTS ${VARNHOLT_MANUAL})
    get_target_property(program_dir varnholt RUNTIME_OUTPUT_DIRECTORY)
    if(NOT program_dir)
        set(program_dir ${CMAKE_BINARY_DIR})
    endif()
    set(VARNHOLT_BUILT_MANUAL "${program_dir}/Varnholt使用手册.mht")
    add_custom_command(OUTPUT ${VARNHOLT_BUILT_MANUAL}
                       COMMAND ${CMAKE_COMMAND} -E copy ${VARNHOLT_MANUAL} ${VARNHOLT_BUILT_MANUAL}
                       DEPENDS ${VARNHOLT_MANUAL} VERBATIM)
    add_custom_target(varnholt_manual ALL DEPENDS ${VARNHOLT_BUILT_MANUAL})
    add_dependencies(varnholt varnholt_manual)
endif()
# The manual's test looks for it where the build placed it.
if(TARGET ui_ManualTest AND TARGET varnholt)
    add_dependencies(ui_ManualTest varnholt)
    target_compile_definitions(ui_ManualTest PRIVATE VARNHOLT_PROGRAM_DIR="$<TARGET_FILE_DIR:varnholt>")
endif()
