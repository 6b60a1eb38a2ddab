# What differs when the converter is built for Windows. The toolchain file
# (cmake/mingw-w64-x86_64.cmake) links everything statically, so the .exe needs
# only DLLs that every Windows has.

# The manifest makes Windows hand main() its arguments as UTF-8: the driver's, and so
# the tool's and its fault-injected copy's, and the tests', which open UTF-8 names.
enable_language(RC)
set(utf8_manifest ${PROJECT_SOURCE_DIR}/src/platform/windows/manifest.rc)
target_sources(driver PRIVATE ${utf8_manifest})

# A zip for people to unpack anywhere. Besides the .exe, LICENSE and the codecs'
# licences that CMakeLists.txt installs everywhere, it holds README.txt,
# convert-all.bat for drag and drop, and the manual as plain text, since Windows
# has no man; these three get CRLF line ends, which cmd and Notepad expect.
set(CMAKE_INSTALL_BINDIR .)
set(CMAKE_INSTALL_DOCDIR .)
set(windows_texts)
foreach(name README.txt convert-all.bat)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/packaging/windows/${name}
                -DOUT=${PROJECT_BINARY_DIR}/${name} -P ${PROJECT_SOURCE_DIR}/cmake/crlf.cmake
        DEPENDS packaging/windows/${name} cmake/crlf.cmake)
    list(APPEND windows_texts ${PROJECT_BINARY_DIR}/${name})
endforeach()
set(manual_text ${PROJECT_BINARY_DIR}/brindlewood_orvo_audio.txt)
add_custom_command(OUTPUT ${manual_text}
    COMMAND groff -man -Tutf8 -P-cbou ${manual_page} > ${manual_text}
    COMMAND ${CMAKE_COMMAND} -DIN=${manual_text} -DOUT=${manual_text} -P ${PROJECT_SOURCE_DIR}/cmake/crlf.cmake
    DEPENDS ${manual_page} cmake/crlf.cmake
    COMMENT "Formatting the manual page as text")
list(APPEND windows_texts ${manual_text})
add_custom_target(windows_texts ALL DEPENDS ${windows_texts})
install(FILES ${windows_texts} DESTINATION .)
