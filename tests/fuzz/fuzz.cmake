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
# The picture readers need Qt's image classes and libjpeg: built from their
# own sources, with the entry of tests/fuzz/picture_entry.cpp.
list(REMOVE_ITEM ZX_FUZZ_SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_picture.cpp)
find_package(Qt6 QUIET COMPONENTS Gui)
find_package(JPEG QUIET)
if(TARGET Qt6::Gui AND JPEG_FOUND)
  add_executable(fuzz_picture ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_picture.cpp
    ${PROJECT_SOURCE_DIR}/tests/fuzz/picture_entry.cpp ${PROJECT_SOURCE_DIR}/objects/picture_decoder.cpp)
  target_link_libraries(fuzz_picture PRIVATE zxfuzzentries Qt6::Gui JPEG::JPEG)
  target_link_options(fuzz_picture PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets fuzz_picture)
else()
  message(WARNING "Qt 6 Gui or libjpeg not found: no fuzz_picture")
endif()
foreach(zx_fuzz_source IN LISTS ZX_FUZZ_SOURCES)
  get_filename_component(zx_fuzz_name "${zx_fuzz_source}" NAME_WE)
  add_executable(${zx_fuzz_name} ${zx_fuzz_source})
  target_link_libraries(${zx_fuzz_name} PRIVATE zxfuzzentries)
  target_link_options(${zx_fuzz_name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets ${zx_fuzz_name})
endforeach()
