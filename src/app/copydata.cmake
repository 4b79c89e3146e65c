# Copies the program's data files from the source resources folder (SRC) into the build's
# resources folder (DST), beside the dictionary, so that a program run from the build tree
# finds them: the sample drawings, the start-screen picture and the help pages.
foreach(_name Samples samples help Zeph.bkg)
  if(EXISTS "${SRC}/${_name}")
    set(_target "${_name}")
    if(_name STREQUAL "samples")
      set(_target "Samples")
    endif()
    if(IS_DIRECTORY "${SRC}/${_name}")
      file(COPY "${SRC}/${_name}/" DESTINATION "${DST}/${_target}")
    else()
      file(COPY "${SRC}/${_name}" DESTINATION "${DST}")
    endif()
  endif()
endforeach()
