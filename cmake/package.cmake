# The Debian package, made by CPack from the install rules of
# cmake/install.cmake: `./setup.sh package` or, in a configured build
# folder, `cpack --config CPackConfig.cmake`.  CPack rather than debhelper:
# the install rules already say where every file goes, and a package is
# made from any build folder without a debian/ folder kept in step with
# them; dpkg-shlibdeps still works out the libraries' packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zxexam)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The zxexam developers")
set(CPACK_PACKAGE_CONTACT "${ZX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exam player for question banks, with results tools")
# CPack puts the summary above this as the synopsis line.
set(CPACK_PACKAGE_DESCRIPTION "The exam player opens a question bank (.zxb) and shows the test one page at
a time: texts, pictures, videos, typed answers, choice buttons and items to
drag onto targets. Finishing the test scores it per question, category and
total; results are saved as files (.zxr) that open again for review and
print. Exams lock the window until they are finished, and a journal keeps
every answer on disk while a test runs.
.
Also holds zxbank, which packs banks from folders of plain files, and
zxresults, which turns a folder of results files into a class list, prints
or writes their reports as PDF and checks that none was altered.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # zxexam_<version>_<arch>.deb
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install rules run with DESTDIR set, so the databases of this machine
# are left alone (the package's triggers update them where it is installed).
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, but needed: Qt Multimedia plays through GStreamer, and
# crashes without these plugins (WAV, MP3 and AVI in -good, AIFF in -bad,
# the codecs inside AVI in -libav, and a sound output).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, gstreamer1.0-alsa | gstreamer1.0-pulseaudio")
# Reading pages aloud, and fonts that measure like the ones banks name.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "speech-dispatcher, qt6-speech-speechd-plugin, speech-dispatcher-espeak-ng, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
