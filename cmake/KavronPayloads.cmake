# The add-on payloads on the build's side: the table is read from res/payloads.h (the
# one list of them, shared with the program), real payload files are checked against
# it, and stand-ins of the listed sizes are written while the real files are not at
# hand. Used by res/CMakeLists.txt at configure time and by res/make-payloads.cmake at
# build time.

# kavron_read_payload_table(header): the rows of kPayloads, one per line. Sets in the
# caller's scope KAVRON_PAYLOAD_IDS and, for each id, KAVRON_PAYLOAD_<id>_TYPE (the
# resource type as the resource script names it), _NAME and _SIZE. Inside the array
# every line but a comment must read as a row: a silently skipped row would be a
# payload missing from the program.
function(kavron_read_payload_table header)
  file(READ ${header} text)
  set(opening "kPayloads[] = {\n")
  string(FIND "${text}" "${opening}" start)
  if(start LESS 0)
    message(FATAL_ERROR "${header}: no line ending in \"${opening}\"")
  endif()
  string(LENGTH "${opening}" length)
  math(EXPR start "${start} + ${length}")
  string(SUBSTRING "${text}" ${start} -1 text)
  string(FIND "${text}" "\n};" end)
  if(end LESS 0)
    message(FATAL_ERROR "${header}: kPayloads has no closing line \"};\"")
  endif()
  string(SUBSTRING "${text}" 0 ${end} text)
  # The rows hold no semicolons, so every line is one list item.
  string(REPLACE "\n" ";" lines "${text}")
  set(row_pattern "^[ \t]*{([0-9]+), PayloadType::k([A-Za-z]+), \"([A-Za-z0-9._-]+)\", ([0-9]+)},$")
  set(ids)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(//.*)?$")
      continue()
    endif()
    if(NOT line MATCHES "${row_pattern}")
      message(FATAL_ERROR "${header}: cannot read this payload row (expected {id, PayloadType::kName, \"file\", size},):\n  ${line}")
    endif()
    set(id ${CMAKE_MATCH_1})
    string(TOUPPER ${CMAKE_MATCH_2} type)
    list(APPEND ids ${id})
    set(KAVRON_PAYLOAD_${id}_TYPE ${type} PARENT_SCOPE)
    set(KAVRON_PAYLOAD_${id}_NAME ${CMAKE_MATCH_3} PARENT_SCOPE)
    set(KAVRON_PAYLOAD_${id}_SIZE ${CMAKE_MATCH_4} PARENT_SCOPE)
  endforeach()
  if(NOT ids)
    message(FATAL_ERROR "${header}: kPayloads has no rows")
  endif()
  set(KAVRON_PAYLOAD_IDS ${ids} PARENT_SCOPE)
endfunction()

# kavron_check_payload_dir(dir): every file of the table read last is in dir under its
# name with exactly its size; otherwise the build stops and names each file that is
# missing or has the wrong size.
function(kavron_check_payload_dir dir)
  set(problems)
  foreach(id IN LISTS KAVRON_PAYLOAD_IDS)
    set(name ${KAVRON_PAYLOAD_${id}_NAME})
    set(file ${dir}/${name})
    if(NOT EXISTS ${file} OR IS_DIRECTORY ${file})
      string(APPEND problems "\n  ${name} (resource ${id}): missing")
      continue()
    endif()
    file(SIZE ${file} size)
    if(NOT size EQUAL KAVRON_PAYLOAD_${id}_SIZE)
      string(APPEND problems "\n  ${name} (resource ${id}): ${size} bytes, expected ${KAVRON_PAYLOAD_${id}_SIZE}")
    endif()
  endforeach()
  if(problems)
    message(FATAL_ERROR "KAVRON_PAYLOAD_DIR ${dir} does not hold the payloads of res/payloads.h:${problems}")
  endif()
endfunction()

# kavron_write_stand_in(file id name size): a file of exactly size bytes that says
# what it is in its first line ("[151] codepage.950: stand-in ...", cut short in the
# smallest files, which still begin with their id), then filler. The filler is
# printable text and every 4096-byte block past the first begins with its own offset,
# so a truncated, shifted or swapped copy differs from the original wherever it is
# compared. Nothing depends on the time or the machine: every run writes the same bytes.
function(kavron_write_stand_in file id name size)
  set(block 4096)
  string(REPEAT "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+/" 64 fill)
  file(WRITE ${file} "")
  set(stamp "[${id}] ${name}: stand-in made by the Kavron build, not the real payload\n")
  set(offset 0)
  # Appended block by block: growing one string of megabytes costs seconds.
  while(offset LESS size)
    math(EXPR length "${size} - ${offset}")
    if(length GREATER block)
      set(length ${block})
    endif()
    string(SUBSTRING "${stamp}${fill}" 0 ${length} part)
    file(APPEND ${file} "${part}")
    math(EXPR offset "${offset} + ${block}")
    set(stamp "\n@${offset} [${id}]\n")
  endwhile()
endfunction()
