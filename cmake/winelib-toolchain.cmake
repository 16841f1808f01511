# Winelib: Win32 code compiled natively by winegcc, linked against Wine's
# Win32 libraries and Debian's native libraries, run under wine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER winegcc-stable)
set(CMAKE_CXX_COMPILER wineg++-stable)
set(CMAKE_RC_COMPILER wrc-stable)
set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
