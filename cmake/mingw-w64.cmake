# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads). Used both to build Qt
# itself and the program; Qt records this file's path, so it stays where it is.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# MERILON_WINDOWS_QT names the cross Qt's prefix (scripts/build-windows-qt prints it).
if(NOT MERILON_WINDOWS_QT AND DEFINED ENV{MERILON_WINDOWS_QT})
  set(MERILON_WINDOWS_QT $ENV{MERILON_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${MERILON_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT MERILON_BUILDING_QT)
  # moc, rcc and uic come from the host's Qt of the same version.
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
  # Test executables run through Wine under ctest.
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
