# Installation: the game and quizcheck, the bundled quizzes, the launcher that
# plays them in a per-user folder, and the menu entry with its icon.
include(GNUInstallDirs)

set(quizladder_quiz_files tet0.txt test1.txt test2.txt test3.txt)
set(quizladder_quizzes_dir ${CMAKE_INSTALL_DATADIR}/quizladder/quizzes)

install(TARGETS quizladder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quizcheck)
  install(TARGETS quizcheck RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

list(TRANSFORM quizladder_quiz_files PREPEND ${PROJECT_SOURCE_DIR}/quizzes/
     OUTPUT_VARIABLE quizladder_quiz_paths)
install(FILES ${quizladder_quiz_paths} DESTINATION ${quizladder_quizzes_dir})

# The launcher finds the quizzes relative to itself; both folders sit under the
# same prefix, so the relative path holds for whatever prefix is chosen at
# install time.
file(RELATIVE_PATH QUIZLADDER_QUIZZES_FROM_BIN
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${quizladder_quizzes_dir})
configure_file(${PROJECT_SOURCE_DIR}/data/quizladder-launcher.in
               ${PROJECT_BINARY_DIR}/data/quizladder-launcher @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/data/quizladder-launcher DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/data/quizladder.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The menu entry names the launcher by its full path, which is known only once
# the prefix is final (cmake --install --prefix may change it), so the entry is
# written at install time. A menu started from a desktop session does not
# necessarily have the prefix's bin/ in its PATH.
install(CODE "
  set(quizladder_desktop_in [==[${PROJECT_SOURCE_DIR}/data/quizladder.desktop.in]==])
  set(quizladder_bindir [==[${CMAKE_INSTALL_BINDIR}]==])
  set(quizladder_appsdir [==[${CMAKE_INSTALL_DATADIR}/applications]==])
")
install(CODE [==[
  foreach(quizladder_dir IN ITEMS quizladder_bindir quizladder_appsdir)
    if(NOT IS_ABSOLUTE "${${quizladder_dir}}")
      set(${quizladder_dir} "${CMAKE_INSTALL_PREFIX}/${${quizladder_dir}}")
    endif()
    get_filename_component(${quizladder_dir} "${${quizladder_dir}}" ABSOLUTE)
  endforeach()
  set(quizladder_launcher "${quizladder_bindir}/quizladder-launcher")
  if(quizladder_launcher MATCHES "[\n\r]")
    message(FATAL_ERROR "The menu entry cannot name a launcher whose path holds a line break: ${quizladder_launcher}")
  endif()
  # Exec quoting: a path with a reserved character goes in double quotes, with
  # a backslash before ", `, $ and \; then every backslash is doubled once more
  # by the string escaping of the entry, and % becomes %%.
  set(QUIZLADDER_EXEC "${quizladder_launcher}")
  if(QUIZLADDER_EXEC MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" QUIZLADDER_EXEC "${QUIZLADDER_EXEC}")
    set(QUIZLADDER_EXEC "\"${QUIZLADDER_EXEC}\"")
  endif()
  string(REPLACE "\\" "\\\\" QUIZLADDER_EXEC "${QUIZLADDER_EXEC}")
  string(REPLACE "%" "%%" QUIZLADDER_EXEC "${QUIZLADDER_EXEC}")
  set(quizladder_entry "$ENV{DESTDIR}${quizladder_appsdir}/quizladder.desktop")
  message(STATUS "Installing: ${quizladder_entry}")
  configure_file("${quizladder_desktop_in}" "${quizladder_entry}" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${quizladder_entry}")
]==])
