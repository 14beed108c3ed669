# cmake -DDEST=... -P debian-sources.cmake
# Debian's source packages of what the page's workbook writer is built from:
# zlib, and libxlsxwriter with its own minizip. Each .dsc is pinned here by
# its SHA-256 and names the SHA-256 of its files, so apt's downloader checks
# every byte; dpkg-source unpacks them with Debian's patches. Done once.
set(pool https://deb.debian.org/debian/pool/main)
set(packages
  "zlib|z/zlib/zlib_1.2.13.dfsg-1.dsc|3fa1e6b2fc525062aa88207dda52fed8e045373c809d362fe8a2bfbf7cf515a8"
  "libxlsxwriter|libx/libxlsxwriter/libxlsxwriter_1.1.4-2.dsc|8e53fa5625ec415e16f62411036de83eed6ec93a3499c4e159d5b119dbbc81ba")
set(helper /usr/lib/apt/apt-helper)

function(fetch url file hash)
  if(EXISTS ${file})
    file(SHA256 ${file} have)
    if(have STREQUAL hash)
      return()
    endif()
  endif()
  execute_process(COMMAND ${helper} download-file ${url} ${file} SHA256:${hash}
    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE said)
  if(failed)
    message(FATAL_ERROR "cannot fetch ${url} (Debian's source package of the page's workbook writer): ${said}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${DEST}/download)
foreach(package IN LISTS packages)
  string(REPLACE "|" ";" fields "${package}")
  list(GET fields 0 name)
  list(GET fields 1 path)
  list(GET fields 2 hash)
  if(EXISTS ${DEST}/${name}/.unpacked)
    continue()
  endif()
  get_filename_component(directory ${path} DIRECTORY)
  get_filename_component(dsc ${path} NAME)
  fetch(${pool}/${path} ${DEST}/download/${dsc} ${hash})
  # The files the .dsc names, each with its SHA-256.
  file(STRINGS ${DEST}/download/${dsc} lines)
  set(listing OFF)
  foreach(line IN LISTS lines)
    if(line MATCHES "^Checksums-Sha256:")
      set(listing ON)
    elseif(listing AND line MATCHES "^ ([0-9a-f]+) [0-9]+ (.+)$")
      fetch(${pool}/${directory}/${CMAKE_MATCH_2} ${DEST}/download/${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
    elseif(listing)
      set(listing OFF)
    endif()
  endforeach()
  file(REMOVE_RECURSE ${DEST}/${name})
  execute_process(COMMAND dpkg-source --no-check -x ${DEST}/download/${dsc} ${DEST}/${name}
    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE said)
  if(failed)
    message(FATAL_ERROR "cannot unpack ${dsc}: ${said}")
  endif()
  file(TOUCH ${DEST}/${name}/.unpacked)
endforeach()
