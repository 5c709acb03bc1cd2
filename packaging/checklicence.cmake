# Fails when a file that states the licence still carries a placeholder, or does not name GPL-3.0-or-later:
# the AppStream metadata of each program, the package's copyright file, the licence text and the README.
# Run as: cmake -DSOURCE_DIR=<root of the sources> -P checklicence.cmake
set(problems "")

foreach(program Quorvex Zelmora Tavrinth)
  set(file ${SOURCE_DIR}/packaging/edu.functionexplorers.${program}.metainfo.xml)
  file(READ ${file} text)
  if(text MATCHES "LicenseRef-|proprietary")
    string(APPEND problems "${file}: placeholder licence left\n")
  endif()
  if(NOT text MATCHES "<project_license>GPL-3.0-or-later</project_license>")
    string(APPEND problems "${file}: project_license is not GPL-3.0-or-later\n")
  endif()
  if(NOT text MATCHES "<metadata_license>(CC0-1.0|FSFAP)</metadata_license>")
    string(APPEND problems "${file}: metadata_license is not a permissive licence\n")
  endif()
endforeach()

file(READ ${SOURCE_DIR}/packaging/copyright text)
if(NOT text MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
  string(APPEND problems "packaging/copyright: not in the machine-readable format\n")
endif()
if(NOT text MATCHES "\nFiles: \\*\nCopyright: [^\n]+\nLicense: GPL-3\\+\n" OR NOT text MATCHES "\nLicense: GPL-3\\+\n ")
  string(APPEND problems "packaging/copyright: the files are not stated as GPL-3+ with the licence text\n")
endif()

file(READ ${SOURCE_DIR}/LICENSE text)
if(NOT text MATCHES "GNU GENERAL PUBLIC LICENSE\n +Version 3, 29 June 2007")
  string(APPEND problems "LICENSE: not the GPL version 3 text\n")
endif()

file(READ ${SOURCE_DIR}/README.md text)
if(NOT text MATCHES "\n## Licence\n" OR NOT text MATCHES "GPL-3.0-or-later")
  string(APPEND problems "README.md: no Licence section naming GPL-3.0-or-later\n")
endif()

if(problems)
  message(FATAL_ERROR "${problems}")
endif()
