# The fuzz build (-DZEPH_FUZZ=ON, clang only): every library is compiled with coverage for
# libFuzzer and with AddressSanitizer and UndefinedBehaviorSanitizer, so the fuzzer sees the
# branches of the readers themselves and any fault stops the run. The targets link libFuzzer
# (fuzz/CMakeLists.txt); tests and benchmarks are left out of this build.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ZEPH_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -O1)
add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
set(ZEPH_BUILD_TESTS OFF)
set(ZEPH_BUILD_BENCH OFF)
set(ZEPH_BUILD_FUZZ ON)
