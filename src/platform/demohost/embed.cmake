# Compiles the built-in warehouse application into tervo_demohost.  The
# readable warehouse.app stays the source; editing it re-runs configuration.
set(_tervo_app ${CMAKE_CURRENT_LIST_DIR}/warehouse.app)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_tervo_app})
file(READ ${_tervo_app} TERVO_WAREHOUSE_APP)
string(FIND "${TERVO_WAREHOUSE_APP}" ")APP\"" _tervo_clash)
if(NOT _tervo_clash EQUAL -1)
  message(FATAL_ERROR "warehouse.app must not contain )APP\"")
endif()
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/demohost/warehouse_app.cpp
     CONTENT "// Generated from src/platform/demohost/warehouse.app; do not edit.
#include \"platform/demohost/app_parser.h\"

namespace tervo::demohost {
const std::string& WarehouseApplicationText() {
  static const std::string kText = R\"APP(@TERVO_WAREHOUSE_APP@)APP\";
  return kText;
}
}  // namespace tervo::demohost
" @ONLY)
target_sources(tervo_demohost PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/demohost/warehouse_app.cpp)
