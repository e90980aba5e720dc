# The release's facts, each stated once: its version in project(), its
# contact here, its date in CHANGELOG.md, its copyright and licence in
# REUSE.toml (with the licence text in LICENSE). This reads them for the
# man page and the packages, and stops if CHANGELOG.md has no entry for
# the version being built.

# Until the project has a public address, a placeholder in a domain kept
# for examples.
set(pairs_contact "pairs developers <pairs@example.org>")

set(pairs_changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set(pairs_reuse_toml ${PROJECT_SOURCE_DIR}/REUSE.toml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${pairs_changelog} ${pairs_reuse_toml} ${PROJECT_SOURCE_DIR}/LICENSE)

# REUSE.toml's one annotation covers every file.
file(READ ${pairs_reuse_toml} reuse_toml)
string(REGEX MATCH "\nSPDX-FileCopyrightText = \"([0-9, -]+) ([^\"\n]+)\"" _ "${reuse_toml}")
set(pairs_copyright_years "${CMAKE_MATCH_1}")
set(pairs_copyright_holder "${CMAKE_MATCH_2}")
string(REGEX MATCH "\nSPDX-License-Identifier = \"([^\"\n]+)\"" _ "${reuse_toml}")
set(pairs_licence "${CMAKE_MATCH_1}") # an SPDX identifier
if(NOT pairs_copyright_holder OR NOT pairs_licence)
  message(FATAL_ERROR "pairs: ${pairs_reuse_toml} names no copyright holder or licence")
endif()

# Sets pairs_release_date (YYYY-MM-DD) and pairs_release_epoch (its
# midnight UTC, in seconds) from CHANGELOG.md's latest entry, and
# pairs_debian_changelog and pairs_rpm_changelog to the whole file in
# Debian's and RPM's changelog formats. Entries come newest first, each a
# heading "## VERSION (YYYY-MM-DD)" over a list whose items start "- " and
# go on in lines indented by two spaces.
function(pairs_read_changelog)
  file(READ ${pairs_changelog} text)
  string(PREPEND text "\n")
  string(REGEX MATCHALL "\n## [^\n]*" headings "${text}")
  # string(TIMESTAMP) formats SOURCE_DATE_EPOCH where it is set: each
  # entry's date is formatted so, and the packager's value put back after.
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(packager_epoch $ENV{SOURCE_DATE_EPOCH})
  endif()
  set(debian_changelog "")
  set(rpm_changelog "")
  foreach(heading IN LISTS headings)
    if(NOT heading MATCHES "^\n## ([0-9][0-9A-Za-z.+~]*) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
      string(STRIP "${heading}" heading)
      message(FATAL_ERROR
        "pairs: ${pairs_changelog}: \"${heading}\" is not \"## VERSION (YYYY-MM-DD)\"")
    endif()
    set(version ${CMAKE_MATCH_1})
    set(date ${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4})
    set(year ${CMAKE_MATCH_2})
    set(month ${CMAKE_MATCH_3})
    set(day ${CMAKE_MATCH_4})

    # Days since 1970-01-01 in the proleptic Gregorian calendar, counting
    # years from March so that leap days fall at the end.
    if(month LESS_EQUAL 2)
      math(EXPR y "${year} - 1")
      math(EXPR m "${month} + 9")
    else()
      set(y ${year})
      math(EXPR m "${month} - 3")
    endif()
    math(EXPR year_of_era "${y} % 400")
    math(EXPR days "${y} / 400 * 146097 + ${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + (153 * ${m} + 2) / 5 + ${day} - 1 - 719468")
    math(EXPR epoch "${days} * 86400")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    string(TIMESTAMP formatted "%Y-%m-%d" UTC)
    if(NOT formatted STREQUAL date)
      message(FATAL_ERROR "pairs: ${pairs_changelog}: ${date} is no date")
    endif()
    string(TIMESTAMP debian_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    string(TIMESTAMP rpm_date "%a %b %d %Y" UTC)

    # The entry's text runs to the next heading or the end of the file.
    string(FIND "${text}" "${heading}" start)
    string(LENGTH "${heading}" heading_length)
    math(EXPR start "${start} + ${heading_length}")
    string(SUBSTRING "${text}" ${start} -1 changes)
    string(FIND "${changes}" "\n## " end)
    string(SUBSTRING "${changes}" 0 ${end} changes)
    string(STRIP "${changes}" changes)
    string(REGEX REPLACE "\n\n+" "\n" changes "\n${changes}")
    if(changes STREQUAL "" OR NOT changes MATCHES "^\n- " OR changes MATCHES "\n([^- ]|-[^ ]| [^ ])")
      message(FATAL_ERROR "pairs: ${pairs_changelog}: the entry for ${version} "
        "must be a list, each item starting \"- \" and going on in lines "
        "indented by two spaces")
    endif()
    string(APPEND rpm_changelog "* ${rpm_date} ${pairs_contact} - ${version}-1${changes}\n\n")
    string(REPLACE "\n  " "\n    " changes "${changes}")
    string(REPLACE "\n- " "\n  * " changes "${changes}")
    string(APPEND debian_changelog
      "${PROJECT_NAME} (${version}) unstable; urgency=medium\n${changes}\n\n"
      " -- ${pairs_contact}  ${debian_date}\n\n")

    if(NOT DEFINED release_date)
      if(NOT version STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "pairs: CMakeLists.txt builds version ${PROJECT_VERSION}, "
          "but the latest entry in ${pairs_changelog} is for ${version}. Add a dated "
          "entry for ${PROJECT_VERSION} at the top of CHANGELOG.md.")
      endif()
      set(release_date ${date})
      set(release_epoch ${epoch})
    endif()
  endforeach()
  if(DEFINED packager_epoch)
    set(ENV{SOURCE_DATE_EPOCH} ${packager_epoch})
  else()
    unset(ENV{SOURCE_DATE_EPOCH})
  endif()
  if(NOT DEFINED release_date)
    message(FATAL_ERROR "pairs: ${pairs_changelog} has no entry for ${PROJECT_VERSION}. "
      "Add one at the top, headed \"## ${PROJECT_VERSION} (YYYY-MM-DD)\".")
  endif()
  string(STRIP "${debian_changelog}" debian_changelog)
  string(STRIP "${rpm_changelog}" rpm_changelog)
  set(pairs_debian_changelog "${debian_changelog}\n" PARENT_SCOPE)
  set(pairs_rpm_changelog "${rpm_changelog}\n" PARENT_SCOPE)
  set(pairs_release_date ${release_date} PARENT_SCOPE)
  set(pairs_release_epoch ${release_epoch} PARENT_SCOPE)
endfunction()
pairs_read_changelog()
