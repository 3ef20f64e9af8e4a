# Clipshift installed as a desktop program (included once every target is
# known). `cmake --install` puts the program, every shared library of ours
# and what lies beside the program in the build (the skin, help pages) into
# <prefix>/lib/clipshift, where it runs as it does in build/app: the
# libraries are found through the run path $ORIGIN, the skin and help beside
# the program. <prefix>/bin/clipshift starts it; a desktop entry and the
# icon in the hicolor theme (drawn by the skin generator) make it a program
# of the desktop.

# The shared libraries built under `dir` and its sub-folders, appended to `var`.
function(qelo_collect_shared_libraries dir var)
  set(found ${${var}})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    qelo_collect_shared_libraries(${subdir} found)
  endforeach()
  set(${var} ${found} PARENT_SCOPE)
endfunction()

set(QELO_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/clipshift)
set(QELO_BUILT_PROGRAM_DIR ${CMAKE_BINARY_DIR}/app)

set(program_libraries "")
foreach(dir platform libs app)
  qelo_collect_shared_libraries(${CMAKE_SOURCE_DIR}/${dir} program_libraries)
endforeach()
set_target_properties(Clipshift ${program_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS Clipshift ${program_libraries}
  RUNTIME DESTINATION ${QELO_INSTALL_PROGRAM_DIR}
  LIBRARY DESTINATION ${QELO_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${QELO_BUILT_PROGRAM_DIR}/Skin DESTINATION ${QELO_INSTALL_PROGRAM_DIR})
# Help pages (and a help folder) that a build step puts beside the program
# go with it, whatever their names.
install(CODE "
  file(GLOB beside \"${QELO_BUILT_PROGRAM_DIR}/*.html\" \"${QELO_BUILT_PROGRAM_DIR}/*.htm\"
       \"${QELO_BUILT_PROGRAM_DIR}/*.css\" \"${QELO_BUILT_PROGRAM_DIR}/*.chm\"
       \"${QELO_BUILT_PROGRAM_DIR}/help\" \"${QELO_BUILT_PROGRAM_DIR}/Help\")
  if(beside)
    file(INSTALL \${beside} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${QELO_INSTALL_PROGRAM_DIR}\")
  endif()")

set(icon_files "")
foreach(size 16 32 48 64 128 256)
  list(APPEND icon_files ${size}x${size}/apps/clipshift.png)
endforeach()
qelo_make_skin_pictures(icons ${CMAKE_BINARY_DIR}/icons app_icons FILES ${icon_files})
add_custom_target(qelo_app_icons ALL DEPENDS ${app_icons})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(CODE "
  set(QELO_INSTALL_PROGRAM_DIR \"${QELO_INSTALL_PROGRAM_DIR}\")
  set(QELO_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(QELO_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(QELO_DESKTOP_TEMPLATE \"${CMAKE_SOURCE_DIR}/app/desktop/clipshift.desktop.in\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/app/desktop/install_launcher.cmake)
