# The plug-in and the simulated Windows and shell as a WebAssembly module,
# for the playground page: Debian's clang, wasi-libc and libc++ for wasm32.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(TICKRAIL_WASM ON)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
