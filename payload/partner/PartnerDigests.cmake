# Writes the partner files' digests (PartnerDigests.h.in) into OUTPUT: for each
# of TOOLBAR_NT, TOOLBAR_9X and BROWSER the digest given as <name>_SHA256, or,
# when that is empty, the SHA-256 of the stand-in <name>_FILE.
foreach(name TOOLBAR_NT TOOLBAR_9X BROWSER)
  if("${${name}_SHA256}" STREQUAL "")
    file(SHA256 "${${name}_FILE}" ${name}_SHA256)
  endif()
  string(TOLOWER "${${name}_SHA256}" ${name}_SHA256)
endforeach()
# Rewritten only when a digest changed, so nothing recompiles needlessly.
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
