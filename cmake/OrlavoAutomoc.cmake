# Automoc decides whether to run again from the files its last run read; a
# header that is new since then is in none of them, so a reused build folder
# would link without its moc code. Every target lists its headers among its
# sources, and when that list changes the target's automoc stamp goes, so the
# next build runs automoc again.
function(orlavo_automoc_follows_headers target)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.h$")
  list(SORT sources)
  string(SHA1 digest "${sources}")
  get_target_property(binary_dir ${target} BINARY_DIR)
  if(NOT "${digest}" STREQUAL "$CACHE{ORLAVO_AUTOMOC_HEADERS_${target}}")
    file(REMOVE "${binary_dir}/${target}_autogen/timestamp")
    set(ORLAVO_AUTOMOC_HEADERS_${target} "${digest}" CACHE INTERNAL "")
  endif()
endfunction()
