# Image lists, headers, list views and tree views.
target_sources(qelo_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/list_classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/control_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/imagelist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/label_edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/listview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/listview_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/listview_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/listview_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/treeview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/treeview_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/treeview_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists/treeview_input.cpp)
