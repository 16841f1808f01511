# Run when installing: writes the menu entry and the Dolphin and Nemo actions
# prepared in ${entries} with the installed launcher's path in their Exec
# lines, quoted as the desktop entry format asks when the path needs it.
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/bramblewick")
set(EXEC_PROGRAM "${launcher}")
if(launcher MATCHES "[^-A-Za-z0-9_./+,:=@]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${launcher}")
    # The key file's own escaping doubles every backslash once more.
    string(REPLACE "\\" "\\\\" EXEC_PROGRAM "\"${quoted}\"")
endif()
string(REPLACE "%" "%%" EXEC_PROGRAM "${EXEC_PROGRAM}")

file(GLOB_RECURSE prepared RELATIVE "${entries}" "${entries}/*")
foreach(entry ${prepared})
    set(installed "${CMAKE_INSTALL_PREFIX}/share/${entry}")
    message(STATUS "Installing: $ENV{DESTDIR}${installed}")
    configure_file("${entries}/${entry}" "$ENV{DESTDIR}${installed}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${installed}")
endforeach()
