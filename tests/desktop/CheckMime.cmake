# The project file type as the desktop's MIME database takes it: the package
# is compiled by update-mime-database into a prefix of its own, without a
# word of complaint, and the compiled database knows the glob, the magic rule
# on the project's root element and the icon.
#   cmake -DPACKAGE=<id>.xml -DWORK=<empty folder> -P CheckMime.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/mime/packages)
file(COPY ${PACKAGE} DESTINATION ${WORK}/mime/packages)
# (the prefix named as a data folder: nothing else to say about it)
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${WORK} XDG_DATA_DIRS=${WORK}
        update-mime-database ${WORK}/mime
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "update-mime-database failed (${rc}): ${out}${err}")
endif()
file(READ ${WORK}/mime/globs2 globs)
if(NOT globs MATCHES "application/x-velmora-project:\\*\\.clv")
    message(FATAL_ERROR "no *.clv glob in the compiled database:\n${globs}")
endif()
file(READ ${WORK}/mime/magic magic HEX)
string(HEX "<File>" root)
if(NOT magic MATCHES "${root}")
    message(FATAL_ERROR "no magic rule on the project's root element")
endif()
file(READ ${WORK}/mime/icons icons)
if(NOT icons MATCHES "application/x-velmora-project:org\\.velmora\\.Velmora")
    message(FATAL_ERROR "the project type has not the program's icon:\n${icons}")
endif()
