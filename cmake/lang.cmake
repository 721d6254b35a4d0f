# Interface texts beside the program: every lang/<name>.txt is stored as
# ExLang/<name>.zxc with `zxbank store`, and the English texts are spoken
# into ExSounds/ (x<n>.wav for the messages, Hint<n>.wav for the hints,
# xh0.wav to xh4.wav for the help pages) when espeak-ng is installed.
# Both steps run only when their sources change.

file(GLOB ZX_LANG_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lang/*.txt)
set(ZX_LANG_OUTPUTS "")
foreach(zx_lang_source IN LISTS ZX_LANG_SOURCES)
  get_filename_component(zx_lang_name "${zx_lang_source}" NAME_WLE)
  set(zx_lang_output "${PROJECT_BINARY_DIR}/ExLang/${zx_lang_name}.zxc")
  add_custom_command(
    OUTPUT "${zx_lang_output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/ExLang"
    COMMAND zxbank store "${zx_lang_source}" "${zx_lang_output}"
    DEPENDS zxbank "${zx_lang_source}"
    COMMENT "Storing the language file ${zx_lang_name}"
    VERBATIM)
  list(APPEND ZX_LANG_OUTPUTS "${zx_lang_output}")
endforeach()
add_custom_target(language_files ALL DEPENDS ${ZX_LANG_OUTPUTS})

# Writes the texts the sound folder speaks, using the program's own
# language-file reader.
add_executable(zxlangtext ${PROJECT_SOURCE_DIR}/tools/zxlangtext/main.cpp)
target_link_libraries(zxlangtext PRIVATE zxcore)

set(ZX_SOUND_LANGUAGE "${PROJECT_SOURCE_DIR}/lang/English (UK).txt")
find_program(ZX_ESPEAK_NG espeak-ng)
if(ZX_ESPEAK_NG AND EXISTS "${ZX_SOUND_LANGUAGE}")
  set(zx_sound_stamp "${PROJECT_BINARY_DIR}/ExSounds.stamp")
  add_custom_command(
    OUTPUT "${zx_sound_stamp}"
    COMMAND zxlangtext "${ZX_SOUND_LANGUAGE}" "${PROJECT_BINARY_DIR}/sound-texts"
    COMMAND sh "${PROJECT_SOURCE_DIR}/tools/make_sounds.sh" "${ZX_ESPEAK_NG}" en-gb
            "${PROJECT_BINARY_DIR}/sound-texts" "${PROJECT_BINARY_DIR}/ExSounds"
    COMMAND ${CMAKE_COMMAND} -E touch "${zx_sound_stamp}"
    DEPENDS zxlangtext "${ZX_SOUND_LANGUAGE}" "${PROJECT_SOURCE_DIR}/tools/make_sounds.sh"
    COMMENT "Speaking the English messages into ExSounds"
    VERBATIM)
  add_custom_target(message_sounds ALL DEPENDS "${zx_sound_stamp}")
endif()
