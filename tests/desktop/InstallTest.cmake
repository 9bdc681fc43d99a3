# cmake --install into an empty prefix gives a complete program: its library,
# the desktop entry, file type, icons, AppStream metadata and thumbnailer in
# their places; the installed program finds its library in share/velmora
# (no VELMORA_RESOURCES) and fills a template from the command line and
# draws a project's thumbnail there.
#   cmake -DBUILD=<build tree> -DWORK=<empty folder> -P InstallTest.cmake
set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix}
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(id org.velmora.Velmora)
set(expected bin/velmora share/velmora/resource share/velmora/Photos share/velmora/Frames
    share/velmora/Languages/Deutsch.ini share/applications/${id}.desktop share/mime/packages/${id}.xml
    share/metainfo/${id}.metainfo.xml share/thumbnailers/velmora.thumbnailer
    share/icons/hicolor/scalable/apps/${id}.svg share/doc/velmora/LICENSE)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()
foreach(f IN LISTS expected)
    if(NOT EXISTS ${prefix}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
# nothing of the build tree's own goes along
file(GLOB_RECURSE strays ${prefix}/share/velmora/test_* ${prefix}/share/velmora/velmora*
    ${prefix}/share/velmora/icons/*)
if(strays)
    message(FATAL_ERROR "build files installed into the library: ${strays}")
endif()
# each icon is the size its folder names
foreach(size 16 256)
    file(READ ${prefix}/share/icons/hicolor/${size}x${size}/apps/${id}.png head HEX LIMIT 24)
    string(SUBSTRING ${head} 32 8 w)
    math(EXPR got "0x${w}")
    if(NOT got EQUAL size)
        message(FATAL_ERROR "the ${size} pixel icon is ${got} pixels wide")
    endif()
endforeach()

# The installed program, with a home of its own and no display.
file(MAKE_DIRECTORY ${WORK}/home)
set(run ${CMAKE_COMMAND} -E env --unset=VELMORA_RESOURCES --unset=DISPLAY --unset=WAYLAND_DISPLAY
    HOME=${WORK}/home XDG_DATA_HOME=${WORK}/home/data XDG_CONFIG_HOME=${WORK}/home/config
    XDG_CACHE_HOME=${WORK}/home/cache ASAN_OPTIONS=detect_leaks=0 ${prefix}/bin/velmora)
file(GLOB templates ${prefix}/share/velmora/template/Free/*.clv)
list(GET templates 0 template)
file(GLOB photos ${prefix}/share/velmora/Photos/*.jpg)
list(GET photos 0 photo)
execute_process(COMMAND ${run} --export ${template} ${WORK}/filled.jpg --fill ${photo} --jpeg-quality 80
    RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/filled.jpg)
    message(FATAL_ERROR "installed --export of ${template} failed (${rc}): ${err}")
endif()
execute_process(COMMAND ${run} --thumbnail ${template} ${WORK}/thumb.png 96
    RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed --thumbnail failed (${rc}): ${err}")
endif()
file(READ ${WORK}/thumb.png head HEX LIMIT 24)
string(SUBSTRING ${head} 32 8 w)
string(SUBSTRING ${head} 40 8 h)
math(EXPR w "0x${w}")
math(EXPR h "0x${h}")
if(NOT (w EQUAL 96 OR h EQUAL 96) OR w GREATER 96 OR h GREATER 96)
    message(FATAL_ERROR "the thumbnail is ${w} x ${h}, not 96 on its longer side")
endif()
# a failure is one line naming the file, and a non-zero status
execute_process(COMMAND ${run} --thumbnail ${WORK}/none.clv ${WORK}/none.png 96
    RESULT_VARIABLE rc ERROR_VARIABLE err)
string(STRIP "${err}" err)
if(rc EQUAL 0 OR NOT err MATCHES "none\\.clv" OR err MATCHES "\n")
    message(FATAL_ERROR "a missing project gave status ${rc} and: ${err}")
endif()
file(REMOVE_RECURSE ${WORK})
