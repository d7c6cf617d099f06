# Cross build of the Windows program on Linux with MinGW-w64 (Debian: mingw-w64). Programs built
# here run under Wine, in a prefix of the build folder: the tests through the emulator setting.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_wendelkamm_triplet x86_64-w64-mingw32)
# The POSIX thread model: std::thread and std::mutex exist (GoogleTest needs them); with -static
# its thread library is linked in, not a DLL.
set(CMAKE_C_COMPILER ${_wendelkamm_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_wendelkamm_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_wendelkamm_triplet}-windres)

# Every program of this build carries its C and C++ run-time and thread library, so that it needs
# nothing but the system's DLLs: on a user's machine as under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${_wendelkamm_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs what the build runs (test discovery, the tests), in a prefix of the build folder,
# never in the home folder.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wine")
endif()
