# One interface target carries the warning flags and the sanitizer switches, so every
# library and test links it instead of setting flags globally.
add_library(qiv_warnings INTERFACE)
target_compile_options(qiv_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(QIV_SANITIZE)
  target_compile_options(qiv_warnings INTERFACE -fsanitize=address,undefined
                                                -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(qiv_warnings INTERFACE -fsanitize=address,undefined)
endif()
if(QIV_FUZZ)
  # The code the harnesses reach is instrumented for coverage and the sanitizers through this
  # interface, as every library and harness links it; only the harnesses link the fuzzer's
  # main (tests/fuzz/CMakeLists.txt). Nothing is set for targets that do not link it.
  target_compile_options(qiv_warnings INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                -fno-omit-frame-pointer)
  target_link_options(qiv_warnings INTERFACE -fsanitize=address,undefined)
endif()
