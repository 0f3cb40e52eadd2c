# Installation: the game, quizcheck and quizedit, the bundled quizzes, the menu
# entry with its icon, the AppStream metainfo, the manuals, the sample sheet,
# the copyright and changelog;
# and the Debian package made of all of it (cpack -G DEB in the build folder).
set(QUIZ_MAINTAINER "quizladder maintainers <maintainers@users.noreply.c-seed-a66f52ec.example>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")
set(QUIZ_HOMEPAGE "https://quizladder.example.org" CACHE STRING "The project's home page")
set(QUIZ_APPSTREAM_ID "org.example.quizladder" CACHE STRING "The AppStream component id")
set(QUIZEDIT_APPSTREAM_ID "org.example.quizedit" CACHE STRING "The AppStream component id of the quiz editor")
# The date of this version, for the manuals and the metainfo.
set(QUIZ_DATE 2026-12-07)
string(REGEX REPLACE " *<.*" "" QUIZ_COPYRIGHT_HOLDER "${QUIZ_MAINTAINER}")

# The package's version comes from the project; its changelog must agree.
file(STRINGS ${PROJECT_SOURCE_DIR}/data/debian/changelog quiz_changelog_top LIMIT_COUNT 1)
if(NOT quiz_changelog_top MATCHES "^quizladder \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()

set(quizladder_quiz_files tet0.txt test1.txt test2.txt test3.txt)
list(TRANSFORM quizladder_quiz_files PREPEND ${PROJECT_SOURCE_DIR}/quizzes/)
install(TARGETS quizladder quizcheck quizedit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/examples/questions.csv DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${quizladder_quiz_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/quizladder/quizzes)
install(FILES ${PROJECT_SOURCE_DIR}/data/quizladder.svg ${PROJECT_SOURCE_DIR}/data/quizedit.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

configure_file(${PROJECT_SOURCE_DIR}/data/quizladder.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${QUIZ_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/quizedit.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${QUIZEDIT_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${QUIZ_APPSTREAM_ID}.metainfo.xml
              ${PROJECT_BINARY_DIR}/data/${QUIZEDIT_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright.in
               ${PROJECT_BINARY_DIR}/data/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manuals and the changelog are installed compressed, without a time stamp in
# the gzip header, as Debian does.
set(quiz_gzipped)
function(quiz_gzip source destination)
  get_filename_component(name ${source} NAME)
  get_filename_component(folder ${source} DIRECTORY)
  add_custom_command(OUTPUT ${source}.gz
    COMMAND gzip -9nkf ${name} WORKING_DIRECTORY ${folder} DEPENDS ${source} VERBATIM)
  install(FILES ${source}.gz DESTINATION ${destination})
  set(quiz_gzipped ${quiz_gzipped} ${source}.gz PARENT_SCOPE)
endfunction()
foreach(page IN ITEMS quizladder.6 quizcheck.1 quizedit.1 ru/quizladder.6 ru/quizcheck.1 ru/quizedit.1)
  string(REGEX MATCH "[0-9]$" section ${page})
  string(REGEX MATCH "^ru/" language ${page})
  configure_file(${PROJECT_SOURCE_DIR}/data/man/${page}.in ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
  quiz_gzip(${PROJECT_BINARY_DIR}/man/${page} ${CMAKE_INSTALL_MANDIR}/${language}man${section})
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog ${PROJECT_BINARY_DIR}/data/changelog COPYONLY)
quiz_gzip(${PROJECT_BINARY_DIR}/data/changelog ${CMAKE_INSTALL_DOCDIR})
add_custom_target(compressed_docs ALL DEPENDS ${quiz_gzipped})

# The menu entries name the game and the editor by their full paths, which
# are known only once the prefix is final (cmake --install --prefix may change
# it), so the entries are written at install time. A menu started from a
# desktop session does not necessarily have the prefix's games/ or bin/ in its
# PATH.
install(CODE "
  set(quizladder_data [==[${PROJECT_SOURCE_DIR}/data]==])
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
  foreach(quizladder_program IN ITEMS quizladder quizedit)
    set(quizladder_path "${quizladder_bindir}/${quizladder_program}")
    if(quizladder_path MATCHES "[\n\r]")
      message(FATAL_ERROR "A menu entry cannot name a program whose path holds a line break: ${quizladder_path}")
    endif()
    # Exec quoting: a path with a reserved character goes in double quotes, with
    # a backslash before ", `, $ and \; then every backslash is doubled once more
    # by the string escaping of the entry, and % becomes %%.
    set(quizladder_exec "${quizladder_path}")
    if(quizladder_exec MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
      string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quizladder_exec "${quizladder_exec}")
      set(quizladder_exec "\"${quizladder_exec}\"")
    endif()
    string(REPLACE "\\" "\\\\" quizladder_exec "${quizladder_exec}")
    string(REPLACE "%" "%%" quizladder_exec "${quizladder_exec}")
    set(QUIZLADDER_EXEC "${quizladder_exec}")
    set(QUIZEDIT_EXEC "${quizladder_exec}")
    set(quizladder_entry "$ENV{DESTDIR}${quizladder_appsdir}/${quizladder_program}.desktop")
    message(STATUS "Installing: ${quizladder_entry}")
    configure_file("${quizladder_data}/${quizladder_program}.desktop.in" "${quizladder_entry}" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${quizladder_entry}")
  endforeach()
]==])

# The Debian package: quizladder_<version>_<arch>.deb under /usr. Its library
# dependencies come from dpkg-shlibdeps; the font and the toolkit's platform
# plugins are loaded at run time, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quizladder)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUIZ_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "quiz game with a points ladder and two lifelines")
set(CPACK_PACKAGE_DESCRIPTION
"A single-window quiz game for one player, in Russian. Each right answer to a
multiple-choice question climbs one step of a fifteen-step points ladder; the
first wrong answer ends the game, and the points of the last milestone reached
are kept. Two lifelines help once a game: the 50/50 and the computer's hint.

The questions come from plain-text quiz files that anyone can write. The game
rotates three bundled quizzes from game to game and plays any quiz file given
to it; quizcheck checks quiz files before they are played, and the quiz
editor quizedit writes them in a window that shows each question as the player
will see it, and makes them from spreadsheets and Moodle's Aiken and GIFT
files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUIZ_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
