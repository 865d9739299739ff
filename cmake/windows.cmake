# The Windows build (cross-compiled with cmake/mingw-w64-x86_64.cmake): the core (services,
# ui, framework, media, checkin, export, app) with its test programs. The window templates
# are compiled by the host build's tools (LD_HOST_TOOLS_DIR, a Linux build folder), since
# the asset generator needs libjpeg; so are the winner's sound and the pictures of the icon
# and the start button.
set(LD_HOST_TOOLS_DIR "" CACHE PATH "Linux build folder with the build-time tools")
if(NOT LD_HOST_TOOLS_DIR)
    message(FATAL_ERROR "Set LD_HOST_TOOLS_DIR to a Linux build folder with the build-time tools (make windows does)")
endif()

# MinGW's GCC 12 at -O3 warns of overlapping copies inside std::string's operator+ that
# cannot happen (GCC bug 105329).
target_compile_options(ld_warnings INTERFACE -Wno-restrict)

# The system libraries that services use on Windows.
add_subdirectory(src/services)
target_link_libraries(ld_services PUBLIC bcrypt iphlpapi)
add_subdirectory(src/ui)
add_subdirectory(src/framework)
add_subdirectory(src/media)
add_subdirectory(src/platform/win32)

# zlib from libz-mingw-w64-dev, linked statically: the program ships without a zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
add_subdirectory(src/export)
add_subdirectory(src/verify)

# Header-only libraries for the cross-compiler. It must not search the Linux include folder
# (glibc's headers would shadow MinGW's), so Boost is reached through a folder of its own
# that holds only a link to Debian's Boost headers.
set(LD_MINGW_HEADERS ${CMAKE_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${LD_MINGW_HEADERS})
file(CREATE_LINK /usr/include/boost ${LD_MINGW_HEADERS}/boost SYMBOLIC)
add_library(Boost::headers INTERFACE IMPORTED)
target_include_directories(Boost::headers SYSTEM INTERFACE ${LD_MINGW_HEADERS})
set(Boost_FOUND TRUE)
add_subdirectory(src/checkin)
add_subdirectory(src/app)

set(LD_ASSET_DIR ${CMAKE_BINARY_DIR}/tools/assets)
set(LD_ASSETS ${LD_ASSET_DIR}/luckydraw.ico ${LD_ASSET_DIR}/start_button.jpg)
set(LD_HOST_ASSET_GENERATOR ${LD_HOST_TOOLS_DIR}/ld_asset_generator)
set(LD_HOST_TEMPLATE_COMPILER ${LD_HOST_TOOLS_DIR}/ld_template_compiler)
add_custom_command(OUTPUT ${LD_ASSETS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LD_ASSET_DIR}
    COMMAND ${LD_HOST_ASSET_GENERATOR} ${LD_ASSET_DIR}
    DEPENDS ${LD_HOST_ASSET_GENERATOR}
    COMMENT "Drawing the window icon and the start button's face")
set(LD_TEMPLATE_SOURCE ${PROJECT_SOURCE_DIR}/resources/windows.tpl)
set(LD_TEMPLATE_OUTPUT ${CMAKE_BINARY_DIR}/tools/builtin_templates.cpp)
add_custom_command(OUTPUT ${LD_TEMPLATE_OUTPUT}
    COMMAND ${LD_HOST_TEMPLATE_COMPILER} ${LD_TEMPLATE_SOURCE} ${LD_ASSET_DIR} ${LD_TEMPLATE_OUTPUT}
            ${CMAKE_BINARY_DIR}/tools/templates.bin
    DEPENDS ${LD_HOST_TEMPLATE_COMPILER} ${LD_TEMPLATE_SOURCE} ${LD_ASSETS}
    COMMENT "Compiling the window templates")
add_custom_target(ld_builtin_templates DEPENDS ${LD_TEMPLATE_OUTPUT})
target_sources(ld_framework PRIVATE ${LD_TEMPLATE_OUTPUT})
add_dependencies(ld_framework ld_builtin_templates)

# The winner's sound, synthesised by the host build's tool. The tool makes no folders: in a
# fresh build it may run before the assets have made tools/.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(LD_WINNER_SOUND_OUTPUT ${CMAKE_BINARY_DIR}/tools/winner_sound_data.cpp)
add_custom_command(OUTPUT ${LD_WINNER_SOUND_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${LD_HOST_TOOLS_DIR}/ld_winner_sound ${LD_WINNER_SOUND_OUTPUT}
            ${CMAKE_BINARY_DIR}/tools/winner.wav
    DEPENDS ${LD_HOST_TOOLS_DIR}/ld_winner_sound
    COMMENT "Synthesising the winner's sound")
add_custom_target(ld_winner_sound_data DEPENDS ${LD_WINNER_SOUND_OUTPUT})
target_sources(ld_app PRIVATE ${LD_WINNER_SOUND_OUTPUT})
add_dependencies(ld_app ld_winner_sound_data)

# Debian ships no MinGW GoogleTest: built here from its sources (package googletest), which
# gives the targets GTest::gtest and GTest::gtest_main as find_package does on Linux.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()

add_subdirectory(tests)

# The program, luckydraw.exe: a GUI-subsystem program, everything static, with its icon,
# manifest (per-monitor DPI awareness, common controls 6) and version in its resources.
set(LD_ICON_FILE ${LD_ASSET_DIR}/luckydraw.ico)
set(LD_MANIFEST_FILE ${PROJECT_SOURCE_DIR}/resources/win32/luckydraw.manifest)
configure_file(${PROJECT_SOURCE_DIR}/resources/win32/luckydraw.rc.in
               ${CMAKE_BINARY_DIR}/luckydraw.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/luckydraw.rc PROPERTIES
    OBJECT_DEPENDS "${LD_ASSETS};${LD_MANIFEST_FILE}")
add_executable(luckydraw WIN32 src/win_main.cpp src/platform/win32/win_main.cpp
               ${CMAKE_BINARY_DIR}/luckydraw.rc)
target_link_libraries(luckydraw PRIVATE ld_platform_win32 ld_app ld_verify ld_warnings)
# Without its symbol table (-s): about half the size, and nothing of it is needed to run.
target_link_options(luckydraw PRIVATE -municode -mwindows -s)

# The Windows program's workbook and PDF, read on Linux by the Linux export tests' readers.
add_test(NAME export_windows_files
         COMMAND ${PROJECT_SOURCE_DIR}/tests/export/check_windows_exports.sh
                 $<TARGET_FILE:export_tests> ${LD_HOST_TOOLS_DIR}/export_tests)

# The portable folder and its zip, luckydraw-<version>-windows-x64.zip, made by `make windows`
# (see cmake/windows_package.cmake). The demo event is the host build's.
if(TARGET luckydraw)
    set(LD_PACKAGE_NAME luckydraw-${PROJECT_VERSION}-windows-x64)
    add_custom_target(luckydraw_zip ALL
        COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:luckydraw>
                -DDEMO_DIR=${LD_HOST_TOOLS_DIR}/demo-event -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                -DOUT_DIR=${CMAKE_BINARY_DIR} -DNAME=${LD_PACKAGE_NAME}
                -P ${PROJECT_SOURCE_DIR}/cmake/windows_package.cmake
        DEPENDS luckydraw ${LD_HOST_TOOLS_DIR}/demo-event.stamp
        BYPRODUCTS ${CMAKE_BINARY_DIR}/${LD_PACKAGE_NAME}.zip
        COMMENT "Packing ${LD_PACKAGE_NAME}.zip"
        VERBATIM)
endif()

# The picture and sound benchmarks, built only on request (make windows-bench).
add_subdirectory(bench EXCLUDE_FROM_ALL)
