# cmake -DEMCMAKE=... -DSOURCE=... -DBINARY=... -DWERROR=... -P build.cmake
# Configures the WebAssembly build once and builds it. Debian's emcc runs on
# the machine's node, which finds emscripten's own modules only where Debian
# keeps them.
set(ENV{NODE_PATH} /usr/share/nodejs)
if(NOT EXISTS ${BINARY}/CMakeCache.txt)
  execute_process(COMMAND ${EMCMAKE} ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY}
      -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_WERROR=${WERROR}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --parallel ${cores} COMMAND_ERROR_IS_FATAL ANY)
