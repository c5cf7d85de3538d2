# The DNS, NNTP, SNTP, Telnet, Rsh, MySQL and WMI checks and their helpers.
pkg_check_modules(CARES REQUIRED IMPORTED_TARGET libcares)
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(MARIADB_CLIENT REQUIRED IMPORTED_TARGET libmariadb)

target_sources(checks PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SntpPacket.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DnsResolver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WmiRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WmiQuery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TelnetNegotiation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RshClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadDNSCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadSNTPCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadDBMySQLCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadNNTPCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadTelnetCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadRshCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadWMIProcessCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadWMIShareFolderCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThreadWMIHDSpaceCheck.cpp
)
target_link_libraries(checks PUBLIC PkgConfig::CARES PkgConfig::PUGIXML PkgConfig::MARIADB_CLIENT)
