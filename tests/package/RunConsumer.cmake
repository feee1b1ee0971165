# One step of the package test (cmake -DSTEP=... -P RunConsumer.cmake):
#   install    cmake --install into WORK_DIR/prefix, afresh
#   host       configure, build and run examples/host against the prefix
#   headers    compile every installed header against the prefix
#   pkgconfig  build and run a small program with the flags pkg-config gives
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${result}): ${command}")
  endif()
endfunction()

# Configures and builds a project against the prefix only: no package registry, no build tree.
function(build_against_prefix source binary)
  file(REMOVE_RECURSE ${binary})
  run(${CMAKE_COMMAND} -S ${source} -B ${binary} -G ${GENERATOR} -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
      -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
      "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}" ${ARGN})
  run(${CMAKE_COMMAND} --build ${binary})
endfunction()

if(STEP STREQUAL install)
  file(REMOVE_RECURSE ${WORK_DIR})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
elseif(STEP STREQUAL host)
  build_against_prefix(${SOURCE_DIR}/examples/host ${WORK_DIR}/host)
  file(REMOVE_RECURSE ${WORK_DIR}/servers)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run(${WORK_DIR}/host/vqhost --registry ${WORK_DIR}/servers/servers.json --quit-after-show)
elseif(STEP STREQUAL headers)
  build_against_prefix(${CMAKE_CURRENT_LIST_DIR}/headers ${WORK_DIR}/headers -DVQ_PREFIX=${prefix})
elseif(STEP STREQUAL pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
  set(ENV{PKG_CONFIG_LIBDIR} "")
  file(GLOB_RECURSE pc_files ${prefix}/*/VQTagwrightCtls.pc)
  list(LENGTH pc_files count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one VQTagwrightCtls.pc under ${prefix}, found: ${pc_files}")
  endif()
  get_filename_component(pc_dir ${pc_files} DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  execute_process(COMMAND pkg-config --cflags --libs VQTagwrightCtls OUTPUT_VARIABLE pc_flags
                  RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know VQTagwrightCtls")
  endif()
  separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
  separate_arguments(extra UNIX_COMMAND "${FLAGS}")
  # Qt is built to be used from position-independent code.
  run(${CXX} -std=c++20 -fPIC ${extra} ${CMAKE_CURRENT_LIST_DIR}/PkgConfigProgram.cpp ${pc_flags}
      -o ${WORK_DIR}/pkgconfig_program)
  run(${WORK_DIR}/pkgconfig_program)
else()
  message(FATAL_ERROR "unknown step '${STEP}'")
endif()
