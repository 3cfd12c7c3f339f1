# Install rules: the programs, the bundled scene and examples, the documentation with the
# licence and the Debian copyright and changelog files, and the manual pages.
# Every destination is relative, so one build installs into any prefix; the programs find the
# bundled scene from their own location (BIN/../share/quadray), never from the prefix.

# The manual pages carry the version; like the changelog they are installed compressed.
set(QUADRAY_GENERATED ${CMAKE_BINARY_DIR}/install)
foreach(page quadray.1 quadray-render.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page} ${QUADRAY_GENERATED}/${page} @ONLY)
endforeach()
set(QUADRAY_MAINTAINER "the quadray authors <quadray@example.org>")
configure_file(${CMAKE_SOURCE_DIR}/cmake/changelog.in ${QUADRAY_GENERATED}/changelog @ONLY)

# The copyright file in the machine-readable Debian form, its licence text taken from LICENSE
# (without the title and copyright lines that the header already states).
file(READ ${CMAKE_SOURCE_DIR}/LICENSE QUADRAY_LICENSE)
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" QUADRAY_LICENSE "${QUADRAY_LICENSE}")
string(REGEX REPLACE "\n+$" "" QUADRAY_LICENSE "${QUADRAY_LICENSE}")
string(REPLACE "\n\n" "\n.\n" QUADRAY_LICENSE "${QUADRAY_LICENSE}")
string(REPLACE "\n" "\n " QUADRAY_LICENSE " ${QUADRAY_LICENSE}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/copyright.in ${QUADRAY_GENERATED}/copyright @ONLY)

set(QUADRAY_COMPRESSED)
foreach(file quadray.1 quadray-render.1 changelog)
  # -n leaves out the time stamp, so the same sources give the same package.
  add_custom_command(OUTPUT ${QUADRAY_GENERATED}/${file}.gz
                     COMMAND gzip -9 -n -f -k ${QUADRAY_GENERATED}/${file}
                     DEPENDS ${QUADRAY_GENERATED}/${file} VERBATIM)
  list(APPEND QUADRAY_COMPRESSED ${QUADRAY_GENERATED}/${file}.gz)
endforeach()
add_custom_target(install_files ALL DEPENDS ${QUADRAY_COMPRESSED})

install(TARGETS quadray DESTINATION bin)
if(TARGET quadray-render)
  install(TARGETS quadray-render DESTINATION bin)
endif()
# share/quadray is where the programs look for the bundled scene; keep the two in step.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/objects ${CMAKE_SOURCE_DIR}/examples DESTINATION share/quadray)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/docs/LANGUAGE.md
              ${CMAKE_SOURCE_DIR}/docs/PERFORMANCE.md ${QUADRAY_GENERATED}/copyright
              ${QUADRAY_GENERATED}/changelog.gz
        DESTINATION share/doc/quadray)
install(FILES ${QUADRAY_GENERATED}/quadray.1.gz ${QUADRAY_GENERATED}/quadray-render.1.gz DESTINATION share/man/man1)
