# The Debian package, made by `cpack -G DEB` in the build folder (tools/package.sh builds
# first): quadray_VERSION_ARCH.deb with what cmake --install puts below /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quadray)
set(CPACK_PACKAGE_CONTACT "${QUADRAY_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Group-writable folders in a package are refused; the umask of the building user must not matter.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive ray tracer with a small scene language")
set(CPACK_PACKAGE_DESCRIPTION "quadray renders a scene written in a small scene-description language\n\
(spheres, boxes, cones, tori, prisms, planes and their unions, intersections\n\
and differences) in real time into a window, steered with the mouse and keys,\n\
and reloads the scene whenever a scene file is saved. quadray-render runs the\n\
same tracer without a window and writes PNG pictures, for stills, reference\n\
pictures and timings.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The vendor-neutral GL and EGL libraries the programs link load Mesa's drivers at run time,
# which no library dependency reveals.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libegl-mesa0, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
