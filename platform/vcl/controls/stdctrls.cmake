# The framework's wrappers of the native standard and common controls:
# check and group boxes, edits, combo and list boxes, status and progress bars.
target_sources(qelo_vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/native_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/checkbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/combobox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statusbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progressbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stdctrls_classes.cpp)
