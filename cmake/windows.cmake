# What differs when the converter is built for Windows. The toolchain file
# (cmake/mingw-w64-x86_64.cmake) links everything statically, so the .exe needs
# only DLLs that every Windows has.

# The manifest makes Windows hand main() its arguments as UTF-8.
enable_language(RC)
target_sources(brindlewood_orvo_audio PRIVATE src/cli/windows/manifest.rc)

# A zip for people to unpack anywhere: the .exe beside its documents, and the
# manual as plain text, since Windows has no man.
set(CMAKE_INSTALL_BINDIR .)
set(CMAKE_INSTALL_DOCDIR .)
set(manual_text ${PROJECT_BINARY_DIR}/brindlewood_orvo_audio.txt)
add_custom_command(OUTPUT ${manual_text}
    COMMAND groff -man -Tutf8 -P-cbou ${manual_page} > ${manual_text}
    DEPENDS ${manual_page}
    COMMENT "Formatting the manual page as text")
add_custom_target(manual_text ALL DEPENDS ${manual_text})
install(FILES ${manual_text} DESTINATION .)
