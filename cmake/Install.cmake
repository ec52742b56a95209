# What `cmake --install` puts where a Linux desktop expects it: the two programs, the
# delivered data beside them (the program finds it at ../share/brindle-tessel), the desktop
# entry, AppStream metadata, the MIME package of the two file types, the hicolor icons and
# the man page. The names agree with what the program registers per user at start.
include(GNUInstallDirs)

set(TESSEL_APP_ID example.brindle_software.Tessel)
set(TESSEL_DIST ${PROJECT_SOURCE_DIR}/dist)
set(TESSEL_PICTURES ${PROJECT_SOURCE_DIR}/src/resources/pictures)

install(TARGETS tessel tessel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/brindle-tessel
  PATTERN themes.txt EXCLUDE PATTERN mail-script.php EXCLUDE)

install(FILES ${TESSEL_DIST}/${TESSEL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TESSEL_DIST}/${TESSEL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TESSEL_DIST}/brindle-tessel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Icons: the program's icon (also the page documents' icon) and the templates' icon, as the
# SVG itself and as PNGs rendered from it at build time, so they never drift from the SVG.
set(TESSEL_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(WARNING "rsvg-convert (Debian: librsvg2-bin) not found: only SVG icons are installed")
endif()
add_custom_target(tessel_icons ALL)

function(tessel_install_icon svg context name)
  install(FILES ${TESSEL_PICTURES}/${svg}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context} RENAME ${name}.svg)
  if(NOT RSVG_CONVERT)
    return()
  endif()
  set(rendered)
  foreach(size IN LISTS TESSEL_ICON_SIZES)
    set(folder ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/${context})
    add_custom_command(OUTPUT ${folder}/${name}.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${folder}/${name}.png
        ${TESSEL_PICTURES}/${svg}
      DEPENDS ${TESSEL_PICTURES}/${svg} VERBATIM)
    list(APPEND rendered ${folder}/${name}.png)
    install(FILES ${folder}/${name}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
  endforeach()
  add_custom_target(tessel_icons_${name} DEPENDS ${rendered})
  add_dependencies(tessel_icons tessel_icons_${name})
endfunction()

tessel_install_icon(tessel.svg apps brindle-tessel)
tessel_install_icon(docTemplate.svg mimetypes brindle-tessel-template)

# The man page, compressed as Debian keeps them.
set(TESSEL_MAN_PAGE ${CMAKE_BINARY_DIR}/man/tessel-cli.1.gz)
add_custom_command(OUTPUT ${TESSEL_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND gzip -9nc ${TESSEL_DIST}/tessel-cli.1 > ${TESSEL_MAN_PAGE}
  DEPENDS ${TESSEL_DIST}/tessel-cli.1)
add_custom_target(tessel_man ALL DEPENDS ${TESSEL_MAN_PAGE})
install(FILES ${TESSEL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
