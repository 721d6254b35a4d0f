# libFuzzer targets, one per tests/fuzz/fuzz_<name>.cpp: fuzz_<name>.
# Configured only with ZX_FUZZ=ON and clang; the core they link is built
# with coverage instrumentation, ASan and UBSan (see the top CMakeLists).
# `cmake --build <dir> --target fuzz_targets` builds them all and nothing
# else; tests/fuzz/run_all.sh runs them.
file(GLOB ZX_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
add_library(zxfuzzentries STATIC ${PROJECT_SOURCE_DIR}/tests/fuzz/entries.cpp
  ${PROJECT_SOURCE_DIR}/tests/fuzz/entries_results.cpp)
target_link_libraries(zxfuzzentries PUBLIC zxcore zximport)

add_custom_target(fuzz_targets)
foreach(zx_fuzz_source IN LISTS ZX_FUZZ_SOURCES)
  get_filename_component(zx_fuzz_name "${zx_fuzz_source}" NAME_WE)
  add_executable(${zx_fuzz_name} ${zx_fuzz_source})
  target_link_libraries(${zx_fuzz_name} PRIVATE zxfuzzentries)
  target_link_options(${zx_fuzz_name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets ${zx_fuzz_name})
endforeach()
