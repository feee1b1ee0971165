# Debian packages (make package) from a shared build: one component per package.
#   libs      libvqtagwrightctls0     the shared libraries
#   dev       libvqtagwrightctls-dev  headers, unversioned library names, CMake package, pkg-config
#   tools     vqtagwright-tools       vqpointbuilder and vqarchive, their man pages, desktop entry, icon
#   designer  vqtagwright-designer    the Qt Designer plugin, in Qt's own plugin folder
# Anything installed with COMPONENT tools (a man page, a completion script) joins that package.
include(GNUInstallDirs)

set(vq_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(vq_packaged ${PROJECT_BINARY_DIR}/packaging)
set(vq_packages libs libvqtagwrightctls0 dev libvqtagwrightctls-dev tools vqtagwright-tools
  designer vqtagwright-designer)

install(TARGETS vqpointbuilder vqarchive RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
install(FILES ${vq_packaging}/vqpointbuilder.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
  COMPONENT tools)
install(FILES ${vq_packaging}/vqpointbuilder.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tools)

# Debian keeps man pages and changelogs compressed, without a time stamp (gzip -n).
function(vq_gzip source output)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9nc ${source} > ${output} DEPENDS ${source} VERBATIM)
endfunction()
vq_gzip(${vq_packaging}/vqpointbuilder.1 ${vq_packaged}/vqpointbuilder.1.gz)
vq_gzip(${vq_packaging}/changelog ${vq_packaged}/changelog.Debian.gz)
add_custom_target(vq_packaging_files ALL DEPENDS ${vq_packaged}/vqpointbuilder.1.gz
  ${vq_packaged}/changelog.Debian.gz)
install(FILES ${vq_packaged}/vqpointbuilder.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
install(FILES ${vq_packaging}/README.Debian DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vqtagwright-designer
  COMPONENT designer)

# Every package carries its copyright and changelog under /usr/share/doc/<package>.
set(vq_list ${vq_packages})
while(vq_list)
  list(POP_FRONT vq_list component package)
  install(FILES ${vq_packaging}/copyright ${vq_packaged}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
endwhile()

if(NOT VQ_SHARED_LIBS)
  # The packages ship shared libraries; a static build offers no `package` target.
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vqtagwrightctls)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VQTagwrightCtls maintainers <maintainers@vqtagwright.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vqtagwright.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL libs dev tools)
if(VQ_BUILD_DESIGNER_PLUGIN)
  list(APPEND CPACK_COMPONENTS_ALL designer)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_LIBS_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
# Dependencies from what the files actually link (Qt 6, SQLite, libsodium, libpq); our own libraries
# are found in the build tree and named through the component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEV_DEPENDS libs)
set(CPACK_COMPONENT_TOOLS_DEPENDS libs)
set(CPACK_COMPONENT_DESIGNER_DEPENDS libs)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qt6-base-dev (>= ${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR})")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_RECOMMENDS designer-qt6)
# A shlibs file and the ldconfig trigger, as a Debian library package has them.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The trigger, not maintainer scripts that call ldconfig, which CPack would write without these.
set(CPACK_DEBIAN_LIBS_PACKAGE_CONTROL_EXTRA ${vq_packaging}/triggers ${vq_packaging}/postinst
  ${vq_packaging}/postrm)
set(CPACK_DEBIAN_LIBS_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENT_LIBS_DESCRIPTION "Qt 6 controls and archive server library for VQ points
The controls, dialogs and model classes with which a program creates, finds and
edits points on VQ archive servers, and the archive server itself, stored in
SQLite files or on a PostgreSQL server (through libpq).")
set(CPACK_COMPONENT_DEV_DESCRIPTION "development files for the VQ point controls
Headers, the CMake package (find_package(VQTagwrightCtls)) and the pkg-config
file for building programs with the controls, dialogs and archive server of
libvqtagwrightctls0.")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "Point Builder and vqarchive for VQ archive servers
The Point Builder is a desktop program that creates, finds and edits points on
VQ archive servers. vqarchive creates, seeds, imports, exports and searches
archives from the command line.")
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "Qt Designer plugin for the VQ point controls
Offers the property sheet, the attribute editor, the compression settings, the
server pick list, the point search and the digital state set search on Qt
Designer's widget box.")

include(CPack)
