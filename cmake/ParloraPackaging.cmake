# A Debian package through CPack: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME "parlora")
set(CPACK_PACKAGE_VENDOR "The Parlora Project")
set(CPACK_PACKAGE_CONTACT "The Parlora Project <support@parlora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Read text aloud and publish it as a podcast")
set(CPACK_PACKAGE_DESCRIPTION
    "Parlora reads text aloud in any installed voice and renders it into WAV, MP3, Ogg Vorbis or FLAC files; its feed editor writes the RSS 2.0 feed for podcast directories.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://parlora.org/")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_FILE_NAME "parlora_${PROJECT_VERSION}_amd64")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "amd64")
# Libraries the binaries link are found by dpkg-shlibdeps; what they load at run time is not:
# the Qt window-system plugins, the speech data and the sound server client's configuration.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The document libraries are named as well, so the package says what opening documents needs
# even where shlibdeps is turned off.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, espeak-ng-data, libzip4, libpoppler-qt6-3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
