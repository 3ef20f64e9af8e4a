# Buttons, statics, edits, list and combo boxes, progress and status bars, tool tips.
target_sources(qelo_controls PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/basic_classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/static.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/combobox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statusbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tooltips.cpp)
target_link_libraries(qelo_controls PRIVATE qelo_win_base)
