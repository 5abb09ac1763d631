# The Debian package: `cpack` in the build folder makes merilon_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME merilon)
set(CPACK_PACKAGE_VENDOR "Мерилон")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Расчет расхода строительных материалов")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Мерилон 3 считает материалы на кирпичную кладку, фундаменты под колонны,\nдеревянные ворота, окраску суриком, подстилающие слои полов, тротуарную\nплитку и посев трав, и ведет журнал расчетов.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Merilon developers <merilon@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Opening "ГОСТы" in a browser goes through the desktop's URL handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# Folders and files with Debian's usual modes, whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The window needs the X11 platform plugin and the metric-compatible Arial; neither is a
# library the program links, so they are named whatever dpkg-shlibdeps finds.
set(merilon_runtime_packages "qt6-qpa-plugins, fonts-liberation")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${merilon_runtime_packages}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6gui6, libqt6core6, libxlsxwriter4, ${merilon_runtime_packages}")
endif()
include(CPack)
