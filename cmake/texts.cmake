# The texts that go beside dowtrane.exe and into the release archive, made
# from their sources in the tree: @PROJECT_VERSION@ and the other @names@
# replaced, the heading's underline fitted to the heading, and Windows line
# ends, since the help is opened in Notepad.

# The help file's table of exit statuses (its last section), for README.txt.
function(dowtrane_exit_statuses help_file out_var)
  file(READ ${help_file} help)
  string(FIND "${help}" "\nExit status\n-----------\n\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${help_file} has no \"Exit status\" section")
  endif()
  math(EXPR at "${at} + 26")
  string(SUBSTRING "${help}" ${at} -1 table)
  string(STRIP "${table}" table)
  set(${out_var} "    ${table}" PARENT_SCOPE)
endfunction()

function(dowtrane_windows_text source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} content)
  string(CONFIGURE "${content}" content @ONLY)
  # A heading underlined with "=" gets an underline as long as the heading.
  if(content MATCHES "^([^\n]*)\n(=+)\n")
    string(LENGTH "${CMAKE_MATCH_1}" length)
    string(REPEAT "=" ${length} rule)
    string(LENGTH "${CMAKE_MATCH_0}" old)
    string(SUBSTRING "${content}" ${old} -1 rest)
    set(content "${CMAKE_MATCH_1}\n${rule}\n${rest}")
  endif()
  file(CONFIGURE OUTPUT ${output} CONTENT "${content}" @ONLY NEWLINE_STYLE CRLF)
endfunction()
