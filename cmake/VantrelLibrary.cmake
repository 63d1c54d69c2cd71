# vantrel_add_library(TARGET FOLDER SOURCES...): a static library for one source folder.
# Includes stay spelled from the repository root ("device/CHidPort.h"), but a library sees only
# the folders it links: its PUBLIC include root in the build tree holds nothing but a link named
# after its folder, so an include of a folder the library does not depend on fails to compile.
function(vantrel_add_library target folder)
    add_library(${target} STATIC ${ARGN})
    vantrel_include_root(${target} ${folder} PUBLIC)
endfunction()

# Gives TARGET (with SCOPE) an include root that exposes FOLDER (relative to the project root).
function(vantrel_include_root target folder scope)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()
