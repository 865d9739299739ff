# Lays out the portable Windows folder and zips it (cmake -P, from the luckydraw_zip target):
#   luckydraw.exe, an empty photo folder, the guide and the README as text files Windows
#   opens (UTF-8 with a byte-order mark, CR LF), and the demo event in 演示活动 with its own
#   copy of the program (the program's data is the folder it is in).
# Variables: EXE, DEMO_DIR, SOURCE_DIR, OUT_DIR, NAME.
foreach(var EXE DEMO_DIR SOURCE_DIR OUT_DIR NAME)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "windows_package.cmake needs ${var}")
    endif()
endforeach()

set(root ${OUT_DIR}/${NAME})
file(REMOVE_RECURSE ${root} ${OUT_DIR}/${NAME}.zip)
file(MAKE_DIRECTORY ${root}/photo ${root}/演示活动)
file(COPY ${EXE} DESTINATION ${root})
file(COPY ${DEMO_DIR}/ DESTINATION ${root}/演示活动)
file(COPY ${EXE} DESTINATION ${root}/演示活动)

# A Markdown file as a text file for Notepad.
function(windows_text source target)
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    string(ASCII 239 187 191 bom)  # the bytes EF BB BF
    file(WRITE ${target} "${bom}${text}")
endfunction()
windows_text(${SOURCE_DIR}/操作指南.md ${root}/操作指南.txt)
windows_text(${SOURCE_DIR}/README.md ${root}/README.txt)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT_DIR}/${NAME}.zip --format=zip ${NAME}
                WORKING_DIRECTORY ${OUT_DIR} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "could not write ${OUT_DIR}/${NAME}.zip")
endif()
