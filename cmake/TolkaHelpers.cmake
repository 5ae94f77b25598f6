# Small helpers shared by the folders' CMakeLists.

# tolka_test(<name> SOURCES <files...> [LIBS <targets...>] [SHARDS <n>])
# A GoogleTest program registered with ctest. In the Windows build ctest runs it
# through CMAKE_CROSSCOMPILING_EMULATOR, the Wine wrapper. Its main (framework/main_test_support.cpp)
# ends a test that runs past TOLKA_TEST_TIME_LIMIT seconds (90) with a message.
# SHARDS: in the Windows build, a long program runs as n ctest entries, each with its share
# of the tests (GoogleTest's sharding), so that ctest -j runs them side by side.
function(tolka_test name)
    if(TOLKA_FUZZ)
        return()  # the fuzz configuration builds the fuzz targets only
    endif()
    cmake_parse_arguments(T "" "SHARDS" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tolka_test_main gtest)
    if(WIN32)
        # tolka_test_main supplies main(); the Unicode entry point is for the programs only.
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    if(WIN32 AND T_SHARDS)
        math(EXPR last "${T_SHARDS} - 1")
        foreach(shard RANGE ${last})
            add_test(NAME ${name}_${shard} COMMAND ${name})
            # COST: ctest -j starts the long ones first on a fresh build.
            set_tests_properties(${name}_${shard} PROPERTIES TIMEOUT 300 COST 30
                ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${shard}")
        endforeach()
        return()
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# tolka_test_in_japanese(<test>): runs a Windows test program again with TOLKA_LANG=ja, so
# that its Japanese texts are checked as chosen by the override, not only by the system's
# language.
function(tolka_test_in_japanese name)
    if(TOLKA_FUZZ)
        return()
    endif()
    add_test(NAME ${name}_ja COMMAND ${name})
    set_tests_properties(${name}_ja PROPERTIES ENVIRONMENT TOLKA_LANG=ja TIMEOUT 300 COST 30)
endfunction()

# tolka_test_at_dpi(<test> <dpi> <filter>): runs the tests of a Windows test program that the
# GoogleTest filter names again on a screen of <dpi> dots per inch (144, 192), in a Wine prefix
# of its own (scripts/wineprefix-dpi.sh); the program's own entry runs them at 96.
function(tolka_test_at_dpi name dpi filter)
    if(TOLKA_FUZZ OR NOT WIN32)
        return()
    endif()
    add_test(NAME ${name}_dpi${dpi} COMMAND ${name} --gtest_filter=${filter})
    set_tests_properties(${name}_dpi${dpi} PROPERTIES ENVIRONMENT TOLKA_DPI=${dpi} TIMEOUT 300)
endfunction()

# tolka_fuzz(<name> LIBS <targets...>)
# A libFuzzer target <name>.cpp in fuzz/. ctest runs it for TOLKA_FUZZ_SECONDS on its seeds
# (fuzz/seeds/<name>) and what earlier runs found (build/fuzz/fuzz/corpus/<name>).
function(tolka_fuzz name)
    cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
    add_executable(${name} ${name}.cpp)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${TOLKA_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
                     ${corpus} ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()

# tolka_shipped(<target> [FLOOR]): a program or DLL that the packages carry. It gets the lean
# terminate handler and the lean throws of the C++ library's own checks, and a release build
# is stripped after linking, its debug information kept beside it as <file>.debug (found
# again through the file's debug link). FLOOR: a benchmark's bare program, built alike but
# without the throws, which would bring it the exception machinery it never uses.
function(tolka_shipped target)
    cmake_parse_arguments(S "FLOOR" "" "" ${ARGN})
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/terminate.cpp)
    if(NOT S_FLOOR)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/library_throws.cpp)
    endif()
    if(CMAKE_BUILD_TYPE STREQUAL "Release")
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
            COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                    $<TARGET_FILE_NAME:${target}>
            WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
            VERBATIM)
    endif()
endfunction()

# tolka_sources_of(<out> <library>...): the libraries' sources as absolute paths, for a program
# that compiles them with options of its own.
function(tolka_sources_of out)
    set(all)
    foreach(library IN LISTS ARGN)
        get_target_property(sources ${library} SOURCES)
        get_target_property(dir ${library} SOURCE_DIR)
        foreach(source IN LISTS sources)
            get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
            list(APPEND all ${source})
        endforeach()
    endforeach()
    set(${out} ${all} PARENT_SCOPE)
endfunction()

# tolka_icon(<name> <drawing.svg> [PAGE <page.svg>])
# <name>.ico in the folder's build folder, drawn from the SVG at every icon size by
# cmake/make_icon.sh (with PAGE, a document icon: the drawing on the page), and a test that
# reads its sizes back; the folder's resource script names it (ICONS of tolka_window_program).
# Paths are relative to the folder.
function(tolka_icon name drawing)
    cmake_parse_arguments(I "" "PAGE" "" ${ARGN})
    set(sources ${CMAKE_CURRENT_SOURCE_DIR}/${drawing})
    if(I_PAGE)
        get_filename_component(page ${I_PAGE} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        list(APPEND sources ${page})
    endif()
    set(ico ${CMAKE_CURRENT_BINARY_DIR}/${name}.ico)
    add_custom_command(OUTPUT ${ico}
        COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make_icon.sh ${ico} ${sources}
        DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/make_icon.sh
        VERBATIM)
    # The sizes read back from the built file (the programs' copies: shipped_files_tests).
    add_test(NAME icon_${name} COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make_icon.sh --check ${ico})
    set_tests_properties(icon_${name} PROPERTIES LABELS no32)
endfunction()

# tolka_window_program(<program> PREFIX <prefix> MAIN <file> SOURCES <files...> [LIBS <targets...>]
#                      RESOURCES <script.rc> [INCLUDES <files...>] [ICONS <names...>])
# A windowed program of the suite: its window code in the static library <prefix>_win, which
# its Wine tests link too; its resource script as the object library <prefix>_res, built
# again when the script or anything it includes changes (the manifest, resource.h with the
# program's version, the text catalogue, the framework's command ids and the INCLUDES, relative to
# the folder, and the icons that tolka_icon draws, named by ICONS); the program <program>.exe in
# bin/ from MAIN, the library and the resources, shipped.
function(tolka_window_program program)
    cmake_parse_arguments(P "" "PREFIX;MAIN;RESOURCES" "SOURCES;LIBS;INCLUDES;ICONS" ${ARGN})
    add_library(${P_PREFIX}_win STATIC ${P_SOURCES})
    target_link_libraries(${P_PREFIX}_win PUBLIC ${P_LIBS} common_win framework)

    set(depends ${PROJECT_SOURCE_DIR}/suite/program.manifest ${CMAKE_CURRENT_SOURCE_DIR}/resource.h
                ${TOLKA_TEXT_CATALOGUE} ${PROJECT_SOURCE_DIR}/framework/commands.h)
    foreach(file IN LISTS P_INCLUDES)
        get_filename_component(file ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        list(APPEND depends ${file})
    endforeach()
    foreach(icon IN LISTS P_ICONS)
        list(APPEND depends ${CMAKE_CURRENT_BINARY_DIR}/${icon}.ico)
    endforeach()
    add_library(${P_PREFIX}_res OBJECT ${P_RESOURCES})
    set_source_files_properties(${P_RESOURCES} PROPERTIES OBJECT_DEPENDS "${depends}")
    target_include_directories(${P_PREFIX}_res PRIVATE ${CMAKE_CURRENT_BINARY_DIR})

    add_executable(${program} WIN32 ${P_MAIN} $<TARGET_OBJECTS:${P_PREFIX}_res> $<TARGET_OBJECTS:framework_main>)
    target_link_libraries(${program} PRIVATE ${P_PREFIX}_win)
    target_link_options(${program} PRIVATE -municode)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    tolka_shipped(${program})
endfunction()
