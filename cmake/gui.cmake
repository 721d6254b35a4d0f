# The Qt player: the `zxgui` library (windows, page objects, sound), the
# `zxexam` program and the GUI tests.  Included by the top CMakeLists.txt
# when ZX_BUILD_GUI is on.

# TextToSpeech reads pages aloud (qt6-speech-dev, installed by setup.sh).
find_package(Qt6 REQUIRED COMPONENTS Widgets Multimedia MultimediaWidgets PrintSupport DBus Network Test
  TextToSpeech)

set(CMAKE_AUTOMOC ON)

file(GLOB ZX_GUI_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/app/*.cpp
  ${PROJECT_SOURCE_DIR}/testrun/*.cpp
  ${PROJECT_SOURCE_DIR}/objects/*.cpp
  ${PROJECT_SOURCE_DIR}/media/*.cpp
  ${PROJECT_SOURCE_DIR}/results/*.cpp
  ${PROJECT_SOURCE_DIR}/window/*.cpp)
zx_require_sources(app/main.cpp app/main_form.cpp testrun/test_run.cpp testrun/page_builder.cpp)
list(REMOVE_ITEM ZX_GUI_SOURCES ${PROJECT_SOURCE_DIR}/app/main.cpp)
file(GLOB ZX_GUI_HEADERS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/app/*.h
  ${PROJECT_SOURCE_DIR}/testrun/*.h
  ${PROJECT_SOURCE_DIR}/objects/*.h
  ${PROJECT_SOURCE_DIR}/media/*.h
  ${PROJECT_SOURCE_DIR}/results/*.h
  ${PROJECT_SOURCE_DIR}/window/*.h)

add_library(zxgui STATIC ${ZX_GUI_SOURCES} ${ZX_GUI_HEADERS})
target_include_directories(zxgui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zxgui PUBLIC zxcore
  Qt6::Widgets Qt6::Multimedia Qt6::MultimediaWidgets Qt6::PrintSupport
  Qt6::DBus Qt6::Network Qt6::TextToSpeech)
# The Qt headers every part of the player reads, compiled once.
target_precompile_headers(zxgui PRIVATE
  <QApplication> <QWidget> <QLabel> <QPushButton> <QFrame> <QPainter>
  <QKeyEvent> <QMouseEvent> <QFile> <QFileInfo> <QDir> <QPointer> <QTimer>
  <string> <vector> <memory> <functional>)
# Other programs' window titles on X11 (app/desktop_windows.cpp) are read
# with libxcb, the library Qt's own X11 support runs on.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(ZX_XCB QUIET IMPORTED_TARGET xcb)
endif()
if(ZX_XCB_FOUND)
  target_link_libraries(zxgui PUBLIC PkgConfig::ZX_XCB)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/app/desktop_windows.cpp
    PROPERTIES COMPILE_DEFINITIONS ZX_HAVE_XCB)
endif()
find_package(JPEG QUIET)
if(JPEG_FOUND)
  target_link_libraries(zxgui PUBLIC JPEG::JPEG)
endif()

# The program sits in the build folder itself, beside ExLang/ and ExSounds/.
add_executable(zxexam ${PROJECT_SOURCE_DIR}/app/main.cpp)
target_link_libraries(zxexam PRIVATE zxgui)
set_target_properties(zxexam PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

# The teacher's results tool (tools/zxresults, docs/zxresults.md).  Its pdf
# command uses the player's PDF writer; it sits beside the program, where
# `report` finds the language files.  The core tests run it.
add_executable(zxresults
  ${PROJECT_SOURCE_DIR}/tools/zxresults/main.cpp
  ${PROJECT_SOURCE_DIR}/tools/zxresults/batch.cpp
  ${PROJECT_SOURCE_DIR}/tools/zxresults/commands.cpp
  ${PROJECT_SOURCE_DIR}/tools/zxresults/stats_command.cpp
  ${PROJECT_SOURCE_DIR}/tools/zxresults/pdf_command.cpp)
target_link_libraries(zxresults PRIVATE zxgui)
set_target_properties(zxresults PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(zxresults language_files)
function(zx_core_tests_run_zxresults)
  if(TARGET zxcore_tests)
    target_compile_definitions(zxcore_tests PRIVATE ZX_ZXRESULTS_PATH="$<TARGET_FILE:zxresults>")
    add_dependencies(zxcore_tests zxresults)
  endif()
endfunction()
cmake_language(DEFER CALL zx_core_tests_run_zxresults)

# Extra files that live beside the program (artwork and the like).
file(GLOB ZX_BESIDE_PROGRAM CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/beside-program/*)
foreach(zx_file IN LISTS ZX_BESIDE_PROGRAM)
  get_filename_component(zx_name ${zx_file} NAME)
  configure_file(${zx_file} ${PROJECT_BINARY_DIR}/${zx_name} COPYONLY)
endforeach()

if(ZX_BUILD_TESTS)
  enable_testing()
  include(GoogleTest)
  find_package(GTest REQUIRED)
  # Test doubles of the media devices, for the tests and nothing else.
  add_library(zxtestsupport STATIC
    ${PROJECT_SOURCE_DIR}/tests/support/fake_sound_backend.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/fake_speech.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/fake_video_player.cpp)
  target_link_libraries(zxtestsupport PUBLIC zxgui)

  zx_require_sources(tests/gui/gui_test_main.cpp)
  file(GLOB ZX_GUI_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/gui/*.cpp)
  if(ZX_GUI_TEST_SOURCES)
    # With the picture fuzz target's entry, whose seeds the tests replay.
    add_executable(zxgui_tests ${ZX_GUI_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/picture_entry.cpp)
    target_link_libraries(zxgui_tests PRIVATE zxtestsupport zxbankpack zximportqt Qt6::Test GTest::gtest)
    target_compile_definitions(zxgui_tests PRIVATE
      ZX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      ZX_BINARY_DIR="${PROJECT_BINARY_DIR}"
      ZX_ZXEXAM_PATH="$<TARGET_FILE:zxexam>")
    add_dependencies(zxgui_tests zxexam)
    # Tests need no optimisation and only line tables for their traces;
    # this halves their compile time.
    target_compile_options(zxgui_tests PRIVATE -O0 -g1)
    # GoogleTest, QTest and the widgets the tests look at, compiled once:
    # they are most of each test file's compile time.
    target_precompile_headers(zxgui_tests PRIVATE
      <gtest/gtest.h> <QTest> <QSignalSpy> <QApplication> <QWidget> <QPushButton>
      <QScrollBar> <QLabel> <QAction> <QMenu> <QCheckBox> <QFile> <QDir>
      <QTemporaryDir> <string> <vector> <memory> <functional>)
    # The hand-over test starts the real program, which needs its language
    # files beside it; they are made by cmake/lang.cmake when present.
    function(zx_gui_tests_need_language_files)
      if(TARGET language_files)
        add_dependencies(zxgui_tests language_files)
      endif()
    endfunction()
    cmake_language(DEFER CALL zx_gui_tests_need_language_files)
    gtest_discover_tests(zxgui_tests
      DISCOVERY_TIMEOUT 60
      DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endif()

# Benchmarks of the player's pages (Google Benchmark, offscreen).
if(ZX_BUILD_BENCH)
  file(GLOB ZX_GUI_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/gui/*.cpp)
  if(ZX_GUI_BENCH_SOURCES)
    find_package(benchmark REQUIRED)
    add_executable(zxbench_gui ${ZX_GUI_BENCH_SOURCES})
    target_link_libraries(zxbench_gui PRIVATE zxgui zximportqt benchmark::benchmark)
  endif()
endif()
