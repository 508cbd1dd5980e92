# The view half of interface/ and the picture reader, compiled into kit (see
# src/kit/CMakeLists.txt, which includes this file).
target_sources(kit PRIVATE
  interface/Bitmap.cpp
  interface/Box.cpp
  interface/Button.cpp
  interface/ChangeStream.cpp
  interface/CheckBox.cpp
  interface/Control.cpp
  interface/Cursor.cpp
  interface/Dragger.cpp
  interface/FixedFontProvider.cpp
  interface/Font.cpp
  interface/FontProvider.cpp
  interface/ListItem.cpp
  interface/ListView.cpp
  interface/ListViewInput.cpp
  interface/RowList.cpp
  interface/Menu.cpp
  interface/MenuBar.cpp
  interface/MenuField.cpp
  interface/MenuItem.cpp
  interface/MenuTree.cpp
  interface/PopUpMenu.cpp
  interface/Screen.cpp
  interface/ScrollBar.cpp
  interface/ScrollView.cpp
  interface/SeparatorItem.cpp
  interface/StringItem.cpp
  interface/StringView.cpp
  interface/Tab.cpp
  interface/TabView.cpp
  interface/TextControl.cpp
  interface/TextBlock.cpp
  interface/TextBuffer.cpp
  interface/TextPiece.cpp
  interface/TextView.cpp
  interface/TextViewInput.cpp
  interface/View.cpp
  interface/ViewDisplayLink.cpp
  interface/ViewMessages.cpp
  interface/ViewStream.cpp
  interface/WindowViews.cpp
  translation/TranslationUtils.cpp
)
target_include_directories(kit PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/translation)
