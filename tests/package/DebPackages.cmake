# One step of the Debian package test (cmake -DSTEP=... -P DebPackages.cmake):
#   build     a shared build of the sources in WORK_DIR/build and its packages (cpack), or, when
#             PACKAGES_DIR already holds the four, those
#   contents  unpacks each package into WORK_DIR/root (dpkg-deb -x, never installed), checks its
#             files and dependencies, resolves every library and plugin, runs the programs from there
#             and builds and runs the host example against that tree
#   lintian   lintian over the packages when it is installed; an error fails, the rest is listed
set(names libvqtagwrightctls0 libvqtagwrightctls-dev vqtagwright-tools vqtagwright-designer)
set(root ${WORK_DIR}/root)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${result}): ${command}\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(find_packages out)
  set(found)
  foreach(name IN LISTS names)
    file(GLOB deb ${WORK_DIR}/packages/${name}_*.deb)
    list(LENGTH deb count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "expected one ${name} package in ${WORK_DIR}/packages, found: ${deb}")
    endif()
    list(APPEND found ${deb})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Each package's files that must be there (regular expressions over `dpkg-deb -c` paths), and what
# its dependencies must name.
set(lib usr/lib/[a-z0-9_]+-linux-gnu)
set(files_libvqtagwrightctls0 "${lib}/libVQTagwrightCtlsCore\\.so\\.0" "${lib}/libVQTagwrightCtlsDialogs\\.so\\.0\\.1"
  "${lib}/libVQTagwrightCtlsArchivePostgres\\.so\\.0" "usr/share/doc/libvqtagwrightctls0/copyright")
set(depends_libvqtagwrightctls0 libqt6widgets6 libsqlite3-0 libsodium23 libpq5)
set(files_libvqtagwrightctls-dev "usr/include/VQTagwrightCtls/search/VQTagSearch\\.h"
  "usr/include/VQTagwrightCtls/core/CoreExport\\.h" "${lib}/libVQTagwrightCtlsCore\\.so"
  "${lib}/cmake/VQTagwrightCtls/VQTagwrightCtlsConfig\\.cmake" "${lib}/pkgconfig/VQTagwrightCtls\\.pc")
set(depends_libvqtagwrightctls-dev "libvqtagwrightctls0 \\(= " qt6-base-dev)
set(files_vqtagwright-tools usr/bin/vqpointbuilder usr/bin/vqarchive
  usr/share/applications/vqpointbuilder\\.desktop usr/share/icons/hicolor/scalable/apps/vqpointbuilder\\.svg
  usr/share/man/man1/vqpointbuilder\\.1\\.gz usr/share/man/man1/vqarchive\\.1\\.gz
  usr/share/bash-completion/completions/vqarchive usr/share/doc/vqtagwright-tools/html/index\\.html)
set(depends_vqtagwright-tools "libvqtagwrightctls0 \\(= " libqt6widgets6)
set(files_vqtagwright-designer "${lib}/qt6/plugins/designer/libvqtagwrightctls_designer\\.so")
set(depends_vqtagwright-designer "libvqtagwrightctls0 \\(= " libqt6core6)

if(STEP STREQUAL build)
  file(GLOB ready ${PACKAGES_DIR}/*.deb)
  file(REMOVE_RECURSE ${WORK_DIR}/packages)
  if(ready)
    file(COPY ${ready} DESTINATION ${WORK_DIR}/packages)
    return()
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
      -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
      -DVQ_SHARED_LIBS=ON -DVQ_BUILD_TESTS=OFF -DVQ_BUILD_BENCH=OFF)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/build --target docs)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/build --target package)
  file(GLOB built ${WORK_DIR}/build/*.deb)
  file(COPY ${built} DESTINATION ${WORK_DIR}/packages)
elseif(STEP STREQUAL contents)
  find_packages(debs)
  file(REMOVE_RECURSE ${root} ${WORK_DIR}/home)
  foreach(deb IN LISTS debs)
    get_filename_component(file ${deb} NAME)
    string(REGEX REPLACE "_.*" "" name ${file})
    run(dpkg-deb -c ${deb})
    foreach(pattern IN LISTS files_${name})
      # A path ends the line, or is a link's name before its target.
      if(NOT run_output MATCHES "${pattern}( |\n|$)")
        message(FATAL_ERROR "${name} lacks ${pattern}:\n${run_output}")
      endif()
    endforeach()
    run(dpkg-deb -f ${deb} Depends)
    foreach(dependency IN LISTS depends_${name})
      if(NOT run_output MATCHES "(^|, )${dependency}")
        message(FATAL_ERROR "${name} does not depend on ${dependency}: ${run_output}")
      endif()
    endforeach()
    run(dpkg-deb -x ${deb} ${root})
  endforeach()

  file(GLOB libdir LIST_DIRECTORIES true ${root}/usr/lib/*-linux-gnu)
  set(ENV{LD_LIBRARY_PATH} ${libdir})
  # Every shared object resolves every symbol against the unpacked libraries and the system's:
  # a class used across libraries but not exported shows here.
  file(GLOB_RECURSE objects ${libdir}/*.so.0 ${libdir}/qt6/plugins/designer/*.so ${root}/usr/bin/*)
  foreach(object IN LISTS objects)
    run(ldd -r ${object})
    if(run_output MATCHES "undefined symbol|not found")
      message(FATAL_ERROR "${object} does not resolve:\n${run_output}")
    endif()
    # The programs and the plugin use the packaged libraries, not copies of their own.
    if(NOT object MATCHES "\\.so\\.0$" AND NOT run_output MATCHES "${libdir}/libVQTagwrightCtls")
      message(FATAL_ERROR "${object} does not link the unpacked libraries:\n${run_output}")
    endif()
  endforeach()

  # The programs as a user starts them, in a home of their own.
  set(ENV{HOME} ${WORK_DIR}/home)
  set(ENV{XDG_DATA_HOME} ${WORK_DIR}/home/data)
  set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/home/config)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run(${root}/usr/bin/vqarchive --version)
  if(NOT run_output MATCHES "^vqarchive [0-9]+\\.[0-9]+")
    message(FATAL_ERROR "vqarchive --version says: ${run_output}")
  endif()
  run(${root}/usr/bin/vqpointbuilder --screenshot ${WORK_DIR}/pointbuilder.png)
  file(SIZE ${WORK_DIR}/pointbuilder.png size)
  if(size LESS 10000)
    message(FATAL_ERROR "the Point Builder's screenshot holds ${size} bytes")
  endif()

  # The development package as a host program meets it: the host example built against the
  # unpacked tree alone, linking the shared libraries.
  file(REMOVE_RECURSE ${WORK_DIR}/host)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/host -B ${WORK_DIR}/host -G ${GENERATOR}
      -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${root}/usr
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/host)
  run(ldd ${WORK_DIR}/host/vqhost)
  if(NOT run_output MATCHES "${libdir}/libVQTagwrightCtlsDialogs\\.so\\.0")
    message(FATAL_ERROR "the host does not link the packaged libraries:\n${run_output}")
  endif()
  run(${WORK_DIR}/host/vqhost --registry ${WORK_DIR}/home/host/servers.json --quit-after-show)
elseif(STEP STREQUAL lintian)
  find_program(LINTIAN lintian)
  if(NOT LINTIAN)
    message(STATUS "lintian is not installed: skipped")
    return()
  endif()
  find_packages(debs)
  execute_process(COMMAND ${LINTIAN} --no-tag-display-limit ${debs} OUTPUT_VARIABLE findings
                  ERROR_VARIABLE findings)
  message(STATUS "lintian:\n${findings}")
  if(findings MATCHES "(^|\n)E: ")
    message(FATAL_ERROR "lintian reports errors")
  endif()
else()
  message(FATAL_ERROR "unknown step '${STEP}'")
endif()
