# cmake --install places the program with its manual beside it (its data files CODE.db are kept
# there too, so install to a directory the user can write), the icon and the desktop entry.
include(GNUInstallDirs)
if(TARGET varnholt)
    install(TARGETS varnholt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET varnholt-cli)
    install(TARGETS varnholt-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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
set(VARNHOLT_INSTALLED_PROGRAM "${CMAKE_INSTALL_FULL_BINDIR}/varnholt")
configure_file(res/desktop/varnholt.desktop.in ${CMAKE_BINARY_DIR}/varnholt.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/varnholt.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The build places the manual beside the program, where the help command looks for it.
if(TARGET varnholt AND EXISTS ${VARNHOLT_MANUAL})
    add_custom_command(TARGET varnholt POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VARNHOLT_MANUAL} $<TARGET_FILE_DIR:varnholt>
                       VERBATIM)
endif()
