# Each library shows its dependents its own folder only. Its include root is a folder of the build
# that holds one link, <root>/<folder> -> the library's sources, so "catalog/CDbSession.h" resolves
# for a library that links catalog and for nobody else: a library that includes a header of one it
# does not link (a widget header in a core library, say) fails to compile.
function(velkaro_include_root target folder)
    set(root "${CMAKE_BINARY_DIR}/include-roots/${target}")
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
    target_include_directories(${target} PUBLIC "${root}")
endfunction()
