# The program that takes the manual's pictures of the real dialogs (run it under a display with a
# Chinese font; tools/screenshots/take-screenshots.sh does everything).
option(VARNHOLT_SCREENSHOTS "Build the program that takes the manual's screenshots" OFF)
if(VARNHOLT_SCREENSHOTS AND TARGET quillmark_ui)
    add_executable(varnholt-screenshots tools/screenshots/Screenshots.cpp)
    target_link_libraries(varnholt-screenshots PRIVATE quillmark_ui)
endif()
