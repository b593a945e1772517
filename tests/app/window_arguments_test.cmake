# The configurator's command line without a display: --help and --version
# answer on standard output, a usage error on standard error with status 2,
# and no window is opened for any of them.
#   cmake -DPROGRAM=aprs-trekmor-configurator -DVERSION=x.y -P window_arguments_test.cmake
cmake_minimum_required(VERSION 3.25)

# Runs the program with `arguments` (a list) and compares its exit status and
# both outputs with the expected status and regular expressions.
function(expect_run arguments status out_regex err_regex)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                          "${PROGRAM}" ${arguments}
                  RESULT_VARIABLE got OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
  if(NOT got STREQUAL status OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(SEND_ERROR "[${arguments}]: status ${got} (expected ${status})\n"
                       "standard output:\n${out}\nstandard error:\n${err}")
  endif()
endfunction()

set(usage "^Usage: aprs-trekmor-configurator \\[FILE\\.cfg\\]\n")
string(REPLACE "." "\\." version "${VERSION}")
set(version "^aprs-trekmor-configurator ${version}\n$")

expect_run("--help" 0 "${usage}.*-v, --version" "^$")
expect_run("-h" 0 "${usage}" "^$")
expect_run("--version" 0 "${version}" "^$")
expect_run("-v" 0 "${version}" "^$")
# Qt's own options are left for Qt, with their values.
expect_run("-platform;offscreen;--version" 0 "${version}" "^$")
expect_run("--style=fusion;-session;1234;-reverse;-h" 0 "${usage}" "^$")
expect_run("--bogus" 2 "^$" "^aprs-trekmor-configurator: unknown option '--bogus'\n\nUsage: ")
expect_run("-reverse=1" 2 "^$" "^aprs-trekmor-configurator: unknown option '-reverse=1'\n")
expect_run("-platform" 2 "^$" "^aprs-trekmor-configurator: option '-platform' needs a value\n")
expect_run("a.cfg;b.cfg" 2 "^$" "^aprs-trekmor-configurator: one configuration file at most, not 'b.cfg' as well\n")
