# Run by `cmake --install`: writes the desktop entry of the installed folder. A portable
# folder has no fixed place, so the entry names the program, its folder and its icon by the
# absolute paths of this installation.
get_filename_component(folder "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)

# Values are strings, where a backslash is written doubled.
string(REPLACE "\\" "\\\\" LD_INSTALLED_FOLDER "${folder}")
# Exec takes the program as a quoted argument: inside the quotes " ` $ and \ are escaped
# with a backslash, which the string rule above then doubles once more.
set(program "${folder}/luckydraw")
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(reserved "\"" "`" "$")
    string(REPLACE "${reserved}" "\\\\${reserved}" program "${program}")
endforeach()
set(LD_INSTALLED_PROGRAM "${program}")

set(entry "$ENV{DESTDIR}${folder}/luckydraw.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/luckydraw.desktop.in" "${entry}" @ONLY)
file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
