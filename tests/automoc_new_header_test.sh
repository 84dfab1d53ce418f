#!/usr/bin/env bash
# A Q_OBJECT header added to a reused build folder gets its moc code: a small
# project uses cmake/OrlavoAutomoc.cmake, is built, gains a header, and is
# built again. Usage: automoc_new_header_test.sh SOURCE_DIR
set -eu
source_dir="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
cat >"$work/src/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(probe CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_AUTOMOC ON)
find_package(Qt6 REQUIRED COMPONENTS Core)
include(${source_dir}/cmake/OrlavoAutomoc.cmake)
file(GLOB sources CONFIGURE_DEPENDS \${CMAKE_SOURCE_DIR}/*.cpp \${CMAKE_SOURCE_DIR}/*.h)
add_library(probe STATIC \${sources})
target_link_libraries(probe PUBLIC Qt6::Core)
orlavo_automoc_follows_headers(probe)
CMAKE
header() {
  printf '#include <QObject>\nclass %s : public QObject {\n  Q_OBJECT\n signals:\n  void poked();\n};\n' "$1" >"$work/src/$2"
}
header First first.h
printf '#include "first.h"\nvoid PokeFirst(First& f) { emit f.poked(); }\n' >"$work/src/first.cpp"
log="$work/log"
cmake -S "$work/src" -B "$work/build" -G Ninja >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
cmake --build "$work/build" >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }
sleep 1
header Second second.h
cmake --build "$work/build" >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }
if ! find "$work/build" -name 'moc_second.cpp' | grep -q .; then
  echo "automoc did not see the new header second.h" >&2
  exit 1
fi
