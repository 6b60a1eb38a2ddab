# What differs when the converter is built for Windows. The toolchain file
# (cmake/mingw-w64-x86_64.cmake) links everything statically, so the .exe needs
# only DLLs that every Windows has.

# The manifest makes Windows hand main() its arguments as UTF-8: the driver's, and so
# the tool's and its fault-injected copy's, and the tests', which open UTF-8 names.
enable_language(RC)
set(utf8_manifest ${PROJECT_SOURCE_DIR}/src/platform/windows/manifest.rc)
target_sources(driver PRIVATE ${utf8_manifest})

# A zip for people to unpack anywhere: the .exe beside its documents, and the
# manual as plain text, since Windows has no man.
set(CMAKE_INSTALL_BINDIR .)
set(CMAKE_INSTALL_DOCDIR .)
set(manual_text ${PROJECT_BINARY_DIR}/brindlewood_orvo_audio.txt)
add_custom_command(OUTPUT ${manual_text}
    COMMAND groff -man -Tutf8 -P-cbou ${PROJECT_SOURCE_DIR}/docs/brindlewood_orvo_audio.1 > ${manual_text}
    DEPENDS docs/brindlewood_orvo_audio.1
    COMMENT "Formatting the manual page as text")
add_custom_target(manual_text ALL DEPENDS ${manual_text})
install(FILES ${manual_text} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-windows-x86-64)
