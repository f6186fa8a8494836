# Run by CPack on the staged install before it makes the Debian package of it
# (CPACK_PRE_BUILD_SCRIPTS). Debian keeps the binaries of games in /usr/games, so the piece
# moves there; it finds its data from there as from any bin/ (../share/lantern). A link in
# /usr/bin keeps `lantern` on every PATH, root's too, which has no /usr/games. The
# generator, no game, stays in /usr/bin. A native package also carries Debian's changelog,
# made here from the project's version and the date of its last commit.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
file(MAKE_DIRECTORY "${usr}/games")
file(RENAME "${usr}/bin/lantern" "${usr}/games/lantern")
file(CREATE_LINK "../games/lantern" "${usr}/bin/lantern" SYMBOLIC)
file(WRITE "${usr}/share/lintian/overrides/lantern"
  "# lantern-tool makes and checks the data, a tool for the shell, not a game; and\n"
  "# /usr/bin/lantern is a link to the piece in /usr/games, for PATHs without it\n"
  "lantern: package-section-games-but-has-usr-bin\n")

set(ENV{SOURCE_DATE_EPOCH} "${CPACK_LANTERN_RELEASE_EPOCH}")
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(changelog "${CPACK_TEMPORARY_DIRECTORY}/changelog")
file(WRITE "${changelog}" "lantern (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium

  * lantern ${CPACK_PACKAGE_VERSION}: the piece, its generator and its data.

 -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}
")
execute_process(COMMAND gzip -9 -n -c "${changelog}"
  OUTPUT_FILE "${usr}/share/doc/lantern/changelog.gz" RESULT_VARIABLE result)
file(REMOVE "${changelog}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip of the changelog failed")
endif()
