# Installing Tessaria as a desktop program, and its Debian package.
#
#   cmake --install build --prefix /some/where
#   cd build && cpack -G DEB
#
# The programs go into bin; the help file and the samples into share/tessaria,
# which the program finds from its own folder (any prefix); the desktop entry,
# the layout document's MIME type, the icons, the AppStream metainfo and the
# manual page where the desktop looks for them.

include(GNUInstallDirs)

set(TESSARIA_DESKTOP_ID com.corvanel.Tessaria)
set(TESSARIA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tessaria)
set(TESSARIA_WEB_URL "https://tessaria.example.org" CACHE STRING
    "Where the project's web page and docs/screenshot.png are published (for the AppStream metainfo)")

# The data folder as seen from the installed executable, so that the program
# needs no fixed prefix.
file(RELATIVE_PATH data_from_program ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/tessaria)
target_compile_definitions(tessaria_platform PRIVATE TESSARIA_DATA_FROM_PROGRAM="${data_from_program}")

install(TARGETS tessaria tessaria-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/tessaria.hlp DESTINATION ${TESSARIA_INSTALL_DATADIR})

# The samples: the pictures as the build drew them, and a layout written for
# the folder they are installed to (a layout holds full paths).
install(DIRECTORY ${TESSARIA_SAMPLES_DIR}/ DESTINATION ${TESSARIA_INSTALL_DATADIR}/samples
        FILES_MATCHING PATTERN "*.jpg")
install(CODE "
  set(samples \"\${CMAKE_INSTALL_PREFIX}/${TESSARIA_INSTALL_DATADIR}/samples\")
  set(layout \"${PROJECT_BINARY_DIR}/install-samples/sample.tsd\")
  file(MAKE_DIRECTORY \"${PROJECT_BINARY_DIR}/install-samples\")
  execute_process(COMMAND \"$<TARGET_FILE:tessaria-samples>\" layout \"\${samples}\" \"\${layout}\"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR \"Could not write the sample layout for \${samples}\")
  endif()
  file(INSTALL DESTINATION \"\${samples}\" TYPE FILE FILES \"\${layout}\")
")

install(FILES data/${TESSARIA_DESKTOP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${TESSARIA_DESKTOP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(data/${TESSARIA_DESKTOP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${TESSARIA_DESKTOP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${TESSARIA_DESKTOP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY data/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages are installed compressed, as Debian has them.
configure_file(data/tessaria.1 ${PROJECT_BINARY_DIR}/tessaria.1 @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/tessaria.1.gz
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/tessaria.1 > ${PROJECT_BINARY_DIR}/tessaria.1.gz
  DEPENDS ${PROJECT_BINARY_DIR}/tessaria.1)
add_custom_target(tessaria_manual ALL DEPENDS ${PROJECT_BINARY_DIR}/tessaria.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/tessaria.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Its library dependencies are computed (dpkg-shlibdeps);
# the X11 platform plugin comes with libqt6gui6. Recommended: the faces that
# stand in for Arial and MS Sans Serif, and Qt's Wayland plugin (without it
# the window goes through XWayland).
set(CPACK_PACKAGE_NAME tessaria)
set(CPACK_PACKAGE_VENDOR "Corvanel Software")
set(CPACK_PACKAGE_CONTACT "Corvanel Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lay out pictures on pages and print them")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaria prints pictures. Browse the folders of your computer for image
files, lay them out on one or more pages in boxes that move, resize, turn and
carry captions and free text, save the layout as a document, preview it and
print it, every picture read again from its file and resampled to the
printer's resolution. Saved layouts also print from the command line, to a
printer or to a PDF file.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
include(CPack)
