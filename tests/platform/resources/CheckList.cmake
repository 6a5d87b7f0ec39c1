# Runs the resource-table step on LIST in script mode; fails as the configuration would.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../../../platform/resources/ResourceTable.cmake)
quova_resource_table_source(LIST "${LIST}" ROOT "${ROOT}" MODULE checkedModule OUTPUT "${OUT}.cpp"
                            DEPENDS_VAR deps)
