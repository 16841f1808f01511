# Installed like a Linux desktop program: the launcher in bin/, the program
# with its language files, help and default settings in lib/bramblewick/,
# a manual page, a menu entry with icons, and "Convert with Bramblewick"
# file-manager actions. `cpack -G DEB` packs the same files.
set(program_dir lib/bramblewick)
set(desktop ${CMAKE_BINARY_DIR}/desktop)

set(PROGRAM_DIRECTORY ../${program_dir})
configure_file(platform/launcher.sh.in ${desktop}/bramblewick @ONLY)
install(PROGRAMS ${desktop}/bramblewick DESTINATION bin)
# The program without its debugging information, as dh_strip leaves one.
add_custom_command(OUTPUT ${desktop}/bramblewick.exe.so
                   COMMAND strip --strip-unneeded --remove-section=.comment --remove-section=.note
                           -o ${desktop}/bramblewick.exe.so ${CMAKE_BINARY_DIR}/bramblewick.exe.so
                   DEPENDS bramblewick)
# Compressed as Debian keeps them, the same bytes at every build.
configure_file(docs/bramblewick.1.in ${desktop}/bramblewick.1 @ONLY)
foreach(document ${desktop}/bramblewick.1 ${CMAKE_SOURCE_DIR}/docs/changelog)
    get_filename_component(name ${document} NAME)
    add_custom_command(OUTPUT ${desktop}/${name}.gz COMMAND gzip -9nc ${document} > ${desktop}/${name}.gz
                       DEPENDS ${document})
endforeach()
add_custom_target(installed_files ALL
                  DEPENDS ${desktop}/bramblewick.exe.so ${desktop}/bramblewick.1.gz ${desktop}/changelog.gz)
install(PROGRAMS ${desktop}/bramblewick.exe.so DESTINATION ${program_dir})
install(FILES app/config.dat docs/bramblewick.html docs/main-window.png ${LANGUAGE_FILES} DESTINATION ${program_dir})
install(FILES ${desktop}/bramblewick.1.gz DESTINATION share/man/man1)
install(FILES docs/copyright ${desktop}/changelog.gz DESTINATION share/doc/bramblewick)

# The prepared Wine prefix that every user's prefix shares. A staged
# install (DESTDIR, as packing does) links to where the package prepares it.
install(PROGRAMS platform/prepare-wine-prefix.sh DESTINATION ${program_dir} RENAME prepare-wine-prefix)
set(packaged_prefix /var/lib/bramblewick/wine)
install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}/${program_dir}/wine\")
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        message(STATUS \"Preparing Wine for every user: \${prefix}\")
        execute_process(COMMAND sh \"${CMAKE_SOURCE_DIR}/platform/prepare-wine-prefix.sh\" \"\${prefix}\"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"Wine could not be prepared in \${prefix}\")
        endif()
    else()
        file(REMOVE_RECURSE \"\$ENV{DESTDIR}\${prefix}\")
        file(CREATE_LINK ${packaged_prefix} \"\$ENV{DESTDIR}\${prefix}\" SYMBOLIC)
    endif()
")

foreach(size 16 32 64 128)
    install(FILES res/icons/bramblewick-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME bramblewick.png)
endforeach()
# The menu entry and the Dolphin and Nemo actions name the launcher by its
# installed path (a desktop hides an entry whose program is not on its PATH,
# which gains ~/.local/bin only at a later login), so they are written when
# installing, once the prefix is known; @EXEC_PROGRAM@ waits until then.
set(EXEC_PROGRAM @EXEC_PROGRAM@)
set(entries ${desktop}/entries)
configure_file(platform/desktop/bramblewick.desktop.in ${entries}/applications/bramblewick.desktop @ONLY)

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
                          "Exec=@EXEC_PROGRAM@ --convert-to ${FORMAT_NUMBER} %F\n")
    string(APPEND FORMATS " ${FORMAT_NUMBER} ${FORMAT_NAME}")
    configure_file(platform/desktop/action.nemo_action.in ${entries}/nemo/actions/bramblewick-${id}.nemo_action @ONLY)
endforeach()
configure_file(platform/desktop/dolphin.desktop.in ${entries}/kio/servicemenus/bramblewick.desktop @ONLY)
install(CODE "set(entries \"${entries}\")")
install(SCRIPT cmake/install_entries.cmake)
configure_file(platform/desktop/add-file-manager-actions.in ${desktop}/add-file-manager-actions @ONLY)
install(PROGRAMS ${desktop}/add-file-manager-actions DESTINATION ${program_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bramblewick)
set(CPACK_PACKAGE_CONTACT "Bramblewick <hello@bramblewick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch image converter")
set(CPACK_PACKAGE_DESCRIPTION "Converts image files into one of twelve formats, optionally rotating and\nresizing them, from its window or from the file manager. Runs under Wine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://bramblewick.example/)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "wine64 (>= 8.0~), libwine (>= 8.0~), libfreeimage3 (>= 3.18.0), libtiff6, libstdc++6, libgcc-s1, libc6, python3")
# Help > Contents hands the user guide to the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The installed files carry the install prefix; postinst prepares the shared
# Wine prefix, again when Wine changes, and postrm removes it.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/platform/debian/postinst ${CMAKE_SOURCE_DIR}/platform/debian/postrm
    ${CMAKE_SOURCE_DIR}/platform/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
