# Installed like a Linux desktop program: the launcher in bin/, the program
# with its language files, help and default settings in lib/bramblewick/,
# a menu entry with icons, and "Convert with Bramblewick" file-manager
# actions, which find the launcher on the PATH. `cpack -G DEB` packs the
# same files.
set(program_dir lib/bramblewick)
set(desktop ${CMAKE_BINARY_DIR}/desktop)

set(PROGRAM_DIRECTORY ../${program_dir})
configure_file(platform/launcher.sh.in ${desktop}/bramblewick @ONLY)
install(PROGRAMS ${desktop}/bramblewick DESTINATION bin)
install(PROGRAMS ${CMAKE_BINARY_DIR}/bramblewick.exe.so DESTINATION ${program_dir})
install(FILES app/config.dat docs/bramblewick.html docs/main-window.png ${LANGUAGE_FILES} DESTINATION ${program_dir})

foreach(size 16 32 64 128)
    install(FILES res/icons/bramblewick-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME bramblewick.png)
endforeach()
configure_file(platform/desktop/bramblewick.desktop.in ${desktop}/bramblewick.desktop @ONLY)
install(FILES ${desktop}/bramblewick.desktop DESTINATION share/applications)

# The output formats by their -output number.
set(output_formats JPG BMP TGA PNG PBM PGM PPM TIF WBMP XPM ICO GIF)
set(ACTION_IDS "")
set(ACTIONS "")
set(FORMATS "")
set(FORMAT_NUMBER 0)
foreach(FORMAT_NAME ${output_formats})
    math(EXPR FORMAT_NUMBER "${FORMAT_NUMBER} + 1")
    string(TOLOWER ${FORMAT_NAME} id)
    string(APPEND ACTION_IDS "${id};")
    string(APPEND ACTIONS "\n[Desktop Action ${id}]\nName=${FORMAT_NAME}\nIcon=bramblewick\n"
                          "Exec=bramblewick --convert-to ${FORMAT_NUMBER} %F\n")
    string(APPEND FORMATS " ${FORMAT_NUMBER} ${FORMAT_NAME}")
    configure_file(platform/desktop/action.nemo_action.in ${desktop}/bramblewick-${id}.nemo_action @ONLY)
    install(FILES ${desktop}/bramblewick-${id}.nemo_action DESTINATION share/nemo/actions)
endforeach()
configure_file(platform/desktop/dolphin.desktop.in ${desktop}/dolphin/bramblewick.desktop @ONLY)
install(FILES ${desktop}/dolphin/bramblewick.desktop DESTINATION share/kio/servicemenus)
configure_file(platform/desktop/add-file-manager-actions.sh.in ${desktop}/add-file-manager-actions @ONLY)
install(PROGRAMS ${desktop}/add-file-manager-actions DESTINATION ${program_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bramblewick)
set(CPACK_PACKAGE_CONTACT "Bramblewick <hello@bramblewick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch image converter")
set(CPACK_PACKAGE_DESCRIPTION "Converts image files into one of twelve formats, optionally rotating and\nresizing them, from its window or from the file manager. Runs under Wine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://bramblewick.example/)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "wine64 (>= 8.0~), libwine (>= 8.0~), libfreeimage3 (>= 3.18.0), libtiff6, libstdc++6, libgcc-s1, libc6")
include(CPack)
