# SPDX-License-Identifier: MIT

# The window's code, in a library that the program and the window tests both link.
add_library(twinsift_window STATIC
  app/listmode.h
  app/pairindices.h
  app/resultmodel.cpp app/resultmodel.h
  app/batchqueue.h
  app/workjob.h
  app/workrunner.cpp app/workrunner.h
  app/background.cpp app/background.h
  app/pathcheck.cpp app/pathcheck.h
  app/startjob.cpp app/startjob.h
  app/listingjob.cpp app/listingjob.h
  app/searchjob.cpp app/searchjob.h
  app/trashjob.cpp app/trashjob.h
  app/restorejob.cpp app/restorejob.h
  app/rulejob.cpp app/rulejob.h
  app/comparejob.cpp app/comparejob.h
  app/messages.cpp app/messages.h
  app/startfolder.cpp app/startfolder.h
  app/places.cpp app/places.h
  app/keywordfile.cpp app/keywordfile.h
  app/designedlayout.cpp app/designedlayout.h
  app/foldermodel.cpp app/foldermodel.h
  app/foldertree.cpp app/foldertree.h
  app/prompter.cpp app/prompter.h
  app/form1.cpp app/form1.h app/form1.ui
  view/resultview.cpp view/resultview.h
  view/picturebox.cpp view/picturebox.h
  view/imagepreview.cpp view/imagepreview.h
  view/musicplaylist.cpp view/musicplaylist.h
  view/musicpanel.cpp view/musicpanel.h
  view/fileurl.cpp view/fileurl.h
  view/rowmenu.cpp view/rowmenu.h
  view/pathdelegate.cpp view/pathdelegate.h
  view/rowactions.cpp view/rowactions.h
  view/pictureloader.cpp view/pictureloader.h
  actions/deletion.cpp actions/deletion.h
)
set_target_properties(twinsift_window PROPERTIES AUTOMOC ON AUTOUIC ON)
target_include_directories(twinsift_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(twinsift_window PUBLIC twinsift_core Qt6::Widgets Qt6::Multimedia
                                             Qt6::Concurrent)

add_executable(twinsift app/main.cpp app/twinsift.qrc)
set_target_properties(twinsift PROPERTIES AUTORCC ON)
target_link_libraries(twinsift PRIVATE twinsift_window)
# "Edit Keywords" opens Keywords.txt beside the program: make an empty one, keeping the user's.
add_custom_command(TARGET twinsift POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E touch $<TARGET_FILE_DIR:twinsift>/Keywords.txt
  VERBATIM)
install(TARGETS twinsift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
