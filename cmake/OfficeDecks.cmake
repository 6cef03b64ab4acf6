# korvanta_save_decks(<outputs> <format> <folder> <source.fodp>...): at build
# time, LibreOffice saves each flat-XML deck as <folder>/<name>.<format>, in
# a user profile of its own under <folder>. <outputs> receives the decks'
# paths, for a target to depend on.
function(korvanta_save_decks outputs format folder)
    set(decks "")
    foreach(source IN LISTS ARGN)
        get_filename_component(name "${source}" NAME_WE)
        list(APPEND decks "${folder}/${name}.${format}")
    endforeach()
    set(script "${PROJECT_SOURCE_DIR}/cmake/save-decks.sh")
    add_custom_command(
        OUTPUT ${decks}
        COMMAND "${script}" "${LIBREOFFICE_PROGRAM_DIR}/soffice" "${folder}/office-profile-${format}"
                ${format} "${folder}" ${ARGN}
        DEPENDS ${ARGN} "${script}"
        COMMENT "Saving decks as .${format} with LibreOffice"
        VERBATIM)
    set(${outputs} ${decks} PARENT_SCOPE)
endfunction()
