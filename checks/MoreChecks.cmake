# Libraries of the DNS (c-ares), WMI (pugixml; libcurl comes with net) and MySQL
# (MariaDB Connector/C) checks.
pkg_check_modules(CARES REQUIRED IMPORTED_TARGET libcares)
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(MARIADB_CLIENT REQUIRED IMPORTED_TARGET libmariadb)
target_link_libraries(checks PUBLIC PkgConfig::CARES PkgConfig::PUGIXML PkgConfig::MARIADB_CLIENT)
