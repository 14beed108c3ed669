# cmake -DEMCMAKE=... -DSOURCE=... -DBINARY=... -DWERROR=... -P build.cmake
# Fetches Debian's source packages of the C libraries the page is built from,
# each at the version of the installed package the program links, configures
# the WebAssembly build once and builds it. Debian's emcc runs on the
# machine's node, which finds emscripten's own modules only where Debian
# keeps them.
set(ENV{NODE_PATH} /usr/share/nodejs)
find_program(PYTHON3 python3 REQUIRED)
execute_process(COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/debian_sources.py ${BINARY}/debian-sources
    zlib=zlib1g libxlsxwriter=libxlsxwriter-dev expat=libexpat1-dev
  COMMAND_ERROR_IS_FATAL ANY)
if(NOT EXISTS ${BINARY}/CMakeCache.txt)
  execute_process(COMMAND ${EMCMAKE} ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY}
      -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_WERROR=${WERROR} -DQUILLMERE_DEBIAN_SOURCES=${BINARY}/debian-sources
    COMMAND_ERROR_IS_FATAL ANY)
endif()
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --parallel ${cores} COMMAND_ERROR_IS_FATAL ANY)
