# Included before any target exists when ORVANTA_FUZZ is on: every library gets coverage for
# libFuzzer and, unless chosen otherwise, the address and undefined-behaviour sanitizers.
include(CheckCXXSourceCompiles)
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ORVANTA_FUZZ needs clang (configure with CC=clang CXX=clang++), "
                      "not ${CMAKE_CXX_COMPILER_ID}")
endif()
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
check_cxx_source_compiles([[
  #include <cstddef>
  #include <cstdint>
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] ORVANTA_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT ORVANTA_HAVE_LIBFUZZER)
  message(FATAL_ERROR "ORVANTA_FUZZ: clang cannot link libFuzzer (install libclang-rt-14-dev)")
endif()
if(NOT ORVANTA_SANITIZE)
  set(ORVANTA_SANITIZE address,undefined CACHE STRING "" FORCE)
endif()
add_compile_options(-fsanitize=fuzzer-no-link)
