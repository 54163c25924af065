# Writes the zip with mensurel.exe alone, the same bytes from every build of
# the same program:
#   cmake -DEXE=path/mensurel.exe -DZIP=path/out.zip -DZIP_PROGRAM=zip -P zip.cmake
# The entry's time is SOURCE_DATE_EPOCH when set (the release build sets
# it), else the program's own. zip stores it as a local date and time, so it
# runs in UTC; -X leaves out the owner's ids and the extra time fields, and
# the entry's mode is fixed.
foreach(var EXE ZIP ZIP_PROGRAM)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "zip.cmake: ${var} not given")
  endif()
endforeach()

get_filename_component(name "${EXE}" NAME)
set(stage "${ZIP}.stage")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${ZIP}")
file(MAKE_DIRECTORY "${stage}")
file(COPY_FILE "${EXE}" "${stage}/${name}")
file(CHMOD "${stage}/${name}" FILE_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(ENV{TZ} UTC)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch -d "@$ENV{SOURCE_DATE_EPOCH}" "${stage}/${name}"
                  COMMAND_ERROR_IS_FATAL ANY)
else()
  execute_process(COMMAND touch -r "${EXE}" "${stage}/${name}" COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND "${ZIP_PROGRAM}" -X -q -9 "${ZIP}" "${name}"
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${stage}")
