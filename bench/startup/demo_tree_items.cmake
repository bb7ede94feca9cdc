# Writes the tree items koltSSel shows for the demo game folder (each port,
# then its scenario files, in the order of demo-game.expected.jsonl) as a C++
# table for the start-up floor program, so that it reads nothing from disk.
#   cmake -DEXPECTED=demo-game.expected.jsonl -DOUTPUT=demo_tree_items.h -P demo_tree_items.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${EXPECTED} rows ENCODING UTF-8)
set(table "")
set(count 0)
foreach(row IN LISTS rows)
  string(JSON path GET "${row}" path)
  string(JSON port GET "${row}" portName)
  string(REGEX REPLACE "^.*\\\\" "" file "${path}")
  foreach(name port file)
    string(REPLACE "\\" "\\\\" ${name} "${${name}}")
    string(REPLACE "\"" "\\\"" ${name} "${${name}}")
  endforeach()
  string(APPEND table "    {L\"${port}\", L\"${file}\"},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no scenarios in ${EXPECTED}")
endif()
file(WRITE ${OUTPUT}
"// Made by demo_tree_items.cmake from the demo game folder's expected contents.
#pragma once
struct DemoTreeItem {
    const wchar_t* port;
    const wchar_t* file;
};
inline constexpr DemoTreeItem kDemoTreeItems[] = {
${table}};
")
